#include "io/graph_file.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/document.h"
#include "model/fit.h"
#include "fit/model_table.h"
#include "io/graph_file_samples.h"

namespace zentrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Builds expected bytes by hand, independently of the archive writer.
struct ByteBuilder {
  Bytes bytes;
  ByteBuilder& b(std::uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  ByteBuilder& w(std::uint32_t v) { return b(v & 0xFF).b((v >> 8) & 0xFF); }
  ByteBuilder& d(std::int64_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return w(u & 0xFFFF).w(u >> 16);
  }
  ByteBuilder& f(double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int k = 0; k < 8; ++k) b((u >> (8 * k)) & 0xFF);
    return *this;
  }
  ByteBuilder& s(std::string_view text) {  // short strings only
    b(static_cast<std::uint8_t>(text.size()));
    for (char c : text) b(static_cast<std::uint8_t>(c));
    return *this;
  }
  ByteBuilder& raw(std::string_view text) {
    for (char c : text) b(static_cast<std::uint8_t>(c));
    return *this;
  }
  ByteBuilder& classRecord(std::string_view name, int schema) {
    return w(0xFFFF).w(static_cast<std::uint32_t>(schema)).w(static_cast<std::uint32_t>(name.size())).raw(name);
  }
  // A graph block with zero rectangles; `version` decides which fields follow.
  ByteBuilder& graph(int version, double xMin = 0, double xMax = 1, double yMin = 0, double yMax = 1,
                     std::string_view title = "", std::string_view xLabel = "", std::string_view yLabel = "",
                     int logX = 0, int logY = 0) {
    for (int k = 0; k < 8; ++k) d(0);
    f(xMin).f(xMax).f(yMin).f(yMax).b(static_cast<std::uint8_t>(version));
    s(title).s(xLabel).s(yLabel).d(logX).d(logY);
    if (version >= 2) d(0).d(0).d(0).d(0).d(0).d(0).f(1.0);
    if (version >= 3) d(0).d(0).f(0.0);
    return *this;
  }
  // A fit body of schema 2 (or 1: without the last three fields).
  ByteBuilder& fit(int schema, int kind, int order, std::string_view name, int convolveIndex = -1,
                   double firstParam = 0, std::string_view equation = "") {
    w(static_cast<std::uint32_t>(kind));
    if (kind == kCustomFunction) s(equation);
    w(static_cast<std::uint32_t>(order)).d(0).f(0.5).f(2.5).s(name).w(0).d(255);
    w(convolveIndex >= 0 ? 1 : 0);
    if (convolveIndex >= 0) w(static_cast<std::uint32_t>(convolveIndex));
    for (int i = 0; i < kMaxFitParameters; ++i) f(i == 0 ? firstParam : 0).f(0);
    if (schema >= 2) {
      b(0).w(0);
      for (int i = 0; i < kMaxFitParameters; ++i) d(1);
    }
    return *this;
  }
};

// The set body of schema 4 for x and y columns, before its fits.
ByteBuilder& SetHead(ByteBuilder& out, const std::vector<std::vector<double>>& columns, std::string_view name) {
  out.d(static_cast<std::int64_t>(columns.size()) - 1);
  for (const auto& column : columns) {
    out.d(static_cast<std::int64_t>(column.size()) - 1);
    for (double v : column) out.f(v);
  }
  return out.b(1).s(name).d(0).f(1.0);
}

std::unique_ptr<Data_Set> MakeSet(const std::string& name, std::vector<std::vector<double>> columns) {
  auto set = std::make_unique<Data_Set>();
  set->name = name;
  for (size_t c = 0; c < columns.size(); ++c)
    for (size_t i = 0; i < columns[c].size(); ++i)
      set->SetValue(static_cast<int>(c), static_cast<int>(i), columns[c][i]);
  return set;
}

Fit& AddFit(Data_Set& set, const std::string& name) {
  set.fits.push_back(std::make_unique<Fit>());
  Fit& fit = *set.fits.back();
  fit.name = name;
  fit.fitStart = 0.5;
  fit.fitEnd = 2.5;
  return fit;
}

GraphLoadResult Load(const Bytes& bytes, CZentrelDoc& doc) { return LoadGraph(bytes, doc); }

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

