#include <cmath>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "tools/NoiseFilter.h"

using Tarvel::NoiseFilter;

namespace {

constexpr float kRate = 120.0f;

// The amplitude of the part of values at a frequency, over the keys from `from` to `to`.
double Amplitude(const std::vector<float>& values, double hz, std::size_t from, std::size_t to) {
  double c = 0.0;
  double s = 0.0;
  for (std::size_t k = from; k < to; ++k) {
    const double phase = 2.0 * std::numbers::pi * hz * static_cast<double>(k) / kRate;
    c += values[k] * std::cos(phase);
    s += values[k] * std::sin(phase);
  }
  return 2.0 * std::hypot(c, s) / static_cast<double>(to - from);
}

}  // namespace

TEST(NoiseFilter, TakesOutMotionAboveTheCutOffAndKeepsMotionWellBelowIt) {
  // Ten seconds of a slow swing of 10 and a fast tremor of 2, filtered at 6 Hz.
  for (const double fast : {6.5, 8.0, 12.0, 30.0}) {
    std::vector<float> frames;
    std::vector<float> values;
    std::vector<float> slow;
    for (int k = 0; k < 1200; ++k) {
      const double t = k / static_cast<double>(kRate);
      frames.push_back(static_cast<float>(k));
      slow.push_back(static_cast<float>(10.0 * std::sin(2.0 * std::numbers::pi * 1.5 * t)));
      values.push_back(slow.back() + static_cast<float>(2.0 * std::sin(2.0 * std::numbers::pi * fast * t + 0.3)));
    }
    ASSERT_TRUE(NoiseFilter::LowPass(values, frames, kRate, 6.0f));
    EXPECT_LT(Amplitude(values, fast, 0, 1200), 2.0 * 0.01) << fast << " Hz falls by 40 dB";
    // Near the ends, where the kernel reaches past the keys, the tremor leans the motion a little.
    double inside = 0.0;
    double ends = 0.0;
    for (std::size_t k = 0; k < values.size(); ++k) {
      const double off = std::abs(double{values[k]} - slow[k]);
      double& widest = k < 80 || k >= values.size() - 80 ? ends : inside;
      widest = std::max(widest, off);
    }
    EXPECT_LT(inside, 0.1) << "the swing at 1.5 Hz stays beside " << fast << " Hz";
    EXPECT_LT(ends, 1.0) << "and the ends keep within half the tremor";
  }
}

TEST(NoiseFilter, KeysAtTheirOwnTimesKeepARampAndNothingIsFilteredWithoutRoom) {
  // Keys unevenly apart on a ramp, with a key on every frame for a while.
  std::vector<float> frames{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14, 15, 21, 22, 23, 30, 31, 32, 40};
  std::vector<float> values;
  for (float frame : frames) values.push_back(3.0f * frame - 7.0f);
  const std::vector<float> ramp = values;
  ASSERT_TRUE(NoiseFilter::LowPass(values, frames, 30.0f, 5.0f));
  for (std::size_t k = 0; k < values.size(); ++k) EXPECT_NEAR(values[k], ramp[k], 1e-3f) << "frame " << frames[k];
  EXPECT_FLOAT_EQ(NoiseFilter::HighestCutoff(frames, 30.0f), 15.0f) << "half the rate of keys a frame apart";
  EXPECT_FALSE(NoiseFilter::LowPass(values, frames, 30.0f, 15.0f)) << "nothing lies above the keys' own limit";
  std::vector<float> two{1.0f, 5.0f};
  EXPECT_FALSE(NoiseFilter::LowPass(two, {0.0f, 1.0f}, 30.0f, 2.0f));
  EXPECT_EQ(two, (std::vector<float>{1.0f, 5.0f}));
}
