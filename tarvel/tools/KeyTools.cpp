#include "tools/KeyTools.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <vector>

#include "EngineCore/AnimTrack.h"
#include "curves/ClipEditCore.h"
#include "curves/CurveEvaluation.h"
#include "curves/TangentShaper.h"
#include "tools/KeyTransforms.h"
#include "tools/NoiseFilter.h"

namespace Tarvel {

using EditorToolkit::Curve2;

namespace {

// A worker on one curve's range; false when it left the curve as it was.
using Worker = std::function<bool(Curve2& curve, const CurveInfo& info, std::uint32_t first, std::uint32_t last)>;

const char* Label(const char* track, const char* selected, bool selection) { return selection ? selected : track; }

// Runs the worker over the selected curves, when answered is true, as one action.
bool Apply(ClipEditCore& core, bool selection, const char* label, bool answered, const Worker& worker) {
  if (!answered) return false;
  core.BeginEdit(label);
  for (CurveInfo* info : core.GetSelection().GetSelectedRows()) {
    Curve2& curve = *core.Touch(info);
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    if (KeyTransforms::GetRange(curve, selection, first, last)) worker(curve, *info, first, last);
  }
  return core.EndEdit();
}

// Adds count keys between each pair of keys of every selected curve's range as one action,
// each placed on its curve as the clip plays it before any of them comes (a rotation's axes
// read one another), then runs finish over each curve's grown range.
bool ApplySubdivision(ClipEditCore& core, bool selection, const char* label, bool answered, int count, bool markNew,
                      const std::function<void(Curve2&, std::uint32_t, std::uint32_t)>& finish) {
  if (!answered) return false;
  core.BeginEdit(label);
  struct Planned {
    Curve2* curve;
    std::uint32_t first;
    std::uint32_t last;
    std::vector<EditorToolkit::EditablePoint> points;
    Curve2::TangentList tangents;
  };
  std::vector<Planned> plans;
  for (CurveInfo* info : core.GetSelection().GetSelectedRows()) {
    Planned plan{core.Touch(info), 0, 0, {}, {}};
    if (!KeyTransforms::GetRange(*info->pCurve, selection, plan.first, plan.last)) continue;
    plan.points = KeyTransforms::SubdivisionPoints(*info->pCurve, plan.first, plan.last, count);
    // On a cubic curve each new key splits the spline where it lands.
    for (EditorToolkit::EditablePoint& point : plan.points) {
      CurveEvaluation::Split(*info, point.x, point.y, plan.tangents.emplace_back());
    }
    plans.push_back(std::move(plan));
  }
  for (const Planned& plan : plans) {
    const std::uint32_t last = KeyTransforms::InsertPoints(*plan.curve, plan.last, plan.points, markNew, plan.tangents);
    if (finish) finish(*plan.curve, plan.first, last);
  }
  return core.EndEdit();
}

bool HasEditableCurves(const ClipEditCore& core) { return core.GetSelection().GetSelectedCurveCount() > 0; }

// Takes the flips out of every rotation track with a selected curve, all three of its
// curves (KeyTransforms::FilterEuler); with selection, from the first to the last selected
// key of the track's curves. Runs within the caller's action.
void MakeRotationsContinuous(ClipEditCore& core, bool selection) {
  std::set<std::uint32_t> done;
  for (const CurveInfo* row : core.GetSelection().GetSelectedRows()) {
    if (row->iTrackType != EngineCore::AnimTrack::Rotation || !done.insert(row->iChannelKey).second) continue;
    std::array<CurveInfo*, 3> rotation{};
    for (const auto& curve : *core.GetChannelCurves(row->iChannelKey)) {
      if (curve->iTrackType == EngineCore::AnimTrack::Rotation && curve->iComponent < 3) {
        rotation[curve->iComponent] = curve.get();
      }
    }
    if (!rotation[0] || !rotation[1] || !rotation[2]) continue;
    float firstFrame = -std::numeric_limits<float>::infinity();
    float lastFrame = std::numeric_limits<float>::infinity();
    if (selection) {
      firstFrame = -firstFrame;
      lastFrame = -lastFrame;
      for (const CurveInfo* curve : rotation) {
        std::uint32_t first = 0;
        std::uint32_t last = 0;
        if (!KeyTransforms::GetRange(*curve->pCurve, true, first, last)) continue;
        firstFrame = std::min(firstFrame, curve->pCurve->GetPointAt(first)->x);
        lastFrame = std::max(lastFrame, curve->pCurve->GetPointAt(last)->x);
      }
      if (firstFrame > lastFrame) continue;
    }
    KeyTransforms::FilterEuler(*core.Touch(rotation[0]), *core.Touch(rotation[1]), *core.Touch(rotation[2]), firstFrame,
                               lastFrame);
  }
}

// The cut-off the noise filter offers first: slower than most captured noise, faster than
// most body motion.
constexpr float kNoiseCutoffHz = 6.0f;
constexpr const char* kNoiseNeedsKeys = "Filter Noise needs three keys or more on a selected curve.";
constexpr const char* kSmoothHasNoRoom =
    "Smooth adds keys between keys and bends the curve through them, but these keys lie a frame apart: there "
    "is no room between them. Use Filter Noise to smooth keys as close as these.";

// The scale dialog shows the length the curves share, or none when they differ; the wished
// length starts at the shared one, else at the longest.
ScaleSettings ScaleDefaults(const ClipEditCore& core, bool selection) {
  ScaleSettings settings;
  const std::vector<CurveInfo*> rows = core.GetSelection().GetSelectedRows();
  int length = rows.empty() ? -1 : KeyTransforms::GetRangeLength(*rows.front()->pCurve, selection);
  int longest = -1;
  if (length != -1) {
    for (std::size_t r = 1; r < rows.size(); ++r) {
      const int other = KeyTransforms::GetRangeLength(*rows[r]->pCurve, selection);
      if (other < 0 || other == length) continue;
      length = -1;
      longest = std::max(longest, other);
    }
  }
  settings.iCurrentLength = length;
  settings.iWishLength = length != -1 ? length : longest;
  return settings;
}

}  // namespace

bool KeyTools::Flip(ClipEditCore& core, ToolQuestions& questions, bool selection) {
  bool vertical = false;
  const bool answered = HasEditableCurves(core) && questions.AskFlip(vertical);
  return Apply(core, selection, Label("FlipTrack", "FlipSelection", selection), answered,
               [vertical](Curve2& curve, const CurveInfo& info, std::uint32_t first, std::uint32_t last) {
                 if (vertical) {
                   KeyTransforms::MirrorTime(curve, first, last);
                 } else {
                   KeyTransforms::MirrorValues(curve, first, last, !CurveEvaluation::FollowsTrack(info));
                 }
                 return last > first;
               });
}

bool KeyTools::Scale(ClipEditCore& core, ToolQuestions& questions, bool selection) {
  ScaleSettings settings = ScaleDefaults(core, selection);
  const bool editable = HasEditableCurves(core);
  // Cancelling the scale tool leaves no trace, not even an undo step.
  if (editable && !questions.AskScale(settings)) return false;
  return Apply(core, selection, Label("ScaleTrack", "ScaleSelection", selection), editable,
               [&settings, selection](Curve2& curve, const CurveInfo& info, std::uint32_t first, std::uint32_t last) {
                 float factor = 1.0f;
                 if (settings.bUseLength) {
                   const int length = KeyTransforms::GetRangeLength(curve, selection);
                   // A run without length has no factor that reaches the wished one: it stays.
                   if (length == settings.iWishLength || length == 0) return false;
                   factor = static_cast<float>(settings.iWishLength) / static_cast<float>(length);
                 } else {
                   if (settings.fPercentage == 100.0f) return false;
                   factor = settings.fPercentage * 0.01f;
                 }
                 KeyTransforms::ScaleKeys(curve, first, last, factor, !CurveEvaluation::FollowsTrack(info));
                 return true;
               });
}

bool KeyTools::Smooth(ClipEditCore& core, ToolQuestions& questions, bool selection) {
  int subdivision = 0;
  const bool answered = HasEditableCurves(core) && questions.AskSmooth(subdivision);
  const bool smoothed = ApplySubdivision(core, selection, Label("SmoothTrack", "SmoothSelection", selection), answered,
                                         subdivision, true, KeyTransforms::SmoothNewKeys);
  if (answered && subdivision > 0 && !smoothed) questions.Tell(kSmoothHasNoRoom);
  return smoothed;
}

bool KeyTools::Subdivise(ClipEditCore& core, ToolQuestions& questions, bool selection) {
  int subdivision = 0;
  const bool answered = HasEditableCurves(core) && questions.AskSubdivise(subdivision);
  return ApplySubdivision(core, selection, Label("SubdiviseTrack", "SubdiviseSelection", selection), answered,
                          subdivision, false, nullptr);
}

bool KeyTools::SubSample(ClipEditCore& core, ToolQuestions& questions, bool selection) {
  float tolerance = 0.0f;
  const bool answered = HasEditableCurves(core) && questions.AskSubSample(tolerance);
  return Apply(core, selection, Label("SubSampleTrack", "SubSampleSelection", selection), answered,
               [tolerance](Curve2& curve, const CurveInfo&, std::uint32_t first, std::uint32_t last) {
                 const std::uint32_t before = curve.GetPointCount();
                 return curve.SubSample(first, last, tolerance) != before;
               });
}

bool KeyTools::FrameRate(ClipEditCore& core, ToolQuestions& questions) {
  if (!core.GetClip()) return false;
  FrameRateSettings settings;
  settings.fRate = core.GetClip()->GetFrameRate();
  if (!questions.AskFrameRate(settings)) return false;
  return core.ChangeFrameRate(settings.fRate, settings.bKeepTimes, settings.fTolerance);
}

bool KeyTools::EulerFilter(ClipEditCore& core, bool selection) {
  if (!HasEditableCurves(core)) return false;
  core.BeginEdit(Label("EulerFilterTrack", "EulerFilterSelection", selection));
  MakeRotationsContinuous(core, selection);
  return core.EndEdit();
}

bool KeyTools::FilterNoise(ClipEditCore& core, ToolQuestions& questions, bool selection,
                           const std::function<void()>& shown) {
  if (!HasEditableCurves(core) || !core.GetClip()) return false;
  const float rate = core.GetClip()->GetFrameRate();
  core.BeginEdit(Label("FilterNoiseTrack", "FilterNoiseSelection", selection));
  // Rotations are filtered on angles that go on through whole turns instead of jumping back.
  MakeRotationsContinuous(core, selection);
  struct Planned {
    CurveInfo* info;
    std::uint32_t first;
    std::vector<float> frames;
    std::vector<float> values;
  };
  std::vector<Planned> plans;
  float highest = std::numeric_limits<float>::infinity();
  for (CurveInfo* info : core.GetSelection().GetSelectedRows()) {
    const Curve2& curve = *core.Touch(info);
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    if (!KeyTransforms::GetRange(curve, selection, first, last) || last - first < 2) continue;
    Planned& plan = plans.emplace_back(Planned{info, first, {}, {}});
    for (std::uint32_t k = first; k <= last; ++k) {
      plan.frames.push_back(curve.GetPointAt(k)->x);
      plan.values.push_back(curve.GetPointAt(k)->y);
    }
    highest = std::min(highest, NoiseFilter::HighestCutoff(plan.frames, rate));
  }
  auto apply = [&](float cutoff) {
    for (const Planned& plan : plans) {
      std::vector<float> values = plan.values;
      NoiseFilter::LowPass(values, plan.frames, rate, cutoff);
      Curve2& curve = *core.Edited(plan.info);
      for (std::size_t k = 0; k < values.size(); ++k) {
        curve.GetPointAt(plan.first + static_cast<std::uint32_t>(k))->y = values[k];
      }
    }
    if (shown) shown();
  };
  float cutoff = std::min(kNoiseCutoffHz, highest / 2.0f);
  const bool filtered = !plans.empty() && highest > 0.0f && questions.AskFilterNoise(cutoff, highest, apply);
  if (filtered) {
    apply(cutoff);
  } else {
    for (CurveInfo* info : core.GetSelection().GetSelectedRows()) core.Revert(info);
    if (plans.empty()) questions.Tell(kNoiseNeedsKeys);
  }
  return core.EndEdit();
}

bool KeyTools::SetTangents(ClipEditCore& core, EngineCore::TangentType type, bool selection) {
  if (!HasEditableCurves(core)) return false;
  core.BeginEdit(Label("TangentsTrack", "TangentsSelection", selection));
  auto give = [&](CurveInfo* info, const std::function<bool(const EditorToolkit::EditablePoint&)>& chosen) {
    Curve2& curve = *core.Touch(info);
    for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) {
      if (!chosen(*curve.GetPointAt(i))) continue;
      EditorToolkit::KeyTangents tangents = *curve.GetTangentsAt(i);
      TangentShaper::SetType(tangents, type);
      curve.SetTangentsAt(i, tangents);
    }
  };
  // A rotation's keys are chosen by frame, on any of its axes.
  std::map<std::uint32_t, std::set<float>> rotationFrames;
  for (CurveInfo* info : core.GetSelection().GetSelectedRows()) {
    if (!info->pCurve->IsCubic()) continue;
    auto chosen = [selection](const EditorToolkit::EditablePoint& point) { return !selection || point.bSelected; };
    if (info->iTrackType != EngineCore::AnimTrack::Rotation) {
      give(info, chosen);
      continue;
    }
    std::set<float>& frames = rotationFrames[info->iChannelKey];
    info->pCurve->ForEachPoint(0, info->pCurve->GetPointCount(), [&](const EditorToolkit::EditablePoint& point) {
      if (chosen(point)) frames.insert(point.x);
    });
  }
  for (const auto& [channelKey, frames] : rotationFrames) {
    for (const auto& curve : *core.GetChannelCurves(channelKey)) {
      if (curve->iTrackType != EngineCore::AnimTrack::Rotation) continue;
      give(curve.get(), [&frames](const EditorToolkit::EditablePoint& point) { return frames.count(point.x) > 0; });
    }
  }
  return core.EndEdit();
}

