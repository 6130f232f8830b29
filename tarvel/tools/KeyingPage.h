#pragma once

#include <cstdint>

namespace Tarvel {

// What keying the scene's selected objects asks of the clip page around the core.
class KeyingPage {
 public:
  virtual ~KeyingPage() = default;
  // Shows only this channel's curves, as choosing its row would; false when the channel has
  // no row to choose.
  virtual bool ShowOnlyChannel(std::uint32_t channelKey) = 0;
  // An object was given a channel: the lists of objects follow.
  virtual void OnObjectChannelChanged() = 0;
};

}  // namespace Tarvel
