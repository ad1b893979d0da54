#include "render.h"

#include <cctype>
#include <iostream>

#include "graph_export.h"

namespace zentrel::cli {

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t k = 0; k < suffix.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + k])) != suffix[k]) return false;
  return true;
}

}  // namespace

RenderFunction MakeRenderFunction(int width, int height) {
  return [width, height](const CZentrelDoc& doc, const std::string& path) {
    const GraphExport drawn = ExportGraphDrawing(doc, path, width, height);
    return RenderResult{drawn.error, drawn.layout};
  };
}

std::string CheckRenderOutput(const std::string& output) {
  if (!EndsWithNoCase(output, ".png") && !EndsWithNoCase(output, ".svg") && !EndsWithNoCase(output, ".pdf"))
    return output + ": the output file name must end in .png, .svg or .pdf";
  return {};
}

int RenderDocument(const CZentrelDoc& doc, const std::string& output, int width, int height) {
  const std::string error = ExportGraph(doc, output, width, height);
  if (error.empty()) return 0;
  std::cerr << error << '\n';
  return 1;
}

}  // namespace zentrel::cli
