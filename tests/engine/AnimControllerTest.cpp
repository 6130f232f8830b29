#include "EngineCore/AnimController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ClipBuilder.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/SceneObject.h"

using EngineCore::AnimClip;
using EngineCore::AnimController;
using EngineCore::AnimTrack;
using EngineCore::Quaternion;
using EngineCore::SceneObject;
using EngineCore::Vector3;

namespace {

Quaternion AboutZ(float angle) { return {0.0f, 0.0f, std::sin(angle / 2), std::cos(angle / 2)}; }

void ExpectNear(const Vector3& actual, const Vector3& expected) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-4f) << "component " << i;
}

// A channel that moves from the origin to (6, 12, -6), turns by 2 radians about Z and scales
// from 1 to 3 between two key frames.
AnimClip* MakeClip(const char* clipName, const char* channelName, std::uint32_t first, std::uint32_t last) {
  ClipBuilder made(clipName);
  made.Vectors(channelName, AnimTrack::Translation, {{first, {0, 0, 0}}, {last, {6, 12, -6}}});
  made.Track(channelName, AnimTrack::Rotation).AddKey(first, AboutZ(0.0f));
  made.Track(channelName, AnimTrack::Rotation).AddKey(last, AboutZ(2.0f));
  made.Vectors(channelName, AnimTrack::Scale, {{first, {1, 1, 1}}, {last, {3, 3, 3}}});
  made.Clip().ComputeKeyFrameRange();
  made.Clip().AddRef();
  return &made.Clip();
}

}  // namespace

class ClipPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    controller_ = object_.CreateController();
    controller_->SetChannelKey(ClipBuilder::Key("Hips"));
    clipKey_ = controller_->AddClip(clip_);
    controller_->ChangeClip(0, clipKey_);
    controller_->ChangePlaybackSpeed(0, 60.0f);
  }

  void TearDown() override { clip_->Release(); }

  float Step(float seconds) {
    controller_->RunOneFrame(seconds);
    return controller_->GetPlaybackFrame(0);
  }

  SceneObject object_{EngineCore::String("Hips"), nullptr};
  AnimClip* clip_ = MakeClip("walk", "Hips", 0, 60);
  AnimController* controller_ = nullptr;
  std::uint32_t clipKey_ = 0;
};

TEST_F(ClipPlayback, KeysEachClipOnceByTheChecksumOfItsNameAndHoldsAReferenceWhileItLives) {
  EXPECT_EQ(clipKey_, ClipBuilder::Key("walk"));
  EXPECT_EQ(controller_->AddClip(clip_), clipKey_);
  ASSERT_EQ(controller_->GetClipCount(), 1u);
  EXPECT_EQ(controller_->GetClipKeyAt(0), ClipBuilder::Key("walk"));
  EXPECT_EQ(clip_->GetReferenceCount(), 2u);
  AnimClip* stranger = MakeClip("jump", "Hips", 0, 10);
  std::uint32_t key = 1234;
  EXPECT_TRUE(controller_->HasClip(clip_));
  EXPECT_FALSE(controller_->FindClip(stranger, key));
  EXPECT_FALSE(controller_->HasClip(stranger));
  stranger->Release();
  {
    AnimController controller(nullptr);
    controller.SetChannelKey(ClipBuilder::Key("Hips"));
    controller.ChangeClip(0, controller.AddClip(clip_));
    EXPECT_EQ(clip_->GetReferenceCount(), 3u);
    // Without an object it still advances.
    controller.ChangePlaybackSpeed(0, 60.0f);
    controller.RunOneFrame(0.5f);
    EXPECT_NEAR(controller.GetPlaybackFrame(0), 30.0f, 1e-4f);
  }
  EXPECT_EQ(clip_->GetReferenceCount(), 2u);
}

TEST_F(ClipPlayback, ChangesToTheClipWithTheGivenKeyAndItsRange) {
  AnimClip* run = MakeClip("run", "Hips", 5, 25);
  controller_->AddClip(run);
  controller_->ChangeClip(0, ClipBuilder::Key("run"));
  EXPECT_EQ(controller_->GetPlayedClip(), run);
  EXPECT_EQ(controller_->GetPlaybackKeyFrameBegin(), 5u);
  EXPECT_EQ(controller_->GetPlaybackKeyFrameEnd(), 25u);
  controller_->ChangeClip(0, ClipBuilder::Key("swim"));
  EXPECT_EQ(controller_->GetPlayedClip(), nullptr);
  EXPECT_EQ(Step(0.5f), 0.0f);
  EXPECT_EQ(object_.GetLocalTranslation(), Vector3());
  run->Release();
}

TEST_F(ClipPlayback, IgnoresLayersOtherThanZeroAndModesBeyondThree) {
  controller_->SetPlaybackFrame(0, 30.0f);
  controller_->ChangePlaybackMode(0, 1);
  controller_->ChangePlaybackMode(0, 4);
  controller_->ChangePlaybackMode(1, 2);
  controller_->ChangePlaybackSpeed(1, 5.0f);
  controller_->ChangePlaybackKeyFrameBegin(1, 20);
  controller_->ChangePlaybackKeyFrameEnd(1, 9);
  controller_->SetPlaybackFrame(1, 50.0f);
  controller_->ChangeClip(1, ClipBuilder::Key("swim"));
  // Layer 0 still plays the walk backwards once at 60 key frames per second over 0..60.
  EXPECT_NEAR(Step(0.25f), 15.0f, 1e-4f);
  EXPECT_EQ(controller_->GetPlayedClip(), clip_);
  EXPECT_EQ(controller_->GetPlaybackMode(), 1u);
}

