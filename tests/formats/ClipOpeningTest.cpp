#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "ClipTestFiles.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"
#include "LogCapture.h"
#include "TempFolder.h"

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

TEST(ClipOpening, SamplesMotionCaptureAtSixtyFramesPerSecond) {
  TestSupport::LogCapture log;
  ASSERT_OPENS(clip, Data("01_01.gltf"));
  ASSERT_EQ(clip->GetChannelCount(), 31u);
  for (std::uint32_t c = 0; c < clip->GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip->GetChannelAt(c);
    ASSERT_EQ(channel.GetTrackCount(), 3u) << channel.GetName().c_str();
    for (std::uint32_t t = 0; t < 3; ++t) {
      const AnimCurve& curve = *channel.GetCurveAt(t);
      ASSERT_EQ(curve.GetKeyCount(), 1376u);
      EXPECT_EQ(curve.GetKeyFrame(0), 1u);
      EXPECT_EQ(curve.GetKeyFrame(1375), 1376u);
    }
  }
  EXPECT_EQ(clip->GetFirstKeyFrame(), 1u);
  EXPECT_EQ(clip->GetLastKeyFrame(), 1376u);
  EXPECT_EQ(log.Count(EngineCore::Log::Info, "sampled"), 1) << "the sampling is reported once per clip";
}

TEST(ClipOpening, StepSamplerHoldsEachValueUntilTheNextKey) {
  ASSERT_OPENS(clip, Data("synthetic/step.gltf"));
  const AnimCurve* box = ClipTestFiles::Track(*clip, "Box", AnimTrack::Translation);
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->GetKeyCount(), 7u) << "0.1 s is frames 0 to 6";
  EXPECT_EQ(box->GetVector3Key(5).x, 0.0f);
  EXPECT_EQ(box->GetVector3Key(6).x, 6.0f);
}

TEST(ClipOpening, CubicSplineSamplerIsEvaluatedWithItsTangents) {
  ASSERT_OPENS(clip, Data("synthetic/cubic.gltf"));
  const AnimCurve* box = ClipTestFiles::Track(*clip, "Box", AnimTrack::Translation);
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->GetKeyCount(), 7u);
  // Flat tangents make a smoothstep: a third of the way along it stands at 7/27 of the rise.
  EXPECT_NEAR(box->GetVector3Key(3).x, 3.0f, 1e-5f);
  EXPECT_NEAR(box->GetVector3Key(2).x, 6.0f * 7.0f / 27.0f, 1e-5f);
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
