// A clip page in a user's hands, on the reference take 01_01 (31 channels, 279 curves,
// 2,752 keys a track at 120 Hz), on takes made of it repeated end to end, and on it reduced to
// cubic keys. The argument of every benchmark names the take: /1 is 01_01 itself, /10 the
// long take of ten copies end to end, /0 01_01 keyed as an animator would: a cubic key on
// every 4th frame (689 a track) whose tangents are the take's own slopes there. Each is built
// here from 01_01 and saved as glTF under the build folder (bench-data/), where scripts/bench
// finds the long take for its memory figure.
//   BM_OpenInPage: file -> engine clip -> the curve set of a page.
//   BM_WriteBackAllChannels: every curve of the page written back into its clip.
//   BM_PaintAllCurves: the graph at 1920 x 1080 repainted, every curve shown whole.
//   BM_DragStepAllCurves: all 279 curves selected with their keys of frames 400 to 900, one
//     mouse move of a value drag with a falloff of 20 frames on each side, and the graph's
//     repaint into its back buffer, as the window repaints: what the move changed.
//   BM_ReleaseDragAllCurves: the release of that drag: the undo step and the write-back.
//   BM_FrameDragStepAllCurves: the same keys dragged in frames instead, one mouse move 30
//     frames on or back over the keys after them, and the window's repaint.
//   BM_ReleaseFrameDragAllCurves: the release of such a drag 30 frames on: the check for keys
//     on one frame (they land on the keys after them, so the drag is taken back), the undo
//     step and the write-back.
//   BM_PaintDopeSheet: the dope sheet of every channel at 1920 x 1080, fitted to the take.
//   BM_DragDopeSheetAll: every key selected in the dope sheet, one move of the drag
//     (alternately 30 frames on and back) and the sheet's repaint.
// Targets on the project's machine (01_01 at its own 120 Hz / long take), in ms: open 20 / 200,
// drag step 4 / 8, paint 4 / 6, release 15 / 100, write-back 8 / 80; the dope sheet's paint
// and drag step 4 on 01_01.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_BackBuffer.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "Formats/GltfClipFile.h"
#include "Formats/Project.h"
#include "channels/GUI_ChannelListCtrl.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "graph/GUI_DopeSheetCtrl.h"
#include "graph/GUI_GraphCtrl.h"
#include "module/AnimClipDialog.h"
#include "module/GUI_ClipEditorFrame.h"
#include "module/GUI_ClipTabsDialog.h"
#include "module/ModuleExports.h"
#include "module/TarvelModule.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kOpenClipMessage = 3524;

// 01_01 repeated `times` end to end, each copy starting on the frame after the last key of
// the one before.
bool RepeatTake(EngineCore::AnimClip& clip, int times) {
  clip.ComputeKeyFrameRange();
  const std::uint32_t period = clip.GetLastKeyFrame() - clip.GetFirstKeyFrame() + 1;
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      EngineCore::AnimCurve& curve = *channel.GetCurveAt(t);
      const EngineCore::AnimCurve once = curve;
      curve.Empty();
      curve.Reserve(once.GetKeyCount() * static_cast<std::uint32_t>(times));
      for (int r = 0; r < times; ++r) {
        const std::uint32_t shift = period * static_cast<std::uint32_t>(r);
        for (std::uint32_t k = 0; k < once.GetKeyCount(); ++k) {
          const std::uint32_t frame = once.GetKeyFrame(k) + shift;
          const bool added = once.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion
                                 ? curve.AddKey(frame, once.GetQuaternionKey(k))
                                 : curve.AddKey(frame, once.GetVector3Key(k));
          if (!added) return false;
        }
      }
    }
  }
  clip.ComputeKeyFrameRange();
  return true;
}

