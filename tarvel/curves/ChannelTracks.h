#pragma once

#include <cstdint>

#include "EngineCore/AnimChannel.h"
#include "curves/ChannelDesc.h"

namespace Tarvel {

// A channel's tracks as the channel dialogs choose them. A new track's key curve takes the
// key type of its kind: quaternions for rotations, vectors for translations and scales.
class ChannelTracks {
 public:
  // Adds a track of the kind (1 translation, 2 rotation, 3 scale); false when the channel
  // refuses it.
  static bool Add(EngineCore::AnimChannel& channel, std::uint32_t type);
  // Adds the wanted tracks the channel lacks and, with removeUnwanted, removes the others;
  // tracks that stay keep their keys. False when the channel refused a change.
  static bool Apply(EngineCore::AnimChannel& channel, const ChannelDesc& desc, bool removeUnwanted);
};

}  // namespace Tarvel