TEST(GraphFile, EmptyGraphIsACountTheGraphBlockAndTheSwitch) {
  CZentrelDoc doc;
  ByteBuilder expected;
  expected.w(0).graph(3).d(1);
  EXPECT_EQ(GraphFileBytes(doc), expected.bytes);

  CZentrelDoc back;
  back.sets.push_back(std::make_unique<Data_Set>());  // replaced by the load
  const GraphLoadResult result = Load(expected.bytes, back);
  ASSERT_TRUE(result.ok) << result.problem;
  EXPECT_EQ(back.SetCount(), 0);
  EXPECT_TRUE(result.hasGraphBlock);
  EXPECT_TRUE(result.hasAbbreviationSwitch);
}

// Two sets with one fit each, the second convolved with the first: the tags
// FF FF 04 00 08 00 "Data_Set", FF FF 02 00 03 00 "Fit", 0x8001, 0x8003.
TEST(GraphFile, SetsAndFitsAreTaggedWithOneCounter) {
  CZentrelDoc doc;
  Data_Set& p = doc.AppendSet(MakeSet("C:\\data\\p.txt", {{1, 2}, {3, 4}}));
  p.comment = "first\r\n";
  AddFit(p, "Exponential").params[0] = 7;
  Data_Set& q = doc.AppendSet(MakeSet("/home/me/q.csv", {{5}, {6}}));
  AddFit(q, "conv").setConvolutionSource(&p);
  doc.useAbbreviations = 0;

  ByteBuilder expected;
  expected.w(2).classRecord("Data_Set", 4);
  SetHead(expected, {{1, 2}, {3, 4}}, "p.txt").w(1).classRecord("Fit", 2).fit(2, 0, 1, "Exponential", -1, 7);
  expected.s("first\r\n").d(1);
  expected.w(0x8001);
  SetHead(expected, {{5}, {6}}, "q.csv").w(1).w(0x8003).fit(2, 0, 1, "conv", 0);
  expected.s("").d(1);
  expected.graph(3).d(0);
  EXPECT_EQ(GraphFileBytes(doc), expected.bytes);
  EXPECT_EQ(p.name, "C:\\data\\p.txt");  // making the bytes changes nothing

  StoreGraph(doc);  // storing renames, as the file shows
  EXPECT_EQ(p.name, "p.txt");
  EXPECT_EQ(q.name, "q.csv");
  EXPECT_FALSE(p.modified);

  CZentrelDoc back;
  const GraphLoadResult result = Load(expected.bytes, back);
  ASSERT_TRUE(result.ok) << result.problem;
  ASSERT_EQ(back.SetCount(), 2);
  EXPECT_EQ(back.sets[0]->comment, "first\r\n");
  EXPECT_TRUE(back.sets[0]->modified);  // values were stored with SetValue
  EXPECT_EQ(back.sets[0]->fits[0]->params[0], 7);
  const Fit& convolved = *back.sets[1]->fits[0];
  EXPECT_EQ(convolved.convolutionSource, back.sets[0].get());
  EXPECT_EQ(convolved.iterationCount, 0);  // re-attached to its own set
  EXPECT_EQ(back.useAbbreviations, 0);
  EXPECT_FALSE(back.IsModified());
}

TEST(GraphFile, TwoSetsWithoutFitsTagTheSecond0x8001) {
  CZentrelDoc doc;
  doc.AppendSet(MakeSet("P", {}));
  doc.AppendSet(MakeSet("Q", {}));
  const Bytes bytes = GraphFileBytes(doc);
  // count, class record (14), empty set body: -1, active, "P", colour, size, no fits, comment, lines
  const size_t second = 2 + 14 + (4 + 1 + 2 + 4 + 8 + 2 + 1 + 4);
  ASSERT_GT(bytes.size(), second + 2);
  EXPECT_EQ(bytes[second], 0x01);
  EXPECT_EQ(bytes[second + 1], 0x80);
}

