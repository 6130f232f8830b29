#include "EngineCore/AnimChannel.h"

#include <gtest/gtest.h>

#include "EngineCore/AnimTrack.h"

using EngineCore::AnimChannel;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;

TEST(AnimChannelTracks, StartEmptyWithTheChannelName) {
  const AnimChannel channel("Hips");
  EXPECT_EQ(channel.GetName(), "Hips");
  EXPECT_EQ(channel.GetTrackCount(), 0u);
  EXPECT_EQ(channel.GetCurve(AnimTrack::Translation), nullptr);
  EXPECT_FALSE(channel.HasTrack(AnimTrack::Rotation));
}

TEST(AnimChannelTracks, AreAddedEmptyInOrderAndFoundByType) {
  AnimChannel channel("Hips");
  ASSERT_TRUE(channel.AddTrack(AnimTrack::Rotation));
  ASSERT_TRUE(channel.AddTrack(AnimTrack::Translation));
  ASSERT_EQ(channel.GetTrackCount(), 2u);
  EXPECT_EQ(channel.GetTrackTypeAt(0), AnimTrack::Rotation);
  EXPECT_EQ(channel.GetTrackTypeAt(1), AnimTrack::Translation);
  EXPECT_EQ(channel.GetCurve(AnimTrack::Rotation), channel.GetCurveAt(0));
  EXPECT_EQ(channel.GetCurve(AnimTrack::Translation), channel.GetCurveAt(1));
  EXPECT_NE(channel.GetCurveAt(0), channel.GetCurveAt(1));
  EXPECT_EQ(channel.GetCurveAt(0)->GetKeyCount(), 0u);
  EXPECT_FALSE(channel.HasTrack(AnimTrack::Scale));
}

TEST(AnimChannelTracks, RefuseASecondTrackOfOneType) {
  AnimChannel channel("Hips");
  ASSERT_TRUE(channel.AddTrack(AnimTrack::Scale));
  AnimCurve* curve = channel.GetCurve(AnimTrack::Scale);
  curve->SetKeyType(AnimCurve::KeyVector3);
  ASSERT_TRUE(curve->AddKey(0, EngineCore::Vector3(1, 1, 1)));
  EXPECT_FALSE(channel.AddTrack(AnimTrack::Scale));
  EXPECT_EQ(channel.GetTrackCount(), 1u);
  EXPECT_EQ(channel.GetCurve(AnimTrack::Scale), curve);
  EXPECT_EQ(curve->GetKeyCount(), 1u);
}

TEST(AnimChannelTracks, AreRemovedByType) {
  AnimChannel channel("Hips");
  ASSERT_TRUE(channel.AddTrack(AnimTrack::Translation));
  ASSERT_TRUE(channel.AddTrack(AnimTrack::Rotation));
  AnimCurve* rotation = channel.GetCurve(AnimTrack::Rotation);
  EXPECT_TRUE(channel.RemoveTrack(AnimTrack::Translation));
  EXPECT_FALSE(channel.RemoveTrack(AnimTrack::Translation));
  EXPECT_FALSE(channel.RemoveTrack(AnimTrack::Scale));
  ASSERT_EQ(channel.GetTrackCount(), 1u);
  EXPECT_EQ(channel.GetCurve(AnimTrack::Rotation), rotation);
  EXPECT_TRUE(channel.AddTrack(AnimTrack::Translation));
}
