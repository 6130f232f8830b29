#include "TrackSampler.h"

#include <cmath>

namespace Formats {

namespace {

// Tracks longer than about 46 hours at 60 frames per second are corrupt, not animation.
constexpr double kMaxFrame = 10'000'000.0;

void Normalize(float* q) {
  const float length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  if (length <= 0.0f) return;
  for (int c = 0; c < 4; ++c) q[c] /= length;
}

void Slerp(const float* a, const float* b, float t, float* out) {
  float end[4] = {b[0], b[1], b[2], b[3]};
  float cosine = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
  if (cosine < 0.0f) {
    for (float& c : end) c = -c;
    cosine = -cosine;
  }
  if (cosine > 0.9995f) {
    for (int c = 0; c < 4; ++c) out[c] = a[c] + (end[c] - a[c]) * t;
    Normalize(out);
    return;
  }
  const float angle = std::acos(cosine);
  const float sine = std::sin(angle);
  const float wa = std::sin((1.0f - t) * angle) / sine;
  const float wb = std::sin(t * angle) / sine;
  for (int c = 0; c < 4; ++c) out[c] = a[c] * wa + end[c] * wb;
}

}  // namespace

ClipFileError TrackSampler::ToFrames(const std::vector<float>& times, const std::vector<float>& values, int components,
                                     Interpolation interpolation, bool rotation, Keys& keys, bool& sampled,
                                     std::string& message) {
  keys.frames.clear();
  keys.values.clear();
  sampled = false;
  const std::size_t count = times.size();
  const std::size_t perKey = interpolation == Interpolation::CubicSpline ? 3u * components : components;
  if (count == 0 || values.size() != count * perKey) {
    message =
        "sampler output holds " + std::to_string(values.size()) + " values for " + std::to_string(count) + " key times";
    return ClipFileError::BadAccessor;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (times[i] < 0.0f || (i > 0 && times[i] <= times[i - 1])) {
      message = "key time " + std::to_string(i) + " is negative or not after the previous one";
      return ClipFileError::BadTimes;
    }
  }
  if (static_cast<double>(times.back()) * kFramesPerSecond > kMaxFrame) {
    message = "key times reach beyond " + std::to_string(static_cast<long long>(kMaxFrame)) + " frames";
    return ClipFileError::TooLarge;
  }

  // The value of key i starts at this offset of `values`.
  const std::size_t valueOffset = interpolation == Interpolation::CubicSpline ? components : 0;

  bool whole = interpolation == Interpolation::Linear;
  for (std::size_t i = 0; whole && i < count; ++i) {
    const double frame = static_cast<double>(times[i]) * kFramesPerSecond;
    whole = std::abs(frame - std::round(frame)) < 0.001 &&
            (i == 0 || std::round(frame) > std::round(static_cast<double>(times[i - 1]) * kFramesPerSecond));
  }
  if (whole) {
    keys.frames.reserve(count);
    keys.values.reserve(count * components);
    for (std::size_t i = 0; i < count; ++i) {
      keys.frames.push_back(static_cast<std::uint32_t>(std::lround(times[i] * kFramesPerSecond)));
      const float* v = values.data() + i * perKey + valueOffset;
      keys.values.insert(keys.values.end(), v, v + components);
    }
    return ClipFileError::None;
  }

  sampled = true;
  const auto first = static_cast<std::uint32_t>(std::ceil(times.front() * kFramesPerSecond - 0.001));
  const auto last = static_cast<std::uint32_t>(std::floor(times.back() * kFramesPerSecond + 0.001));
  if (last < first) {
    // A track shorter than a frame still has a value: keep it at its nearest frame.
    keys.frames.push_back(static_cast<std::uint32_t>(std::lround(times.front() * kFramesPerSecond)));
    const float* v = values.data() + valueOffset;
    keys.values.insert(keys.values.end(), v, v + components);
    return ClipFileError::None;
  }
  keys.frames.reserve(last - first + 1);
  keys.values.reserve((last - first + 1) * components);
  std::size_t segment = 0;
  float sample[4];
  for (std::uint32_t frame = first; frame <= last; ++frame) {
    const float t = static_cast<float>(frame) / kFramesPerSecond;
    while (segment + 1 < count && times[segment + 1] <= t) ++segment;
    const float* a = values.data() + segment * perKey + valueOffset;
    if (segment + 1 >= count || t <= times[segment] || interpolation == Interpolation::Step) {
      for (int c = 0; c < components; ++c) sample[c] = a[c];
    } else {
      const float span = times[segment + 1] - times[segment];
      const float s = (t - times[segment]) / span;
      const float* b = values.data() + (segment + 1) * perKey + valueOffset;
      if (interpolation == Interpolation::Linear) {
        if (rotation && components == 4) {
          Slerp(a, b, s, sample);
        } else {
          for (int c = 0; c < components; ++c) sample[c] = a[c] + (b[c] - a[c]) * s;
        }
      } else {
        const float* outTangent = a + components;
        const float* inTangent = b - components;
        const float s2 = s * s;
        const float s3 = s2 * s;
        for (int c = 0; c < components; ++c) {
          sample[c] = (2 * s3 - 3 * s2 + 1) * a[c] + (s3 - 2 * s2 + s) * span * outTangent[c] +
                      (-2 * s3 + 3 * s2) * b[c] + (s3 - s2) * span * inTangent[c];
        }
        if (rotation && components == 4) Normalize(sample);
      }
    }
    keys.frames.push_back(frame);
    keys.values.insert(keys.values.end(), sample, sample + components);
  }
  return ClipFileError::None;
}

}  // namespace Formats
