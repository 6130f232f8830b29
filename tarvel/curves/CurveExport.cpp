#include "curves/CurveExport.h"

#include <cmath>
#include <cstdio>

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

}  // namespace Tarvel