struct ModeCase {
  const char* name;
  std::uint32_t mode;
  float speed;
  std::uint32_t begin, end;  // the playback range
  float start;
  std::vector<std::pair<float, float>> steps;  // seconds, expected frame after the step
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class PlaybackModes : public ClipPlayback, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(PlaybackModes, MoveTheFrameThroughTheRange) {
  const ModeCase& c = GetParam();
  controller_->ChangePlaybackMode(0, c.mode);
  controller_->ChangePlaybackSpeed(0, c.speed);
  controller_->ChangePlaybackKeyFrameBegin(0, c.begin);
  controller_->ChangePlaybackKeyFrameEnd(0, c.end);
  controller_->SetPlaybackFrame(0, c.start);
  for (const auto& [seconds, frame] : c.steps) EXPECT_NEAR(Step(seconds), frame, 1e-3f) << "after " << seconds;
}

INSTANTIATE_TEST_SUITE_P(
    Layer0, PlaybackModes,
    ::testing::Values(ModeCase{"ForwardsOnceStopsAtTheEnd", 0, 60, 0, 60, 0, {{0.5f, 30}, {0.75f, 60}, {0.25f, 60}}},
                      ModeCase{"BackwardsOnceStopsAtTheBegin", 1, 60, 0, 60, 60, {{0.25f, 45}, {1, 0}, {0.25f, 0}}},
                      ModeCase{"BackwardsWhateverTheSignOfSpeed", 1, -60, 0, 60, 40, {{0.25f, 25}}},
                      ModeCase{"BySpeedInKeyFramesPerSecond", 0, 120, 0, 60, 3, {{0.1f, 15}}},
                      ModeCase{"ForwardsLoopWrapsToTheBegin", 2, 60, 0, 60, 50, {{0.25f, 5}, {0.5f, 35}, {2.5f, 5}}},
                      ModeCase{"BackwardsLoopWrapsToTheEnd", 3, 60, 0, 60, 10, {{0.25f, 55}, {0.5f, 25}, {2.5f, 55}}},
                      ModeCase{"OnceStopsAtAnOwnRange", 0, 60, 10, 40, 35, {{0.25f, 40}}},
                      ModeCase{"BackwardsOnceStopsAtAnOwnRange", 1, 60, 10, 40, 15, {{1, 10}}},
                      ModeCase{"ForwardsLoopInsideAnOwnRange", 2, 60, 10, 40, 35, {{0.25f, 20}}},
                      ModeCase{"BackwardsLoopInsideAnOwnRange", 3, 60, 10, 40, 20, {{0.25f, 35}}}),
    [](const ::testing::TestParamInfo<ModeCase>& param) { return std::string(param.param.name); });

TEST_F(ClipPlayback, PosesItsObjectAtAFrameBetweenKeysTurningSpherically) {
  controller_->SetPlaybackFrame(0, 5.0f);
  EXPECT_EQ(object_.GetLocalTranslation(), Vector3());  // placing alone does not pose
  Step(0.25f);
  ExpectNear(object_.GetLocalTranslation(), {2, 4, -2});
  ExpectNear(object_.GetLocalScale(), {5.0f / 3, 5.0f / 3, 5.0f / 3});
  // A third of the way from 0 to 2 radians; a linear blend of the key components would give
  // another angle.
  const Quaternion rotation = object_.GetLocalRotation();
  EXPECT_NEAR(2.0f * std::atan2(rotation.z, rotation.w), 2.0f / 3, 1e-4f);
  EXPECT_NEAR(rotation.Dot(rotation), 1.0f, 1e-5f);
}

TEST_F(ClipPlayback, ReinitResetsPlaybackAndPosesAtAPlacedFrame) {
  // The editor's scrub: reset, choose the clip, place the frame, take a tiny step.
  controller_->ChangePlaybackSpeed(0, 10.0f);
  controller_->ChangePlaybackMode(0, 3);
  controller_->SetPlaybackFrame(0, 33.0f);
  controller_->Reinit();
  EXPECT_EQ(controller_->GetPlaybackFrame(0), 0.0f);
  EXPECT_EQ(controller_->GetPlaybackMode(), 0u);
  EXPECT_EQ(controller_->GetPlaybackSpeed(), 0.0f) << "at rest until given a speed";
  EXPECT_EQ(controller_->GetClipCount(), 1u);
  controller_->ChangeClip(0, clipKey_);
  controller_->SetPlaybackFrame(0, 20.0f);
  EXPECT_NEAR(Step(0.001f), 20.0f, 1e-6f);
  ExpectNear(object_.GetLocalTranslation(), {2.0f, 4.0f, -2.0f});
}

TEST_F(ClipPlayback, PosesOnlyFromItsOwnChannelAndTracks) {
  AnimClip* both = MakeClip("both", "Spine", 0, 60);
  ClipBuilder(*both).Vectors("Hips", AnimTrack::Translation, {{0, {100, 0, 0}}, {60, {200, 0, 0}}});
  controller_->ChangeClip(0, controller_->AddClip(both));
  Step(0.5f);
  ExpectNear(object_.GetLocalTranslation(), {150, 0, 0});
  // The Hips channel has no rotation or scale: those stay as they were.
  EXPECT_EQ(object_.GetLocalRotation(), Quaternion());
  EXPECT_EQ(object_.GetLocalScale(), Vector3(1, 1, 1));
  // A clip without the controller's channel leaves the object alone.
  controller_->SetChannelKey(ClipBuilder::Key("Head"));
  Step(0.25f);
  ExpectNear(object_.GetLocalTranslation(), {150, 0, 0});
  both->Release();
}
