#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "EngineCore/AnimCurve.h"
#include "EngineCore/String.h"

namespace EngineCore {

// One animated target of a clip: its name and a table of key curves keyed by track type
// (AnimTrack::Type), in the order the tracks were added.
class AnimChannel {
 public:
  explicit AnimChannel(String name) : name_(std::move(name)) {}

  const String& GetName() const { return name_; }

  // What the channel was read from in its file (a node's index), so that a renamed channel
  // still writes to it; -1 for a channel the editor made.
  std::int32_t GetSourceIndex() const { return sourceIndex_; }
  void SetSourceIndex(std::int32_t index) { sourceIndex_ = index; }

  std::uint32_t GetTrackCount() const { return static_cast<std::uint32_t>(tracks_.size()); }
  std::uint32_t GetTrackTypeAt(std::uint32_t index) const { return tracks_[index].type; }
  AnimCurve* GetCurveAt(std::uint32_t index) const { return tracks_[index].curve.get(); }
  // The key curve of a track type, or null when the channel has no such track.
  AnimCurve* GetCurve(std::uint32_t type) const;
  bool HasTrack(std::uint32_t type) const { return GetCurve(type) != nullptr; }

  // Adds an empty track; false when the channel already has one of that type.
  bool AddTrack(std::uint32_t type);
  bool RemoveTrack(std::uint32_t type);

 private:
  friend class AnimClip;
  struct Track {
    std::uint32_t type;
    std::unique_ptr<AnimCurve> curve;
  };

  String name_;
  std::int32_t sourceIndex_ = -1;
  std::vector<Track> tracks_;
};

}  // namespace EngineCore
