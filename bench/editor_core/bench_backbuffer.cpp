// Graph paint cost: 100 polylines of 1,920 points (one point per pixel column, as the
// graph samples its curves) with a 2-pixel solid pen into a 1920 x 1080 image, through the
// host back buffer and through a plain QPainter, in the same run.
#include <EditorCore/GUI_BackBuffer.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kCurves = 100;

// Curves that cross most of the view, with some steep stretches, as animation channels do.
const std::vector<std::vector<EditorCore::CPoint>>& Curves() {
  static const std::vector<std::vector<EditorCore::CPoint>> curves = [] {
    std::vector<std::vector<EditorCore::CPoint>> all(kCurves);
    for (int c = 0; c < kCurves; ++c) {
      all[c].reserve(kWidth);
      const double phase = c * 0.37;
      const double frequency = 0.002 + 0.0004 * (c % 13);
      for (int x = 0; x < kWidth; ++x) {
        const double y = kHeight / 2.0 + 420.0 * std::sin(x * frequency + phase) + 60.0 * std::sin(x * 0.05 + c);
        all[c].push_back({x, static_cast<int>(std::lround(y))});
      }
    }
    return all;
  }();
  return curves;
}

void BM_BackBufferPolylines100(benchmark::State& state) {
  const auto& curves = Curves();
  EditorCore::GUI_BackBuffer buffer;
  if (!buffer.CreateOffscreen(kWidth, kHeight)) {
    state.SkipWithError("no back buffer");
    return;
  }
  for (auto _ : state) {
    buffer.Fill(EditorCore::RGB(58, 58, 60));
    for (int c = 0; c < kCurves; ++c) {
      buffer.SetPen(EditorCore::RGB(150 + c % 100, 25 + c, 25), 2, EditorCore::PS_SOLID);
      buffer.Polyline(curves[c].data(), kWidth);
    }
    benchmark::DoNotOptimize(buffer.GetBits());
  }
}

void BM_QPainterPolylines100(benchmark::State& state) {
  const auto& curves = Curves();
  std::vector<std::vector<QPoint>> points(kCurves);
  for (int c = 0; c < kCurves; ++c) {
    for (const auto& p : curves[c]) points[c].emplace_back(p.x, p.y);
  }
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    image.fill(QColor(58, 58, 60));
    QPainter painter(&image);
    for (int c = 0; c < kCurves; ++c) {
      painter.setPen(QPen(QColor(150 + c % 100, 25 + c, 25), 2));
      painter.drawPolyline(points[c].data(), kWidth);
    }
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

BENCHMARK(BM_BackBufferPolylines100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QPainterPolylines100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Text and icons of the back buffer need the platform's GUI; polylines do not, but the
  // buffer is made the way the host makes it.
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
