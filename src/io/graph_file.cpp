#include "io/graph_file.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cctype>
#include <cerrno>
#include <memory>
#include <new>

#include <sys/stat.h>
#include <unistd.h>

#include "fit/catalogue.h"
#include "io/byte_source.h"
#include "io/file_names.h"
#include "io/graph_file_poisson.h"
#include "io/graph_file_trailing.h"
#include "io/archive_reader.h"
#include "io/archive_writer.h"
#include "model/document.h"
#include "model/fit.h"
#include "fit/model_table.h"
#include "model/autoscale.h"

namespace zentrel {

namespace {

constexpr std::string_view kDataSetClass = "Data_Set";
constexpr std::string_view kFitClass = "Fit";
constexpr int kDataSetSchema = 4;
constexpr int kFitSchema = 2;
constexpr int kGraphVersion = 3;

// The smallest stored forms, to bound a count before anything is allocated:
// a tag plus a schema-1 set (WORD column count, no columns, empty name, no
// fits), a tag plus a schema-1 fit with an empty name.
constexpr std::uint64_t kMinSetBytes = 2 + (2 + 1 + 1 + 4 + 8 + 2);
constexpr std::uint64_t kMinFitBytes = 2 + (2 + 2 + 4 + 16 + 1 + 2 + 4 + 2 + kMaxFitParameters * 16);

// Text goes into the file as UTF-8 whatever it came in as.
std::string StoredText(std::string_view text) { return StoredTextToUtf8(text); }

// ---- Writing ----

void WriteFit(ArchiveWriter& out, const CZentrelDoc& doc, const Fit& fit) {
  out.Word(fit.modelKind);
  if (fit.modelKind == kCustomFunction) out.String(StoredText(fit.customEquation));
  out.Word(fit.order);
  out.Dword(fit.iterationCount);
  out.Double(fit.fitStart);
  out.Double(fit.fitEnd);
  out.String(StoredText(fit.name));
  out.Word(fit.hidden);
  out.Dword(fit.colour);
  out.Word(fit.convolve);
  if (fit.convolve != 0) {
    const int index = doc.IndexOf(fit.convolutionSource);
    out.Word(index >= 0 ? index : doc.SetCount() - 1);
  }
  for (int i = 0; i < kMaxFitParameters; ++i) {
    out.Double(fit.params[static_cast<size_t>(i)]);
    out.Double(fit.steps[static_cast<size_t>(i)]);
  }
  out.Byte(static_cast<std::uint8_t>(StoredWeighting(fit.weighting)));
  out.Word(fit.method);
  for (int flag : fit.freeFlags) out.Dword(flag);
}

void WriteSet(ArchiveWriter& out, const CZentrelDoc& doc, const Data_Set& set) {
  out.Dword(set.lastColumn());
  for (int c = 0; c <= set.lastColumn(); ++c) {
    const int points = set.PointCount(c);
    out.Dword(points - 1);
    const double* cells = set.ColumnData(c);
    for (int i = 0; i < points; ++i) out.Double(cells[i]);
  }
  out.Byte(static_cast<std::uint8_t>(set.active));
  out.String(StoredText(BareFileName(set.name)));
  out.Dword(set.color);
  out.Double(set.symbolSize);
  out.Count(static_cast<std::uint32_t>(set.fits.size()));
  for (const auto& fit : set.fits) {
    out.NewObjectTag(kFitClass, kFitSchema);
    WriteFit(out, doc, *fit);
  }
  out.String(StoredText(set.comment));
  out.Dword(set.connectLines);
}

void WriteGraph(ArchiveWriter& out, const Graph& g, const PageLayout& layout) {
  const DeviceRect& page = layout.pageRect;
  const DeviceRect& plot = layout.plotRect;
  out.Rect(page.left, page.top, page.right, page.bottom);
  out.Rect(plot.left, plot.top, plot.right, plot.bottom);
  out.Double(g.xMin);
  out.Double(g.xMax);
  out.Double(g.yMin);
  out.Double(g.yMax);
  out.Byte(kGraphVersion);
  out.String(StoredText(g.title));
  out.String(StoredText(g.xLabel));
  out.String(StoredText(g.yLabel));
  out.Dword(g.logX);
  out.Dword(g.logY);
  for (std::int32_t flag : {g.showMarkers, g.showFitEquations, g.showXErrorBars, g.showYErrorBars, g.showResiduals,
                            g.showZeroLines})
    out.Dword(flag);
  out.Double(g.residualScale);
  out.Dword(g.polar);
  out.Dword(g.radians);
  out.Double(g.polarOrigin);
}

// ---- Reading ----

// A fit's convolution source is stored as a set index; it is resolved once
// every set exists.
struct PendingSource {
  Fit* fit;
  std::uint32_t index;
};

class GraphReader {
 public:
  explicit GraphReader(std::span<const std::uint8_t> bytes) : in_(bytes) {}

