#pragma once

#include <chrono>

namespace EngineCore {

// Measures real time: Update takes a reading, GetElapsedSeconds is the time from the last
// Reset (or construction) to that reading.
class Timer {
 public:
  Timer();

  void Reset();
  void Update();
  float GetElapsedSeconds() const { return elapsed_; }

 private:
  std::chrono::steady_clock::time_point start_;
  float elapsed_ = 0.0f;
};

}  // namespace EngineCore
