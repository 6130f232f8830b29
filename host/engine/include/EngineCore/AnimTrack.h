#pragma once

#include <cstdint>

namespace EngineCore {

class AnimTrack {
 public:
  // Type keys of a channel's track table.
  // Weights animates a mesh's morph targets: one weight per target in each key.
  enum Type : std::uint32_t { Translation = 1, Rotation = 2, Scale = 3, Weights = 4 };
};

}  // namespace EngineCore
