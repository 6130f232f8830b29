// The main of the benchmarks that drive the module's windows: they need the application,
// on Qt's offscreen platform unless another is asked for.
#include <QByteArray>

#include <benchmark/benchmark.h>

#include "EditorCore/GUI_App.h"

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  EditorCore::GUI_App::EnsureForTests();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
