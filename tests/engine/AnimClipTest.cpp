#include "EngineCore/AnimClip.h"

#include <gtest/gtest.h>

#include <cstring>

#include "EngineCore/AnimChannel.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"

using EngineCore::AnimChannel;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Vector3;

namespace {

std::uint32_t Checksum(const char* text) {
  return EngineCore::Crc32::Compute(static_cast<std::uint32_t>(std::strlen(text)), text);
}

}  // namespace

class ClipChannels : public ::testing::Test {
 protected:
  void TearDown() override { clip_->Release(); }

  void AddChannels(std::initializer_list<const char*> names) {
    for (const char* name : names) ASSERT_TRUE(clip_->AddChannel(name)) << name;
  }

  // Adds a track with keys at the given frames to a channel.
  void AddKeys(const char* channelName, std::uint32_t type, std::initializer_list<std::uint32_t> frames) {
    EngineCore::AnimChannel* channel = clip_->GetChannel(Checksum(channelName));
    ASSERT_NE(channel, nullptr);
    ASSERT_TRUE(channel->AddTrack(type));
    AnimCurve* curve = channel->GetCurve(type);
    curve->SetKeyType(AnimCurve::KeyVector3);
    for (std::uint32_t frame : frames) ASSERT_TRUE(curve->AddKey(frame, Vector3()));
  }

  void ExpectRange(std::uint32_t first, std::uint32_t last) {
    clip_->ComputeKeyFrameRange();
    EXPECT_EQ(clip_->GetFirstKeyFrame(), first);
    EXPECT_EQ(clip_->GetLastKeyFrame(), last);
  }

  AnimClip* clip_ = new AnimClip("walk");
};

// Renames, removals and refusals the editor makes are tested through its channel operations;
// here the calls it never makes out of range.
TEST_F(ClipChannels, KeysChannelsByTheChecksumOfTheirNameInAddedOrderAndRefusesAnEmptyNameOrATakenKey) {
  EXPECT_EQ(clip_->GetKind(), EngineCore::Resource::KindAnimClip);
  EXPECT_FALSE(clip_->AddChannel(""));
  AddChannels({"Hips", "LeftArm", "Head"});
  EXPECT_FALSE(clip_->AddChannel("Hips"));
  ASSERT_EQ(clip_->GetChannelCount(), 3u);
  EXPECT_EQ(clip_->GetChannelKeyAt(1), Checksum("LeftArm"));
  EXPECT_EQ(AnimClip::ComputeChannelKey("LeftArm"), Checksum("LeftArm"));
  EXPECT_EQ(clip_->GetChannel(Checksum("LeftArm")), clip_->GetChannelAt(1));
  EXPECT_EQ(clip_->GetChannelAt(1)->GetName(), "LeftArm");
  EXPECT_EQ(clip_->FindChannelIndex(Checksum("Head")), 2);
  EXPECT_EQ(clip_->GetChannel(Checksum("Spine")), nullptr);
  EXPECT_EQ(clip_->FindChannelIndex(Checksum("Spine")), -1);
  EXPECT_FALSE(clip_->RemoveChannel(Checksum("Spine")));
  EXPECT_FALSE(clip_->ChangeChannelNameAt(3, "Spine"));
  EXPECT_EQ(clip_->GetChannelCount(), 3u);
}

TEST_F(ClipChannels, FindsEveryChannelAtItsPlaceThroughInsertionsRemovalsRenamesAndATakeOver) {
  AddChannels({"Hips", "LeftArm", "Head"});
  auto expectIndexed = [this](std::initializer_list<const char*> names) {
    ASSERT_EQ(clip_->GetChannelCount(), names.size());
    int position = 0;
    for (const char* name : names) {
      EXPECT_EQ(clip_->FindChannelIndex(Checksum(name)), position) << name;
      EXPECT_EQ(clip_->GetChannel(Checksum(name)), clip_->GetChannelAt(static_cast<std::uint32_t>(position))) << name;
      ++position;
    }
  };
  ASSERT_TRUE(clip_->InsertChannel(1, "Spine"));
  expectIndexed({"Hips", "Spine", "LeftArm", "Head"});
  ASSERT_TRUE(clip_->RemoveChannel(Checksum("Hips")));
  expectIndexed({"Spine", "LeftArm", "Head"});
  EXPECT_EQ(clip_->FindChannelIndex(Checksum("Hips")), -1);
  ASSERT_TRUE(clip_->ChangeChannelNameAt(1, "RightArm"));
  expectIndexed({"Spine", "RightArm", "Head"});
  EXPECT_EQ(clip_->GetChannel(Checksum("LeftArm")), nullptr);
  EXPECT_FALSE(clip_->AddChannel("RightArm")) << "the new name's key is taken";
  EXPECT_TRUE(clip_->AddChannel("LeftArm")) << "the old name's key is free";
  AnimClip* other = new AnimClip("run");
  ASSERT_TRUE(other->AddChannel("Tail"));
  clip_->TakeContentsOf(*other);
  expectIndexed({"Tail"});
  EXPECT_EQ(other->GetChannel(Checksum("Tail")), nullptr);
  EXPECT_TRUE(other->AddChannel("Tail"));
  other->Release();
}

