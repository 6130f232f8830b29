#include "curves/ClipWriteBack.h"

#include <cmath>

#include "EngineCore/AnimCurve.h"
#include "EngineCore/Log.h"
#include "EngineCore/Quaternion.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

constexpr float kSlopeTolerance = 0.001f;

// Samples one triple into its (emptied) key curve; returns how many keys the curve refused.
int SampleTriple(CurveInfo* const triple[3], EngineCore::AnimCurve& keys, float first, float last) {
  const bool rotation = keys.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion;
  const float start = triple[0]->iTrackType == CurveInfo::Scale ? 1.0f : 0.0f;
  // One value and one search hint per component for the whole triple: a component whose
  // curve has no value at a frame keeps the one it had.
  float values[3] = {start, start, start};
  std::uint32_t segments[3] = {0, 0, 0};
  float lastWritten[3] = {0.0f, 0.0f, 0.0f};
  float lastFrame = 0.0f;
  int refused = 0;

  for (float f = first; f <= last; f += 1.0f) {
    bool any = false;
    for (int c = 0; c < 3; ++c) any = triple[c]->pCurve->EvaluatePoint(f, values[c], segments[c]) || any;
    if (!any) continue;
    float current[3];
    for (int c = 0; c < 3; ++c) current[c] = rotation ? values[c] * Ids::kRadiansPerDegree : values[c];

    // A frame where a curve has a point is always written: a key the graph shows is a key
    // the file holds. Between points the curves are straight and only bends are written.
    bool point = false;
    for (int c = 0; c < 3; ++c) {
      const EditorToolkit::Curve2& curve = *triple[c]->pCurve;
      point = point || (curve.GetPointCount() > 0 && curve.GetPointAt(segments[c])->x == f);
    }
    if (!point && keys.GetKeyCount() > 0 && f != last) {
      float next[3] = {current[0], current[1], current[2]};
      bool ahead = false;
      for (int c = 0; c < 3; ++c) {
        if (triple[c]->pCurve->EvaluatePoint(f + 1.0f, next[c], segments[c])) {
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
        if (onLine) continue;
      }
    }

    // Keys before frame 0 truncate onto frame 0, which the curve then refuses a second time.
    const auto frame = static_cast<std::uint32_t>(f);
    const bool added = rotation
                           ? keys.AddKey(frame, EngineCore::Quaternion::FromAngles(current[0], current[1], current[2]))
                           : keys.AddKey(frame, EngineCore::Vector3(current[0], current[1], current[2]));
    if (!added) ++refused;
    for (int c = 0; c < 3; ++c) lastWritten[c] = current[c];
    lastFrame = f;
  }
  return refused;
}

}  // namespace

bool ClipWriteBack::WriteBackChannel(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey) {
  if (!WriteBackTracks(clip, curves, channelKey)) return false;
  clip.SetModified(true);
  return true;
}

std::size_t ClipWriteBack::WriteBackChannels(EngineCore::AnimClip& clip, const CurveSet& curves,
                                             const std::vector<std::uint32_t>& keys) {
  std::size_t count = 0;
  for (const std::uint32_t key : keys) count += WriteBackTracks(clip, curves, key) ? 1 : 0;
  if (count > 0) clip.SetModified(true);
  return count;
}

bool ClipWriteBack::WriteBackTracks(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey) {
  const CurveSet::Curves* array = curves.GetChannelCurves(channelKey);
  if (!array) return false;
  const std::size_t count = array->size();
  std::size_t i = 0;
  while (i < count) {
    CurveInfo* x = (*array)[i].get();
    EngineCore::AnimChannel* channel = x ? clip.GetChannel(x->iChannelKey) : nullptr;
    EngineCore::AnimCurve* keys = channel ? channel->GetCurve(x->iTrackType) : nullptr;
    if (!keys || x->iTrackType == 0 || x->iTrackType > 3) {
      ++i;
      continue;
    }
    CurveInfo* const triple[3] = {x, i + 1 < count ? (*array)[i + 1].get() : nullptr,
                                  i + 2 < count ? (*array)[i + 2].get() : nullptr};
    i += 3;
    if (!triple[1] || !triple[2]) continue;

    float first = -1.0f;
    float last = 0.0f;
    for (CurveInfo* curve : triple) {
      const EditorToolkit::Curve2& points = *curve->pCurve;
      if (points.GetPointCount() == 0) continue;
      const float lastX = points.GetPointAt(points.GetPointCount() - 1)->x;
      const float firstX = points.GetPointAt(0)->x;
      if (last <= lastX) last = lastX;
      if (first == -1.0f || firstX <= first) first = firstX;
    }

    const std::uint32_t keyType = keys->GetKeyType();
    if (keyType == EngineCore::AnimCurve::KeyVector3 || keyType == EngineCore::AnimCurve::KeyQuaternion) {
      keys->Empty();
      if (first == -1.0f) continue;
      const int refused = first <= last ? SampleTriple(triple, *keys, first, last) : 0;
      if (refused > 0) {
        EngineCore::Log::Write(EngineCore::Log::Warning, "Tarvel: track %u of channel 0x%x refused %d keys",
                               x->iTrackType, channelKey, refused);
      }
    }
    if (x->iTrackType == CurveInfo::Rotation) keys->MakeRotationsContinuous();
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