TEST(GraphFile, EmptiedColumnsAreWrittenAsMinusOneAndComeBackEmpty) {
  CZentrelDoc doc;
  Data_Set& set = doc.AppendSet(MakeSet("E", {{1, 2}, {3, 4}, {5, 6}}));
  set.DeletePoints(0, 1);
  ASSERT_EQ(set.lastColumn(), 2);
  const Bytes bytes = GraphFileBytes(doc);
  ByteBuilder head;
  head.w(1).classRecord("Data_Set", 4).d(2).d(-1).d(-1).d(-1).b(1).s("E");
  EXPECT_TRUE(std::equal(head.bytes.begin(), head.bytes.end(), bytes.begin()));

  CZentrelDoc back;
  ASSERT_TRUE(Load(bytes, back).ok);
  const Data_Set& loaded = *back.sets[0];
  EXPECT_EQ(loaded.ColumnCount(), 3);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(loaded.PointCount(c), 0);
  EXPECT_FALSE(loaded.modified);  // no value was stored
  EXPECT_EQ(GraphFileBytes(back), bytes);
}

// Older schemas: WORD counts up to 3 (0xFFFF for an empty column), no
// comment before 2, no line switch before 3, fits of schema 1 without
// weighting, method and free flags.
TEST(GraphFile, OlderSchemasReadWithTheirDefaults) {
  for (int schema = 1; schema <= 3; ++schema) {
    ByteBuilder file;
    file.w(1).classRecord("Data_Set", schema).w(2);  // lastColumn 2, as a WORD
    file.w(1).f(1).f(2).w(1).f(3).f(4).w(0xFFFF);    // x, y, an empty third column
    file.b(0).s("old").d(0x00FF00).f(2.0).w(1).classRecord("Fit", 1).fit(1, 1, 2, "poly");
    if (schema >= 2) file.s("note");
    if (schema >= 3) file.d(0);
    file.graph(3).d(1);
    CZentrelDoc doc;
    const GraphLoadResult result = Load(file.bytes, doc);
    ASSERT_TRUE(result.ok) << schema << ": " << result.problem;
    const Data_Set& set = *doc.sets[0];
    EXPECT_EQ(set.ColumnCount(), 3) << schema;
    EXPECT_EQ(set.PointCount(1), 2) << schema;
    EXPECT_EQ(set.PointCount(2), 0) << schema;
    EXPECT_EQ(set.GetValue(1, 1), 4) << schema;
    EXPECT_EQ(set.active, 0);
    EXPECT_EQ(set.color, 0x00FF00u);
    EXPECT_EQ(set.comment, schema >= 2 ? "note" : "") << schema;
    EXPECT_EQ(set.connectLines, schema >= 3 ? 0 : 1) << schema;
    const Fit& fit = *set.fits[0];
    EXPECT_EQ(fit.modelKind, kPolynomial);
    EXPECT_EQ(fit.order, 2);
    EXPECT_EQ(fit.weighting, kWeightEqual);
    EXPECT_EQ(fit.method, kMethodGridless);
    for (int flag : fit.freeFlags) EXPECT_EQ(flag, 1);
  }
}

TEST(GraphFile, AVersionOneGraphBlockLeavesTheLaterFieldsReset) {
  ByteBuilder file;
  file.w(0).graph(1, -2, 3, 0.5, 8, "T", "X", "Y", 0, 1).d(0);
  CZentrelDoc doc;
  doc.graph.showMarkers = 1;
  doc.graph.polar = 1;
  const GraphLoadResult result = Load(file.bytes, doc);
  ASSERT_TRUE(result.ok) << result.problem;
  const Graph& g = doc.graph;
  EXPECT_EQ(g.xMin, -2);
  EXPECT_EQ(g.yMax, 8);
  EXPECT_EQ(g.title, "T");
  EXPECT_EQ(g.yLabel, "Y");
  EXPECT_EQ(g.logY, 1);
  EXPECT_EQ(g.showMarkers, 0);
  EXPECT_EQ(g.showFitEquations, 0);
  EXPECT_EQ(g.residualScale, 1.0);
  EXPECT_EQ(g.polar, 0);
  EXPECT_EQ(doc.useAbbreviations, 0);
}

