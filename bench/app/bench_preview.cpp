// The preview of the reference clip 01_01 in the real host, offscreen: the module loaded from
// the build, the demo project's 31 animated objects, the viewer beside the panel.
//   BM_PlaybackStep: one playback step (31 controllers posed, the graph and the viewer
//     painted once each), timed from one viewer paint to the next (a display refresh); its
//     processor time is the step's work.
//   BM_PlaybackOneSecond: one second of playback at 1x through the event loop, reporting the
//     paints per second of the viewer and of the graph (at most one per display refresh), the
//     frames the cursor advanced and the processor seconds the process spent per second.
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>
#include <string>
#include <vector>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "EngineCore/Log.h"
#include "HostWindow.h"
#include "ModuleWindows.h"
#include "ScriptParser.h"
#include "ScriptRunner.h"

namespace {

using TarvelHost::ModuleWindows;

// Counts the paint events of one widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* watched) : widget(watched) {
    if (widget) widget->installEventFilter(this);
  }
  bool eventFilter(QObject* object, QEvent* event) override {
    if (object == widget && event->type() == QEvent::Paint) ++paints;
    return false;
  }
  QWidget* widget;
  long paints = 0;
};

// The host on the demo project with 01_01 open and playing at 1x.
struct PlayingHost {
  std::unique_ptr<TarvelHost::HostWindow> host = std::make_unique<TarvelHost::HostWindow>();
  std::unique_ptr<TarvelHost::ScriptRunner> runner;
  std::unique_ptr<PaintCounter> graphPaints;

  bool Run(const std::string& text) {
    std::vector<TarvelHost::ScriptAction> actions;
    std::string error;
    return TarvelHost::ScriptParser::Parse(text, actions, error) && runner->Run(actions);
  }
  bool Start() {
    EngineCore::Log::SetEchoToStandardError(false);
    EditorCore::GUI_App::EnsureForTests();
    if (!host->Start(TARVEL_MODULES_DIR, TARVEL_DEMO_PROJECT)) return false;
    runner = std::make_unique<TarvelHost::ScriptRunner>(*host);
    if (!Run("open 01_01\nbutton click play")) return false;
    for (EditorCore::GUI_Wnd* wnd : ModuleWindows::GetDescendants(host->GetPanelModule()->GetModuleDialog())) {
      if (wnd->GetWindowText() == "GUI_GraphCtrl" && ModuleWindows::IsShown(wnd)) {
        graphPaints = std::make_unique<PaintCounter>(static_cast<QWidget*>(wnd->GetSafeHwnd()));
      }
    }
    return graphPaints != nullptr;
  }
  double Cursor() const {
    for (EditorCore::GUI_Wnd* wnd : ModuleWindows::GetDescendants(host->GetPanelModule()->GetModuleDialog())) {
      auto* ruler = dynamic_cast<EditorCore::GUI_RulerCtrl*>(wnd);
      if (ruler && !ruler->IsVertical() && ModuleWindows::IsShown(ruler)) return ruler->GetMarkerPosition(4);
    }
    return 0.0;
  }
  ~PlayingHost() {
    graphPaints.reset();
    if (runner) Run("button stop");
    runner.reset();
    host.reset();
    EditorCore::GUI_App::ProcessEvents(0);
  }
};

void BM_PlaybackStep(benchmark::State& state) {
  PlayingHost playing;
  if (!playing.Start()) {
    state.SkipWithError("the host did not start playing 01_01");
    return;
  }
  const TarvelHost::ViewerWnd& view = *playing.host->GetViewer().GetView();
  for (auto _ : state) {
    const int before = view.GetPaintCount();
    // Sleeping between events: the processor time is the step's own.
    while (view.GetPaintCount() == before) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  state.counters["objects"] = 31;
}
BENCHMARK(BM_PlaybackStep)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_PlaybackOneSecond(benchmark::State& state) {
  PlayingHost playing;
  if (!playing.Start()) {
    state.SkipWithError("the host did not start playing 01_01");
    return;
  }
  const TarvelHost::ViewerWnd& view = *playing.host->GetViewer().GetView();
  long viewerPaints = 0;
  long graphPaints = 0;
  double frames = 0.0;
  auto processorSeconds = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  };
  const double processorBefore = processorSeconds();
  for (auto _ : state) {
    const int viewerBefore = view.GetPaintCount();
    const long graphBefore = playing.graphPaints->paints;
    const double cursorBefore = playing.Cursor();
    EditorCore::GUI_App::ProcessEvents(1000);
    viewerPaints += view.GetPaintCount() - viewerBefore;
    graphPaints += playing.graphPaints->paints - graphBefore;
    frames += playing.Cursor() - cursorBefore;
  }
  const double seconds = static_cast<double>(state.iterations());
  state.counters["processor_seconds_per_second"] = (processorSeconds() - processorBefore) / seconds;
  state.counters["viewer_paints_per_second"] = static_cast<double>(viewerPaints) / seconds;
  state.counters["graph_paints_per_second"] = static_cast<double>(graphPaints) / seconds;
  // Negative when the loop wrapped round within a second; 01_01 lasts 46 s.
  state.counters["frames_per_second"] = frames / seconds;
}
BENCHMARK(BM_PlaybackOneSecond)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
