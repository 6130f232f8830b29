#include "EngineCore/AnimController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"
#include "EngineCore/SceneObject.h"

using EngineCore::AnimClip;
using EngineCore::AnimController;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Crc32;
using EngineCore::Quaternion;
using EngineCore::SceneObject;
using EngineCore::Vector3;

namespace {

std::uint32_t Checksum(const char* text) {
  return Crc32::Compute(static_cast<std::uint32_t>(std::strlen(text)), text);
}

Quaternion AboutZ(float angle) { return {0.0f, 0.0f, std::sin(angle / 2), std::cos(angle / 2)}; }

void ExpectVectorNear(const Vector3& actual, const Vector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-4f);
  EXPECT_NEAR(actual.y, expected.y, 1e-4f);
  EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

// A clip whose channel moves from the origin to (6, 12, -6), turns by 2 radians about Z and
// scales from 1 to 3 between two key frames.
AnimClip* MakeClip(const char* clipName, const char* channelName, std::uint32_t first, std::uint32_t last) {
  auto* clip = new AnimClip(clipName);
  EXPECT_TRUE(clip->AddChannel(channelName));
  EngineCore::AnimChannel* channel = clip->GetChannelAt(clip->GetChannelCount() - 1);
  channel->AddTrack(AnimTrack::Translation);
  channel->AddTrack(AnimTrack::Rotation);
  channel->AddTrack(AnimTrack::Scale);
  AnimCurve* translation = channel->GetCurve(AnimTrack::Translation);
  translation->SetKeyType(AnimCurve::KeyVector3);
  translation->AddKey(first, Vector3(0, 0, 0));
  translation->AddKey(last, Vector3(6, 12, -6));
  AnimCurve* rotation = channel->GetCurve(AnimTrack::Rotation);
  rotation->SetKeyType(AnimCurve::KeyQuaternion);
  rotation->AddKey(first, AboutZ(0.0f));
  rotation->AddKey(last, AboutZ(2.0f));
  AnimCurve* scale = channel->GetCurve(AnimTrack::Scale);
  scale->SetKeyType(AnimCurve::KeyVector3);
  scale->AddKey(first, Vector3(1, 1, 1));
  scale->AddKey(last, Vector3(3, 3, 3));
  clip->ComputeKeyFrameRange();
  return clip;
}

}  // namespace

class ClipPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    clip_ = MakeClip("walk", "Hips", 0, 60);
    controller_ = object_.CreateController();
    controller_->SetChannelKey(Checksum("Hips"));
    controller_->SetChannelName("Hips");
    clipKey_ = controller_->AddClip(clip_);
    controller_->ChangeClip(0, clipKey_);
    controller_->ChangePlaybackSpeed(0, 60.0f);
  }

  void TearDown() override { clip_->Release(); }

  SceneObject object_{EngineCore::String("Hips"), nullptr};
  AnimClip* clip_ = nullptr;
  AnimController* controller_ = nullptr;
  std::uint32_t clipKey_ = 0;
};

TEST_F(ClipPlayback, KeysAClipByTheChecksumOfItsName) {
  EXPECT_EQ(clipKey_, Checksum("walk"));
  ASSERT_EQ(controller_->GetClipCount(), 1u);
  EXPECT_EQ(controller_->GetClipAt(0), clip_);
  EXPECT_EQ(controller_->GetClipKeyAt(0), Checksum("walk"));
  std::uint32_t key = 0;
  ASSERT_TRUE(controller_->FindClip(clip_, key));
  EXPECT_EQ(key, Checksum("walk"));
}

TEST_F(ClipPlayback, TakesAReferenceToEachClipOnce) {
  EXPECT_EQ(clip_->GetReferenceCount(), 2u);
  EXPECT_EQ(controller_->AddClip(clip_), clipKey_);
  EXPECT_EQ(controller_->GetClipCount(), 1u);
  EXPECT_EQ(clip_->GetReferenceCount(), 2u);
}

TEST_F(ClipPlayback, ReleasesItsClipsWhenItGoes) {
  AnimClip* other = MakeClip("run", "Hips", 0, 10);
  other->AddRef();
  {
    SceneObject object(EngineCore::String("Spine"), nullptr);
    AnimController* controller = object.CreateController();
    controller->AddClip(other);
    controller->AddClip(clip_);
    EXPECT_EQ(other->GetReferenceCount(), 3u);
    EXPECT_EQ(clip_->GetReferenceCount(), 3u);
  }
  EXPECT_EQ(other->GetReferenceCount(), 2u);
  EXPECT_EQ(clip_->GetReferenceCount(), 2u);
  other->Release();
  other->Release();
}