TEST(GraphFile, AFileEndingAfterTheSetsAutoscalesAndAbbreviates) {
  ByteBuilder file;
  file.w(1).classRecord("Data_Set", 4);
  SetHead(file, {{0, 10}, {2, 4}}, "S").w(0).s("").d(1);
  CZentrelDoc doc;
  doc.graph.title = "old";
  doc.useAbbreviations = 0;
  const GraphLoadResult result = Load(file.bytes, doc);
  ASSERT_TRUE(result.ok) << result.problem;
  EXPECT_FALSE(result.hasGraphBlock);
  EXPECT_TRUE(doc.graph.title.empty());
  EXPECT_DOUBLE_EQ(doc.graph.xMin, -0.5);
  EXPECT_DOUBLE_EQ(doc.graph.xMax, 10.5);
  EXPECT_DOUBLE_EQ(doc.graph.yMin, 1.9);
  EXPECT_DOUBLE_EQ(doc.graph.yMax, 4.1);
  EXPECT_EQ(doc.useAbbreviations, 1);

  ByteBuilder withGraph = file;
  withGraph.graph(3);
  CZentrelDoc second;
  second.useAbbreviations = 0;
  const GraphLoadResult noSwitch = Load(withGraph.bytes, second);
  ASSERT_TRUE(noSwitch.ok);
  EXPECT_TRUE(noSwitch.hasGraphBlock);
  EXPECT_FALSE(noSwitch.hasAbbreviationSwitch);
  EXPECT_EQ(second.useAbbreviations, 1);
}

// Every stored count, length and index is checked before it is used.
TEST(GraphFile, MalformedFilesAreRejectedWithoutReadingPastThem) {
  auto withSet = [](std::function<void(ByteBuilder&)> body) {
    ByteBuilder file;
    file.w(1).classRecord("Data_Set", 4);
    body(file);
    return file.bytes;
  };
  auto fitFile = [&](std::function<void(ByteBuilder&)> fitBody) {
    return withSet([&](ByteBuilder& f) {
      SetHead(f, {{1}, {2}}, "S").w(1).classRecord("Fit", 2);
      fitBody(f);
      f.s("").d(1).graph(3).d(1);
    });
  };
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"set count past the file", ByteBuilder().w(0xFFFF).d(0x7FFFFFFF).bytes},
      {"column count 2^31 - 1", withSet([](ByteBuilder& f) { f.d(0x7FFFFFFF).d(0); })},
      {"point count past the file", withSet([](ByteBuilder& f) { f.d(0).d(1000).f(1); })},
      {"name longer than the file", withSet([](ByteBuilder& f) { f.d(-1).b(1).b(0xFF).w(0x1000).raw("ab"); })},
      {"fit count past the file", withSet([](ByteBuilder& f) { f.d(-1).b(1).s("S").d(0).f(1).w(40000); })},
      {"unknown class", ByteBuilder().w(1).classRecord("Data_Sex", 4).bytes},
      {"a fit where a set belongs", ByteBuilder().w(1).classRecord("Fit", 2).bytes},
      {"a set where a fit belongs",
       withSet([](ByteBuilder& f) { SetHead(f, {}, "S").w(1).w(0x8001); })},
      {"reference to the first set", withSet([](ByteBuilder& f) { SetHead(f, {}, "S").w(1).w(0x0002); })},
      {"empty object", ByteBuilder().w(1).w(0x0000).bytes},
      {"set schema 5", ByteBuilder().w(1).classRecord("Data_Set", 5).bytes},
      {"set schema 0", ByteBuilder().w(1).classRecord("Data_Set", 0).bytes},
      {"fit schema 3", withSet([](ByteBuilder& f) { SetHead(f, {}, "S").w(1).classRecord("Fit", 3); })},
      {"model kind 16", fitFile([](ByteBuilder& f) { f.fit(2, 16, 1, "F"); })},
      {"order 0", fitFile([](ByteBuilder& f) { f.fit(2, 0, 0, "F"); })},
      {"order past the kind's largest", fitFile([](ByteBuilder& f) { f.fit(2, 0, 8, "F"); })},
      {"convolution index past the last set", fitFile([](ByteBuilder& f) { f.fit(2, 0, 1, "F", 1); })},
      {"graph version 4", ByteBuilder().w(0).graph(3).bytes},  // patched below
      {"a half graph block", ByteBuilder().w(0).f(0).bytes},
      {"a half abbreviation switch", ByteBuilder().w(0).graph(3).w(1).bytes},
  };
  for (const auto& c : cases) {
    Bytes bytes = c.bytes;
    if (std::string(c.what) == "graph version 4") bytes[2 + 32 + 32] = 4;
    CZentrelDoc doc;
    const GraphLoadResult result = Load(bytes, doc);
    EXPECT_FALSE(result.ok) << c.what;
    EXPECT_FALSE(result.problem.empty()) << c.what;
    EXPECT_LE(result.offset, bytes.size()) << c.what;
  }
}

