// zentrel-cli render --style paper, read back from the SVG: every text is
// measured with the font it names, and the page must show no overlapping
// texts, no text across a frame, a legend entry per set, and tick labels
// that are round values placed where they say (decades on log axes).

#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTransform>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "graph_export.h"
#include "painter_surface.h"

namespace zentrel {
namespace {

// Tick labels are 10-point text at 100 units per inch.
constexpr double kTickFontSize = 10.0 * 100.0 / 72.0;

struct SvgText {
  QString text;
  QRectF box;
  double fontSize = 0;
};

struct SvgPage {
  QRectF viewBox;
  std::vector<SvgText> texts;
  std::vector<QRectF> frames;  // black outlined rectangles: the plot panels
  std::vector<QLineF> lines;
};

QTransform ParseMatrix(const QString& attribute) {
  static const QRegularExpression matrix(QStringLiteral("matrix\\(([^)]*)\\)"));
  const auto match = matrix.match(attribute);
  if (!match.hasMatch()) return {};
  const QStringList v = match.captured(1).split(',');
  if (v.size() != 6) return {};
  return QTransform(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble(), v[4].toDouble(),
                    v[5].toDouble());
}

// The font the drawing measured with, at the SVG's size (units of 1/100 inch).
QFontMetricsF MetricsFor(double fontSize) {
  static QImage device = [] {
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(100 / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(100 / 0.0254)));
    return image;
  }();
  QFont font = GraphFont();
  font.setPointSizeF(fontSize * 72.0 / 100.0);
  return QFontMetricsF(font, &device);
}

SvgPage ReadSvg(const QString& path) {
  SvgPage page;
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  QXmlStreamReader xml(&file);
  std::vector<QTransform> transforms{QTransform()};
  std::vector<QString> strokes{QString()};
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isEndElement() && xml.name() == QLatin1String("g")) {
      transforms.pop_back();
      strokes.pop_back();
    }
    if (!xml.isStartElement()) continue;
    const auto attributes = xml.attributes();
    if (xml.name() == QLatin1String("svg")) {
      const QStringList v = attributes.value("viewBox").toString().split(' ');
      if (v.size() == 4) page.viewBox = QRectF(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble());
    } else if (xml.name() == QLatin1String("g")) {
      transforms.push_back(ParseMatrix(attributes.value("transform").toString()) * transforms.back());
      const QString stroke = attributes.value("stroke").toString();
      strokes.push_back(stroke.isEmpty() ? strokes.back() : stroke);
    } else if (xml.name() == QLatin1String("text")) {
      SvgText text;
      text.fontSize = attributes.value("font-size").toDouble();
      const double x = attributes.value("x").toDouble(), y = attributes.value("y").toDouble();
      text.text = xml.readElementText();
      const QFontMetricsF metrics = MetricsFor(text.fontSize);
      const QRectF local(x, y - metrics.ascent(), metrics.horizontalAdvance(text.text), metrics.height());
      text.box = transforms.back().mapRect(local);
      page.texts.push_back(text);
    } else if (xml.name() == QLatin1String("rect") && strokes.back() == QLatin1String("#000000")) {
      const QRectF r(attributes.value("x").toDouble(), attributes.value("y").toDouble(),
                     attributes.value("width").toDouble(), attributes.value("height").toDouble());
      page.frames.push_back(transforms.back().mapRect(r));
    } else if (xml.name() == QLatin1String("polyline")) {
      const QStringList points = attributes.value("points").toString().split(' ', Qt::SkipEmptyParts);
      for (qsizetype k = 1; k < points.size(); ++k) {
        const QStringList a = points[k - 1].split(','), b = points[k].split(',');
        page.lines.push_back(transforms.back().map(
            QLineF(a[0].toDouble(), a[1].toDouble(), b[0].toDouble(), b[1].toDouble())));
      }
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return page;
}

// A tick label with its raised exponent joined: "10" then "-3" is 1e-3.
struct TickLabel {
  double value = 0;
  bool decade = false;
  QRectF box;
};

std::vector<TickLabel> TickLabels(const SvgPage& page) {
  std::vector<TickLabel> labels;
  for (size_t k = 0; k < page.texts.size(); ++k) {
    const SvgText& t = page.texts[k];
    if (std::fabs(t.fontSize - kTickFontSize) > 0.01) continue;
    bool ok = false;
    const double value = t.text.toDouble(&ok);
    if (!ok) continue;
    TickLabel label{value, false, t.box};
    if (t.text == QLatin1String("10") && k + 1 < page.texts.size() && page.texts[k + 1].fontSize < kTickFontSize) {
      const int exponent = page.texts[k + 1].text.toInt(&ok);
      if (ok) label = {std::pow(10.0, exponent), true, t.box.united(page.texts[k + 1].box)};
    }
    labels.push_back(label);
  }
  return labels;
}

bool IsRound(double step) {
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  return std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 || std::fabs(mantissa - 5) < 1e-6;
}

// The labels along one axis, in order of position: round values in equal
// steps (whole decades on a log axis), each where the axis' affine mapping
// puts it and over a tick mark.
void ExpectAxis(std::vector<TickLabel> labels, bool horizontal, const SvgPage& page, const std::string& what) {
  ASSERT_GE(labels.size(), 2u) << what;
  const auto centre = [&](const TickLabel& l) { return horizontal ? l.box.center().x() : l.box.center().y(); };
  std::sort(labels.begin(), labels.end(), [&](const auto& a, const auto& b) { return centre(a) < centre(b); });
  const bool log = std::all_of(labels.begin(), labels.end(), [](const auto& l) { return l.decade; });
  std::vector<double> u;
  for (const auto& l : labels) u.push_back(log ? std::log10(l.value) : l.value);
  const double step = u[1] - u[0];
  ASSERT_NE(step, 0.0) << what;
  for (size_t k = 1; k < u.size(); ++k)
    EXPECT_NEAR(u[k] - u[k - 1], step, 1e-9 * std::fabs(step) + (log ? 1e-9 : 0)) << what << " label " << k;
  if (!log) {
    EXPECT_TRUE(IsRound(std::fabs(step))) << what << ": step " << step;
    for (const double v : u) EXPECT_NEAR(v / step, std::round(v / step), 1e-6) << what << ": " << v;
  }
  const double slope = (centre(labels.back()) - centre(labels.front())) / (u.back() - u.front());
  for (size_t k = 0; k < labels.size(); ++k) {
    const double expected = centre(labels.front()) + slope * (u[k] - u.front());
    EXPECT_NEAR(centre(labels[k]), expected, 1.5) << what << ": label " << labels[k].value << " off its place";
    const bool marked = std::any_of(page.lines.begin(), page.lines.end(), [&](const QLineF& line) {
      return horizontal ? (line.x1() == line.x2() && std::fabs(line.x1() - centre(labels[k])) <= 1.5)
                        : (line.y1() == line.y2() && std::fabs(line.y1() - centre(labels[k])) <= 1.5);
    });
    EXPECT_TRUE(marked) << what << ": no tick mark under label " << labels[k].value;
  }
}

bool Overlap(const QRectF& a, const QRectF& b) {
  return a.adjusted(0.5, 0.5, -0.5, -0.5).intersects(b.adjusted(0.5, 0.5, -0.5, -0.5));
}

struct Case {
  const char* file;  // relative to the source folder
  std::vector<std::string> sets;
  bool logX;
};

class PaperSvg : public ::testing::TestWithParam<Case> {};

TEST_P(PaperSvg, TextsStayApartAndTickLabelsStateTheirPlaces) {
  const Case& c = GetParam();
  EnsureGuiApplication();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString out = dir.filePath(QStringLiteral("paper.svg"));
  QProcess cli;
  cli.start(QStringLiteral(ZENTREL_CLI),
            {QStringLiteral("render"), QStringLiteral(ZENTREL_SOURCE_DIR "/") + c.file, out, QStringLiteral("--style"),
             QStringLiteral("paper")});
  ASSERT_TRUE(cli.waitForFinished(120000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  const SvgPage page = ReadSvg(out);
  ASSERT_FALSE(page.frames.empty());
  ASSERT_FALSE(page.texts.empty());

  for (size_t i = 0; i < page.texts.size(); ++i) {
    const QRectF& box = page.texts[i].box;
    const std::string name = page.texts[i].text.toStdString();
    EXPECT_TRUE(page.viewBox.adjusted(-0.5, -0.5, 0.5, 0.5).contains(box)) << name << " leaves the page";
    for (size_t j = i + 1; j < page.texts.size(); ++j)
      EXPECT_FALSE(Overlap(box, page.texts[j].box)) << "'" << name << "' overlaps '" << page.texts[j].text.toStdString()
                                                    << "'";
    for (const QRectF& frame : page.frames) {
      const bool inside = frame.adjusted(0.5, 0.5, -0.5, -0.5).contains(box.adjusted(0.5, 0.5, -0.5, -0.5));
      EXPECT_TRUE(inside || !Overlap(box, frame.adjusted(-0.5, -0.5, 0.5, 0.5))) << name << " crosses a frame";
    }
  }

  for (const auto& set : c.sets) {
    const auto count = std::count_if(page.texts.begin(), page.texts.end(),
                                     [&](const SvgText& t) { return t.text.toStdString() == set; });
    EXPECT_EQ(count, 1) << "legend entry for " << set;
  }

  // x labels lie below the lowest frame; y labels left of a frame, beside it.
  double lowest = 0, leftmost = 1e9;
  for (const QRectF& f : page.frames) lowest = std::max(lowest, f.bottom()), leftmost = std::min(leftmost, f.left());
  const std::vector<TickLabel> labels = TickLabels(page);
  std::vector<TickLabel> x;
  for (const auto& l : labels)
    if (l.box.top() > lowest) x.push_back(l);
  ExpectAxis(x, true, page, std::string(c.file) + " x");
  if (c.logX) {
    for (const auto& l : x) EXPECT_TRUE(l.decade) << c.file << ": x tick " << l.value << " is not a decade";
  }
  for (const QRectF& f : page.frames) {
    std::vector<TickLabel> y;
    for (const auto& l : labels)
      if (l.box.right() < leftmost && l.box.center().y() >= f.top() - 1 && l.box.center().y() <= f.bottom() + 1)
        y.push_back(l);
    if (y.size() >= 2 || f == page.frames.front()) ExpectAxis(y, false, page, std::string(c.file) + " y");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Graphs, PaperSvg,
    ::testing::Values(Case{"examples/graph.zts", {"decay", "ringing"}, false},
                      Case{"examples/demo.ztl", {"decay A", "decay B"}, false},
                      Case{"tests/render/paper/log_log.zts", {"pink noise", "shot noise", "with zeros"}, true},
                      Case{"tests/render/paper/ten_sets.zts",
                           {"sample 1", "sample 2", "sample 3", "sample 4", "sample 5", "sample 6", "sample 7",
                            "sample 8", "sample 9", "sample 10"},
                           false},
                      Case{"tests/render/paper/two_fits.zts", {"decay A", "decay B"}, false}),
    [](const ::testing::TestParamInfo<Case>& param) {
      std::string name = param.param.file;
      name = name.substr(name.find_last_of('/') + 1);
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

}  // namespace
}  // namespace zentrel
