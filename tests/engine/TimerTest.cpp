#include "EngineCore/Timer.h"

#include <gtest/gtest.h>

using EngineCore::Timer;

TEST(TimerReadings, AreZeroAfterReset) {
  Timer timer;
  timer.Update();
  timer.Reset();
  EXPECT_EQ(timer.GetElapsedSeconds(), 0.0f);
}

TEST(TimerReadings, NeverGoBackwards) {
  Timer timer;
  timer.Reset();
  float previous = 0.0f;
  for (int i = 0; i < 1000; ++i) {
    timer.Update();
    const float elapsed = timer.GetElapsedSeconds();
    ASSERT_GE(elapsed, previous);
    previous = elapsed;
  }
  EXPECT_GE(previous, 0.0f);
}

TEST(TimerReadings, HoldUntilTheNextUpdate) {
  Timer timer;
  timer.Update();
  const float reading = timer.GetElapsedSeconds();
  volatile double sink = 0;
  for (int i = 0; i < 100000; ++i) sink = sink + i;
  EXPECT_EQ(timer.GetElapsedSeconds(), reading);
}
