#pragma once

#include <cstdint>
#include <vector>

#include "EngineCore/String.h"

namespace EngineCore {

class AnimClip;
class SceneObject;

// Plays one channel of a clip on its scene object. Only layer 0 exists; calls for any
// other layer do nothing.
//
// Contract:
//   1. The clip table holds references to its clips; a clip's key in the table is the
//      CRC-32 of the clip's name.
//   2. Speed is in key frames per second, 0 until the player sets one (Reinit brings it back
//      to 0), so that a step of a controller at rest poses its object exactly at the placed
//      frame. Modes: 0 forwards once, 1 backwards once, 2 forwards looping, 3 backwards
//      looping. A "once" mode stops at its end of the range.
//   3. RunOneFrame(dt) advances the playback frame by speed x dt and poses the object from
//      the played channel: translation and scale interpolated linearly, rotation
//      spherically, each track only when the channel has it.
class AnimController {
 public:
  explicit AnimController(SceneObject* object) : object_(object) {}
  ~AnimController();
  AnimController(const AnimController&) = delete;
  AnimController& operator=(const AnimController&) = delete;

  SceneObject* GetObject() const { return object_; }

  // Adds a clip (taking a reference) and returns its key; a clip already held keeps its key.
  std::uint32_t AddClip(AnimClip* clip);
  std::uint32_t GetClipCount() const { return static_cast<std::uint32_t>(clips_.size()); }
  AnimClip* GetClipAt(std::uint32_t index) const { return clips_[index].clip; }
  std::uint32_t GetClipKeyAt(std::uint32_t index) const { return clips_[index].key; }
  // Linear search by pointer; false when the clip is not in the table.
  bool FindClip(const AnimClip* clip, std::uint32_t& key) const;
  // Drops the table's reference to the clip; a played clip stops being played (the object keeps
  // its pose). False when the clip is not in the table.
  bool RemoveClip(const AnimClip* clip);
  bool HasClip(const AnimClip* clip) const {
    std::uint32_t key = 0;
    return FindClip(clip, key);
  }

  // The channel this controller plays (0: none), and its name.
  std::uint32_t GetChannelKey() const { return channelKey_; }
  void SetChannelKey(std::uint32_t key) { channelKey_ = key; }
  const String& GetChannelName() const { return channelName_; }
  void SetChannelName(const String& name) { channelName_ = name; }

  void Reinit();
  void ChangeClip(std::uint32_t layer, std::uint32_t clipKey);
  void ChangePlaybackKeyFrameBegin(std::uint32_t layer, std::uint32_t frame);
  void ChangePlaybackKeyFrameEnd(std::uint32_t layer, std::uint32_t frame);
  void ChangePlaybackLevel(std::uint32_t layer, float level);
  void ChangePlaybackSpeed(std::uint32_t layer, float speed);
  void ChangePlaybackMode(std::uint32_t layer, std::uint32_t mode);

  float GetPlaybackFrame(std::uint32_t layer) const { return layer == 0 ? frame_ : 0.0f; }
  // Places the playback at a frame (it does not pose the object until the next step).
  void SetPlaybackFrame(std::uint32_t layer, float frame);
  AnimClip* GetPlayedClip() const { return played_; }
  std::uint32_t GetPlaybackMode() const { return mode_; }
  float GetPlaybackSpeed() const { return speed_; }
  float GetPlaybackLevel() const { return level_; }
  std::uint32_t GetPlaybackKeyFrameBegin() const { return begin_; }
  std::uint32_t GetPlaybackKeyFrameEnd() const { return end_; }

  void RunOneFrame(float seconds);

 private:
  struct ClipEntry {
    std::uint32_t key;
    AnimClip* clip;
  };

  void Advance(float seconds);
  void Pose() const;

  SceneObject* object_;
  std::vector<ClipEntry> clips_;
  std::uint32_t channelKey_ = 0;
  String channelName_;

  AnimClip* played_ = nullptr;
  std::uint32_t begin_ = 0;
  std::uint32_t end_ = 0;
  float level_ = 1.0f;
  float speed_ = 0.0f;
  std::uint32_t mode_ = 0;
  float frame_ = 0.0f;
};

}  // namespace EngineCore