TEST(GraphFile, FailedLoadsKeepTheSetsReadBeforeTheFault) {
  CZentrelDoc doc;
  doc.AppendSet(MakeSet("A", {{1}, {2}}));
  Data_Set& b = doc.AppendSet(MakeSet("B", {{3}, {4}}));
  AddFit(b, "conv").setConvolutionSource(doc.sets[0].get());
  Bytes bytes = GraphFileBytes(doc);
  bytes.resize(bytes.size() - 100);  // inside the graph block
  CZentrelDoc back;
  const GraphLoadResult result = Load(bytes, back);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.setsRead, 2);
  ASSERT_EQ(back.SetCount(), 2);
  EXPECT_EQ(back.sets[1]->fits[0]->convolutionSource, back.sets[0].get());
}

TEST(GraphFile, NamesAreUtf8AndOldLatin1BytesReadAsLatin1) {
  struct Case {
    std::string stored;
    std::string read;
  };
  const Case cases[] = {
      {"Caf\xE9", "Caf\xC3\xA9"},              // Latin-1 é
      {"Caf\xC3\xA9", "Caf\xC3\xA9"},          // already UTF-8
      {"\xC0\x80", "\xC3\x80\xC2\x80"},        // an overlong form is not UTF-8
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},  // nor is a surrogate
      {"plain", "plain"},
  };
  for (const auto& c : cases) {
    ByteBuilder file;
    file.w(1).classRecord("Data_Set", 4);
    SetHead(file, {}, c.stored).w(0).s(c.stored).d(1).graph(3, 0, 1, 0, 1, c.stored).d(1);
    CZentrelDoc doc;
    ASSERT_TRUE(Load(file.bytes, doc).ok);
    EXPECT_EQ(doc.sets[0]->name, c.read);
    EXPECT_EQ(doc.sets[0]->comment, c.read);
    EXPECT_EQ(doc.graph.title, c.read);
  }
  // In memory text that is not UTF-8 goes into the file as UTF-8.
  CZentrelDoc doc;
  doc.AppendSet(MakeSet("Caf\xE9", {}));
  CZentrelDoc back;
  ASSERT_TRUE(Load(GraphFileBytes(doc), back).ok);
  EXPECT_EQ(back.sets[0]->name, "Caf\xC3\xA9");
}

TEST(GraphFile, CustomFunctionsCompileOnReadingAndFailuresAreTold) {
  ByteBuilder file;
  file.w(1).classRecord("Data_Set", 4);
  SetHead(file, {{1}, {2}}, "S").w(2).classRecord("Fit", 2);
  file.fit(2, kCustomFunction, 1, "good", -1, 0, "A0*EXP(-X/A1)");
  file.w(0x8003).fit(2, kCustomFunction, 1, "bad", -1, 0, "A0*(");
  file.s("").d(1).graph(3).d(1);
  CZentrelDoc doc;
  const GraphLoadResult result = Load(file.bytes, doc);
  ASSERT_TRUE(result.ok) << result.problem;
  const Fit& good = *doc.sets[0]->fits[0];
  const Fit& bad = *doc.sets[0]->fits[1];
  EXPECT_TRUE(good.HasCustomEvaluator());
  EXPECT_EQ(good.customParameterCount, 2);
  EXPECT_EQ(good.customEquation, "A0*EXP(-X/A1)");
  EXPECT_FALSE(bad.HasCustomEvaluator());
  EXPECT_EQ(bad.customEquation, "A0*(");  // kept, so saving keeps it too
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_FALSE(result.messages[0].empty());
  EXPECT_EQ(GraphFileBytes(doc), file.bytes);
}

TEST(GraphFile, ASourceOutsideTheListIsStoredAsTheLastSet) {
  CZentrelDoc doc;
  Data_Set outside;
  doc.AppendSet(MakeSet("A", {{1}, {2}}));
  Data_Set& b = doc.AppendSet(MakeSet("B", {{1}, {2}}));
  AddFit(b, "F").setConvolutionSource(&outside);
  CZentrelDoc back;
  ASSERT_TRUE(Load(GraphFileBytes(doc), back).ok);
  EXPECT_EQ(back.sets[0]->fits.size(), 0u);
  EXPECT_EQ(back.sets[1]->fits[0]->convolutionSource, back.sets[1].get());
}

