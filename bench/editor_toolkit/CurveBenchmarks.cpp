#include <EditorToolkit/Curve2.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;

namespace {

constexpr std::uint32_t kPoints = 10000;
// One evaluation per pixel column of a full-HD graph.
constexpr int kColumns = 1920;

// The keys of one track, computed once so that the timings hold only the curve's work.
const std::vector<EngineCore::Vector2>& Keys() {
  static const std::vector<EngineCore::Vector2> keys = [] {
    std::vector<EngineCore::Vector2> points;
    points.reserve(kPoints);
    for (std::uint32_t i = 0; i < kPoints; ++i) {
      points.emplace_back(static_cast<float>(i), 100.0f * std::sin(0.01f * static_cast<float>(i)));
    }
    return points;
  }();
  return keys;
}

void Build(Curve2& curve) {
  curve.Prepare(kPoints);
  for (const EngineCore::Vector2& key : Keys()) curve.AddPoint(key, false);
}

double PerPoint(std::size_t bytes, std::size_t points) {
  return static_cast<double>(bytes) / static_cast<double>(points);
}

}  // namespace

static void BM_BuildCurve10k(benchmark::State& state) {
  Keys();
  std::size_t held = 0;
  for (auto _ : state) {
    std::optional<Curve2> curve(std::in_place);
    Build(*curve);
    benchmark::DoNotOptimize(curve->GetPointAt(kPoints - 1));
    held = curve->GetPointCount() * sizeof(EditablePoint);
    // Tearing down is not building; freeing 240 KB also makes glibc hand the heap top back
    // to the kernel, which would otherwise dominate the figure.
    state.PauseTiming();
    curve.reset();
    state.ResumeTiming();
  }
  state.counters["bytes_per_point"] = PerPoint(held, kPoints);
}
BENCHMARK(BM_BuildCurve10k)->Unit(benchmark::kMicrosecond);

static void BM_GetCurve10k(benchmark::State& state) {
  Curve2 curve;
  Build(curve);
  std::size_t copyBytes = 0;
  for (auto _ : state) {
    Curve2::_Curve copy = curve.GetCurve();
    benchmark::DoNotOptimize(copy.data());
    copyBytes = copy.capacity() * sizeof(EditablePoint);
  }
  state.counters["bytes_per_point"] = PerPoint(copyBytes, kPoints);
}
BENCHMARK(BM_GetCurve10k)->Unit(benchmark::kMicrosecond);

static void BM_SetCurve10k(benchmark::State& state) {
  Curve2 source;
  Build(source);
  const Curve2::_Curve snapshot = source.GetCurve();
  Curve2 curve;
  for (auto _ : state) {
    curve.SetCurve(snapshot);
    benchmark::DoNotOptimize(curve.GetPointAt(0));
  }
  state.counters["snapshot_bytes_per_point"] = PerPoint(snapshot.capacity() * sizeof(EditablePoint), kPoints);
}
BENCHMARK(BM_SetCurve10k)->Unit(benchmark::kMicrosecond);

static void BM_EvaluateHinted1920(benchmark::State& state) {
  Curve2 curve;
  Build(curve);
  const float step = static_cast<float>(kPoints) / static_cast<float>(kColumns);
  for (auto _ : state) {
    std::uint32_t segment = 0;
    float sum = 0.0f;
    for (int column = 0; column < kColumns; ++column) {
      float y = 0.0f;
      curve.EvaluatePoint(static_cast<float>(column) * step, y, segment);
      sum += y;
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_EvaluateHinted1920)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