// The clip's tracks as cubic keys on every `step`th frame from each track's first key, and on
// its last, each with the slope the track has there (the mean of its slopes over the frame
// before and the frame after) as both tangents: the shape the take had, with a key in `step`.
bool ReduceToCubicKeys(EngineCore::AnimClip& clip, std::uint32_t step) {
  const double rate = clip.GetFrameRate();
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      EngineCore::AnimCurve& curve = *channel.GetCurveAt(t);
      if (curve.GetKeyCount() < 2) continue;
      const EngineCore::AnimCurve dense = curve;
      const std::uint32_t first = dense.GetKeyFrame(0);
      const std::uint32_t last = dense.GetKeyFrame(dense.GetKeyCount() - 1);
      curve.Empty();
      curve.SetInterpolation(EngineCore::AnimCurve::Cubic);
      const bool rotation = dense.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion;
      for (std::uint32_t frame = first; frame <= last;
           frame = frame == last ? last + 1 : std::min(frame + step, last)) {
        const float before = static_cast<float>(frame == first ? frame : frame - 1);
        const float after = static_cast<float>(frame == last ? frame : frame + 1);
        const float perSecond = static_cast<float>(rate / (after - before));
        bool added = false;
        if (rotation) {
          EngineCore::Quaternion q, a, b;
          dense.Evaluate(static_cast<float>(frame), clip.GetFrameRate(), q);
          dense.Evaluate(before, clip.GetFrameRate(), a);
          dense.Evaluate(after, clip.GetFrameRate(), b);
          if (a.Dot(q) < 0.0f) a = a.Negated();
          if (b.Dot(q) < 0.0f) b = b.Negated();
          const EngineCore::Quaternion slope((b.x - a.x) * perSecond, (b.y - a.y) * perSecond, (b.z - a.z) * perSecond,
                                             (b.w - a.w) * perSecond);
          added = curve.AddKey(frame, q, slope, slope);
        } else {
          EngineCore::Vector3 v, a, b;
          dense.Evaluate(static_cast<float>(frame), clip.GetFrameRate(), v);
          dense.Evaluate(before, clip.GetFrameRate(), a);
          dense.Evaluate(after, clip.GetFrameRate(), b);
          const EngineCore::Vector3 slope = (b - a) * perSecond;
          added = curve.AddKey(frame, v, slope, slope);
        }
        if (!added) return false;
      }
    }
  }
  clip.ComputeKeyFrameRange();
  return true;
}

// A take's name: 01_01x<times>, or 01_01c4 for the cubic one (times 0).
std::string TakeName(int times) { return times == 0 ? "01_01c4" : "01_01x" + std::to_string(times); }

// A project folder holding only that take, as AnimClips/<name>.gltf. Empty on failure.
std::string TakeProject(int times) {
  const std::string name = TakeName(times);
  const fs::path folder = fs::path(TARVEL_BENCH_OUTPUT) / name;
  const fs::path file = folder / "AnimClips" / (name + ".gltf");
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(file.parent_path(), ec);
  Formats::ClipOpenResult opened = Formats::GltfClipFile::Open(std::string(TARVEL_BENCH_DATA) + "/01_01.gltf");
  if (!opened.clip) return {};
  std::string message;
  const bool made = (times == 0 ? ReduceToCubicKeys(*opened.clip, 4) : RepeatTake(*opened.clip, times)) &&
                    Formats::GltfClipFile::SaveAs(*opened.clip, file.string(), message) == Formats::ClipFileError::None;
  opened.clip->Release();
  return made ? folder.string() : std::string();
}