// ---- Every byte offset ----

size_t GraphBlockSize(const Graph& g) {
  auto text = [](const std::string& s) { return (s.size() < 255 ? 1 : s.size() < 65534 ? 3 : 7) + s.size(); };
  return 32 + 32 + 1 + text(g.title) + text(g.xLabel) + text(g.yLabel) + 8 + 24 + 8 + 8 + 8;
}

// A prefix loads only where the file may end: right after the sets or
// right after the graph block. Every other prefix fails cleanly.
void ExpectTruncationsRejected(const Bytes& bytes, const Graph& graph) {
  const size_t afterGraph = bytes.size() - 4;
  const size_t afterSets = afterGraph - GraphBlockSize(graph);
  for (size_t n = 0; n < bytes.size(); ++n) {
    const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<long>(n));
    CZentrelDoc doc;
    const GraphLoadResult result = LoadGraph(prefix, doc);
    EXPECT_EQ(result.ok, n == afterSets || n == afterGraph) << "prefix of " << n << " of " << bytes.size();
  }
}

TEST(GraphFile, TruncatedCopiesAreRejectedAtEveryOffset) {
  CZentrelDoc doc;
  Data_Set& a = doc.AppendSet(MakeSet("A", {{1, 2, 3}, {4, 5, 6}, {0.1, 0.1, 0.1}}));
  a.comment = "comment";
  AddFit(a, "exp").params[2] = 3;
  Fit& custom = AddFit(a, "custom");
  custom.modelKind = kCustomFunction;
  custom.customEquation = "A0*X";
  Data_Set& b = doc.AppendSet(MakeSet("B", {{1}, {}}));
  AddFit(b, "conv").setConvolutionSource(&a);
  doc.graph.title = "Title";
  ExpectTruncationsRejected(GraphFileBytes(doc), doc.graph);

  CZentrelDoc demo;
  BuildDemoGraph(demo);
  ExpectTruncationsRejected(GraphFileBytes(demo), demo.graph);
}

// ---- Random documents ----

class RandomDocument {
 public:
  explicit RandomDocument(unsigned seed) : rng_(seed) {}

  void Build(CZentrelDoc& doc) {
    const int sets = Int(0, 5);
    for (int k = 0; k < sets; ++k) doc.AppendSet(RandomSet());
    // Sources are picked once every set exists; some fits convolve.
    for (auto& set : doc.sets)
      for (auto& fit : set->fits)
        if (Int(0, 3) == 0) fit->setConvolutionSource(doc.sets[static_cast<size_t>(Int(0, sets - 1))].get());
    Graph& g = doc.graph;
    g.xMin = Value(), g.xMax = Value(), g.yMin = Value(), g.yMax = Value();
    g.title = Text(), g.xLabel = Text(), g.yLabel = Text();
    g.logX = Int(0, 1), g.logY = Int(0, 1);
    g.showMarkers = Int(0, 1), g.showFitEquations = Int(0, 1), g.showXErrorBars = Int(0, 1);
    g.showYErrorBars = Int(0, 1), g.showResiduals = Int(0, 1), g.showZeroLines = Int(0, 1);
    g.residualScale = Value();
    g.polar = Int(0, 1), g.radians = Int(0, 1), g.polarOrigin = Value();
    doc.useAbbreviations = Int(0, 1);
  }

 private:
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  double Value() {
    switch (Int(0, 12)) {
      case 0: return std::numeric_limits<double>::quiet_NaN();
      case 1: return -std::numeric_limits<double>::infinity();
      case 2: return -0.0;
      case 3: return std::numeric_limits<double>::denorm_min();
      case 4: return std::bit_cast<double>(std::uniform_int_distribution<std::uint64_t>()(rng_));
      default: return std::uniform_real_distribution<double>(-1e6, 1e6)(rng_);
    }
  }

  std::string Text() {
    static const char* const pieces[] = {"decay", " ", "\xC3\xA9", "\r\n", "(1/Y)", "x\xE2\x82\xAC", "\\", "A0"};
    std::string text;
    const int n = Int(0, 6);
    for (int k = 0; k < n; ++k) text += pieces[Int(0, 7)];
    if (Int(0, 20) == 0) text.assign(static_cast<size_t>(Int(255, 300)), 'L');  // the WORD length form
    return text;
  }

