#include "curves/ClipWriteBack.h"

#include <algorithm>
#include <cmath>

#include "EngineCore/AnimCurve.h"
#include "EngineCore/Log.h"
#include "EngineCore/Quaternion.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;
using EngineCore::AnimCurve;
using EngineCore::Quaternion;
using EngineCore::Vector3;

constexpr float kSlopeTolerance = 0.001f;

// One curve's values at frames that never go back, as Curve2::EvaluatePoint gives them: the
// walk keeps the point at or before the last frame asked for instead of searching for it.
class PointWalk {
 public:
  explicit PointWalk(const Curve2& points) : curve(&points), count(points.GetPointCount()) {}

  // Places the walk at any frame.
  void Seek(float frame) {
    float y = 0.0f;
    segment = 0;
    if (count > 0) curve->EvaluatePoint(frame, y, segment);
  }
  // The value at frame, which is not before the frames asked for since the last Seek; false
  // on an empty curve.
  bool Value(float frame, float& y) {
    if (count == 0) return false;
    while (segment + 1 < count && curve->GetPointAt(segment + 1)->x <= frame) ++segment;
    const EditablePoint& from = *curve->GetPointAt(segment);
    if (segment + 1 >= count || frame <= from.x) {
      y = from.y;
      return true;
    }
    const EditablePoint& to = *curve->GetPointAt(segment + 1);
    const float span = to.x - from.x;
    if (!(span > 0.0f)) {
      y = from.y;
      return true;
    }
    const float t = std::clamp((frame - from.x) / span, 0.0f, 1.0f);
    y = from.y + (to.y - from.y) * t;
    return true;
  }
  // Whether the curve has a point on the frame asked for last.
  bool OnPoint(float frame) const { return count > 0 && curve->GetPointAt(segment)->x == frame; }

 private:
  const Curve2* curve;
  std::uint32_t count;
  std::uint32_t segment = 0;
};

// The write-back's walk over one triple's frames, one frame after the other: which frames
// get a key, and its values (radians for rotations).
class TripleScan {
 public:
  TripleScan(CurveInfo* const triple[3], bool rotations, float lastFrameOfScan)
      : walks{PointWalk(*triple[0]->pCurve), PointWalk(*triple[1]->pCurve), PointWalk(*triple[2]->pCurve)},
        rotation(rotations),
        last(lastFrameOfScan) {
    // A component whose curve has no points keeps this value.
    const float start = triple[0]->iTrackType == CurveInfo::Scale ? 1.0f : 0.0f;
    for (float& value : values) value = start;
  }

  // The scan as it stands after writing a key at frame, whose values go to current.
  void ResumeAfter(float frame, float current[3]) {
    for (int c = 0; c < 3; ++c) {
      walks[c].Seek(frame);
      walks[c].Value(frame, values[c]);
      current[c] = rotation ? values[c] * Ids::kRadiansPerDegree : values[c];
      lastWritten[c] = current[c];
    }
    lastFrame = frame;
  }

  // The frame after the one visited last: true when it gets a key, whose values go to
  // current. keyed says whether the track holds a key already.
  bool Visit(float f, bool keyed, float current[3]) {
    bool any = false;
    for (int c = 0; c < 3; ++c) any = walks[c].Value(f, values[c]) || any;
    if (!any) return false;
    for (int c = 0; c < 3; ++c) current[c] = rotation ? values[c] * Ids::kRadiansPerDegree : values[c];

    // A frame where a curve has a point is always written: a key the graph shows is a key
    // the file holds. Between points the curves are straight and only bends are written.
    bool point = false;
    for (const PointWalk& walk : walks) point = point || walk.OnPoint(f);
    if (!point && keyed && f != last) {
      float next[3] = {current[0], current[1], current[2]};
      bool ahead = false;
      for (int c = 0; c < 3; ++c) {
        if (walks[c].Value(f + 1.0f, next[c])) {
          ahead = true;
          if (rotation) next[c] *= Ids::kRadiansPerDegree;
        }
      }
      if (ahead) {
        const float dt = f - lastFrame;
        bool onLine = true;
        for (int c = 0; c < 3 && onLine; ++c) {
          const float in = (current[c] - lastWritten[c]) / dt;
          const float out = next[c] - current[c];
          onLine = std::abs(in - out) < kSlopeTolerance;
        }
        if (onLine) return false;
      }
    }
    for (int c = 0; c < 3; ++c) lastWritten[c] = current[c];
    lastFrame = f;
    return true;
  }

