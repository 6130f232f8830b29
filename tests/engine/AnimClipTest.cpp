#include "EngineCore/AnimClip.h"

#include <gtest/gtest.h>

#include <cstring>

#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"

using EngineCore::AnimChannel;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Crc32;
using EngineCore::Quaternion;
using EngineCore::String;
using EngineCore::Vector3;

namespace {

std::uint32_t Checksum(const char* text) {
  return Crc32::Compute(static_cast<std::uint32_t>(std::strlen(text)), text);
}

}  // namespace

class ClipChannels : public ::testing::Test {
 protected:
  void TearDown() override { clip_->Release(); }

  // Adds a track of a type to a channel with keys at the given frames.
  void AddKeys(const char* channelName, std::uint32_t type, std::initializer_list<std::uint32_t> frames) {
    AnimChannel* channel = clip_->GetChannel(Checksum(channelName));
    ASSERT_NE(channel, nullptr);
    ASSERT_TRUE(channel->AddTrack(type));
    AnimCurve* curve = channel->GetCurve(type);
    curve->SetKeyType(type == AnimTrack::Rotation ? AnimCurve::KeyQuaternion : AnimCurve::KeyVector3);
    for (std::uint32_t frame : frames) {
      ASSERT_TRUE(type == AnimTrack::Rotation ? curve->AddKey(frame, Quaternion()) : curve->AddKey(frame, Vector3()));
    }
  }

  AnimClip* clip_ = new AnimClip("walk");
};

TEST_F(ClipChannels, IsAClipResourceWithItsName) {
  EXPECT_EQ(clip_->GetKind(), 9u);
  EXPECT_EQ(clip_->GetName(), "walk");
  EXPECT_EQ(clip_->GetChannelCount(), 0u);
  EXPECT_EQ(clip_->GetReferenceCount(), 1u);
}

TEST_F(ClipChannels, KeysAChannelByTheChecksumOfItsName) {
  ASSERT_TRUE(clip_->AddChannel("LeftArm"));
  ASSERT_EQ(clip_->GetChannelCount(), 1u);
  EXPECT_EQ(clip_->GetChannelKeyAt(0), Checksum("LeftArm"));
  EXPECT_EQ(AnimClip::ComputeChannelKey("LeftArm"), Checksum("LeftArm"));
  EXPECT_EQ(clip_->GetChannel(Checksum("LeftArm")), clip_->GetChannelAt(0));
  EXPECT_EQ(clip_->GetChannelAt(0)->GetName(), "LeftArm");
  EXPECT_EQ(clip_->FindChannelIndex(Checksum("LeftArm")), 0);
}

TEST_F(ClipChannels, KeepsChannelsInTheOrderTheyWereAdded) {
  for (const char* name : {"Hips", "Spine", "Head"}) ASSERT_TRUE(clip_->AddChannel(name));
  ASSERT_EQ(clip_->GetChannelCount(), 3u);
  EXPECT_EQ(clip_->GetChannelAt(0)->GetName(), "Hips");
  EXPECT_EQ(clip_->GetChannelAt(1)->GetName(), "Spine");
  EXPECT_EQ(clip_->GetChannelAt(2)->GetName(), "Head");
  EXPECT_EQ(clip_->FindChannelIndex(Checksum("Head")), 2);
}

TEST_F(ClipChannels, RefusesAnEmptyChannelName) {
  EXPECT_FALSE(clip_->AddChannel(""));
  EXPECT_FALSE(clip_->AddChannel(String()));
  EXPECT_EQ(clip_->GetChannelCount(), 0u);
}

TEST_F(ClipChannels, RefusesANameWhoseKeyIsTaken) {
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  AnimChannel* first = clip_->GetChannelAt(0);
  EXPECT_FALSE(clip_->AddChannel("Hips"));
  ASSERT_EQ(clip_->GetChannelCount(), 1u);
  EXPECT_EQ(clip_->GetChannelAt(0), first);
}

TEST_F(ClipChannels, AnswersNullAndMinusOneForAnUnknownKey) {
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  EXPECT_EQ(clip_->GetChannel(Checksum("Spine")), nullptr);
  EXPECT_EQ(clip_->FindChannelIndex(Checksum("Spine")), -1);
}

TEST_F(ClipChannels, RenamesAChannelAndRekeysIt) {
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  ASSERT_TRUE(clip_->AddChannel("Spine"));
  AnimChannel* spine = clip_->GetChannelAt(1);
  ASSERT_TRUE(clip_->ChangeChannelNameAt(1, "Chest"));
  EXPECT_EQ(clip_->GetChannelAt(1), spine);
  EXPECT_EQ(spine->GetName(), "Chest");
  EXPECT_EQ(clip_->GetChannelKeyAt(1), Checksum("Chest"));
  EXPECT_EQ(clip_->GetChannel(Checksum("Chest")), spine);
  EXPECT_EQ(clip_->GetChannel(Checksum("Spine")), nullptr);
}

