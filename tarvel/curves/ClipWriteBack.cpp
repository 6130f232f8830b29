#include "curves/ClipWriteBack.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "EngineCore/AnimCurve.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "EngineCore/Quaternion.h"
#include "curves/CurveEvaluation.h"
#include "curves/RotationTangents.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

// Writes one triple into its (emptied) key curve, key for key: a key on every frame where one
// of the three curves has a point, each component its own point's value there (the last of
// its points on that frame) or, lacking one, its curve's value, so that a key added on one
// axis changes nothing its siblings play. A cubic track's keys take their points' tangents (a
// component without a point, those that split its curve there); a rotation key those of the
// first axis with a point on its frame. Returns how many keys the curve refused.
int WriteTriple(CurveInfo* const triple[3], EngineCore::AnimCurve& keys) {
  using EditorToolkit::KeyTangents;
  const bool rotation = keys.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion;
  const bool cubic = keys.IsCubic();
  // A component whose curve has no point at all keeps the track's rest value.
  const float rest = triple[0]->iTrackType == CurveInfo::Scale ? 1.0f : 0.0f;
  // The points as arrays: the walk below reads each of them a few times.
  const EditorToolkit::Curve2::PointList points[3] = {triple[0]->pCurve->GetCurve(), triple[1]->pCurve->GetCurve(),
                                                      triple[2]->pCurve->GetCurve()};
  const EditorToolkit::Curve2::TangentList tangents[3] = {
      triple[0]->pCurve->GetTangents(), triple[1]->pCurve->GetTangents(), triple[2]->pCurve->GetTangents()};
  keys.Reserve(static_cast<std::uint32_t>(std::max({points[0].size(), points[1].size(), points[2].size()})));
  std::size_t next[3] = {0, 0, 0};
  int refused = 0;
  // Tangents of a component without a point on the frame, found when a cubic track needs them.
  KeyTangents made[3];
  std::vector<EngineCore::TangentType> types;
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
    const KeyTangents* slopes[3] = {nullptr, nullptr, nullptr};
    const KeyTangents* keyTangents = nullptr;
    for (int c = 0; c < 3; ++c) {
      bool own = false;
      while (next[c] < points[c].size() && ClipWriteBack::KeyFrameOf(points[c][next[c]].x) == frame) {
        values[c] = points[c][next[c]].y;
        if (cubic && next[c] < tangents[c].size()) slopes[c] = &tangents[c][next[c]];
        own = true;
        ++next[c];
      }
      if (own && !keyTangents) keyTangents = slopes[c];
      if (!own) {
        const bool found = cubic ? CurveEvaluation::Split(*triple[c], static_cast<float>(frame), values[c], made[c])
                                 : CurveEvaluation::Evaluate(*triple[c], static_cast<float>(frame), values[c]);
        if (!found) values[c] = rest;
        slopes[c] = &made[c];
      }
      if (rotation) values[c] *= Ids::kRadiansPerDegree;
    }
    bool added = false;
    if (cubic && rotation) {
      types.push_back(keyTangents ? keyTangents->type : EngineCore::TangentType::AutoClamped);
    } else if (cubic) {
      for (const KeyTangents* own : slopes) types.push_back(own ? own->type : EngineCore::TangentType::AutoClamped);
    }
    if (rotation) {
      const EngineCore::Quaternion key = EngineCore::Quaternion::FromAngles(values[0], values[1], values[2]);
      added = cubic && keyTangents ? keys.AddKey(frame, key, RotationTangents::FromLocal(key, keyTangents->in),
                                                 RotationTangents::FromLocal(key, keyTangents->out))
                                   : keys.AddKey(frame, key);
    } else if (cubic) {
      auto side = [&slopes](bool in) {
        EngineCore::Vector3 slope;
        for (int c = 0; c < 3; ++c) slope[c] = slopes[c] ? (in ? slopes[c]->in[0] : slopes[c]->out[0]) : 0.0f;
        return slope;
      };
      added = keys.AddKey(frame, EngineCore::Vector3(values[0], values[1], values[2]), side(true), side(false));
    } else {
      added = keys.AddKey(frame, EngineCore::Vector3(values[0], values[1], values[2]));
    }
    if (!added) ++refused;
  }
  if (cubic) keys.SetTangentTypes(std::move(types));
  return refused;
}

