#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "EngineCore/AnimChannel.h"
#include "EngineCore/Resource.h"

namespace EngineCore {

// An animation clip: channels keyed by the CRC-32 of their names, in the order they were
// added, and the range of key frames over all their tracks.
//
// Contract:
//   1. A channel's key is Crc32::Compute of its name; no two channels share a key.
//   2. AddChannel and ChangeChannelNameAt refuse an empty name and a name whose key is
//      already another channel's.
//   3. The first and last key frames are those of the last ComputeKeyFrameRange (0 and 0
//      for a clip without keys).
//   4. Key frames are whole frames of the clip's frame rate, in frames per second (60 unless
//      its file says otherwise): a key's time in seconds is frame / rate.
//   4. Finding a channel by its key takes constant time (on average), so a clip of any
//      number of channels opens in time linear in their number; adding a channel at the end
//      takes constant time too, inserting or removing one elsewhere time linear in the
//      channels after it.
class AnimClip : public Resource {
 public:
  // The keys of all tracks together that a clip file may hold: files are refused beyond it,
  // so edits stop at it.
  static constexpr std::uint64_t kMaxKeys = 12'000'000;

  explicit AnimClip(String name) : Resource(KindAnimClip, std::move(name)) {}

  static std::uint32_t ComputeChannelKey(const String& name);

  std::uint32_t GetChannelCount() const { return static_cast<std::uint32_t>(channels_.size()); }
  std::uint32_t GetChannelKeyAt(std::uint32_t index) const { return channels_[index].key; }
  AnimChannel* GetChannelAt(std::uint32_t index) const { return channels_[index].channel.get(); }
  // Null when no channel has that key.
  AnimChannel* GetChannel(std::uint32_t key) const;
  // Position of the channel with that key, or -1.
  int FindChannelIndex(std::uint32_t key) const;

  bool AddChannel(const String& name);
  // Adds a channel at a position of the channel table (at the end when past it), as undoing
  // its removal puts it back; refused as AddChannel refuses.
  bool InsertChannel(std::uint32_t index, const String& name);
  bool RemoveChannel(std::uint32_t key);
  bool ChangeChannelNameAt(std::uint32_t index, const String& name);

  std::uint32_t GetFirstKeyFrame() const { return firstKeyFrame_; }
  std::uint32_t GetLastKeyFrame() const { return lastKeyFrame_; }
  void ComputeKeyFrameRange();

  std::uint32_t CountKeys() const;

  static constexpr float kDefaultFrameRate = 60.0f;
  float GetFrameRate() const { return frameRate_; }
  // A rate that is not a positive finite number is refused (false).
  bool SetFrameRate(float framesPerSecond);

  // What the reader of its file has to say about how its keys were read (sampled, say);
  // empty when they are as the file holds them.
  const String& GetReadingNote() const { return readingNote_; }
  void SetReadingNote(const String& note) { readingNote_ = note; }

  // Takes every channel, the frame rate, the reading note and the key-frame range of another
  // clip in place of its own (the
  // other clip is left without channels): a clip read again from its file replaces the
  // contents of the one everybody holds.
  void TakeContentsOf(AnimClip& other);

 protected:
  ~AnimClip() override = default;

 private:
  struct Entry {
    std::uint32_t key;
    std::unique_ptr<AnimChannel> channel;
  };

  // Renumbers the index from that position to the end of the channel table.
  void IndexFrom(std::size_t position);

  std::vector<Entry> channels_;
  // Each channel's position in channels_, by key.
  std::unordered_map<std::uint32_t, std::uint32_t> indexOfKey_;
  std::uint32_t firstKeyFrame_ = 0;
  std::uint32_t lastKeyFrame_ = 0;
  float frameRate_ = kDefaultFrameRate;
  String readingNote_;
};

}  // namespace EngineCore
