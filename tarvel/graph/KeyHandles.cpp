#include "graph/KeyHandles.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "EngineCore/Quaternion.h"
#include "curves/CurveEvaluation.h"
#include "curves/RotationTangents.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

// A rotation key as its three curves give it: its angles and its quaternion.
struct RotationKey {
  std::array<double, 3> angles{};
  EngineCore::Quaternion key;
};

// False unless the track's three curves hold a key on the index's frame, as their shared
// frames give them.
bool RotationKeyAt(const CurveInfo& info, std::uint32_t index, RotationKey& rotation) {
  const float frame = info.pCurve->GetPointAt(index)->x;
  for (std::uint32_t c = 0; c < 3; ++c) {
    const CurveInfo* axis = info.track[c];
    if (!axis || index >= axis->pCurve->GetPointCount() || axis->pCurve->GetPointAt(index)->x != frame) return false;
    rotation.angles[c] = axis->pCurve->GetPointAt(index)->y;
  }
  rotation.key = EngineCore::Quaternion::FromAngles(static_cast<float>(rotation.angles[0]) * Ids::kRadiansPerDegree,
                                                    static_cast<float>(rotation.angles[1]) * Ids::kRadiansPerDegree,
                                                    static_cast<float>(rotation.angles[2]) * Ids::kRadiansPerDegree);
  return true;
}

// The rates of a rotation key's angles (degrees per second) as it leaves on a side.
bool SideRates(const CurveInfo& info, std::uint32_t index, KeyHandles::Side side, RotationKey& rotation,
               RotationTangents::Rates& rates) {
  const EditorToolkit::KeyTangents* tangents = info.pCurve->GetTangentsAt(index);
  if (!tangents || !RotationKeyAt(info, index, rotation)) return false;
  const auto& local = side == KeyHandles::In ? tangents->in : tangents->out;
  return RotationTangents::AngleRates(rotation.key, rotation.angles, RotationTangents::FromLocal(rotation.key, local),
                                      rates);
}

}  // namespace

bool KeyHandles::Has(const CurveInfo& info) {
  if (!info.pCurve || !info.pCurve->IsCubic()) return false;
  return !CurveEvaluation::FollowsTrack(info) || (info.track[0] && info.track[1] && info.track[2]);
}

KeyHandles::End KeyHandles::Of(const CurveInfo& info, std::uint32_t index, Side side, double columnsPerFrame) {
  End end;
  const EditorToolkit::Curve2& curve = *info.pCurve;
  const EditorToolkit::KeyTangents* tangents = curve.GetTangentsAt(index);
  const std::int64_t neighbour = static_cast<std::int64_t>(index) + side;
  if (!tangents || neighbour < 0 || neighbour >= static_cast<std::int64_t>(curve.GetPointCount())) return end;
  const EditorToolkit::EditablePoint& key = *curve.GetPointAt(index);
  const EditorToolkit::EditablePoint& next = *curve.GetPointAt(static_cast<std::uint32_t>(neighbour));
  if (std::abs((static_cast<double>(next.x) - key.x) * columnsPerFrame) < kMinSpacing) return end;
  double perSecond = side == In ? tangents->in[0] : tangents->out[0];
  if (CurveEvaluation::FollowsTrack(info)) {
    RotationKey rotation;
    RotationTangents::Rates rates{};
    if (!SideRates(info, index, side, rotation, rates)) return end;
    perSecond = rates[info.iComponent];
  }
  const double third = (static_cast<double>(next.x) - key.x) / 3.0;
  end.shown = true;
  end.frame = key.x + third;
  end.value = key.y + perSecond / curve.GetFrameRate() * third;
  return end;
}

float KeyHandles::SlopeTowards(const EditorToolkit::Curve2& curve, std::uint32_t index, Side side, double frame,
                               double value) {
  const EditorToolkit::EditablePoint& key = *curve.GetPointAt(index);
  constexpr double kNearest = 0.01;
  const double across = side == Out ? std::max(frame - key.x, kNearest) : std::min(frame - key.x, -kNearest);
  return static_cast<float>((value - key.y) / across * curve.GetFrameRate());
}

bool KeyHandles::Turned(const CurveInfo& info, std::uint32_t index, Side side, float slope, bool breaks,
                        EditorToolkit::KeyTangents& tangents) {
  const EditorToolkit::KeyTangents* now = info.pCurve->GetTangentsAt(index);
  if (!now) return false;
  tangents = *now;
  std::array<float, 4> turned{};
  if (CurveEvaluation::FollowsTrack(info)) {
    // The other two angles keep the slopes they had on this side.
    RotationKey rotation;
    RotationTangents::Rates rates{};
    if (!SideRates(info, index, side, rotation, rates)) return false;
    rates[info.iComponent] = slope;
    EngineCore::Quaternion tangent;
    if (!RotationTangents::TangentForRates(rotation.key, rotation.angles, rates, tangent)) return false;
    turned = RotationTangents::Local(rotation.key, tangent);
  } else {
    turned = side == In ? tangents.in : tangents.out;
    turned[0] = slope;
  }
  breaks = breaks || tangents.type == EngineCore::TangentType::Broken;
  (side == In ? tangents.in : tangents.out) = turned;
  if (!breaks) (side == In ? tangents.out : tangents.in) = turned;
  tangents.type = breaks ? EngineCore::TangentType::Broken : EngineCore::TangentType::Free;
  return true;
}

}  // namespace Tarvel
