// Draws real images through the QPainter surface and looks at pixels where
// the frame, a marker and a line must be; decodes the PNG, parses the SVG
// and converts the PDF with pdftoppm when it is installed.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "graph_export.h"
#include "model/document.h"

namespace zentrel {
namespace {

const QRgb kWhite = qRgb(255, 255, 255);

Data_Set& AddSet(CZentrelDoc& doc, const std::vector<double>& x, const std::vector<double>& y, Colour colour) {
  auto set = std::make_unique<Data_Set>();
  for (size_t k = 0; k < x.size(); ++k) set->SetValue(0, static_cast<int>(k), x[k]);
  for (size_t k = 0; k < y.size(); ++k) set->SetValue(1, static_cast<int>(k), y[k]);
  set->color = colour;
  return doc.AppendSet(std::move(set));
}

// Whether a pixel within one of (x, y) has the colour: aliased lines may
// land on either side of a device unit's edge.
bool ColourNear(const QImage& image, int x, int y, QRgb colour) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (image.valid(x + dx, y + dy) && (image.pixel(x + dx, y + dy) & 0xFFFFFF) == (colour & 0xFFFFFF)) return true;
  return false;
}

// A 1000 x 800 image at 100 pixels per inch: one pixel per device unit, the
// plot from 65 to 965 across and from 5 to 765 down; x and y 0..1.
struct SmallGraph {
  CZentrelDoc doc;
  SmallGraph() {
    doc.graph.showMarkers = 1;
    AddSet(doc, {0.25, 0.75}, {0.25, 0.75}, MakeColour(255, 0, 0));
  }
};

TEST(RenderImage, PngShowsFrameMarkerAndLine) {
  SmallGraph graph;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("graph.png").toStdString();
  ASSERT_EQ(ExportGraph(graph.doc, path, 1000, 800), "");
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(path), "PNG"));
  ASSERT_EQ(image.size(), QSize(1000, 800));

  const QRgb black = qRgb(0, 0, 0), red = qRgb(255, 0, 0);
  EXPECT_TRUE(ColourNear(image, 65, 400, black));   // left edge of the frame
  EXPECT_TRUE(ColourNear(image, 965, 400, black));  // right edge
  EXPECT_TRUE(ColourNear(image, 500, 765, black));  // bottom edge
  EXPECT_EQ(image.pixel(20, 20), kWhite);           // page outside the plot
  EXPECT_EQ(image.pixel(500, 300), kWhite);         // plot area away from the data
  // The first point at (0.25, 0.25) lands on (290, 575): a 9-unit square.
  EXPECT_TRUE(ColourNear(image, 286, 577, red));  // left side of the square
  EXPECT_TRUE(ColourNear(image, 294, 573, red));  // right side
  EXPECT_EQ(image.pixel(288, 578), kWhite);       // inside, off the line: white fill
  // The connecting line passes the middle, (515, 385).
  EXPECT_TRUE(ColourNear(image, 515, 385, red));
  // Tick labels under the x axis are black text on white.
  int dark = 0;
  for (int y = 781; y < 800; ++y)
    for (int x = 55; x < 90; ++x) dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  EXPECT_GT(dark, 5);
}

TEST(RenderImage, CompactedDenseSeriesDrawTheSamePixels) {
  // Dense noisy series: many points per device column, some off the plot;
  // lines alone, with squares, and on a log axis with circles.
  const struct { int log, markers; } cases[] = {{0, 0}, {0, 1}, {1, 1}};
  for (const auto [log, markers] : cases) {
    CZentrelDoc doc;
    if (log) AddSet(doc, {1}, {1}, 0).active = 0;  // the next set gets circles
    doc.graph.showMarkers = markers;
    std::vector<double> x, y;
    unsigned state = 12345;
    for (int k = 0; k < 200000; ++k) {
      state = state * 1103515245u + 12345u;
      const double noise = ((state >> 8) % 10000) / 10000.0 - 0.5;
      x.push_back(1 + k * 1e-4);
      y.push_back(3 + std::sin(k * 2e-4) + noise * (k % 50000 < 25000 ? 0.5 : 3));
    }
    AddSet(doc, x, y, MakeColour(0, 0, 200));
    doc.graph.logX = log;
    doc.graph.SetRange(1, 1, 21, 5);
    const QImage plain = RenderGraphImage(doc, 1600, 1000, {.compactDenseSeries = false});
    const QImage compact = RenderGraphImage(doc, 1600, 1000, {.compactDenseSeries = true});
    ASSERT_FALSE(plain.isNull());
    EXPECT_TRUE(plain == compact) << "log " << log << " markers " << markers;
  }
}

TEST(RenderImage, SvgParses) {
  SmallGraph graph;
  QTemporaryDir dir;
  const std::string path = dir.filePath("graph.svg").toStdString();
  ASSERT_EQ(ExportGraph(graph.doc, path), "");
  QSvgRenderer renderer(QString::fromStdString(path));
  EXPECT_TRUE(renderer.isValid());
  EXPECT_EQ(renderer.viewBox(), QRect(0, 0, kDefaultExportWidth, kDefaultExportHeight));
}

TEST(RenderImage, PdfConvertsWithPdftoppm) {
  if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "pdftoppm is not installed (poppler-utils); the PDF is not checked";
  SmallGraph graph;
  QTemporaryDir dir;
  const std::string pdf = dir.filePath("graph.pdf").toStdString();
  ASSERT_EQ(ExportGraph(graph.doc, pdf, 1000, 800), "");
  const std::string prefix = dir.filePath("page").toStdString();
  const std::string command = "pdftoppm -png -r 100 -singlefile '" + pdf + "' '" + prefix + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  QImage page;
  ASSERT_TRUE(page.load(QString::fromStdString(prefix + ".png"), "PNG"));
  // 10 x 8 inches at 100 dpi; the frame and the marker are where the PNG has them.
  EXPECT_EQ(page.size(), QSize(1000, 800));
  EXPECT_LT(qGray(page.pixel(65, 400)), 128);
  EXPECT_EQ(page.pixel(500, 300), kWhite);
  EXPECT_GT(qRed(page.pixel(286, 575)), 200);
  EXPECT_LT(qGreen(page.pixel(286, 575)), 100);
}

TEST(RenderImage, FailedExportsLeaveNoFile) {
  SmallGraph graph;
  QTemporaryDir dir;
  EXPECT_NE(ExportGraph(graph.doc, dir.filePath("graph.bmp").toStdString()), "");
  EXPECT_NE(ExportGraph(graph.doc, dir.filePath("graph.png").toStdString(), 0, 100), "");
  EXPECT_NE(ExportGraph(graph.doc, dir.filePath("graph.png").toStdString(), 100, kMaxExportSide + 1), "");
  EXPECT_NE(ExportGraph(graph.doc, dir.filePath("missing/graph.png").toStdString()), "");
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

}  // namespace
}  // namespace zentrel

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Always offscreen: the tests never need a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