bool KeyTools::SetInterpolation(ClipEditCore& core, std::uint32_t how) {
  std::vector<ClipEditCore::TrackKey> tracks;
  for (const CurveInfo* info : core.GetSelection().GetSelectedRows())
    tracks.emplace_back(info->iChannelKey, info->iTrackType);
  return core.ChangeInterpolation(tracks, how);
}

std::optional<EngineCore::TangentType> KeyTools::SharedTangentType(const ClipEditCore& core, bool selection) {
  std::optional<EngineCore::TangentType> shared;
  bool mixed = false;
  for (const CurveInfo* info : core.GetSelection().GetSelectedRows()) {
    const Curve2& curve = *info->pCurve;
    for (std::uint32_t i = 0; i < curve.GetPointCount() && curve.IsCubic() && !mixed; ++i) {
      if (selection && !curve.GetPointAt(i)->bSelected) continue;
      const EngineCore::TangentType type = curve.GetTangentsAt(i)->type;
      mixed = shared && *shared != type;
      shared = type;
    }
  }
  return mixed ? std::nullopt : shared;
}

const char* KeyTools::TangentTypeName(EngineCore::TangentType type) {
  static constexpr const char* kNames[EngineCore::kTangentTypeCount] = {"Auto Clamped", "Auto", "Flat",
                                                                        "Linear",       "Free", "Broken"};
  const auto index = static_cast<std::size_t>(type);
  return index < std::size(kNames) ? kNames[index] : "";
}

std::optional<std::uint32_t> KeyTools::SharedInterpolation(const ClipEditCore& core) {
  std::optional<std::uint32_t> shared;
  for (const CurveInfo* info : core.GetSelection().GetSelectedRows()) {
    const std::uint32_t how = info->pCurve->GetInterpolation();
    if (shared && *shared != how) return std::nullopt;
    shared = how;
  }
  return shared;
}

}  // namespace Tarvel