  std::unique_ptr<Data_Set> RandomSet() {
    auto set = std::make_unique<Data_Set>();
    const int columns = Int(0, 6);
    for (int c = 0; c < columns; ++c) {
      const int points = Int(0, 2) == 0 ? 0 : Int(1, 40);
      if (points == 0) set->Reserve(c, 1);  // an empty column
      for (int i = 0; i < points; ++i) set->SetValue(c, i, Value());
    }
    set->name = Text();
    set->comment = Text();
    set->active = Int(0, 1);
    set->connectLines = Int(0, 1);
    set->color = static_cast<std::uint32_t>(Int(0, 0xFFFFFF));
    set->symbolSize = Value();
    const int fits = Int(0, 3);
    for (int k = 0; k < fits; ++k) set->fits.push_back(RandomFit());
    set->ReattachFits();
    return set;
  }

  std::unique_ptr<Fit> RandomFit() {
    static const char* const equations[] = {"A0*EXP(-X/A1)", "A0+A1*X+A2*X^2", "SIN(X)", "A0*(", ""};
    auto fit = std::make_unique<Fit>();
    fit->modelKind = Int(0, kModelKindCount - 1);
    fit->order = Int(1, MaxOrder(fit->modelKind));
    if (fit->modelKind == kCustomFunction) fit->customEquation = equations[Int(0, 4)];
    fit->name = Text();
    for (int i = 0; i < kMaxFitParameters; ++i) {
      fit->params[static_cast<size_t>(i)] = Value();
      fit->steps[static_cast<size_t>(i)] = Value();
      fit->freeFlags[static_cast<size_t>(i)] = Int(0, 1);
    }
    fit->weighting = Int(0, 3);
    fit->method = Int(0, 1);
    // A loaded fit restarts its engine (iteration count 0) and takes its
    // set's x range when its own is unset; build fits that already are so.
    fit->fitStart = Int(-100, 0);
    fit->fitEnd = Int(1, 100);
    fit->hidden = Int(0, 1);
    fit->colour = static_cast<std::uint32_t>(Int(0, 0xFFFFFF));
    return fit;
  }

  std::mt19937 rng_;
};

void ExpectSameFit(const CZentrelDoc& a, const Fit& x, const CZentrelDoc& b, const Fit& y, const std::string& where) {
  EXPECT_EQ(x.modelKind, y.modelKind) << where;
  EXPECT_EQ(x.order, y.order) << where;
  EXPECT_EQ(x.modelKind == kCustomFunction ? x.customEquation : "", y.customEquation) << where;
  EXPECT_EQ(x.name, y.name) << where;
  for (int i = 0; i < kMaxFitParameters; ++i) {
    const auto k = static_cast<size_t>(i);
    EXPECT_TRUE(SameBits(x.params[k], y.params[k])) << where << " param " << i;
    EXPECT_TRUE(SameBits(x.steps[k], y.steps[k])) << where << " step " << i;
    EXPECT_EQ(x.freeFlags[k], y.freeFlags[k]) << where;
  }
  EXPECT_EQ(x.weighting, y.weighting) << where;
  EXPECT_EQ(x.method, y.method) << where;
  EXPECT_TRUE(SameBits(x.fitStart, y.fitStart)) << where;
  EXPECT_TRUE(SameBits(x.fitEnd, y.fitEnd)) << where;
  EXPECT_EQ(y.iterationCount, 0) << where;
  EXPECT_EQ(x.hidden, y.hidden) << where;
  EXPECT_EQ(x.colour, y.colour) << where;
  EXPECT_EQ(x.convolve, y.convolve) << where;
  EXPECT_EQ(a.IndexOf(x.convolutionSource), b.IndexOf(y.convolutionSource)) << where;
  EXPECT_TRUE(SameBits(x.convolutionArea, y.convolutionArea)) << where;
  EXPECT_EQ(x.modelKind == kCustomFunction && !x.customEquation.empty() && x.customEquation != "A0*(",
            y.HasCustomEvaluator())
      << where;
}

