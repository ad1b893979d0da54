#pragma once
// Graph files kept in the repository, made here so they are never opaque
// blobs: the example graph and the fuzzing seeds. The graph file test
// checks them and rewrites them with ZENTREL_REGENERATE_EXAMPLES=1.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "io/archive_writer.h"
#include "model/document.h"
#include "model/fit.h"
#include "fit/model_table.h"
#include "io/graph_file.h"
#include "model/autoscale.h"

namespace zentrel {

// Two decay curves with comments; the first carries an exponential fit.
inline void BuildDemoGraph(CZentrelDoc& doc) {
  const double x[] = {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5};
  const double a[] = {10.1, 7.1, 5.2, 3.6, 2.7, 1.9, 1.3, 0.96, 0.71, 0.49, 0.35};
  const double aError[] = {0.5, 0.4, 0.35, 0.3, 0.25, 0.2, 0.15, 0.12, 0.1, 0.08, 0.06};
  const double b[] = {8.3, 6.8, 5.3, 4.7, 3.7, 3.0, 2.5, 2.1, 1.8, 1.6, 1.3};
  auto first = std::make_unique<Data_Set>();
  auto second = std::make_unique<Data_Set>();
  for (int i = 0; i < 11; ++i) {
    first->SetValue(0, i, x[i]);
    first->SetValue(1, i, a[i]);
    first->SetValue(2, i, aError[i]);
    second->SetValue(0, i, x[i]);
    second->SetValue(1, i, b[i]);
  }
  first->name = "decay A";
  first->comment = "Sample A, 20 C\r\nerrors from three repeats\r\n";
  first->color = 0x0000C0;
  second->name = "decay B";
  second->comment = "Sample B, 20 C\r\n";
  second->color = 0xC00000;
  auto fit = std::make_unique<Fit>();
  fit->name = "Exponential";
  fit->params[2] = 10.0;  // a0
  fit->params[3] = 1.43;  // t0
  fit->fitStart = 0;
  fit->fitEnd = 5;
  fit->method = kMethodLevenbergMarquardt;
  fit->weighting = kWeightInverseSigmaSquared;
  fit->freeFlags[1] = 0;  // x0 held
  first->fits.push_back(std::move(fit));
  first->ReattachFits();
  doc.AppendSet(std::move(first));
  doc.AppendSet(std::move(second));
  doc.graph.title = "Two decays";
  doc.graph.xLabel = "Time (s)";
  doc.graph.yLabel = "Counts";
  doc.graph.showMarkers = 1;
  doc.graph.showFitEquations = 1;
  doc.graph.showYErrorBars = 1;
  Autoscale(doc);
}

// A file as older versions wrote it: a schema-3 set with WORD counts and an
// empty column, a schema-1 fit, a version-1 graph block.
inline std::vector<std::uint8_t> OldSchemaGraphBytes() {
  ArchiveWriter out;
  out.Count(1);
  out.NewObjectTag("Data_Set", 3);
  out.Word(2);
  out.Word(1), out.Double(1), out.Double(2);
  out.Word(1), out.Double(3), out.Double(4);
  out.Word(0xFFFF);
  out.Byte(1), out.String("old set"), out.Dword(0xFF), out.Double(1);
  out.Count(1);
  out.NewObjectTag("Fit", 1);
  out.Word(kPolynomial), out.Word(2), out.Dword(0), out.Double(1), out.Double(2), out.String("line");
  out.Word(0), out.Dword(0xFF00), out.Word(0);
  for (int i = 0; i < kMaxFitParameters; ++i) out.Double(i), out.Double(0);
  out.String("old comment"), out.Dword(1);
  out.Rect(0, 0, 0, 0), out.Rect(0, 0, 0, 0);
  out.Double(0), out.Double(3), out.Double(0), out.Double(5);
  out.Byte(1), out.String("old"), out.String("x"), out.String("y"), out.Dword(0), out.Dword(1);
  return out.Take();
}

// A custom function and a fit convolved with the other set.
inline void BuildCustomConvolvedGraph(CZentrelDoc& doc) {
  auto source = std::make_unique<Data_Set>();
  auto target = std::make_unique<Data_Set>();
  for (int i = 0; i < 6; ++i) {
    source->SetValue(0, i, i), source->SetValue(1, i, i == 2 ? 1 : 0);
    target->SetValue(0, i, i), target->SetValue(1, i, 6 - i);
  }
  source->name = "response";
  target->name = "signal";
  auto custom = std::make_unique<Fit>();
  custom->modelKind = kCustomFunction;
  custom->customEquation = "A0*EXP(-X/A1)";
  custom->name = "custom";
  custom->fitStart = 0, custom->fitEnd = 5;
  auto convolved = std::make_unique<Fit>();
  convolved->name = "convolved";
  convolved->fitStart = 0, convolved->fitEnd = 5;
  convolved->setConvolutionSource(source.get());
  target->fits.push_back(std::move(custom));
  target->fits.push_back(std::move(convolved));
  target->ReattachFits();
  doc.AppendSet(std::move(source));
  doc.AppendSet(std::move(target));
}

// The demo graph with bounds on its fit's parameters and on a second fit
// of the other set: the file ends with the bounds block.
inline void BuildBoundedGraph(CZentrelDoc& doc) {
  BuildDemoGraph(doc);
  Fit& first = *doc.sets[0]->fits[0];
  first.lowerBounds[0] = 0;     // y0 >= 0
  first.lowerBounds[2] = 0.5;   // a0 in 0.5..20
  first.upperBounds[2] = 20;
  first.upperBounds[3] = 4;     // t0 <= 4
  auto second = std::make_unique<Fit>();
  second->name = "bounded line";
  second->modelKind = kPolynomial;
  second->fitStart = 0, second->fitEnd = 5;
  second->lowerBounds[2] = -1, second->upperBounds[2] = -1;  // a pinned slope
  doc.sets[1]->fits.push_back(std::move(second));
  doc.sets[1]->ReattachFits();
}

struct GraphFileSample {
  std::string path;  // relative to the repository
  std::vector<std::uint8_t> bytes;
};

inline std::vector<GraphFileSample> GraphFileSamples() {
  CZentrelDoc demo, empty, custom, bounded;
  BuildDemoGraph(demo);
  BuildBoundedGraph(bounded);
  BuildCustomConvolvedGraph(custom);
  const std::vector<std::uint8_t> demoBytes = GraphFileBytes(demo);
  // The demo cut right after its sets, as the oldest files end.
  CZentrelDoc setsOnly;
  BuildDemoGraph(setsOnly);
  std::vector<std::uint8_t> afterSets = GraphFileBytes(setsOnly);
  const Graph& g = setsOnly.graph;
  afterSets.resize(afterSets.size() - 4 - (32 + 32 + 1 + 3 + g.title.size() + g.xLabel.size() + g.yLabel.size() + 56));
  return {
      {"examples/demo.ztl", demoBytes},
      {"fuzz/corpus/graph_file/demo", demoBytes},
      {"fuzz/corpus/graph_file/empty", GraphFileBytes(empty)},
      {"fuzz/corpus/graph_file/after_sets", afterSets},
      {"fuzz/corpus/graph_file/old_schemas", OldSchemaGraphBytes()},
      {"fuzz/corpus/graph_file/custom_convolved", GraphFileBytes(custom)},
      {"fuzz/corpus/graph_file/bounds", GraphFileBytes(bounded)},
  };
}

}  // namespace zentrel
