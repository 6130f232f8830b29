#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "ClipTestFiles.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"
#include "LogCapture.h"
#include "TempFolder.h"
#include "TestClipBuilder.h"

using ClipTestFiles::Data;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;

TEST(ClipOpening, KeepsKeysOnWholeFramesExactlyInChannelsNamedAfterTheirNodes) {
  ASSERT_OPENS(clip, Data("synthetic/whole_frames.gltf"));
  EXPECT_EQ(clip->GetName(), "whole_frames");
  ASSERT_EQ(clip->GetChannelCount(), 2u);
  const AnimCurve* root = ClipTestFiles::Track(*clip, "Root", AnimTrack::Translation);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->GetKeyCount(), 3u);
  for (std::uint32_t k = 0; k < 3; ++k) EXPECT_EQ(root->GetKeyFrame(k), (std::array{0u, 5u, 12u})[k]);
  EXPECT_EQ(root->GetVector3Key(2), EngineCore::Vector3(4, 5, 6));
  const AnimCurve* arm = ClipTestFiles::Track(*clip, "Arm", AnimTrack::Rotation);
  ASSERT_NE(arm, nullptr);
  EXPECT_EQ(arm->GetKeyType(), AnimCurve::KeyQuaternion);
  ASSERT_EQ(arm->GetKeyCount(), 3u);
  EXPECT_NEAR(arm->GetQuaternionKey(2).x, std::sin(M_PI / 4), 1e-6);
  EXPECT_EQ(clip->GetFirstKeyFrame(), 0u);
  EXPECT_EQ(clip->GetLastKeyFrame(), 12u);
  EXPECT_FALSE(clip->IsModified());
  // Channels take their nodes' names, keyed by their checksums.
  EXPECT_EQ(clip->GetChannelAt(0)->GetName(), "Root");
  EXPECT_EQ(clip->GetChannelKeyAt(0), EngineCore::Crc32::Compute(4, "Root"));
  EXPECT_EQ(clip->GetChannelAt(1)->GetName(), "Arm");
}

TEST(ClipOpening, KeepsMotionCaptureAtItsOwnRate) {
  TestSupport::LogCapture log;
  ASSERT_OPENS(clip, Data("01_01.gltf"));
  EXPECT_EQ(clip->GetFrameRate(), 120.0f);
  ASSERT_EQ(clip->GetChannelCount(), 31u);
  for (std::uint32_t c = 0; c < clip->GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip->GetChannelAt(c);
    ASSERT_EQ(channel.GetTrackCount(), 3u) << channel.GetName().c_str();
    for (std::uint32_t t = 0; t < 3; ++t) {
      const AnimCurve& curve = *channel.GetCurveAt(t);
      ASSERT_EQ(curve.GetKeyCount(), 2752u);
      EXPECT_EQ(curve.GetKeyFrame(0), 1u) << "its first key is at 1/120 s";
      EXPECT_EQ(curve.GetKeyFrame(2751), 2752u);
      EXPECT_EQ(curve.GetInterpolation(), AnimCurve::Linear);
    }
  }
  EXPECT_EQ(clip->GetLastKeyFrame(), 2752u);
  EXPECT_TRUE(clip->GetReadingNote().IsEmpty());
  EXPECT_EQ(log.Count(EngineCore::Log::Warning, "sampled"), 0);
}