void ExpectSameDocument(const CZentrelDoc& a, const CZentrelDoc& b) {
  ASSERT_EQ(a.SetCount(), b.SetCount());
  for (int s = 0; s < a.SetCount(); ++s) {
    const Data_Set& x = *a.sets[static_cast<size_t>(s)];
    const Data_Set& y = *b.sets[static_cast<size_t>(s)];
    const std::string where = "set " + std::to_string(s);
    ASSERT_EQ(x.ColumnCount(), y.ColumnCount()) << where;
    bool anyValue = false;
    for (int c = 0; c < x.ColumnCount(); ++c) {
      ASSERT_EQ(x.PointCount(c), y.PointCount(c)) << where << " column " << c;
      for (int i = 0; i < x.PointCount(c); ++i) EXPECT_TRUE(SameBits(x.GetValue(c, i), y.GetValue(c, i))) << where;
      anyValue = anyValue || x.PointCount(c) > 0;
    }
    EXPECT_EQ(y.modified, anyValue) << where;
    EXPECT_EQ(x.name, y.name) << where;
    EXPECT_EQ(x.comment, y.comment) << where;
    EXPECT_EQ(x.active, y.active) << where;
    EXPECT_EQ(x.connectLines, y.connectLines) << where;
    EXPECT_EQ(x.color, y.color) << where;
    EXPECT_TRUE(SameBits(x.symbolSize, y.symbolSize)) << where;
    ASSERT_EQ(x.fits.size(), y.fits.size()) << where;
    for (size_t f = 0; f < x.fits.size(); ++f)
      ExpectSameFit(a, *x.fits[f], b, *y.fits[f], where + " fit " + std::to_string(f));
  }
  const Graph& g = a.graph;
  const Graph& h = b.graph;
  for (auto [u, v] : {std::pair{g.xMin, h.xMin}, {g.xMax, h.xMax}, {g.yMin, h.yMin}, {g.yMax, h.yMax},
                      {g.residualScale, h.residualScale}, {g.polarOrigin, h.polarOrigin}})
    EXPECT_TRUE(SameBits(u, v));
  EXPECT_EQ(g.title, h.title);
  EXPECT_EQ(g.xLabel, h.xLabel);
  EXPECT_EQ(g.yLabel, h.yLabel);
  EXPECT_EQ(std::vector<int>({g.logX, g.logY, g.showMarkers, g.showFitEquations, g.showXErrorBars, g.showYErrorBars,
                              g.showResiduals, g.showZeroLines, g.polar, g.radians}),
            std::vector<int>({h.logX, h.logY, h.showMarkers, h.showFitEquations, h.showXErrorBars, h.showYErrorBars,
                              h.showResiduals, h.showZeroLines, h.polar, h.radians}));
  EXPECT_EQ(a.useAbbreviations, b.useAbbreviations);
}

TEST(GraphFile, RandomDocumentsSaveOpenAndSaveToTheSameBytes) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    CZentrelDoc doc;
    RandomDocument(seed).Build(doc);
    const Bytes first = StoreGraph(doc);
    CZentrelDoc back;
    const GraphLoadResult result = LoadGraph(first, back);
    ASSERT_TRUE(result.ok) << result.problem << " at " << result.offset;
    ExpectSameDocument(doc, back);
    const Bytes second = StoreGraph(back);
    ASSERT_EQ(first, second);
    if (seed % 50 == 0) ExpectTruncationsRejected(first, doc.graph);
  }
}

// ---- The example graph and the fuzzing seeds ----

// ZENTREL_REGENERATE_EXAMPLES=1 rewrites them; otherwise they must match.
TEST(GraphFile, ExampleGraphAndSeedsAreUpToDate) {
  const std::filesystem::path root = ZENTREL_SOURCE_DIR;
  const bool regenerate = std::getenv("ZENTREL_REGENERATE_EXAMPLES") != nullptr;
  for (const auto& sample : GraphFileSamples()) {
    const std::filesystem::path path = root / sample.path;
    if (regenerate) {
      std::filesystem::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary)
          .write(reinterpret_cast<const char*>(sample.bytes.data()), static_cast<std::streamsize>(sample.bytes.size()));
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path << " is missing; run the tests with ZENTREL_REGENERATE_EXAMPLES=1";
    const Bytes stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(stored, sample.bytes) << path << " is stale; run the tests with ZENTREL_REGENERATE_EXAMPLES=1";
    CZentrelDoc doc;
    EXPECT_TRUE(LoadGraph(stored, doc).ok) << path;
  }
}

}  // namespace
}  // namespace zentrel
