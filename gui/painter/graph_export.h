#pragma once
// The graph as an image or document file, drawn offscreen: PNG, SVG or PDF
// by the file's extension. The page is the whole image, as for a window of
// that size; image pixels are hundredths of an inch (100 per inch).

#include <QByteArray>
#include <QImage>
#include <string>

#include "view/draw_graph.h"

namespace zentrel {

class CZentrelDoc;

// 11 x 8.5 inches at 100 pixels per inch: a landscape letter page.
inline constexpr int kDefaultExportWidth = 1100;
inline constexpr int kDefaultExportHeight = 850;
inline constexpr int kMaxExportSide = 16000;
inline constexpr double kExportDpi = 100.0;

// Creates the Qt application object that text rendering needs, once. With
// no display and no platform chosen it uses the offscreen platform.
void EnsureGuiApplication();

// The graph on a white image; a null image when it cannot be allocated.
QImage RenderGraphImage(const CZentrelDoc& doc, int width, int height, const DrawOptions& options = {});

// An export's page and resolution. The page is pageWidth x pageHeight
// inches; a PNG has dpi pixels per inch of it, SVG and PDF are drawn as
// vectors on the page. The defaults are the classic 1100 x 850 image.
struct ExportOptions {
  double pageWidth = kDefaultExportWidth / kExportDpi;    // inches
  double pageHeight = kDefaultExportHeight / kExportDpi;  // inches
  double dpi = kExportDpi;
  DrawOptions draw;
  int pixelWidth() const;
  int pixelHeight() const;
};
// The export of a width x height pixel image at 100 pixels per inch.
ExportOptions ClassicExportSize(int width, int height);

// Writes the graph to path (.png, .svg or .pdf, any case) in one piece: a
// failed export leaves any earlier file untouched. Returns an error
// message, empty on success.
std::string ExportGraph(const CZentrelDoc& doc, const std::string& path, int width = kDefaultExportWidth,
                        int height = kDefaultExportHeight);

// The same, with the page and plot rectangles drawn (zeros when nothing
// was drawn).
struct GraphExport {
  std::string error;
  PageLayout layout;
  std::string note;  // the drawing's status note (paper_graph.h)
};
// What such a file would hold, in memory (the clipboard's pictures):
// `extension` is "png", "svg" or "pdf", any case.
struct GraphEncoding {
  std::string error;
  QByteArray bytes;
  PageLayout layout;
};
GraphEncoding EncodeGraph(const CZentrelDoc& doc, const std::string& extension, const ExportOptions& options = {});

GraphExport ExportGraphDrawing(const CZentrelDoc& doc, const std::string& path, int width = kDefaultExportWidth,
                               int height = kDefaultExportHeight);
GraphExport ExportGraphDrawing(const CZentrelDoc& doc, const std::string& path, const ExportOptions& options);

}  // namespace zentrel
