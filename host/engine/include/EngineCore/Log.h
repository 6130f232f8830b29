#pragma once

#include <functional>
#include <string>

namespace EngineCore {

// The engine log. Every line goes to standard error and to the sinks the host adds (its
// log pane, a test's capture).
class Log {
 public:
  enum Level { Debug = 0, Info = 1, Warning = 2, Error = 3 };
  using Sink = std::function<void(int level, const std::string& line)>;

  static void Write(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Returns an id for RemoveSink.
  static int AddSink(Sink sink);
  static void RemoveSink(int id);
  // Standard error is on by default; tests that expect errors switch it off.
  static void SetEchoToStandardError(bool on);
};

}  // namespace EngineCore