// The module in a host window, with the take of `times` copies open in a page whose graph is
// 1920 x 1080 and shows every channel.
class PageOnTake {
 public:
  explicit PageOnTake(int times) {
    EngineCore::Log::SetEchoToStandardError(false);
    EditorCore::GUI_App::EnsureForTests();
    const std::string folder = TakeProject(times);
    if (folder.empty()) return;
    mainFrame = std::make_unique<EditorCore::GUI_MainFrame>();
    mainFrame->Create("Bench", EditorCore::CRect(0, 0, kWidth + 800, kHeight + 400));
    module = static_cast<Tarvel::TarvelModule*>(GetModule());
    mainFrame->GetModuleManager()->RegisterModule(module);
    std::string message;
    project = Formats::Project::Open(folder, message);
    if (!project) return;
    mainFrame->ShowWindow(true);
    if (!module->CreateModuleWindow()) return;
    module->Show(1);
    EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(TakeName(times).c_str());
    if (!clip) return;
    module->OnFrameworkMessage(kOpenClipMessage, reinterpret_cast<EditorCore::WPARAM>(clip), 0);
    clip->Release();
    page = module->GetFrame()->GetTabHost().GetCurrentPage();
    if (!page) return;
    SizeGraph();
    Tarvel::GUI_ChannelListCtrl& channels = page->GetChannelList();
    for (int row = 0; row < channels.GetItemCount(); ++row) {
      channels.SetItemState(row, EditorCore::LVIS_SELECTED, EditorCore::LVIS_SELECTED);
    }
    Panel().FitAll();
    ready = buffer.CreateOffscreen(kWidth, kHeight) && GraphSize() == EditorCore::CPoint(kWidth, kHeight);
  }
  ~PageOnTake() {
    if (module) {
      module->DestroyModuleWindow();
      mainFrame->GetModuleManager()->UnregisterModule(module);
    }
    project.reset();
    mainFrame.reset();
    EditorCore::GUI_App::ProcessEvents(0);
  }

  Tarvel::GUI_CurvePanelDialog& Panel() { return page->GetCurvePanel(); }
  Tarvel::GUI_GraphCtrl& Graph() { return Panel().GetGraph(); }
  Tarvel::GraphEditor& Editor() { return Graph().GetEditor(); }
  Tarvel::ClipEditCore& Core() { return page->GetCore(); }
  void Paint() { Graph().Paint(buffer, kWidth, kHeight); }
  // The dope sheet in place of the graph, fitted to the take, every key selected or none.
  Tarvel::DopeSheet& ShowDopeSheet(bool selectAll) {
    Panel().ShowDopeSheet(true);
    Panel().FitAll();
    Tarvel::DopeSheet& sheet = Panel().GetDopeSheet();
    sheet.SelectAll(selectAll);
    return sheet;
  }
  void PaintDopeSheet() { Panel().GetDopeSheetCtrl().Paint(buffer, kWidth, kHeight); }
  // The window's own repaint into a buffer that keeps its picture; true when only what changed
  // was drawn.
  bool PaintChanges() { return Graph().PaintChanges(buffer, kWidth, kHeight); }
  EditorCore::CPoint At(double frame, double value) {
    const Tarvel::GraphView& view = Graph();
    return {view.ColumnOfFrame(frame), view.RowOfValue(value)};
  }
  EditorCore::CPoint GraphSize() {
    EditorCore::CRect client;
    Graph().GetClientRect(client);
    return {client.Width(), client.Height()};
  }

  // A rubber band from frame 400 to 900 over every value: all curves selected with their
  // keys of those frames. Then the value drag with 20 frames of falloff on each side.
  bool SelectKeysOfFrames400To900() {
    const EditorCore::CRect& bounds = Graph().GetCurvesBounds();
    const EditorCore::CPoint from = At(399.5, bounds.bottom + 5.0);
    const EditorCore::CPoint to = At(900.5, bounds.top - 5.0);
    Editor().Press(from, false, false);
    Editor().Move(to, false);
    Editor().Release(to, true);
    Editor().iEditMode = Tarvel::GraphEditor::kDragValues;
    Editor().SetFalloff(true);
    Editor().SetFalloffBefore(20.0f);
    Editor().SetFalloffAfter(20.0f);
    return Core().GetSelection().GetSelectedCurveCount() == Curves();
  }
  // Presses the middle one of the selected keys of the first curve, which the graph's hit
  // test looks at first: a key whose neighbours under the pointer are selected too, so that
  // the press keeps the selection and drags all of it.
  bool PressSelectedKey() {
    const std::vector<Tarvel::CurveInfo*>& shown = Core().GetSelection().GetCurves();
    if (shown.empty()) return false;
    const EditorToolkit::Curve2& curve = *shown.front()->pCurve;
    const int middle = (curve.GetFirstSelectedPointIndex() + curve.GetLastSelectedPointIndex()) / 2;
    if (middle < 0 || middle >= static_cast<int>(curve.GetPointCount())) return false;
    const EditorToolkit::EditablePoint& key = *curve.GetPointAt(static_cast<std::uint32_t>(middle));
    pressedKey = {key.x, key.y};
    pressed = At(key.x, key.y);
    Editor().Press(pressed, false, false);
    return Editor().IsMoving() && Core().GetSelection().GetSelectedCurveCount() == Curves();
  }
  int Curves() { return static_cast<int>(Core().GetCurveSet().GetCurveCount()); }

