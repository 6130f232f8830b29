#pragma once

#include <cstdint>

namespace Tarvel {

// Which curve of a clip page: its channel, track kind and component. An edit finds its
// curves again by this rather than by address, since undoing a channel's removal makes its
// curves anew.
struct CurveId {
  std::uint32_t channelKey = 0;
  std::uint32_t trackType = 0;
  std::uint32_t component = 0;

  bool operator==(const CurveId&) const = default;
};

}  // namespace Tarvel
