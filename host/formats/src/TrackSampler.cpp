#include "TrackSampler.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "EngineCore/Math.h"
#include "Formats/ClipFileLimits.h"

namespace Formats {

namespace {

double FrameOf(float time, double rate) { return static_cast<double>(time) * rate; }

// A time is on a frame within a thousandth of a frame, or within the float's own precision:
// past a few minutes a float second cannot come nearer to frame / rate than that, and a
// saved clip must read back with the frames it was saved with.
bool OnFrame(float time, double frame, double rate) {
  if (std::abs(FrameOf(time, rate) - frame) < 0.001) return true;
  const double seconds = frame / rate;
  const double precision = std::nextafter(std::abs(time), std::numeric_limits<float>::infinity()) - std::abs(time);
  return std::abs(time - seconds) <= precision;
}

// The first whole frame at or after a time, and the last at or before it.
double FirstFrame(float time, double rate) {
  const double frame = std::ceil(FrameOf(time, rate));
  return OnFrame(time, frame - 1, rate) ? frame - 1 : frame;
}
double LastFrame(float time, double rate) {
  const double frame = std::floor(FrameOf(time, rate));
  return OnFrame(time, frame + 1, rate) ? frame + 1 : frame;
}

// Whether a track keeps its keys as they are (rule 1).
bool KeptAsItIs(const std::vector<float>& times, double rate) {
  return TrackSampler::OnDistinctWholeFrames(times, rate);
}

// Makes a rotation of unit length; false for one of length zero. A quaternion already of
// unit length within float precision is left exactly as it is.
bool Normalize(double* q, bool always) {
  const double squared = q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3];
  if (!(squared > 0.0) || !std::isfinite(squared)) return false;
  if (!always && std::abs(squared - 1.0) < 1e-6) return true;
  const double length = std::sqrt(squared);
  for (int c = 0; c < 4; ++c) q[c] /= length;
  return true;
}

void Slerp(const double* a, const double* b, double t, double* out) {
  double end[4] = {b[0], b[1], b[2], b[3]};
  double cosine = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
  if (cosine < 0.0) {
    for (double& c : end) c = -c;
    cosine = -cosine;
  }
  if (cosine > 0.9995) {
    for (int c = 0; c < 4; ++c) out[c] = a[c] + (end[c] - a[c]) * t;
    Normalize(out, true);
    return;
  }
  const double angle = std::acos(cosine);
  const double sine = std::sin(angle);
  const double wa = std::sin((1.0 - t) * angle) / sine;
  const double wb = std::sin(t * angle) / sine;
  for (int c = 0; c < 4; ++c) out[c] = a[c] * wa + end[c] * wb;
}

// The values of key `index`, in double precision, normalised for a rotation.
bool LoadKey(const std::vector<float>& values, std::size_t offset, int components, bool rotation, double* key) {
  for (int c = 0; c < components; ++c) key[c] = values[offset + c];
  return !rotation || Normalize(key, false);
}

bool StoreKey(const double* key, int components, std::vector<float>& out) {
  for (int c = 0; c < components; ++c) {
    if (!(std::abs(key[c]) <= std::numeric_limits<float>::max())) return false;
  }
  for (int c = 0; c < components; ++c) out.push_back(static_cast<float>(key[c]));
  return true;
}

}  // namespace

bool TrackSampler::OnDistinctWholeFrames(const std::vector<float>& times, double rate) {
  double previous = -std::numeric_limits<double>::infinity();
  for (const float time : times) {
    // Half up, which the compiler does inline; other roundings differ only halfway between
    // frames, which is on no frame either way.
    const double frame = std::floor(FrameOf(time, rate) + 0.5);
    if (!OnFrame(time, frame, rate) || frame <= previous) return false;
    previous = frame;
  }
  return true;
}

double TrackSampler::ChooseFrameRate(const std::vector<const std::vector<float>*>& tracks) {
  for (const double rate : kFrameRates) {
    const bool fits = std::all_of(tracks.begin(), tracks.end(), [rate](const std::vector<float>* times) {
      return OnDistinctWholeFrames(*times, rate);
    });
    if (fits) return rate;
  }
  return 0.0;
}

ClipFileError TrackSampler::CountKeys(const std::vector<float>& times, double rate, std::uint64_t& count,
                                      std::string& message, bool* sampled) {
  count = 0;
  if (sampled) *sampled = true;
  if (times.empty()) {
    message = "a sampler has no key time";
    return ClipFileError::BadAccessor;
  }
  for (std::size_t i = 0; i < times.size(); ++i) {
    if (times[i] < 0.0f || (i > 0 && times[i] <= times[i - 1])) {
      message = "key time " + std::to_string(i) + " is negative or not after the previous one";
      return ClipFileError::BadTimes;
    }
  }
  if (FrameOf(times.back(), rate) > ClipFileLimits::kMaxFrame + 0.5) {
    message = "its keys reach past frame " + std::to_string(ClipFileLimits::kMaxFrame) + " at " +
              std::to_string(static_cast<int>(rate)) + " frames per second, the last frame a clip can hold";
    return ClipFileError::TooLarge;
  }
  if (KeptAsItIs(times, rate)) {
    count = times.size();
    if (sampled) *sampled = false;
    return ClipFileError::None;
  }
  const double first = FirstFrame(times.front(), rate);
  const double last = LastFrame(times.back(), rate);
  count = last < first ? 1 : static_cast<std::uint64_t>(last - first) + 1;
  return ClipFileError::None;
}

