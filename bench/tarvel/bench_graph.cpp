// Graph paint cost at 1920 x 1080: 100 curves of 300 keys each, painted by the graph control
// (background, grid, curves as spans of rows per column, kept from paint to paint, keys) into
// an offscreen back buffer, against a plain QPainter drawing the same per-column polylines
// with a 2-pixel pen, in the same run.
#include "CurveWriter.h"
#include "graph/GUI_GraphCtrl.h"

#include <EditorCore/GUI_BackBuffer.h>
#include <EditorCore/GUI_RulerCtrl.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "curves/CurveInfo.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kCurves = 100;
constexpr int kKeys = 300;

EditorCore::COLORREF CurveColour(int c) { return EditorCore::RGB(150 + c % 100, 25 + c, 25); }

// A curve panel with its two rulers and the graph, the curves fitted to the view.
struct Scene {
  EditorCore::GUI_Wnd panel;
  EditorCore::GUI_RulerCtrl hRuler;
  EditorCore::GUI_RulerCtrl vRuler;
  Tarvel::CurveSelection shown;
  Tarvel::GUI_GraphCtrl graph{shown};
  std::vector<std::unique_ptr<Tarvel::CurveInfo>> records;
  bool ready = false;

  Scene() {
    if (!panel.CreateTopLevel("bench", EditorCore::CRect(0, 0, kWidth + 40, kHeight + 30))) return;
    if (!hRuler.Create(&panel, 1) || !vRuler.Create(&panel, 1) || !graph.Create(&panel, 1)) return;
    vRuler.SetRulerStyle(0x22);
    vRuler.MoveWindow(0, 0, 40, kHeight);
    graph.MoveWindow(40, 0, kWidth, kHeight);
    hRuler.MoveWindow(40, kHeight, kWidth, 30);
    graph.AttachRulers(&hRuler, &vRuler);
    // Animation channels: smooth swings with some steep stretches, one key every 2 frames.
    for (int c = 0; c < kCurves; ++c) {
      auto info = std::make_unique<Tarvel::CurveInfo>(
          static_cast<std::uint32_t>(c / 9 + 1), Tarvel::CurveInfo::Translation, static_cast<std::uint32_t>(c % 3));
      Tarvel::CurveWriter::Of(*info).Prepare(kKeys);
      const double phase = c * 0.37;
      const double frequency = 0.02 + 0.004 * (c % 13);
      for (int k = 0; k < kKeys; ++k) {
        const float x = 2.0f * k;
        const float y = static_cast<float>(40.0 * std::sin(x * frequency + phase) + 6.0 * std::sin(x * 0.5 + c));
        Tarvel::CurveWriter::Of(*info).AddPoint({x, y}, false);
      }
      Tarvel::CurveWriter::Of(*info).SetColor(CurveColour(c));
      Tarvel::CurveWriter::Of(*info).SetSelectionColor(EditorCore::RGB(255, 255, 255));
      info->bSelected = c % 10 == 0;
      shown.AddCurve(info.get(), "Bench");
      records.push_back(std::move(info));
    }
    graph.FitAll();
    ready = true;
  }

  // The per-column samples of every curve, as the graph takes them, clamped to the view.
  std::vector<std::vector<QPoint>> Samples() const {
    std::vector<std::vector<QPoint>> all;
    for (const auto& info : records) {
      std::vector<QPoint> points;
      const EditorToolkit::Curve2& curve = *info->pCurve;
      const float first = curve.GetPointAt(0)->x;
      const float last = curve.GetPointAt(curve.GetPointCount() - 1)->x;
      std::uint32_t segment = 0;
      for (int i = 0; i < kWidth; ++i) {
        const float x = static_cast<float>(hRuler.PixelToValue(i));
        if (x < first) continue;
        if (x > last) break;
        float y = 0.0f;
        curve.EvaluatePoint(x, y, segment);
        const int q = std::clamp(vRuler.ValueToPixel(y), 0, kHeight);
        points.emplace_back(i, kHeight - q);
      }
      all.push_back(std::move(points));
    }
    return all;
  }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

void BM_GraphPaint100(benchmark::State& state) {
  Scene& scene = TheScene();
  EditorCore::GUI_BackBuffer buffer;
  if (!scene.ready || !buffer.CreateOffscreen(kWidth, kHeight)) {
    state.SkipWithError("no scene or no back buffer");
    return;
  }
  for (auto _ : state) {
    scene.graph.Paint(buffer, kWidth, kHeight);
    benchmark::DoNotOptimize(buffer.GetBits());
  }
}

void BM_QPainterPaint100(benchmark::State& state) {
  Scene& scene = TheScene();
  if (!scene.ready) {
    state.SkipWithError("no scene");
    return;
  }
  const std::vector<std::vector<QPoint>> samples = scene.Samples();
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    image.fill(QColor(58, 58, 60));
    QPainter painter(&image);
    for (int c = 0; c < kCurves; ++c) {
      const EditorCore::COLORREF colour = CurveColour(c);
      painter.setPen(
          QPen(QColor(EditorCore::GetRValue(colour), EditorCore::GetGValue(colour), EditorCore::GetBValue(colour)), 2));
      painter.drawPolyline(samples[c].data(), static_cast<int>(samples[c].size()));
    }
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

BENCHMARK(BM_GraphPaint100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QPainterPaint100)->Unit(benchmark::kMillisecond);

}  // namespace
