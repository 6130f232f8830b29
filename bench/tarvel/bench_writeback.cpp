// The undo history of a large drag on the reference clip 01_01. Targets on the project's
// machine: undo of a step of all 279 curves <= 10 ms; at least 200 such steps kept within
// 256 MB. (Writing the clip back is measured by bench_page.)

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "EngineCore/Log.h"
#include "Formats/GltfClipFile.h"
#include "curves/ClipEditCore.h"

namespace {

const std::string kReference = std::string(TARVEL_BENCH_DATA) + "/01_01.gltf";

// The reference clip in a page's core, every curve shown and selected.
class ReferenceDocument : public Tarvel::ClipEditCore {
 public:
  ReferenceDocument() {
    EngineCore::Log::SetEchoToStandardError(false);
    Formats::ClipOpenResult opened = Formats::GltfClipFile::Open(kReference);
    AttachClip(opened.clip);
    opened.clip->Release();
    for (const auto& [key, curves] : GetCurveSet().GetTable()) {
      ShowChannel(key);
      for (const auto& curve : curves) curve->bSelected = true;
    }
  }
};

// The large drag: the keys of frames 400 to 900 of all 279 curves moved up by a value, with
// a falloff of 20 frames on each side, as the graph moves them; one undo step.
void LargeDrag(Tarvel::ClipEditCore& document, float by) {
  document.BeginEdit("Drag");
  for (Tarvel::CurveInfo* curve : document.GetSelection().GetCurves()) {
    EditorToolkit::Curve2& points = *document.Touch(curve);
    for (std::uint32_t i = 0; i < points.GetPointCount(); ++i) {
      EditorToolkit::EditablePoint& key = *points.GetPointAt(i);
      const float outside = std::max(400.0f - key.x, key.x - 900.0f);
      if (outside > 20.0f) continue;
      const float d = std::max(outside, 0.0f) / 21.0f;
      key.y += by * (1.0f - d * d);
    }
  }
  document.EndEdit();
}

void BM_UndoWholeClipStep(benchmark::State& state) {
  ReferenceDocument document;
  LargeDrag(document, 5.0f);
  for (auto _ : state) {
    document.Undo();
    state.PauseTiming();
    document.Redo();
    state.ResumeTiming();
  }
  // How many such steps the history keeps within its 256 MB.
  for (int step = 0; step < 600; ++step) {
    const std::size_t before = document.GetHistory().GetStepCount();
    LargeDrag(document, step % 2 ? 1.0f : -1.0f);
    if (document.GetHistory().GetStepCount() <= before) break;  // the oldest went
  }
  state.counters["large_steps_in_256MB"] = static_cast<double>(document.GetHistory().GetStepCount());
  state.counters["bytes_per_step"] = static_cast<double>(document.GetHistory().GetHeldBytes()) /
                                     static_cast<double>(document.GetHistory().GetStepCount());
}
BENCHMARK(BM_UndoWholeClipStep)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
