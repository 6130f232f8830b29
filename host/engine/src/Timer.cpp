#include "EngineCore/Timer.h"

namespace EngineCore {

Timer::Timer() : start_(std::chrono::steady_clock::now()) {}

void Timer::Reset() {
  start_ = std::chrono::steady_clock::now();
  elapsed_ = 0.0f;
}

void Timer::Update() {
  const std::chrono::duration<float> span = std::chrono::steady_clock::now() - start_;
  elapsed_ = span.count();
}

}  // namespace EngineCore