TEST_F(ClipPlayback, KnowsOnlyTheClipsInItsTable) {
  AnimClip* stranger = MakeClip("jump", "Hips", 0, 10);
  EXPECT_TRUE(controller_->HasClip(clip_));
  EXPECT_FALSE(controller_->HasClip(stranger));
  std::uint32_t key = 1234;
  EXPECT_FALSE(controller_->FindClip(stranger, key));
  stranger->Release();
}

TEST_F(ClipPlayback, ChangesToTheClipWithTheGivenKeyAndItsRange) {
  AnimClip* run = MakeClip("run", "Hips", 5, 25);
  controller_->AddClip(run);
  controller_->ChangeClip(0, Checksum("run"));
  EXPECT_EQ(controller_->GetPlayedClip(), run);
  EXPECT_EQ(controller_->GetPlaybackKeyFrameBegin(), 5u);
  EXPECT_EQ(controller_->GetPlaybackKeyFrameEnd(), 25u);
  controller_->ChangeClip(0, Checksum("walk"));
  EXPECT_EQ(controller_->GetPlayedClip(), clip_);
  EXPECT_EQ(controller_->GetPlaybackKeyFrameEnd(), 60u);
  run->Release();
}

TEST_F(ClipPlayback, PlaysNothingForAnUnknownClipKey) {
  controller_->ChangeClip(0, Checksum("swim"));
  EXPECT_EQ(controller_->GetPlayedClip(), nullptr);
  controller_->RunOneFrame(0.5f);
  EXPECT_EQ(controller_->GetPlaybackFrame(0), 0.0f);
  EXPECT_EQ(object_.GetLocalTranslation(), Vector3());
}

TEST_F(ClipPlayback, IgnoresLayersOtherThanZero) {
  controller_->ChangePlaybackSpeed(1, 5.0f);
  controller_->ChangePlaybackMode(1, 3);
  controller_->ChangePlaybackLevel(1, 0.25f);
  controller_->ChangePlaybackKeyFrameBegin(1, 7);
  controller_->ChangePlaybackKeyFrameEnd(1, 9);
  controller_->SetPlaybackFrame(1, 20.0f);
  controller_->ChangeClip(1, Checksum("swim"));
  EXPECT_EQ(controller_->GetPlaybackSpeed(), 60.0f);
  EXPECT_EQ(controller_->GetPlaybackMode(), 0u);
  EXPECT_EQ(controller_->GetPlaybackLevel(), 1.0f);
  EXPECT_EQ(controller_->GetPlaybackKeyFrameBegin(), 0u);
  EXPECT_EQ(controller_->GetPlaybackKeyFrameEnd(), 60u);
  EXPECT_EQ(controller_->GetPlaybackFrame(0), 0.0f);
  EXPECT_EQ(controller_->GetPlaybackFrame(1), 0.0f);
  EXPECT_EQ(controller_->GetPlayedClip(), clip_);
}

TEST_F(ClipPlayback, KeepsTheSettingsOfLayerZero) {
  controller_->ChangePlaybackSpeed(0, 30.0f);
  controller_->ChangePlaybackMode(0, 2);
  controller_->ChangePlaybackLevel(0, 1.0f);
  controller_->ChangePlaybackKeyFrameBegin(0, 10);
  controller_->ChangePlaybackKeyFrameEnd(0, 40);
  controller_->SetPlaybackFrame(0, 12.5f);
  EXPECT_EQ(controller_->GetPlaybackSpeed(), 30.0f);
  EXPECT_EQ(controller_->GetPlaybackMode(), 2u);
  EXPECT_EQ(controller_->GetPlaybackLevel(), 1.0f);
  EXPECT_EQ(controller_->GetPlaybackKeyFrameBegin(), 10u);
  EXPECT_EQ(controller_->GetPlaybackKeyFrameEnd(), 40u);
  EXPECT_EQ(controller_->GetPlaybackFrame(0), 12.5f);
}

TEST_F(ClipPlayback, RefusesModesBeyondThree) {
  controller_->ChangePlaybackMode(0, 3);
  controller_->ChangePlaybackMode(0, 4);
  EXPECT_EQ(controller_->GetPlaybackMode(), 3u);
}

TEST_F(ClipPlayback, ReinitResetsPlayback) {
  controller_->ChangePlaybackSpeed(0, 10.0f);
  controller_->ChangePlaybackMode(0, 3);
  controller_->SetPlaybackFrame(0, 33.0f);
  controller_->Reinit();
  EXPECT_EQ(controller_->GetPlaybackFrame(0), 0.0f);
  EXPECT_EQ(controller_->GetPlaybackMode(), 0u);
  EXPECT_EQ(controller_->GetPlaybackSpeed(), 60.0f);
  EXPECT_EQ(controller_->GetClipCount(), 1u);
  controller_->ChangeClip(0, clipKey_);
  EXPECT_EQ(controller_->GetPlayedClip(), clip_);
}