TEST_F(ClipChannels, RangeSpansTracksOfDifferentLengthsInAllChannels) {
  AddChannels({"Hips", "Spine"});
  AddKeys("Hips", AnimTrack::Translation, {12, 20, 30});
  AddKeys("Hips", AnimTrack::Rotation, {15, 95});
  AddKeys("Spine", AnimTrack::Scale, {7, 8});
  AddKeys("Spine", AnimTrack::Translation, {40});
  ExpectRange(7, 95);
  EXPECT_EQ(clip_->CountKeys(), 8u);
  AddChannels({"Head"});
  AddKeys("Head", AnimTrack::Rotation, {0, 2});
  ExpectRange(0, 95);
}

TEST_F(ClipChannels, KeepsTheRangeUntilItIsRecomputedAndItIsEmptyWithoutKeys) {
  ExpectRange(0, 0);
  AddChannels({"Hips"});
  ASSERT_TRUE(clip_->GetChannelAt(0)->AddTrack(AnimTrack::Rotation));
  ExpectRange(0, 0);
  AddKeys("Hips", AnimTrack::Translation, {5, 10});
  ExpectRange(5, 10);
  clip_->GetChannelAt(0)->GetCurve(AnimTrack::Translation)->AddKey(50, Vector3());
  EXPECT_EQ(clip_->GetLastKeyFrame(), 10u);
  ExpectRange(5, 50);
  clip_->GetChannelAt(0)->GetCurve(AnimTrack::Translation)->Empty();
  ExpectRange(0, 0);
}

TEST(AnimChannelTracks, AreAddedEmptyInOrderOncePerTypeFoundByTypeAndRemovedByType) {
  AnimChannel channel("Hips");
  EXPECT_EQ(channel.GetName(), "Hips");
  EXPECT_EQ(channel.GetCurve(AnimTrack::Rotation), nullptr);
  ASSERT_TRUE(channel.AddTrack(AnimTrack::Rotation));
  ASSERT_TRUE(channel.AddTrack(AnimTrack::Translation));
  ASSERT_EQ(channel.GetTrackCount(), 2u);
  EXPECT_EQ(channel.GetTrackTypeAt(1), AnimTrack::Translation);
  EXPECT_EQ(channel.GetCurve(AnimTrack::Rotation), channel.GetCurveAt(0));
  AnimCurve* translation = channel.GetCurve(AnimTrack::Translation);
  EXPECT_EQ(translation, channel.GetCurveAt(1));
  EXPECT_EQ(channel.GetCurveAt(0)->GetKeyCount(), 0u);
  EXPECT_FALSE(channel.HasTrack(AnimTrack::Scale));
  EXPECT_FALSE(channel.AddTrack(AnimTrack::Translation));
  EXPECT_EQ(channel.GetCurve(AnimTrack::Translation), translation);
  EXPECT_TRUE(channel.RemoveTrack(AnimTrack::Rotation));
  EXPECT_FALSE(channel.RemoveTrack(AnimTrack::Rotation));
  EXPECT_FALSE(channel.RemoveTrack(AnimTrack::Scale));
  ASSERT_EQ(channel.GetTrackCount(), 1u);
  EXPECT_EQ(channel.GetCurve(AnimTrack::Translation), translation);
  EXPECT_TRUE(channel.AddTrack(AnimTrack::Rotation));
}
