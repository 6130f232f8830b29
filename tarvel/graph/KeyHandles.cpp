#include "graph/KeyHandles.h"

#include <algorithm>
#include <cmath>

#include "curves/CurveEvaluation.h"

namespace Tarvel {

bool KeyHandles::Has(const CurveInfo& info) {
  return info.pCurve && info.pCurve->IsCubic() && !CurveEvaluation::FollowsTrack(info);
}

KeyHandles::End KeyHandles::Of(const EditorToolkit::Curve2& curve, std::uint32_t index, Side side,
                               double columnsPerFrame) {
  End end;
  const EditorToolkit::KeyTangents* tangents = curve.GetTangentsAt(index);
  const std::int64_t neighbour = static_cast<std::int64_t>(index) + side;
  if (!tangents || neighbour < 0 || neighbour >= static_cast<std::int64_t>(curve.GetPointCount())) return end;
  const EditorToolkit::EditablePoint& key = *curve.GetPointAt(index);
  const EditorToolkit::EditablePoint& next = *curve.GetPointAt(static_cast<std::uint32_t>(neighbour));
  if (std::abs((static_cast<double>(next.x) - key.x) * columnsPerFrame) < kMinSpacing) return end;
  const double third = (static_cast<double>(next.x) - key.x) / 3.0;
  const double slopePerFrame = (side == In ? tangents->in[0] : tangents->out[0]) / curve.GetFrameRate();
  end.shown = true;
  end.frame = key.x + third;
  end.value = key.y + slopePerFrame * third;
  return end;
}

float KeyHandles::SlopeTowards(const EditorToolkit::Curve2& curve, std::uint32_t index, Side side, double frame,
                               double value) {
  const EditorToolkit::EditablePoint& key = *curve.GetPointAt(index);
  constexpr double kNearest = 0.01;
  const double across = side == Out ? std::max(frame - key.x, kNearest) : std::min(frame - key.x, -kNearest);
  return static_cast<float>((value - key.y) / across * curve.GetFrameRate());
}

}  // namespace Tarvel
