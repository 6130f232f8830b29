#include <EditorCore/GUI_Debug.h>

#include <cstdio>
#include <mutex>

namespace EditorCore {

namespace {
std::mutex sinkMutex;
GUI_LogSink& Sink() {
  static GUI_LogSink sink;
  return sink;
}
}  // namespace

void OutputDebugString(const char* text) {
  if (!text) return;
  std::fputs(text, stderr);
  std::fflush(stderr);
  GUI_LogSink sink;
  {
    std::lock_guard<std::mutex> lock(sinkMutex);
    sink = Sink();
  }
  if (sink) sink(text);
}

GUI_LogSink SetLogSink(GUI_LogSink sink) {
  std::lock_guard<std::mutex> lock(sinkMutex);
  GUI_LogSink previous = std::move(Sink());
  Sink() = std::move(sink);
  return previous;
}

}  // namespace EditorCore
