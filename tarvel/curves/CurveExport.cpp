#include "curves/CurveExport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "curves/CurveEvaluation.h"

namespace Tarvel {

namespace {

const char* TrackName(std::uint32_t type) {
  switch (type) {
    case CurveInfo::Translation: return "translation";
    case CurveInfo::Rotation: return "rotation";
    case CurveInfo::Scale: return "scale";
    case CurveInfo::Weights: return "weights";
    default: return "other";
  }
}

std::string Quoted(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::string CurveExport::ToCsv(const ClipEditCore& core) {
  const EngineCore::AnimClip* clip = core.GetClip();
  if (!clip) return {};
  std::string csv = "channel,track,axis,frame,value,key\n";
  const std::uint32_t first = clip->GetFirstKeyFrame();
  const std::uint32_t last = clip->GetLastKeyFrame();
  char line[96];
  for (std::uint32_t c = 0; c < clip->GetChannelCount(); ++c) {
    const CurveSet::Curves* curves = core.GetChannelCurves(clip->GetChannelKeyAt(c));
    if (!curves) continue;
    const std::string channel = Quoted(clip->GetChannelAt(c)->GetName().str());
    for (const auto& info : *curves) {
      const EditorToolkit::Curve2& curve = *info->pCurve;
      if (curve.GetPointCount() == 0) continue;
      // A weight's axis is its morph target.
      const std::string axis = info->iTrackType == CurveInfo::Weights
                                   ? Quoted(info->sTargetName)
                                   : std::string(1, static_cast<char>('X' + info->iComponent));
      const std::string prefix = channel + "," + TrackName(info->iTrackType) + "," + axis + ",";
      std::uint32_t next = 0;
      for (std::uint32_t frame = first; frame <= last; ++frame) {
        const auto at = static_cast<float>(frame);
        float value = 0.0f;
        CurveEvaluation::Evaluate(*info, at, value);
        while (next < curve.GetPointCount() && curve.GetPointAt(next)->x < at) ++next;
        const bool key = next < curve.GetPointCount() && curve.GetPointAt(next)->x == at;
        std::snprintf(line, sizeof line, "%u,%.9g,%d\n", frame, value, key ? 1 : 0);
        csv += prefix;
        csv += line;
      }
    }
  }
  return csv;
}

bool CurveExport::KeySlopes(const ClipEditCore& core, const std::string& channel, std::uint32_t trackType,
                            const std::string& axis, float frame, double& in, double& out) {
  const CurveSet::Curves* curves =
      core.GetClip() ? core.GetChannelCurves(EngineCore::AnimClip::ComputeChannelKey(EngineCore::String(channel)))
                     : nullptr;
  if (!curves) return false;
  for (const auto& curve : *curves) {
    const bool named =
        trackType == CurveInfo::Weights ? curve->sTargetName == axis : std::to_string(curve->iComponent) == axis;
    if (curve->iTrackType != trackType || !named) continue;
    const EditorToolkit::Curve2& points = *curve->pCurve;
    const int at = points.GetPointIndex(frame, true);
    if (at < 0) return false;
    if (points.IsCubic() && !CurveEvaluation::FollowsTrack(*curve)) {
      const EditorToolkit::KeyTangents& tangents = *points.GetTangentsAt(static_cast<std::uint32_t>(at));
      in = tangents.in[0] / points.GetFrameRate();
      out = tangents.out[0] / points.GetFrameRate();
      return true;
    }
    // From what the curve draws on each side, one-sided differences at two steps combined
    // (Richardson), which cancels the curvature's share.
    constexpr float kStep = 1.0f / 16.0f;
    auto side = [&](float direction) {
      float y = 0.0f;
      float near = 0.0f;
      float far = 0.0f;
      CurveEvaluation::Evaluate(*curve, frame, y);
      CurveEvaluation::Evaluate(*curve, frame + direction * kStep / 2.0f, near);
      CurveEvaluation::Evaluate(*curve, frame + direction * kStep, far);
      const double half = (static_cast<double>(near) - y) / (kStep / 2.0) * direction;
      const double whole = (static_cast<double>(far) - y) / kStep * direction;
      return 2.0 * half - whole;
    };
    in = side(-1.0f);
    out = side(1.0f);
    return true;
  }
  return false;
}

bool CurveExport::AnswerSlopeQuery(const ClipEditCore& core, std::string& query) {
  std::istringstream lines(query);
  std::string channel, track, axis, frame;
  std::getline(lines, channel);
  std::getline(lines, track);
  std::getline(lines, axis);
  std::getline(lines, frame);
  char* end = nullptr;
  const float at = std::strtof(frame.c_str(), &end);
  double in = 0.0;
  double out = 0.0;
  if (end == frame.c_str() ||
      !KeySlopes(core, channel, static_cast<std::uint32_t>(std::atoi(track.c_str())), axis, at, in, out)) {
    return false;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.9g %.9g", in, out);
  query = text;
  return true;
}

}  // namespace Tarvel