TEST(ClipOpening, AClipsRateIsTheLowestCommonRateItsKeyTimesFitElseItIsSampledAtSixty) {
  TestSupport::TempFolder folder;
  // The key times of two tracks, the rate they make and the frames of the second track.
  const struct {
    std::vector<float> first, second;
    float rate;
    std::vector<std::uint32_t> frames;
  } cases[] = {
      {{0.0f, 1 / 24.0f, 2 / 24.0f}, {0.0f, 0.5f}, 24.0f, {0, 12}},
      {{0.0f, 0.04f}, {0.2f, 1.0f}, 25.0f, {5, 25}},
      {{0.0f, 1 / 30.0f}, {0.0f, 0.1f}, 30.0f, {0, 3}},
      {{0.0f, 1 / 24.0f}, {0.0f, 1 / 30.0f}, 120.0f, {0, 4}},
      {{0.0f, 1 / 120.0f}, {1 / 240.0f, 0.5f}, 240.0f, {1, 120}},
      // 0.0537 s fits no rate: the clip is at 60, that track sampled on every frame.
      {{0.0f, 0.05f}, {0.0f, 0.0537f}, 60.0f, {0, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    TestSupport::LogCapture log;
    TestClipBuilder builder;
    builder.Track("A", "translation", c.first, std::vector<float>(c.first.size() * 3, 1.0f))
        .Track("B", "scale", c.second, std::vector<float>(c.second.size() * 3, 2.0f));
    builder.Write(folder.Path() / "Rate.gltf");
    ASSERT_OPENS(clip, folder / "Rate.gltf");
    EXPECT_EQ(clip->GetFrameRate(), c.rate);
    const AnimCurve& b = *ClipTestFiles::Track(*clip, "B", AnimTrack::Scale);
    std::vector<std::uint32_t> frames;
    for (std::uint32_t k = 0; k < b.GetKeyCount(); ++k) frames.push_back(b.GetKeyFrame(k));
    EXPECT_EQ(frames, c.frames) << c.rate;
    const bool sampled = c.frames.size() != c.second.size();
    EXPECT_EQ(log.Count(EngineCore::Log::Warning, "fit no frame rate"), sampled ? 1 : 0) << c.rate;
    EXPECT_EQ(clip->GetReadingNote().IsEmpty(), !sampled) << c.rate;
  }
}

TEST(ClipOpening, StepSamplerKeepsItsKeysAndHoldsEachValueUntilTheNext) {
  ASSERT_OPENS(clip, Data("synthetic/step.gltf"));
  EXPECT_EQ(clip->GetFrameRate(), 30.0f) << "0.1 s is frame 3 at 30 frames per second";
  const AnimCurve* box = ClipTestFiles::Track(*clip, "Box", AnimTrack::Translation);
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->GetKeyCount(), 2u);
  EXPECT_EQ(box->GetInterpolation(), AnimCurve::Step);
  EngineCore::Vector3 value;
  ASSERT_TRUE(box->Evaluate(2.9f, 60.0f, value));
  EXPECT_EQ(value.x, 0.0f);
  ASSERT_TRUE(box->Evaluate(3.0f, 60.0f, value));
  EXPECT_EQ(value.x, 6.0f);
}

TEST(ClipOpening, CubicSplineSamplerKeepsItsKeysAndTangentsAndPlaysTheSpline) {
  ASSERT_OPENS(clip, Data("synthetic/cubic.gltf"));
  EXPECT_TRUE(clip->GetReadingNote().IsEmpty()) << clip->GetReadingNote().c_str();
  const AnimCurve* box = ClipTestFiles::Track(*clip, "Box", AnimTrack::Translation);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(box->IsCubic());
  ASSERT_EQ(box->GetKeyCount(), 2u) << "the file's two keys, 0.1 s apart at 30 frames per second";
  EXPECT_EQ(box->GetKeyFrame(1), 3u);
  EXPECT_EQ(box->GetVector3OutTangent(0), EngineCore::Vector3());
  EXPECT_EQ(box->GetVector3InTangent(1), EngineCore::Vector3());
  // Flat tangents make a smoothstep: a third of the way along it stands at 7/27 of the rise.
  EngineCore::Vector3 value;
  ASSERT_TRUE(box->Evaluate(1.0f, clip->GetFrameRate(), value));
  EXPECT_NEAR(value.x, 6.0f * 7.0f / 27.0f, 1e-5f);
  // The editor's tangent types from the sampler's extras: "fffl" "ll".
  using EngineCore::TangentType;
  EXPECT_EQ(box->GetTangentTypes(),
            (std::vector<TangentType>{TangentType::Flat, TangentType::Flat, TangentType::Flat, TangentType::Linear,
                                      TangentType::Linear, TangentType::Linear}));
}

TEST(ClipOpening, ABlenderExportOpensWithItsBezierKeysAsAuthored) {
  ASSERT_OPENS(clip, Data("blender/keyframed.gltf"));
  EXPECT_EQ(clip->GetFrameRate(), 24.0f);
  EXPECT_TRUE(clip->GetReadingNote().IsEmpty()) << clip->GetReadingNote().c_str();
  struct Expected {
    const char* channel;
    std::uint32_t track;
    std::vector<std::uint32_t> frames;
  };
  const Expected tracks[] = {{"Box", AnimTrack::Translation, {1, 12, 30, 48}},
                             {"Box", AnimTrack::Rotation, {1, 12, 30, 48}},
                             {"Box", AnimTrack::Scale, {1, 12, 30, 48}},
                             {"Arm", AnimTrack::Rotation, {1, 20, 40}}};
  for (const Expected& expected : tracks) {
    const AnimCurve* keys = ClipTestFiles::Track(*clip, expected.channel, expected.track);
    ASSERT_NE(keys, nullptr) << expected.channel << " " << expected.track;
    EXPECT_TRUE(keys->IsCubic());
    EXPECT_EQ(keys->GetFrames(), expected.frames) << expected.channel << " " << expected.track;
  }
  // Blender's slope of Box's X at its second key, 4 units a second, as the file stores it.
  const AnimCurve* moves = ClipTestFiles::Track(*clip, "Box", AnimTrack::Translation);
  EXPECT_NEAR(moves->GetVector3InTangent(1).x, 4.0f, 1e-5f);
  EXPECT_NEAR(moves->GetVector3OutTangent(1).x, 4.0f, 1e-5f);
  // Half-way between its first two keys the box is where the spline of the file puts it.
  EngineCore::Vector3 at;
  ASSERT_TRUE(moves->Evaluate(6.5f, 24.0f, at));
  const double s = 0.5, interval = 11.0 / 24.0;
  const double expected =
      (2 * s * s * s - 3 * s * s + 1) * 0.0 + (-2 * s * s * s + 3 * s * s) * 2.0 + (s * s * s - s * s) * interval * 4.0;
  EXPECT_NEAR(at.x, expected, 1e-5);
}

TEST(ClipOpening, FileWithoutAnimationOpensAsEmptyClip) {
  TestSupport::TempFolder folder;
  std::string message;
  ASSERT_EQ(Formats::GltfClipFile::CreateEmpty(folder / "Empty.gltf", message), Formats::ClipFileError::None)
      << message;
  ASSERT_OPENS(clip, folder / "Empty.gltf");
  EXPECT_EQ(clip->GetChannelCount(), 0u);
  EXPECT_TRUE(ClipTestFiles::PassesValidator(folder / "Empty.gltf"));
}

TEST(ClipOpening, BinaryAndExternalBufferFormsOpenLikeTheEmbeddedOne) {
  ASSERT_OPENS(embedded, Data("synthetic/whole_frames.gltf"));
  for (const char* other : {"synthetic/whole_frames.glb", "synthetic/external.gltf"}) {
    ASSERT_OPENS(clip, Data(other));
    EXPECT_TRUE(ClipTestFiles::SameKeys(*embedded, *clip)) << other;
  }
}
