#include "curves/ClipWriteBack.h"

#include <algorithm>
#include <cmath>

#include "EngineCore/AnimCurve.h"
#include "EngineCore/Log.h"
#include "EngineCore/Quaternion.h"
#include "curves/CurveEvaluation.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

// Writes one triple into its (emptied) key curve, key for key: a key on every frame where one
// of the three curves has a point, each component its own point's value there (the last of
// its points on that frame) or, lacking one, its curve's value, so that a key added on one
// axis changes nothing its siblings play. Returns how many keys the curve refused.
int WriteTriple(CurveInfo* const triple[3], EngineCore::AnimCurve& keys) {
  const bool rotation = keys.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion;
  // A component whose curve has no point at all keeps the track's rest value.
  const float rest = triple[0]->iTrackType == CurveInfo::Scale ? 1.0f : 0.0f;
  // The points as arrays: the walk below reads each of them a few times.
  const EditorToolkit::Curve2::PointList points[3] = {triple[0]->pCurve->GetCurve(), triple[1]->pCurve->GetCurve(),
                                                      triple[2]->pCurve->GetCurve()};
  keys.Reserve(static_cast<std::uint32_t>(std::max({points[0].size(), points[1].size(), points[2].size()})));
  std::size_t next[3] = {0, 0, 0};
  int refused = 0;
  for (;;) {
    bool any = false;
    std::uint32_t frame = 0;
    for (int c = 0; c < 3; ++c) {
      if (next[c] >= points[c].size()) continue;
      const std::uint32_t at = ClipWriteBack::KeyFrameOf(points[c][next[c]].x);
      frame = any ? std::min(frame, at) : at;
      any = true;
    }
    if (!any) break;
    float values[3];
    for (int c = 0; c < 3; ++c) {
      bool own = false;
      while (next[c] < points[c].size() && ClipWriteBack::KeyFrameOf(points[c][next[c]].x) == frame) {
        values[c] = points[c][next[c]].y;
        own = true;
        ++next[c];
      }
      if (!own && !CurveEvaluation::Evaluate(*triple[c], static_cast<float>(frame), values[c])) values[c] = rest;
      if (rotation) values[c] *= Ids::kRadiansPerDegree;
    }
    const bool added = rotation
                           ? keys.AddKey(frame, EngineCore::Quaternion::FromAngles(values[0], values[1], values[2]))
                           : keys.AddKey(frame, EngineCore::Vector3(values[0], values[1], values[2]));
    if (!added) ++refused;
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

    const std::uint32_t keyType = keys->GetKeyType();
    if (keyType == EngineCore::AnimCurve::KeyVector3 || keyType == EngineCore::AnimCurve::KeyQuaternion) {
      keys->Empty();
      const int refused = WriteTriple(triple, *keys);
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
