#include "graph_export.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "model/document.h"
#include "painter_surface.h"
#include "util/atomic_file.h"
#include "view/paint_graph.h"

namespace zentrel {

namespace {

enum class Format { Png, Svg, Pdf, Unknown };

Format FormatOf(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return Format::Unknown;
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == "png") return Format::Png;
  if (extension == "svg") return Format::Svg;
  if (extension == "pdf") return Format::Pdf;
  return Format::Unknown;
}

// What one painting drew: the page and plot rectangles and the status note.
struct Painted {
  PageLayout layout;
  std::string note;
};

// Paints the graph on whatever the painter draws to; the page is the whole
// device converted to device units.
Painted Paint(QPainter& painter, const CZentrelDoc& doc, const DrawOptions& options) {
  painter.fillRect(QRect(0, 0, painter.device()->width(), painter.device()->height()), Qt::white);
  PainterSurface surface(painter);
  const auto units = [](int pixels, double scale) { return static_cast<std::int32_t>(std::lround(pixels / scale)); };
  const PaintedPage painted = PaintPage(surface, doc,
                                        WindowPageRect(units(painter.device()->width(), surface.scaleX()),
                                                       units(painter.device()->height(), surface.scaleY())),
                                        options);
  return {painted.viewport.layout(), painted.note};
}

int Pixels(double inches, double dpi) {
  const double pixels = std::round(inches * dpi);
  return pixels >= 1.0 && pixels <= kMaxExportSide ? static_cast<int>(pixels) : (pixels < 1.0 ? 0 : kMaxExportSide + 1);
}

int DotsPerMeter(double dpi) { return static_cast<int>(std::lround(dpi / 0.0254)); }

QtMessageHandler previousHandler = nullptr;

// Drawing offscreen for a command-line run, Qt's notes about the desktop
// session (no runtime folder, no display) are noise on standard error;
// only its errors get through.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if ((type == QtCriticalMsg || type == QtFatalMsg) && previousHandler != nullptr)
    previousHandler(type, context, message);
}

}  // namespace

void EnsureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  previousHandler = qInstallMessageHandler(QuietMessages);
  static int argc = 1;
  static char name[] = "zentrel";
  static char* argv[] = {name, nullptr};
  // Lives until the process ends: tearing Qt down during static
  // destruction is not safe.
  new QGuiApplication(argc, argv);
}

namespace {

QImage RenderImage(const CZentrelDoc& doc, int width, int height, double dpi, const DrawOptions& options,
                   Painted& drawn) {
  EnsureGuiApplication();
  if (width < 1 || height < 1 || width > kMaxExportSide || height > kMaxExportSide) return {};
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.setDotsPerMeterX(DotsPerMeter(dpi));
  image.setDotsPerMeterY(DotsPerMeter(dpi));
  QPainter painter(&image);
  drawn = Paint(painter, doc, options);
  painter.end();
  return image;
}

// The graph drawn into bytes of the format; `name` is what messages call it.
std::string Encode(const CZentrelDoc& doc, Format format, const std::string& name, const ExportOptions& options,
                   QByteArray& bytes, Painted& drawn) {
  if (format == Format::Unknown) return name + ": the file name must end in .png, .svg or .pdf";
  if (!(options.dpi >= 1.0 && options.dpi <= 10000.0)) return "the resolution must be 1 to 10000 dots per inch";
  // PNG pixels follow the resolution; SVG keeps 100 units per inch of the page.
  const double dpi = format == Format::Png ? options.dpi : kExportDpi;
  const int width = Pixels(options.pageWidth, dpi), height = Pixels(options.pageHeight, dpi);
  if (width < 1 || height < 1 || width > kMaxExportSide || height > kMaxExportSide)
    return "image size must be 1 to " + std::to_string(kMaxExportSide) + " pixels each way";
  EnsureGuiApplication();

  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  switch (format) {
    case Format::Png: {
      const QImage image = RenderImage(doc, width, height, dpi, options.draw, drawn);
      if (image.isNull())
        return "not enough memory for a " + std::to_string(width) + " x " + std::to_string(height) + " image";
      if (!image.save(&buffer, "PNG")) return name + ": could not encode the PNG image";
      break;
    }
    case Format::Svg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setSize(QSize(width, height));
      svg.setViewBox(QRect(0, 0, width, height));
      svg.setResolution(static_cast<int>(kExportDpi));
      svg.setTitle(QStringLiteral("Zentrel graph"));
      QPainter painter;
      if (!painter.begin(&svg)) return name + ": could not start the SVG document";
      drawn = Paint(painter, doc, options.draw);
      painter.end();
      break;
    }
    case Format::Pdf: {
      // One page of the image's size in inches, drawn as vectors.
      QPdfWriter pdf(&buffer);
      pdf.setCreator(QStringLiteral("Zentrel"));
      pdf.setTitle(QStringLiteral("Zentrel graph"));
      pdf.setPageSize(QPageSize(QSizeF(options.pageWidth, options.pageHeight), QPageSize::Inch, QString(),
                                QPageSize::ExactMatch));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      QPainter painter;
      if (!painter.begin(&pdf)) return name + ": could not start the PDF document";
      drawn = Paint(painter, doc, options.draw);
      painter.end();
      break;
    }
    case Format::Unknown:
      break;
  }
  buffer.close();
  return {};
}

std::string WriteExport(const CZentrelDoc& doc, const std::string& path, const ExportOptions& options,
                        Painted& drawn) {
  QByteArray bytes;
  if (std::string error = Encode(doc, FormatOf(path), path, options, bytes, drawn); !error.empty()) return error;
  return WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace

int ExportOptions::pixelWidth() const { return Pixels(pageWidth, dpi); }
int ExportOptions::pixelHeight() const { return Pixels(pageHeight, dpi); }

ExportOptions ClassicExportSize(int width, int height) {
  ExportOptions options;
  options.pageWidth = width / kExportDpi;
  options.pageHeight = height / kExportDpi;
  return options;
}

QImage RenderGraphImage(const CZentrelDoc& doc, int width, int height, const DrawOptions& options) {
  Painted drawn;
  return RenderImage(doc, width, height, kExportDpi, options, drawn);
}

std::string ExportGraph(const CZentrelDoc& doc, const std::string& path, int width, int height) {
  return ExportGraphDrawing(doc, path, width, height).error;
}

GraphEncoding EncodeGraph(const CZentrelDoc& doc, const std::string& extension, const ExportOptions& options) {
  GraphEncoding result;
  Painted drawn;
  result.error = Encode(doc, FormatOf("graph." + extension), extension, options, result.bytes, drawn);
  result.layout = drawn.layout;
  return result;
}

GraphExport ExportGraphDrawing(const CZentrelDoc& doc, const std::string& path, int width, int height) {
  return ExportGraphDrawing(doc, path, ClassicExportSize(width, height));
}

GraphExport ExportGraphDrawing(const CZentrelDoc& doc, const std::string& path, const ExportOptions& options) {
  GraphExport result;
  Painted drawn;
  result.error = WriteExport(doc, path, options, drawn);
  result.layout = drawn.layout;
  result.note = drawn.note;
  return result;
}

}  // namespace zentrel