  // One mouse move of the drag: in values alternately above and below the pressed key, in
  // frames alternately 30 frames on and back at the pressed key's frame.
  void MoveDrag(int step) {
    const bool odd = step % 2 != 0;
    if (Editor().iEditMode == Tarvel::GraphEditor::kDragFrames) {
      Editor().Move(At(pressedKey.first + (odd ? 30.0 : 0.0), pressedKey.second), false);
    } else {
      Editor().Move({pressed.x, pressed.y + (odd ? 12 : -12)}, false);
    }
  }

  bool ready = false;

 private:
  // The host lays the graph out from the frame's size: the frame grows by what the graph
  // lacks.
  void SizeGraph() {
    Tarvel::GUI_ClipEditorFrame& frame = *module->GetFrame();
    int width = kWidth + 400;
    int height = kHeight + 300;
    for (int round = 0; round < 3; ++round) {
      frame.MoveWindow(0, 0, width, height);
      EditorCore::GUI_App::ProcessEvents(0);
      width += kWidth - GraphSize().x;
      height += kHeight - GraphSize().y;
    }
  }

  std::unique_ptr<EditorCore::GUI_MainFrame> mainFrame;
  std::unique_ptr<Formats::Project> project;
  Tarvel::TarvelModule* module = nullptr;
  Tarvel::AnimClipDialog* page = nullptr;
  EditorCore::GUI_BackBuffer buffer;
  EditorCore::CPoint pressed;
  std::pair<double, double> pressedKey;
};

void Report(benchmark::State& state, Tarvel::ClipEditCore& core) {
  state.counters["curves"] = static_cast<double>(core.GetCurveSet().GetCurveCount());
  state.counters["keys"] = static_cast<double>(core.GetClip()->CountKeys());
}

void BM_OpenInPage(benchmark::State& state) {
  EngineCore::Log::SetEchoToStandardError(false);
  EditorCore::GUI_App::EnsureForTests();
  const std::string folder = TakeProject(static_cast<int>(state.range(0)));
  const std::string file = folder + "/AnimClips/" + TakeName(static_cast<int>(state.range(0))) + ".gltf";
  double curves = 0.0;
  for (auto _ : state) {
    Tarvel::AnimClipDialog page(nullptr);
    Formats::ClipOpenResult opened = Formats::GltfClipFile::Open(file);
    if (!opened.clip) {
      state.SkipWithError(opened.message.c_str());
      return;
    }
    page.SetClip(opened.clip, false);
    opened.clip->Release();
    curves = static_cast<double>(page.GetCore().GetCurveSet().GetCurveCount());
    state.PauseTiming();
    page.SetClip(nullptr, false);
    state.ResumeTiming();
  }
  state.counters["curves"] = curves;
}
BENCHMARK(BM_OpenInPage)->Arg(1)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_WriteBackAllChannels(benchmark::State& state) {
  PageOnTake page(static_cast<int>(state.range(0)));
  if (!page.ready) {
    state.SkipWithError("the take did not open in a page");
    return;
  }
  for (auto _ : state) page.Core().WriteBackAllChannels();
  Report(state, page.Core());
}
BENCHMARK(BM_WriteBackAllChannels)->Arg(1)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_PaintAllCurves(benchmark::State& state) {
  PageOnTake page(static_cast<int>(state.range(0)));
  if (!page.ready) {
    state.SkipWithError("the take did not open in a page");
    return;
  }
  for (auto _ : state) page.Paint();
  Report(state, page.Core());
}
BENCHMARK(BM_PaintAllCurves)->Arg(1)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);