TEST_F(ClipPlayback, AdvancesBySpeedInKeyFramesPerSecond) {
  controller_->ChangePlaybackSpeed(0, 30.0f);
  controller_->RunOneFrame(0.5f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 15.0f, 1e-4f);
  controller_->ChangePlaybackSpeed(0, 120.0f);
  controller_->RunOneFrame(0.1f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 27.0f, 1e-4f);
}

TEST_F(ClipPlayback, StopsAtTheEndPlayingForwardsOnce) {
  controller_->ChangePlaybackMode(0, 0);
  controller_->RunOneFrame(0.5f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 30.0f, 1e-4f);
  controller_->RunOneFrame(0.75f);
  EXPECT_FLOAT_EQ(controller_->GetPlaybackFrame(0), 60.0f);
  controller_->RunOneFrame(0.25f);
  EXPECT_FLOAT_EQ(controller_->GetPlaybackFrame(0), 60.0f);
}

TEST_F(ClipPlayback, StopsAtTheBeginPlayingBackwardsOnce) {
  controller_->ChangePlaybackMode(0, 1);
  controller_->SetPlaybackFrame(0, 60.0f);
  controller_->RunOneFrame(0.25f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 45.0f, 1e-4f);
  controller_->RunOneFrame(1.0f);
  EXPECT_FLOAT_EQ(controller_->GetPlaybackFrame(0), 0.0f);
  controller_->RunOneFrame(0.25f);
  EXPECT_FLOAT_EQ(controller_->GetPlaybackFrame(0), 0.0f);
}

TEST_F(ClipPlayback, WrapsToTheBeginPlayingForwardsLooping) {
  controller_->ChangePlaybackMode(0, 2);
  controller_->SetPlaybackFrame(0, 50.0f);
  controller_->RunOneFrame(0.25f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 5.0f, 1e-4f);
  controller_->RunOneFrame(0.5f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 35.0f, 1e-4f);
}

TEST_F(ClipPlayback, WrapsToTheEndPlayingBackwardsLooping) {
  controller_->ChangePlaybackMode(0, 3);
  controller_->SetPlaybackFrame(0, 10.0f);
  controller_->RunOneFrame(0.25f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 55.0f, 1e-4f);
  controller_->RunOneFrame(0.5f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 25.0f, 1e-4f);
}

TEST_F(ClipPlayback, WrapsSeveralTimesInOneLongStep) {
  controller_->ChangePlaybackMode(0, 2);
  controller_->SetPlaybackFrame(0, 50.0f);
  controller_->RunOneFrame(2.5f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 20.0f, 1e-3f);
  controller_->ChangePlaybackMode(0, 3);
  controller_->RunOneFrame(2.5f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 50.0f, 1e-3f);
}

TEST_F(ClipPlayback, PlaysBackwardsWhateverTheSignOfTheSpeed) {
  controller_->ChangePlaybackMode(0, 1);
  controller_->ChangePlaybackSpeed(0, -60.0f);
  controller_->SetPlaybackFrame(0, 40.0f);
  controller_->RunOneFrame(0.25f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 25.0f, 1e-4f);
}

TEST_F(ClipPlayback, PosesAtAPlacedFrameAfterAReset) {
  // The editor's scrub: reset, choose the clip and range, place the frame, take a tiny step.
  object_.SetLocalTranslation({9, 9, 9});
  controller_->Reinit();
  controller_->ChangeClip(0, clipKey_);
  controller_->ChangePlaybackKeyFrameBegin(0, 0);
  controller_->ChangePlaybackKeyFrameEnd(0, 60);
  controller_->ChangePlaybackLevel(0, 1.0f);
  controller_->SetPlaybackFrame(0, 20.0f);
  controller_->ChangePlaybackMode(0, 0);
  controller_->RunOneFrame(0.001f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 20.06f, 1e-4f);
  ExpectVectorNear(object_.GetLocalTranslation(), {2.006f, 4.012f, -2.006f});
}

TEST_F(ClipPlayback, LoopsInsideAPlaybackRangeOfItsOwn) {
  controller_->ChangePlaybackKeyFrameBegin(0, 10);
  controller_->ChangePlaybackKeyFrameEnd(0, 40);
  controller_->ChangePlaybackMode(0, 2);
  controller_->SetPlaybackFrame(0, 35.0f);
  controller_->RunOneFrame(0.25f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 20.0f, 1e-4f);
  controller_->ChangePlaybackMode(0, 3);
  controller_->RunOneFrame(0.25f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 35.0f, 1e-4f);
}

