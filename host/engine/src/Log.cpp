#include "EngineCore/Log.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>

namespace EngineCore {

namespace {

struct LogState {
  std::mutex mutex;
  std::map<int, Log::Sink> sinks;
  int nextId = 1;
  bool echo = true;
};

LogState& State() {
  static LogState state;
  return state;
}

const char* LevelName(int level) {
  switch (level) {
    case Log::Debug: return "debug";
    case Log::Info: return "info";
    case Log::Warning: return "warning";
    default: return "error";
  }
}

}  // namespace

void Log::Write(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  char buffer[1024];
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  const std::string line(buffer);

  LogState& state = State();
  std::map<int, Sink> sinks;
  bool echo = true;
  {
    std::lock_guard lock(state.mutex);
    sinks = state.sinks;
    echo = state.echo;
  }
  if (echo) std::fprintf(stderr, "[%s] %s\n", LevelName(level), line.c_str());
  for (auto& [id, sink] : sinks) sink(level, line);
}

int Log::AddSink(Sink sink) {
  LogState& state = State();
  std::lock_guard lock(state.mutex);
  const int id = state.nextId++;
  state.sinks[id] = std::move(sink);
  return id;
}

void Log::RemoveSink(int id) {
  LogState& state = State();
  std::lock_guard lock(state.mutex);
  state.sinks.erase(id);
}

void Log::SetEchoToStandardError(bool on) {
  LogState& state = State();
  std::lock_guard lock(state.mutex);
  state.echo = on;
}

}  // namespace EngineCore