 private:
  PointWalk walks[3];
  bool rotation;
  float last;
  // One value per component for the whole walk: a component whose curve has no value at a
  // frame keeps the one it had.
  float values[3];
  float lastWritten[3] = {0.0f, 0.0f, 0.0f};
  float lastFrame = 0.0f;
};

bool AddKey(AnimCurve& keys, bool rotation, std::uint32_t frame, const float current[3]) {
  return rotation ? keys.AddKey(frame, Quaternion::FromAngles(current[0], current[1], current[2]))
                  : keys.AddKey(frame, Vector3(current[0], current[1], current[2]));
}

// The values of a triple whose three curves have a point on every whole frame from first to
// last and on no other frame, as takes sampled at the clip's rate have them: every frame is
// then keyed with the values of its points. False when the curves are not so.
bool ValuesOnEveryFrame(CurveInfo* const triple[3], float first, float last, std::vector<float> (&values)[3]) {
  if (!(first >= 0.0f) || first != std::floor(first) || !(first <= last)) return false;
  const double frames = static_cast<double>(last) - first + 1.0;
  for (int c = 0; c < 3; ++c) {
    const Curve2& curve = *triple[c]->pCurve;
    const std::uint32_t count = curve.GetPointCount();
    if (count == 0 || static_cast<double>(count) != frames) return false;
    values[c].resize(count);
    float* value = values[c].data();
    float frame = first;
    bool everyFrame = true;
    curve.ForEachPoint(0, count - 1, [&](const EditablePoint& point) {
      everyFrame = everyFrame && point.x == frame;
      *value++ = point.y;
      frame += 1.0f;
    });
    if (!everyFrame) return false;
  }
  return true;
}

// Samples one triple into its (emptied) key curve; returns how many keys the curve refused.
int SampleTriple(CurveInfo* const triple[3], AnimCurve& keys, float first, float last) {
  const bool rotation = keys.GetKeyType() == AnimCurve::KeyQuaternion;
  std::vector<float> values[3];
  if (ValuesOnEveryFrame(triple, first, last, values)) {
    const std::size_t count = values[0].size();
    keys.Reserve(static_cast<std::uint32_t>(count));
    const float scale = rotation ? Ids::kRadiansPerDegree : 1.0f;
    int refused = 0;
    float frame = first;
    for (std::size_t i = 0; i < count; ++i, frame += 1.0f) {
      const float current[3] = {values[0][i] * scale, values[1][i] * scale, values[2][i] * scale};
      if (!AddKey(keys, rotation, static_cast<std::uint32_t>(frame), current)) ++refused;
    }
    return refused;
  }
  TripleScan scan(triple, rotation, last);
  int refused = 0;
  for (float f = first; f <= last; f += 1.0f) {
    float current[3];
    if (!scan.Visit(f, keys.GetKeyCount() > 0, current)) continue;
    // Keys before frame 0 truncate onto frame 0, which the curve then refuses a second time.
    if (!AddKey(keys, rotation, static_cast<std::uint32_t>(f), current)) ++refused;
  }
  return refused;
}

// Whether key i of the track is the one values written there give (a rotation of either sign).
bool HoldsKey(const AnimCurve& keys, std::uint32_t i, bool rotation, const float current[3]) {
  if (!rotation) return keys.GetVector3Key(i) == Vector3(current[0], current[1], current[2]);
  const Quaternion written = Quaternion::FromAngles(current[0], current[1], current[2]);
  return keys.GetQuaternionKey(i) == written || keys.GetQuaternionKey(i) == written.Negated();
}