TEST_F(ClipPlayback, StopsAtTheEndsOfAPlaybackRangeOfItsOwn) {
  controller_->ChangePlaybackKeyFrameBegin(0, 10);
  controller_->ChangePlaybackKeyFrameEnd(0, 40);
  controller_->SetPlaybackFrame(0, 35.0f);
  controller_->RunOneFrame(0.25f);
  EXPECT_FLOAT_EQ(controller_->GetPlaybackFrame(0), 40.0f);
  controller_->ChangePlaybackMode(0, 1);
  controller_->RunOneFrame(1.0f);
  EXPECT_FLOAT_EQ(controller_->GetPlaybackFrame(0), 10.0f);
}

TEST_F(ClipPlayback, PosesItsObjectAtAFrameBetweenKeys) {
  controller_->RunOneFrame(0.5f);
  ExpectVectorNear(object_.GetLocalTranslation(), {3, 6, -3});
  ExpectVectorNear(object_.GetLocalScale(), {2, 2, 2});
  const Quaternion rotation = object_.GetLocalRotation();
  const Quaternion expected = AboutZ(1.0f);
  EXPECT_NEAR(rotation.x, expected.x, 1e-5f);
  EXPECT_NEAR(rotation.y, expected.y, 1e-5f);
  EXPECT_NEAR(rotation.z, expected.z, 1e-5f);
  EXPECT_NEAR(rotation.w, expected.w, 1e-5f);
}

TEST_F(ClipPlayback, InterpolatesRotationSphericallyNotLinearly) {
  // A quarter of the way from 0 to 2 radians is 0.5 radians; a linear blend of the key
  // components would give a different angle.
  controller_->RunOneFrame(0.25f);
  const Quaternion rotation = object_.GetLocalRotation();
  EXPECT_NEAR(2.0f * std::atan2(rotation.z, rotation.w), 0.5f, 1e-4f);
  EXPECT_NEAR(rotation.Dot(rotation), 1.0f, 1e-5f);
}

TEST_F(ClipPlayback, PosesFromThePlaybackFrameItWasPlacedAt) {
  controller_->SetPlaybackFrame(0, 45.0f);
  EXPECT_EQ(object_.GetLocalTranslation(), Vector3());
  controller_->RunOneFrame(0.0f);
  ExpectVectorNear(object_.GetLocalTranslation(), {4.5f, 9, -4.5f});
}

TEST_F(ClipPlayback, PosesFromTheChannelItPlays) {
  AnimClip* both = MakeClip("both", "Spine", 0, 60);
  ASSERT_TRUE(both->AddChannel("Hips"));
  EngineCore::AnimChannel* hips = both->GetChannel(Checksum("Hips"));
  hips->AddTrack(AnimTrack::Translation);
  hips->GetCurve(AnimTrack::Translation)->SetKeyType(AnimCurve::KeyVector3);
  hips->GetCurve(AnimTrack::Translation)->AddKey(0, Vector3(100, 0, 0));
  hips->GetCurve(AnimTrack::Translation)->AddKey(60, Vector3(200, 0, 0));
  controller_->ChangeClip(0, controller_->AddClip(both));
  controller_->RunOneFrame(0.5f);
  ExpectVectorNear(object_.GetLocalTranslation(), {150, 0, 0});
  // The Hips channel has no rotation or scale: those stay as they were.
  EXPECT_EQ(object_.GetLocalRotation(), Quaternion());
  EXPECT_EQ(object_.GetLocalScale(), Vector3(1, 1, 1));
  both->Release();
}

TEST_F(ClipPlayback, LeavesItsObjectAloneWhenTheClipLacksItsChannel) {
  controller_->SetChannelKey(Checksum("Head"));
  object_.SetLocalTranslation({1, 2, 3});
  controller_->RunOneFrame(0.5f);
  EXPECT_NEAR(controller_->GetPlaybackFrame(0), 30.0f, 1e-4f);
  EXPECT_EQ(object_.GetLocalTranslation(), Vector3(1, 2, 3));
}

TEST(AnimControllerWithoutObject, StillAdvances) {
  AnimClip* clip = MakeClip("walk", "Hips", 0, 60);
  {
    AnimController controller(nullptr);
    controller.SetChannelKey(Checksum("Hips"));
    controller.ChangeClip(0, controller.AddClip(clip));
    controller.RunOneFrame(0.5f);
    EXPECT_NEAR(controller.GetPlaybackFrame(0), 30.0f, 1e-4f);
  }
  EXPECT_EQ(clip->GetReferenceCount(), 1u);
  clip->Release();
}