// One mouse move of a drag of the keys of frames 400 to 900 in `mode`, with the repaint.
void DragStep(benchmark::State& state, std::uint8_t mode) {
  PageOnTake page(static_cast<int>(state.range(0)));
  const bool picked = page.ready && page.SelectKeysOfFrames400To900();
  page.Editor().iEditMode = mode;
  if (!picked || !page.PressSelectedKey()) {
    state.SkipWithError("the take did not open, or its keys could not be picked");
    return;
  }
  page.PaintChanges();
  int step = 0;
  int partial = 0;
  for (auto _ : state) {
    page.MoveDrag(++step);
    partial += page.PaintChanges() ? 1 : 0;
  }
  page.Editor().Release({0, 0}, true);
  state.counters["changes_only"] = step > 0 ? static_cast<double>(partial) / step : 0.0;
  Report(state, page.Core());
  state.counters["selected_curves"] = static_cast<double>(page.Core().GetSelection().GetSelectedCurveCount());
}

// The release of such a drag after one move (odd moves only: a frame drag's lands 30 frames
// on), with its recording and write-back.
void ReleaseDrag(benchmark::State& state, std::uint8_t mode) {
  PageOnTake page(static_cast<int>(state.range(0)));
  const bool picked = page.ready && page.SelectKeysOfFrames400To900();
  page.Editor().iEditMode = mode;
  if (!picked) {
    state.SkipWithError("the take did not open, or its keys could not be picked");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    if (!page.PressSelectedKey()) {
      state.SkipWithError("no selected key to press");
      return;
    }
    page.MoveDrag(1);
    state.ResumeTiming();
    page.Editor().Release({0, 0}, true);
  }
  Report(state, page.Core());
  state.counters["steps"] = static_cast<double>(page.Core().GetHistory().GetStepCount());
}

void BM_DragStepAllCurves(benchmark::State& state) { DragStep(state, Tarvel::GraphEditor::kDragValues); }
BENCHMARK(BM_DragStepAllCurves)->Arg(1)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ReleaseDragAllCurves(benchmark::State& state) { ReleaseDrag(state, Tarvel::GraphEditor::kDragValues); }
BENCHMARK(BM_ReleaseDragAllCurves)->Arg(1)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ReleaseFrameDragAllCurves(benchmark::State& state) { ReleaseDrag(state, Tarvel::GraphEditor::kDragFrames); }
BENCHMARK(BM_ReleaseFrameDragAllCurves)->Arg(1)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_FrameDragStepAllCurves(benchmark::State& state) { DragStep(state, Tarvel::GraphEditor::kDragFrames); }
BENCHMARK(BM_FrameDragStepAllCurves)->Arg(1)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_PaintDopeSheet(benchmark::State& state) {
  PageOnTake page(static_cast<int>(state.range(0)));
  if (!page.ready) {
    state.SkipWithError("the take did not open in a page");
    return;
  }
  const Tarvel::DopeSheet& sheet = page.ShowDopeSheet(false);
  for (auto _ : state) page.PaintDopeSheet();
  Report(state, page.Core());
  state.counters["rows"] = static_cast<double>(sheet.GetRows().size());
}
BENCHMARK(BM_PaintDopeSheet)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_DragDopeSheetAll(benchmark::State& state) {
  PageOnTake page(static_cast<int>(state.range(0)));
  Tarvel::DopeSheet* sheet = page.ready ? &page.ShowDopeSheet(true) : nullptr;
  if (!sheet || !sheet->BeginMove()) {
    state.SkipWithError("the take did not open, or its keys could not be moved");
    return;
  }
  int step = 0;
  for (auto _ : state) {
    sheet->MoveBy(++step % 2 != 0 ? 30.0f : 0.0f);
    page.PaintDopeSheet();
  }
  sheet->CancelMove();
  Report(state, page.Core());
  state.counters["selected_curves"] = static_cast<double>(sheet->SelectedCurves().size());
}
BENCHMARK(BM_DragDopeSheetAll)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