// Writes again only the keys of a triple's track that a change of its curves within the frames
// from..to reaches, the track holding what SampleTriple (and the rotations' continuity) wrote
// from the curves before the change. False, the track left alone, when it cannot: the change
// reaches the triple's first or last frame, those are not whole, or the track does not hold
// such keys.
bool SpliceTriple(CurveInfo* const triple[3], AnimCurve& keys, bool continuous, float first, float last, float from,
                  float to) {
  const std::uint32_t count = keys.GetKeyCount();
  if (count == 0 || !(first >= 0.0f) || first != std::floor(first) || last != std::floor(last) || !(first < from) ||
      !(to < last)) {
    return false;
  }
  const std::vector<std::uint32_t>& frames = keys.GetFrames();
  if (static_cast<float>(frames.front()) != first || static_cast<float>(frames.back()) != last) return false;
  // The scan resumes after the last key before from - 1: up to there it looks at unchanged
  // frames only, one frame ahead included.
  const auto resumeAt =
      std::lower_bound(frames.begin(), frames.end(), from - 1.0f,
                       [](std::uint32_t frame, float bound) { return static_cast<float>(frame) < bound; });
  if (resumeAt == frames.begin()) return false;
  const auto p = static_cast<std::uint32_t>(resumeAt - frames.begin()) - 1;
  const bool rotation = keys.GetKeyType() == AnimCurve::KeyQuaternion;
  TripleScan scan(triple, rotation, last);
  float current[3];
  const float resume = static_cast<float>(frames[p]);
  scan.ResumeAfter(resume, current);
  if (!HoldsKey(keys, p, rotation, current)) return false;

  // The scan goes on until, past the change, it writes a key where the track has one: from
  // there on both writings see the same frames from the same key.
  std::vector<std::uint32_t> madeFrames;
  std::vector<float> made;
  std::uint32_t q = p + 1;
  bool met = false;
  for (float f = resume + 1.0f; f <= last && !met; f += 1.0f) {
    if (!scan.Visit(f, true, current)) continue;
    madeFrames.push_back(static_cast<std::uint32_t>(f));
    made.insert(made.end(), current, current + 3);
    if (f <= to) continue;
    while (q < count && static_cast<float>(frames[q]) < f) ++q;
    met = q < count && static_cast<float>(frames[q]) == f;
  }
  if (!met || !HoldsKey(keys, q, rotation, current)) return false;

  const std::vector<std::uint32_t> oldFrames = frames;
  const std::vector<Vector3> oldVectors = rotation ? std::vector<Vector3>() : keys.GetVector3Keys();
  const std::vector<Quaternion> oldRotations = rotation ? keys.GetQuaternionKeys() : std::vector<Quaternion>();
  keys.Empty();
  keys.Reserve(p + 1 + static_cast<std::uint32_t>(madeFrames.size()) + (count - q - 1));
  for (std::uint32_t i = 0; i <= p; ++i) {
    if (rotation) {
      keys.AddKey(oldFrames[i], oldRotations[i]);
    } else {
      keys.AddKey(oldFrames[i], oldVectors[i]);
    }
  }
  if (!rotation) {
    for (std::size_t k = 0; k < madeFrames.size(); ++k) AddKey(keys, false, madeFrames[k], &made[3 * k]);
    for (std::uint32_t i = q + 1; i < count; ++i) keys.AddKey(oldFrames[i], oldVectors[i]);
    return true;
  }
  // Continuity as MakeRotationsContinuous gives it: each key takes the sign that faces its
  // predecessor. Past the new keys, the old ones turn with them until one keeps its sign; from
  // there on the old chain is the new one.
  Quaternion previous = oldRotations[p];
  for (std::size_t k = 0; k < madeFrames.size(); ++k) {
    Quaternion key = Quaternion::FromAngles(made[3 * k], made[3 * k + 1], made[3 * k + 2]);
    if (continuous && key.Dot(previous) < 0.0f) key = key.Negated();
    keys.AddKey(madeFrames[k], key);
    previous = key;
  }
  bool turning = continuous;
  for (std::uint32_t i = q + 1; i < count; ++i) {
    Quaternion key = oldRotations[i];
    if (turning) {
      turning = key.Dot(previous) < 0.0f;
      if (turning) key = key.Negated();
    }
    keys.AddKey(oldFrames[i], key);
    previous = key;
  }
  return true;
}

}  // namespace

