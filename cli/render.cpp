#include "render.h"

#include <cctype>
#include <iostream>

#include "model/document.h"

namespace zentrel::cli {

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t k = 0; k < suffix.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + k])) != suffix[k]) return false;
  return true;
}

}  // namespace

ExportOptions ResolveExportOptions(const RenderSize& size, const DrawPreferences& preferences) {
  ExportOptions options;
  options.draw = OptionsFor(preferences);
  options.dpi = size.dpi.value_or(kExportDpi);
  if (preferences.style != DrawStyle::Paper) {
    options.pageWidth = size.pageWidth.value_or(size.width.value_or(kDefaultExportWidth) / kExportDpi);
    options.pageHeight = size.pageHeight.value_or(size.height.value_or(kDefaultExportHeight) / kExportDpi);
    return options;
  }
  options.pageWidth = size.pageWidth.value_or(kDefaultExportWidth / kExportDpi);
  options.pageHeight = size.pageHeight.value_or(kDefaultExportHeight / kExportDpi);
  if (size.width) {
    options.dpi = *size.width / options.pageWidth;
    // Both pixel sizes: the page takes the image's shape.
    if (size.height && !size.pageHeight) options.pageHeight = *size.height / options.dpi;
  } else if (size.height) {
    options.dpi = *size.height / options.pageHeight;
  }
  return options;
}

RenderFunction MakeRenderFunction(RenderSize size) {
  return [size](const CZentrelDoc& doc, const std::string& path) {
    const GraphExport drawn = ExportGraphDrawing(doc, path, ResolveExportOptions(size, doc.drawPreferences));
    return RenderResult{drawn.error, drawn.layout, drawn.note};
  };
}

std::string CheckRenderOutput(const std::string& output) {
  if (!EndsWithNoCase(output, ".png") && !EndsWithNoCase(output, ".svg") && !EndsWithNoCase(output, ".pdf"))
    return output + ": the output file name must end in .png, .svg or .pdf";
  return {};
}

int RenderDocument(const CZentrelDoc& doc, const std::string& output, const RenderSize& size) {
  const GraphExport drawn = ExportGraphDrawing(doc, output, ResolveExportOptions(size, doc.drawPreferences));
  if (!drawn.note.empty()) std::cerr << drawn.note << '\n';
  if (drawn.error.empty()) return 0;
  std::cerr << drawn.error << '\n';
  return 1;
}

}  // namespace zentrel::cli
