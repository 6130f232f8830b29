#pragma once

#include <cstdint>
#include <vector>

#include "EngineCore/AnimChannel.h"
#include "EngineCore/Quaternion.h"
#include "EngineCore/String.h"
#include "EngineCore/Vector3.h"

namespace Tarvel {

// A channel of the clip as plain data: its name and its tracks in order, each with its key
// type, its interpolation and every key with its tangents, so that the channel can be put back exactly as it
// was.
class ChannelData {
 public:
  static ChannelData Capture(const EngineCore::AnimChannel& channel);
  // Gives the channel exactly these tracks and keys; its name is left alone.
  void RestoreTracks(EngineCore::AnimChannel& channel) const;

  const EngineCore::String& GetName() const { return name; }
  std::size_t GetHeldBytes() const;

 private:
  struct Track {
    std::uint32_t type = 0;
    std::uint32_t keyType = 0;
    std::uint32_t interpolation = 0;
    std::vector<std::uint32_t> frames;
    std::vector<EngineCore::Vector3> vectors;
    std::vector<EngineCore::Quaternion> quaternions;
    std::vector<float> floats;
    // A cubic track's tangents, per key: in, out.
    std::vector<EngineCore::Vector3> vectorTangents;
    std::vector<EngineCore::Quaternion> quaternionTangents;
  };

  EngineCore::String name;
  std::vector<Track> tracks;
};

}  // namespace Tarvel