  GraphLoadResult Load(CZentrelDoc& doc);

 private:
  bool ExpectObject(std::string_view className, int lowestSchema, int highestSchema, int& schema);
  bool ReadSet(Data_Set& set, int schema, std::vector<PendingSource>& pending);
  bool ReadFit(Fit& fit, int schema, std::vector<PendingSource>& pending);
  void ReadGraph(Graph& graph);
  std::string Text() { return StoredTextToUtf8(in_.String()); }

  ArchiveReader in_;
  std::vector<std::string> messages_;
};

bool GraphReader::ExpectObject(std::string_view className, int lowestSchema, int highestSchema, int& schema) {
  const ObjectTag tag = in_.ReadObjectTag();
  if (!in_.ok()) return false;
  // A reference would put one object in two places, and no list of ours
  // holds an empty slot: neither is written by this program.
  if (tag.kind == ObjectTag::Kind::Null) {
    in_.Fail("an empty object where a " + std::string(className) + " belongs");
    return false;
  }
  if (tag.kind != ObjectTag::Kind::NewObject) {
    in_.Fail("a reference to object " + std::to_string(tag.reference) + " where a new " + std::string(className) +
             " belongs");
    return false;
  }
  if (tag.objectClass->name != className) {
    in_.Fail("an object of class \"" + StoredTextToUtf8(tag.objectClass->name) + "\" where a " +
             std::string(className) + " belongs");
    return false;
  }
  schema = tag.objectClass->schema;
  if (schema < lowestSchema || schema > highestSchema) {
    in_.Fail(std::string(className) + " schema " + std::to_string(schema) + " is unknown");
    return false;
  }
  return true;
}

bool GraphReader::ReadFit(Fit& fit, int schema, std::vector<PendingSource>& pending) {
  const std::uint32_t kind = in_.Word();
  if (in_.ok() && kind >= static_cast<std::uint32_t>(kModelKindCount)) {
    in_.Fail("model kind " + std::to_string(kind) + " is not in the catalogue");
    return false;
  }
  fit.modelKind = static_cast<int>(kind);
  std::string equation;
  if (fit.modelKind == kCustomFunction) equation = Text();
  const std::uint32_t order = in_.Word();
  // The model reads order-many terms from 17 parameters: a larger order
  // would read past them.
  if (in_.ok() && (order < 1 || order > static_cast<std::uint32_t>(MaxOrder(fit.modelKind)))) {
    in_.Fail("order " + std::to_string(order) + " is outside 1.." + std::to_string(MaxOrder(fit.modelKind)) +
             " for model kind " + std::to_string(kind));
    return false;
  }
  fit.order = static_cast<int>(order);
  fit.iterationCount = in_.Dword();
  fit.fitStart = in_.Double();
  fit.fitEnd = in_.Double();
  fit.name = Text();
  fit.hidden = static_cast<int>(in_.Word());
  fit.colour = static_cast<std::uint32_t>(in_.Dword());
  fit.convolve = static_cast<int>(in_.Word());
  if (fit.convolve != 0) pending.push_back({&fit, in_.Word()});
  for (int i = 0; i < kMaxFitParameters; ++i) {
    fit.params[static_cast<size_t>(i)] = in_.Double();
    fit.steps[static_cast<size_t>(i)] = in_.Double();
  }
  if (schema >= 2) {
    fit.weighting = in_.Byte();
    fit.method = static_cast<int>(in_.Word());
    for (int& flag : fit.freeFlags) flag = in_.Dword();
  }
  if (!in_.ok()) return false;
  if (fit.modelKind == kCustomFunction) {
    const CustomFunctionOutcome outcome = CompileCustomFunction(fit, equation);
    if (!outcome.message.empty()) messages_.push_back(outcome.message);
  }
  return true;
}

bool GraphReader::ReadSet(Data_Set& set, int schema, std::vector<PendingSource>& pending) {
  // Old schemas store the counts as WORDs; their -1 reads back as 0xFFFF.
  const bool wordCounts = schema <= 3;
  auto readCount = [&]() -> std::int64_t {
    if (!wordCounts) return in_.Dword();
    const std::uint32_t word = in_.Word();
    return word == 0xFFFF ? -1 : static_cast<std::int64_t>(word);
  };
  const std::int64_t lastColumn = readCount();
  if (!in_.ok()) return false;
  if (lastColumn >= 0) {
    if (!in_.Fits(static_cast<std::uint64_t>(lastColumn) + 1, wordCounts ? 2 : 4, "a column count of")) return false;
    for (std::int64_t c = 0; c <= lastColumn; ++c) {
      const std::int64_t lastIndex = readCount();
      const std::int64_t points = std::max<std::int64_t>(lastIndex + 1, 0);
      if (!in_.Fits(static_cast<std::uint64_t>(points), 8, "a point count of")) return false;
      if (points > INT_MAX) {
        in_.Fail("a column of " + std::to_string(points) + " points");
        return false;
      }
      const int column = static_cast<int>(c);
      // Creates the column even when it stays empty.
      set.Reserve(column, std::max(static_cast<int>(points), 1));
      for (int i = 0; i < points; ++i) set.SetValue(column, i, in_.Double());
    }
  }
  set.active = in_.Byte();
  set.name = Text();
  set.color = static_cast<std::uint32_t>(in_.Dword());
  set.symbolSize = in_.Double();
  const std::uint32_t fitCount = in_.Count();
  if (!in_.Fits(fitCount, kMinFitBytes, "a fit count of")) return false;
  for (std::uint32_t k = 0; k < fitCount; ++k) {
    int fitSchema = 0;
    if (!ExpectObject(kFitClass, 1, kFitSchema, fitSchema)) return false;
    set.fits.push_back(std::make_unique<Fit>());
    if (!ReadFit(*set.fits.back(), fitSchema, pending)) return false;
  }
  if (schema >= 2) set.comment = Text();
  if (schema >= 3) set.connectLines = in_.Dword();
  if (!in_.ok()) return false;
  set.ReattachFits();
  return true;
}

void GraphReader::ReadGraph(Graph& graph) {
  in_.SkipRect();  // the page and plot rectangles are those of the next paint
  in_.SkipRect();
  graph.xMin = in_.Double();
  graph.xMax = in_.Double();
  graph.yMin = in_.Double();
  graph.yMax = in_.Double();
  const int version = in_.Byte();
  if (in_.ok() && version > kGraphVersion) {
    in_.Fail("graph block version " + std::to_string(version) + " is unknown");
    return;
  }
  graph.title = Text();
  graph.xLabel = Text();
  graph.yLabel = Text();
  graph.logX = in_.Dword();
  graph.logY = in_.Dword();
  if (version >= 2) {
    graph.showMarkers = in_.Dword();
    graph.showFitEquations = in_.Dword();
    graph.showXErrorBars = in_.Dword();
    graph.showYErrorBars = in_.Dword();
    graph.showResiduals = in_.Dword();
    graph.showZeroLines = in_.Dword();
    graph.residualScale = in_.Double();
  }
  if (version >= 3) {
    graph.polar = in_.Dword();
    graph.radians = in_.Dword();
    graph.polarOrigin = in_.Double();
  }
}

GraphLoadResult GraphReader::Load(CZentrelDoc& doc) {
  doc.ResetDocument();
  GraphLoadResult result;
  std::vector<PendingSource> pending;
  const std::uint32_t setCount = in_.Count();
  if (in_.Fits(setCount, kMinSetBytes, "a set count of")) doc.sets.reserve(setCount);
  for (std::uint32_t k = 0; k < setCount && in_.ok(); ++k) {
    int schema = 0;
    if (!ExpectObject(kDataSetClass, 1, kDataSetSchema, schema)) break;
    auto set = std::make_unique<Data_Set>();
    set->name = "unnamed";
    std::vector<PendingSource> setPending;
    // A set that fails part-way is dropped with its fits, so no pending
    // source may refer to them.
    if (!ReadSet(*set, schema, setPending)) break;
    doc.AppendSet(std::move(set));
    pending.insert(pending.end(), setPending.begin(), setPending.end());
    ++result.setsRead;
  }
  for (const PendingSource& source : pending) {
    if (source.index < static_cast<std::uint32_t>(doc.SetCount())) {
      source.fit->setConvolutionSource(doc.SetAt(static_cast<int>(source.index)));
      continue;
    }
    source.fit->setConvolutionSource(nullptr);
    if (in_.ok())
      in_.Fail("a fit is convolved with set " + std::to_string(source.index) + ", but the file holds " +
               std::to_string(doc.SetCount()) + " set(s)");
  }
  if (in_.AtEnd()) {
    // An old file without a graph block: default graph, range to the data.
    Autoscale(doc);
    doc.useAbbreviations = 1;
  } else if (in_.ok()) {
    result.hasGraphBlock = true;
    ReadGraph(doc.graph);
    if (in_.AtEnd()) {
      doc.useAbbreviations = 1;
    } else {
      doc.useAbbreviations = in_.Dword();
      result.hasAbbreviationSwitch = in_.ok();
      if (in_.ok() && !in_.AtEnd()) ReadTrailingBlocks(in_, doc);
    }
  }
  result.ok = in_.ok();
  result.problem = in_.problem();
  result.offset = in_.problemOffset();
  result.messages = std::move(messages_);
  doc.SetModifiedFlag(false);
  return result;
}

}  // namespace

std::string CannotFindFileMessage(const std::string& path) {
  return path + "\nCannot find this file.\nPlease verify that the correct path and file name are given.";
}

std::string FailedToOpenMessage(const std::string& path, const std::string& reason) {
  return std::string(kFailedToOpenDocument) + "\n" + path + ": " + reason;
}

std::vector<std::uint8_t> GraphFileBytes(const CZentrelDoc& doc, const PageLayout& drawn) {
  ArchiveWriter out;
  out.Count(static_cast<std::uint32_t>(doc.sets.size()));
  for (const auto& set : doc.sets) {
    out.NewObjectTag(kDataSetClass, kDataSetSchema);
    WriteSet(out, doc, *set);
  }
  WriteGraph(out, doc.graph, drawn);
  out.Dword(doc.useAbbreviations);
  WriteTrailingBlocks(out, doc);
  return out.Take();
}

void MarkSetsStored(CZentrelDoc& doc) {
  for (auto& set : doc.sets) {
    set->name = BareFileName(set->name);
    set->modified = false;
  }
}

std::vector<std::uint8_t> StoreGraph(CZentrelDoc& doc) {
  MarkSetsStored(doc);
  return GraphFileBytes(doc);
}

GraphLoadResult LoadGraph(std::span<const std::uint8_t> bytes, CZentrelDoc& doc) {
  return GraphReader(bytes).Load(doc);
}

// ---- Files ----

namespace {

// The system's reason, in the lower case of the rest of the message.
std::string Reason(int error) {
  std::string text = std::strerror(error);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

// Why a path cannot be read as a graph file, for the message.
std::string WhyNotReadable(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return Reason(errno);
  if (!S_ISREG(info.st_mode)) return "not a regular file";
  if (::access(path.c_str(), R_OK) != 0) return Reason(errno);
  return "cannot be opened";
}

}  // namespace

FileReadResult ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                             const ProgressCallback& progress) {
  bytes.clear();
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return {FileReadStatus::NotFound, {}};
  // Regular files only: a pipe would wait for a writer, a device never end.
  const std::unique_ptr<InputFile> file = InputFile::Open(path);
  if (!file) return {FileReadStatus::Failed, WhyNotReadable(path)};
  // The length at opening is all that is read, so a file that keeps growing
  // cannot take the memory either.
  const std::uint64_t expected = file->size();
  if (expected > kMaxGraphFileBytes) return {FileReadStatus::Failed, "larger than 1 GiB"};
  try {
    bytes.resize(static_cast<std::size_t>(expected));
  } catch (const std::bad_alloc&) {
    return {FileReadStatus::Failed, "out of memory"};
  }
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const std::ptrdiff_t n = file->read(bytes.data() + filled, std::min(kBlock, bytes.size() - filled));
    if (n < 0) {
      const std::string why = Reason(errno);
      bytes.clear();
      return {FileReadStatus::Failed, why};
    }
    if (n == 0) break;  // shrunk meanwhile: what is there is read
    filled += static_cast<std::size_t>(n);
    if (!ContinueAfter(progress, static_cast<double>(filled) / static_cast<double>(bytes.size()))) {
      bytes.clear();
      return {FileReadStatus::Cancelled, {}};
    }
  }
  bytes.resize(filled);
  return {FileReadStatus::Ok, {}};
}

// ---- Text ----

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    int follow = 0;
    std::uint32_t code = 0, lowest = 0;
    if ((b & 0xE0) == 0xC0) {
      follow = 1, code = b & 0x1F, lowest = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      follow = 2, code = b & 0x0F, lowest = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      follow = 3, code = b & 0x07, lowest = 0x10000;
    } else {
      return false;
    }
    if (n - i <= static_cast<std::size_t>(follow)) return false;
    for (int k = 1; k <= follow; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) return false;
      code = (code << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not UTF-8.
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(follow) + 1;
  }
  return true;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      text.push_back(ch);
    } else {
      text.push_back(static_cast<char>(0xC0 | (b >> 6)));
      text.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return text;
}

std::string StoredTextToUtf8(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : Latin1ToUtf8(bytes);
}

}  // namespace zentrel