TEST_F(ClipChannels, RefusesToRenameToATakenOrEmptyName) {
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  ASSERT_TRUE(clip_->AddChannel("Spine"));
  EXPECT_FALSE(clip_->ChangeChannelNameAt(1, "Hips"));
  EXPECT_FALSE(clip_->ChangeChannelNameAt(1, ""));
  EXPECT_EQ(clip_->GetChannelAt(1)->GetName(), "Spine");
  EXPECT_EQ(clip_->GetChannelKeyAt(1), Checksum("Spine"));
  EXPECT_EQ(clip_->GetChannelAt(0)->GetName(), "Hips");
}

TEST_F(ClipChannels, AcceptsRenamingAChannelToItsOwnName) {
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  EXPECT_TRUE(clip_->ChangeChannelNameAt(0, "Hips"));
  EXPECT_EQ(clip_->GetChannelKeyAt(0), Checksum("Hips"));
}

TEST_F(ClipChannels, RefusesToRenameBeyondTheLastChannel) {
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  EXPECT_FALSE(clip_->ChangeChannelNameAt(1, "Spine"));
  EXPECT_EQ(clip_->GetChannelCount(), 1u);
}

TEST_F(ClipChannels, RemovesAChannelByKey) {
  for (const char* name : {"Hips", "Spine", "Head"}) ASSERT_TRUE(clip_->AddChannel(name));
  EXPECT_TRUE(clip_->RemoveChannel(Checksum("Spine")));
  EXPECT_FALSE(clip_->RemoveChannel(Checksum("Spine")));
  ASSERT_EQ(clip_->GetChannelCount(), 2u);
  EXPECT_EQ(clip_->GetChannelAt(0)->GetName(), "Hips");
  EXPECT_EQ(clip_->GetChannelAt(1)->GetName(), "Head");
  EXPECT_EQ(clip_->GetChannel(Checksum("Spine")), nullptr);
  EXPECT_TRUE(clip_->AddChannel("Spine"));
}

TEST_F(ClipChannels, HasAnEmptyKeyFrameRangeWithoutKeys) {
  clip_->ComputeKeyFrameRange();
  EXPECT_EQ(clip_->GetFirstKeyFrame(), 0u);
  EXPECT_EQ(clip_->GetLastKeyFrame(), 0u);
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  ASSERT_TRUE(clip_->GetChannelAt(0)->AddTrack(AnimTrack::Translation));
  clip_->ComputeKeyFrameRange();
  EXPECT_EQ(clip_->GetFirstKeyFrame(), 0u);
  EXPECT_EQ(clip_->GetLastKeyFrame(), 0u);
}

TEST_F(ClipChannels, SpansTheKeysOfAllTracksOfAllChannels) {
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  ASSERT_TRUE(clip_->AddChannel("Spine"));
  AddKeys("Hips", AnimTrack::Translation, {12, 20, 30});
  AddKeys("Hips", AnimTrack::Rotation, {15, 95});
  AddKeys("Spine", AnimTrack::Scale, {7, 8});
  AddKeys("Spine", AnimTrack::Translation, {40});
  clip_->ComputeKeyFrameRange();
  EXPECT_EQ(clip_->GetFirstKeyFrame(), 7u);
  EXPECT_EQ(clip_->GetLastKeyFrame(), 95u);
  EXPECT_EQ(clip_->CountKeys(), 8u);
}

TEST_F(ClipChannels, KeepsTheRangeUntilItIsRecomputed) {
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  AddKeys("Hips", AnimTrack::Translation, {5, 10});
  clip_->ComputeKeyFrameRange();
  clip_->GetChannelAt(0)->GetCurve(AnimTrack::Translation)->AddKey(50, Vector3());
  EXPECT_EQ(clip_->GetLastKeyFrame(), 10u);
  clip_->ComputeKeyFrameRange();
  EXPECT_EQ(clip_->GetLastKeyFrame(), 50u);
  clip_->GetChannelAt(0)->GetCurve(AnimTrack::Translation)->Empty();
  clip_->ComputeKeyFrameRange();
  EXPECT_EQ(clip_->GetFirstKeyFrame(), 0u);
  EXPECT_EQ(clip_->GetLastKeyFrame(), 0u);
}

TEST_F(ClipChannels, StartsARangeAtAFirstKeyOnFrameZero) {
  ASSERT_TRUE(clip_->AddChannel("Hips"));
  ASSERT_TRUE(clip_->AddChannel("Spine"));
  AddKeys("Hips", AnimTrack::Translation, {3, 6});
  AddKeys("Spine", AnimTrack::Rotation, {0, 2});
  clip_->ComputeKeyFrameRange();
  EXPECT_EQ(clip_->GetFirstKeyFrame(), 0u);
  EXPECT_EQ(clip_->GetLastKeyFrame(), 6u);
}
