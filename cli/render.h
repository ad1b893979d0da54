#pragma once
// zentrel-cli render and the `render FILE` script line: the graph drawn
// offscreen with the QPainter surface into PNG, SVG or PDF.

#include <optional>
#include <string>

#include "app/script/script_runner.h"
#include "graph_export.h"
#include "model/draw_preferences.h"

namespace zentrel::cli {

// The size given on the command line, each part optional. It is resolved
// for each drawing, as its meaning depends on the style: in the classic
// style --width and --height are pixels at 100 per inch (a larger image is
// a larger page); in the paper style the page stays 11 x 8.5 inches (or
// --page-width x --page-height) and --width or --height set how many
// pixels it gets, so a wider image is a sharper one. --dpi sets the pixels
// per inch when no pixel size is given for the paper style.
struct RenderSize {
  std::optional<int> width, height;
  std::optional<double> dpi;
  std::optional<double> pageWidth, pageHeight;  // inches
};

ExportOptions ResolveExportOptions(const RenderSize& size, const DrawPreferences& preferences);

// The script hook: draws the document in its drawing preferences.
RenderFunction MakeRenderFunction(RenderSize size);

// What is wrong with the file names of `zentrel-cli render IN OUT`; empty
// when they can be used.
std::string CheckRenderOutput(const std::string& output);

// Draws the document into output; prints the error and returns 1 on failure.
int RenderDocument(const CZentrelDoc& doc, const std::string& output, const RenderSize& size);

}  // namespace zentrel::cli
