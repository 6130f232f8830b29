#include "curves/CurveInfo.h"

namespace Tarvel {

CurveInfo::CurveInfo(std::uint32_t channelKey, std::uint32_t trackType, std::uint32_t component)
    : iChannelKey(channelKey), iTrackType(trackType), iComponent(component) {}

}  // namespace Tarvel
