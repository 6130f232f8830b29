#include "curves/CurveInfo.h"

namespace Tarvel {

CurveInfo::CurveInfo(std::uint32_t channelKey, std::uint32_t trackType, std::uint32_t component)
    : pCurve(std::make_unique<EditorToolkit::Curve2>()),
      iChannelKey(channelKey),
      iTrackType(trackType),
      iComponent(component) {}

}  // namespace Tarvel
