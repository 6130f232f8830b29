#include "tools/NoiseFilter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tarvel {

namespace {

// The transition band, as a share of the cut-off, and the Blackman window's length for it
// (in periods of the transition's width).
constexpr double kTransition = 0.06;
constexpr double kBlackmanWidth = 5.5;

// The kernel at a time distance t (seconds) within a half-width: the sinc of the transition's
// middle frequency under a Blackman window.
double Kernel(double t, double middle, double halfWidth) {
  const double x = 2.0 * middle * t;
  const double sinc = std::abs(x) < 1e-12 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
  const double phase = std::numbers::pi * (t / halfWidth + 1.0);
  const double window = 0.42 - 0.5 * std::cos(phase) + 0.08 * std::cos(2.0 * phase);
  return sinc * window;
}

// Where a parabola fitted (least squares) through the keys within 1.5 periods of the cut-off
// of one end meets that end: close to the motion there, clear of the end key's own noise.
double EndValue(const std::vector<float>& values, const std::vector<float>& frames, double rate, double cutoffHz,
                bool front) {
  const std::size_t count = values.size();
  const double end = (front ? frames.front() : frames.back()) / rate;
  // Sums of d^0..d^4 and of v d^0..d^2.
  double p[5] = {};
  double q[3] = {};
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t k = front ? i : count - 1 - i;
    const double d = (frames[k] / rate - end) * cutoffHz;
    if (i >= 4 && std::abs(d) > 1.5) break;
    double power = 1.0;
    for (int n = 0; n < 5; ++n, power *= d) {
      p[n] += power;
      if (n < 3) q[n] += power * values[k];
    }
  }
  // The constant of the normal equations' solution, by Cramer's rule.
  auto det3 = [](double a, double b, double c, double d, double e, double f, double g, double h, double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
  };
  const double whole = det3(p[0], p[1], p[2], p[1], p[2], p[3], p[2], p[3], p[4]);
  if (std::abs(whole) < 1e-12) return values[front ? 0 : count - 1];
  return det3(q[0], p[1], p[2], q[1], p[2], p[3], q[2], p[3], p[4]) / whole;
}

}  // namespace

float NoiseFilter::HighestCutoff(const std::vector<float>& frames, float framesPerSecond) {
  float closest = 0.0f;
  for (std::size_t k = 1; k < frames.size(); ++k) {
    const float step = frames[k] - frames[k - 1];
    if (step > 0.0f && (closest == 0.0f || step < closest)) closest = step;
  }
  return closest > 0.0f ? 0.5f * framesPerSecond / closest : 0.0f;
}

bool NoiseFilter::LowPass(std::vector<float>& values, const std::vector<float>& frames, float framesPerSecond,
                          float cutoffHz) {
  const std::size_t count = values.size();
  if (count < 3 || frames.size() != count || framesPerSecond <= 0.0f || cutoffHz <= 0.0f ||
      cutoffHz >= HighestCutoff(frames, framesPerSecond)) {
    return false;
  }
  const double rate = framesPerSecond;
  const double span = (frames.back() - frames.front()) / rate;
  const double middle = cutoffHz;
  // A range shorter than the kernel takes what it has: the transition widens with it.
  const double halfWidth = std::min(kBlackmanWidth / (kTransition * cutoffHz) / 2.0, span);
  if (halfWidth <= 0.0) return false;

  // The keys with their reflections through the ends, out to the half-width. A reflection
  // turns about the motion at its end rather than the end key itself, whose own noise would
  // otherwise lean the whole reflection.
  std::vector<double> times;
  std::vector<double> extended;
  times.reserve(3 * count);
  extended.reserve(3 * count);
  const double t0 = frames.front() / rate;
  const double tn = frames.back() / rate;
  const double first = EndValue(values, frames, rate, cutoffHz, true);
  const double last = EndValue(values, frames, rate, cutoffHz, false);
  for (std::size_t k = count - 1; k >= 1; --k) {
    const double t = 2.0 * t0 - frames[k] / rate;
    if (t0 - t <= halfWidth) {
      times.push_back(t);
      extended.push_back(2.0 * first - values[k]);
    }
  }
  const std::size_t offset = times.size();
  for (std::size_t k = 0; k < count; ++k) {
    times.push_back(frames[k] / rate);
    extended.push_back(values[k]);
  }
  for (std::size_t k = count - 1; k-- > 0;) {
    const double t = 2.0 * tn - frames[k] / rate;
    if (t - tn > halfWidth) break;
    times.push_back(t);
    extended.push_back(2.0 * last - values[k]);
  }

  // Evenly spaced keys share one set of taps.
  const double step = (frames[1] - frames[0]) / rate;
  bool even = true;
  for (std::size_t k = 1; k < times.size() && even; ++k) even = std::abs(times[k] - times[k - 1] - step) < 1e-6 * step;
  std::vector<double> taps;
  if (even) {
    const auto reach = static_cast<std::size_t>(halfWidth / step);
    taps.resize(2 * reach + 1);
    for (std::size_t i = 0; i < taps.size(); ++i) {
      taps[i] = Kernel((static_cast<double>(i) - static_cast<double>(reach)) * step, middle, halfWidth);
    }
  }

  std::vector<float> filtered(count);
  std::size_t low = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t at = offset + k;
    double sum = 0.0;
    double weights = 0.0;
    if (even) {
      const std::size_t reach = taps.size() / 2;
      const std::size_t from = at >= reach ? at - reach : 0;
      const std::size_t to = std::min(times.size(), at + reach + 1);
      for (std::size_t j = from; j < to; ++j) {
        const double w = taps[j + reach - at];
        sum += w * extended[j];
        weights += w;
      }
    } else {
      // Keys unevenly apart weigh unevenly on each side: a weighted line through them, taken
      // at the key, keeps a ramp a ramp where a weighted mean would bend it.
      const double t = times[at];
      while (times[low] < t - halfWidth) ++low;
      double moment = 0.0;
      double spread = 0.0;
      double leaning = 0.0;
      for (std::size_t j = low; j < times.size() && times[j] <= t + halfWidth; ++j) {
        const double d = times[j] - t;
        const double w = Kernel(d, middle, halfWidth);
        sum += w * extended[j];
        weights += w;
        moment += w * d;
        spread += w * d * d;
        leaning += w * d * extended[j];
      }
      const double determinant = weights * spread - moment * moment;
      if (weights > 0.0 && std::abs(determinant) > 1e-9 * std::abs(weights * spread)) {
        filtered[k] = static_cast<float>((spread * sum - moment * leaning) / determinant);
        continue;
      }
    }
    filtered[k] = weights > 0.0 ? static_cast<float>(sum / weights) : values[k];
  }
  values = std::move(filtered);
  return true;
}

}  // namespace Tarvel