ClipFileError TrackSampler::ToFrames(const std::vector<float>& times, const std::vector<float>& values, int components,
                                     Interpolation interpolation, bool rotation, double rate, Keys& keys, bool& sampled,
                                     std::string& message, const bool* counted) {
  keys.frames.clear();
  keys.values.clear();
  keys.tangents.clear();
  sampled = false;
  const std::size_t count = times.size();
  const std::size_t perKey = interpolation == Interpolation::CubicSpline ? 3u * components : components;
  if (count == 0 || values.size() != count * perKey) {
    message =
        "sampler output holds " + std::to_string(values.size()) + " values for " + std::to_string(count) + " key times";
    return ClipFileError::BadAccessor;
  }
  std::uint64_t produced = count;
  if (counted && !*counted) {
    sampled = false;
  } else {
    const ClipFileError error = CountKeys(times, rate, produced, message, &sampled);
    if (error != ClipFileError::None) return error;
  }
  const bool isRotation = rotation && components == 4;
  auto zeroRotation = [&message](std::size_t key) {
    message = "rotation key " + std::to_string(key) + " has length zero";
    return ClipFileError::NonFiniteValue;
  };

  // The value of key i starts at this offset of `values`.
  const std::size_t valueOffset = interpolation == Interpolation::CubicSpline ? components : 0;
  keys.frames.reserve(produced);
  keys.values.reserve(produced * components);
  // A key's components: 3 or 4, or a weight per morph target.
  std::vector<double> keyA(static_cast<std::size_t>(components));
  std::vector<double> keyB(keyA.size());
  std::vector<double> keySample(keyA.size());
  double* a = keyA.data();
  double* b = keyB.data();
  double* sample = keySample.data();
  if (!sampled) {
    const bool cubic = interpolation == Interpolation::CubicSpline;
    if (cubic) keys.tangents.reserve(count * 2 * components);
    for (std::size_t i = 0; i < count; ++i) {
      if (!LoadKey(values, i * perKey + valueOffset, components, isRotation, a)) return zeroRotation(i);
      keys.frames.push_back(static_cast<std::uint32_t>(std::lrint(FrameOf(times[i], rate))));
      StoreKey(a, components, keys.values);
      if (!cubic) continue;
      for (const std::size_t at : {i * perKey, i * perKey + 2 * components}) {
        for (int c = 0; c < components; ++c) {
          if (!std::isfinite(values[at + c])) {
            message = "a tangent of key " + std::to_string(i) + " is not a finite number";
            return ClipFileError::NonFiniteValue;
          }
          keys.tangents.push_back(values[at + c]);
        }
      }
    }
    return ClipFileError::None;
  }

  const double first = FirstFrame(times.front(), rate);
  const double last = LastFrame(times.back(), rate);
  if (last < first) {
    // A track shorter than a frame still has a value: keep it at its nearest frame.
    if (!LoadKey(values, valueOffset, components, isRotation, a)) return zeroRotation(0);
    keys.frames.push_back(static_cast<std::uint32_t>(std::lround(FrameOf(times.front(), rate))));
    StoreKey(a, components, keys.values);
    return ClipFileError::None;
  }
  std::size_t segment = 0;
  for (auto frame = static_cast<std::uint32_t>(first); frame <= static_cast<std::uint32_t>(last); ++frame) {
    // A key on this frame, as OnFrame tells, is this frame's value.
    while (segment + 1 < count &&
           (FrameOf(times[segment + 1], rate) <= frame || OnFrame(times[segment + 1], frame, rate))) {
      ++segment;
    }
    if (!LoadKey(values, segment * perKey + valueOffset, components, isRotation, a)) return zeroRotation(segment);
    if (segment + 1 >= count || FrameOf(times[segment], rate) >= frame || OnFrame(times[segment], frame, rate) ||
        interpolation == Interpolation::Step) {
      for (int c = 0; c < components; ++c) sample[c] = a[c];
    } else {
      const double span = static_cast<double>(times[segment + 1]) - times[segment];
      const double s = std::clamp((frame / rate - times[segment]) / span, 0.0, 1.0);
      const std::size_t next = (segment + 1) * perKey + valueOffset;
      if (!LoadKey(values, next, components, isRotation, b)) return zeroRotation(segment + 1);
      if (interpolation == Interpolation::Linear) {
        if (isRotation) {
          Slerp(a, b, s, sample);
        } else {
          for (int c = 0; c < components; ++c) sample[c] = a[c] + (b[c] - a[c]) * s;
        }
      } else {
        const float* outTangent = values.data() + segment * perKey + 2 * components;
        const float* inTangent = values.data() + (segment + 1) * perKey;
        for (int c = 0; c < components; ++c) {
          sample[c] = EngineCore::Math::EvaluateHermite(a[c], outTangent[c], b[c], inTangent[c], span, s);
        }
        if (isRotation && !Normalize(sample, true)) return zeroRotation(segment);
      }
    }
    keys.frames.push_back(frame);
    if (!StoreKey(sample, components, keys.values)) {
      message = "the key sampled at frame " + std::to_string(frame) + " lies beyond the range of a float";
      return ClipFileError::NonFiniteValue;
    }
  }
  return ClipFileError::None;
}

}  // namespace Formats
