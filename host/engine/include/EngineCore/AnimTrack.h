#pragma once

#include <cstdint>

namespace EngineCore {

class AnimTrack {
 public:
  // Type keys of a channel's track table.
  enum Type : std::uint32_t { Translation = 1, Rotation = 2, Scale = 3 };
};

}  // namespace EngineCore