bool ClipWriteBack::WriteBackChannel(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey) {
  if (!WriteBackTracks(clip, curves, channelKey, nullptr)) return false;
  clip.SetModified(true);
  return true;
}

std::size_t ClipWriteBack::WriteBackChannels(EngineCore::AnimClip& clip, const CurveSet& curves,
                                             const std::vector<std::uint32_t>& keys) {
  std::size_t count = 0;
  for (const std::uint32_t key : keys) count += WriteBackTracks(clip, curves, key, nullptr) ? 1 : 0;
  if (count > 0) clip.SetModified(true);
  return count;
}

bool ClipWriteBack::WriteBackChanges(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey,
                                     const std::vector<TrackChange>& changes) {
  if (!WriteBackTracks(clip, curves, channelKey, &changes)) return false;
  clip.SetModified(true);
  return true;
}

bool ClipWriteBack::WriteBackTracks(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey,
                                    const std::vector<TrackChange>* changes) {
  const CurveSet::Curves* array = curves.GetChannelCurves(channelKey);
  if (!array) return false;
  const std::size_t count = array->size();
  std::size_t i = 0;
  while (i < count) {
    CurveInfo* x = (*array)[i].get();
    EngineCore::AnimChannel* channel = x ? clip.GetChannel(x->iChannelKey) : nullptr;
    AnimCurve* keys = channel ? channel->GetCurve(x->iTrackType) : nullptr;
    if (!keys || x->iTrackType == 0 || x->iTrackType > 3) {
      ++i;
      continue;
    }
    CurveInfo* const triple[3] = {x, i + 1 < count ? (*array)[i + 1].get() : nullptr,
                                  i + 2 < count ? (*array)[i + 2].get() : nullptr};
    i += 3;
    if (!triple[1] || !triple[2]) continue;
    const TrackChange* change = nullptr;
    if (changes) {
      const auto named = std::find_if(changes->begin(), changes->end(),
                                      [x](const TrackChange& c) { return c.trackType == x->iTrackType; });
      if (named == changes->end()) continue;
      change = &*named;
    }

    float first = -1.0f;
    float last = 0.0f;
    for (CurveInfo* curve : triple) {
      const Curve2& points = *curve->pCurve;
      if (points.GetPointCount() == 0) continue;
      const float lastX = points.GetPointAt(points.GetPointCount() - 1)->x;
      const float firstX = points.GetPointAt(0)->x;
      if (last <= lastX) last = lastX;
      if (first == -1.0f || firstX <= first) first = firstX;
    }

    const bool continuous = x->iTrackType == CurveInfo::Rotation;
    const std::uint32_t keyType = keys->GetKeyType();
    if (keyType == AnimCurve::KeyVector3 || keyType == AnimCurve::KeyQuaternion) {
      if (change && first != -1.0f && SpliceTriple(triple, *keys, continuous, first, last, change->from, change->to)) {
        continue;
      }
      keys->Empty();
      if (first == -1.0f) continue;
      const int refused = first <= last ? SampleTriple(triple, *keys, first, last) : 0;
      if (refused > 0) {
        EngineCore::Log::Write(EngineCore::Log::Warning, "Tarvel: track %u of channel 0x%x refused %d keys",
                               x->iTrackType, channelKey, refused);
      }
    }
    if (continuous) keys->MakeRotationsContinuous();
  }
  return true;
}

bool ClipWriteBack::UpdateKeyFrameRange(EngineCore::AnimClip& clip) {
  const std::uint32_t first = clip.GetFirstKeyFrame();
  const std::uint32_t last = clip.GetLastKeyFrame();
  clip.ComputeKeyFrameRange();
  return clip.GetFirstKeyFrame() != first && clip.GetLastKeyFrame() != last;
}

}  // namespace Tarvel