// Writes a weights track's curves (one per morph target) into its emptied key curve, as
// WriteTriple writes a triple: a key on every frame where one of them has a point, each weight
// its own point's value there or its curve's value, a cubic key with its points' tangents or
// those that split a curve without a point there.
int WriteWeights(const std::vector<const CurveInfo*>& curves, EngineCore::AnimCurve& keys) {
  using EditorToolkit::KeyTangents;
  const std::size_t count = curves.size();
  const bool cubic = keys.IsCubic();
  std::vector<std::size_t> next(count, 0);
  std::vector<float> values(count), in(count), out(count);
  std::vector<EngineCore::TangentType> types;
  int refused = 0;
  for (;;) {
    bool any = false;
    std::uint32_t frame = 0;
    for (std::size_t w = 0; w < count; ++w) {
      const EditorToolkit::Curve2& points = *curves[w]->pCurve;
      if (next[w] >= points.GetPointCount()) continue;
      const std::uint32_t at = ClipWriteBack::KeyFrameOf(points.GetPointAt(static_cast<std::uint32_t>(next[w]))->x);
      frame = any ? std::min(frame, at) : at;
      any = true;
    }
    if (!any) break;
    for (std::size_t w = 0; w < count; ++w) {
      const EditorToolkit::Curve2& points = *curves[w]->pCurve;
      bool own = false;
      KeyTangents tangents;
      while (next[w] < points.GetPointCount() &&
             ClipWriteBack::KeyFrameOf(points.GetPointAt(static_cast<std::uint32_t>(next[w]))->x) == frame) {
        const auto at = static_cast<std::uint32_t>(next[w]);
        values[w] = points.GetPointAt(at)->y;
        if (const KeyTangents* slopes = cubic ? points.GetTangentsAt(at) : nullptr) tangents = *slopes;
        own = true;
        ++next[w];
      }
      if (!own) {
        const bool found = cubic ? CurveEvaluation::Split(*curves[w], static_cast<float>(frame), values[w], tangents)
                                 : CurveEvaluation::Evaluate(*curves[w], static_cast<float>(frame), values[w]);
        if (!found) values[w] = 0.0f;
      }
      in[w] = tangents.in[0];
      out[w] = tangents.out[0];
      if (cubic) types.push_back(tangents.type);
    }
    const bool added = cubic ? keys.AddWeightKey(frame, values.data(), in.data(), out.data())
                             : keys.AddWeightKey(frame, values.data());
    if (!added) ++refused;
  }
  if (cubic) keys.SetTangentTypes(std::move(types));
  return refused;
}

}  // namespace

bool ClipWriteBack::WriteBackChannel(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey,
                                     const References* references) {
  if (!WriteBackTracks(clip, curves, channelKey, references)) return false;
  clip.SetModified(true);
  return true;
}

std::size_t ClipWriteBack::WriteBackChannels(EngineCore::AnimClip& clip, const CurveSet& curves,
                                             const std::vector<std::uint32_t>& keys, const References* references) {
  std::size_t count = 0;
  for (const std::uint32_t key : keys) count += WriteBackTracks(clip, curves, key, references) ? 1 : 0;
  if (count > 0) clip.SetModified(true);
  return count;
}

bool ClipWriteBack::WriteBackTracks(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey,
                                    const References* references) {
  const CurveSet::Curves* array = curves.GetChannelCurves(channelKey);
  if (!array) return false;
  const auto reference = references ? references->find(channelKey) : References::const_iterator();
  const EngineCore::AnimCurve* kept = references && reference != references->end() ? &reference->second : nullptr;
  const std::size_t count = array->size();
  std::size_t i = 0;
  while (i < count) {
    CurveInfo* x = (*array)[i].get();
    EngineCore::AnimChannel* channel = x ? clip.GetChannel(x->iChannelKey) : nullptr;
    EngineCore::AnimCurve* keys = channel ? channel->GetCurve(x->iTrackType) : nullptr;
    if (keys && x->iTrackType == CurveInfo::Weights && keys->GetKeyType() == EngineCore::AnimCurve::KeyWeights) {
      std::vector<const CurveInfo*> weights;
      for (; i < count && (*array)[i]->iTrackType == CurveInfo::Weights; ++i) weights.push_back((*array)[i].get());
      if (weights.size() != keys->GetWeightCount()) continue;
      keys->Empty();
      if (const int refused = WriteWeights(weights, *keys); refused > 0) {
        EngineCore::Log::Write(EngineCore::Log::Warning, "Tarvel: the weights of channel 0x%x refused %d keys",
                               channelKey, refused);
      }
      continue;
    }
    if (!keys || x->iTrackType == 0 || x->iTrackType > 3) {
      ++i;
      continue;
    }
    CurveInfo* const triple[3] = {x, i + 1 < count ? (*array)[i + 1].get() : nullptr,
                                  i + 2 < count ? (*array)[i + 2].get() : nullptr};
    i += 3;
    if (!triple[1] || !triple[2]) continue;

    const std::uint32_t keyType = keys->GetKeyType();
    if (keyType != EngineCore::AnimCurve::KeyVector3 && keyType != EngineCore::AnimCurve::KeyQuaternion) continue;
    const bool rotation = keyType == EngineCore::AnimCurve::KeyQuaternion;
    // A rotation's keys as they were, whose signs the written keys take back: a key not
    // edited comes back in its own bits (a cubic track plays its keys' signs).
    // Given references, a channel without one is continuous from its first key.
    const EngineCore::AnimCurve* signs = kept;
    EngineCore::AnimCurve before;
    if (rotation && !signs && !references) before = std::move(*keys);
    if (!signs) signs = &before;
    keys->Empty();
    const int refused = WriteTriple(triple, *keys);
    if (refused > 0) {
      EngineCore::Log::Write(EngineCore::Log::Warning, "Tarvel: track %u of channel 0x%x refused %d keys",
                             x->iTrackType, channelKey, refused);
    }
    if (rotation) keys->AlignRotations(*signs);
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
