#pragma once

#include <cstdint>
#include <vector>

#include "EngineCore/AnimChannel.h"
#include "EngineCore/AnimCurve.h"
#include "EngineCore/String.h"

namespace Tarvel {

// A channel of the clip as plain data: its name, what its file read it from, and its tracks in
// order, each a copy of its key curve (key type, interpolation, every key with its tangents,
// a curve of weights its targets' names), so that the channel can be put back exactly as it
// was.
class ChannelData {
 public:
  static ChannelData Capture(const EngineCore::AnimChannel& channel);
  // Gives the channel exactly these tracks and keys, and its source; its name is left alone.
  void RestoreTracks(EngineCore::AnimChannel& channel) const;

  const EngineCore::String& GetName() const { return name; }
  std::size_t GetHeldBytes() const;
  // The bytes a copy of a track's keys holds.
  static std::size_t CurveBytes(const EngineCore::AnimCurve& curve);

 private:
  struct Track {
    std::uint32_t type = 0;
    EngineCore::AnimCurve curve;
  };

  EngineCore::String name;
  std::int32_t sourceIndex = -1;
  std::vector<Track> tracks;
};

}  // namespace Tarvel
