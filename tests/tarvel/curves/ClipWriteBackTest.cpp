#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "ClipKeys.h"
#include "CurveWriter.h"
#include "EngineCore/AnimTrack.h"
#include "curves/ClipWriteBack.h"
#include "curves/CurveSet.h"

using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Vector3;
using Tarvel::ClipWriteBack;
using Tarvel::CurveInfo;
using Tarvel::CurveSet;

namespace {

// A channel with one track whose three curves the test fills point by point.
class WriteBack : public ::testing::Test {
 protected:
  void MakeTrack(std::uint32_t type) {
    type_ = type;
    const std::uint32_t keyType = type == AnimTrack::Rotation ? AnimCurve::KeyQuaternion : AnimCurve::KeyVector3;
    builder.Track("Bone", type, keyType);
    const CurveSet::Curves& loaded = curves.LoadChannel(ClipBuilder::Key("Bone"), builder.Channel("Bone"));
    ASSERT_EQ(loaded.size(), 3u);
    triple.clear();
    for (const auto& curve : loaded) triple.push_back(curve.get());
  }
  void Add(int component, float x, float y) { Tarvel::CurveWriter::Of(*triple[component]).AddPoint({x, y}, false); }
  AnimCurve& Keys() { return *builder.Channel("Bone").GetCurve(type_); }
  bool Write() { return ClipWriteBack::WriteBackChannel(builder.Clip(), curves, ClipBuilder::Key("Bone")); }
  std::vector<std::uint32_t> Frames() {
    std::vector<std::uint32_t> frames;
    for (std::uint32_t i = 0; i < Keys().GetKeyCount(); ++i) frames.push_back(Keys().GetKeyFrame(i));
    return frames;
  }

  ClipBuilder builder;
  CurveSet curves;
  std::vector<CurveInfo*> triple;
  std::uint32_t type_ = AnimTrack::Translation;
};

}  // namespace

TEST_F(WriteBack, EmptyCurvesLeaveNoKeysAndConstantOnesEveryKeyShown) {
  builder.Vectors("Bone", AnimTrack::Translation, {{0, {1, 1, 1}}});
  MakeTrack(AnimTrack::Translation);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Keys().GetKeyCount(), 1u) << "a pose written back keeps its key";
  for (auto* curve : triple) Tarvel::CurveWriter::Of(*curve).RemoveAllPoints();
  ASSERT_TRUE(Write());
  EXPECT_EQ(Keys().GetKeyCount(), 0u);
  EXPECT_TRUE(builder.Clip().IsModified());
  for (int c = 0; c < 3; ++c) {
    for (int x = 0; x <= 100; x += 10) Add(c, static_cast<float>(x), 2.0f + c);
  }
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}))
      << "every key the graph shows is kept, even on a straight line";
  EXPECT_EQ(Keys().GetVector3Key(1), Vector3(2, 3, 4));
}

TEST_F(WriteBack, EveryPointIsAKeyEvenOnAStraightRun) {
  MakeTrack(AnimTrack::Translation);
  Add(0, 0, 0);
  Add(0, 10, 10);
  Add(1, 0, 5);
  Add(2, 0, 7);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{0, 10}));
  EXPECT_EQ(Keys().GetVector3Key(1), Vector3(10, 5, 7));
  Add(0, 20, 20);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{0, 10, 20})) << "a key on the line of its neighbours stays";
}

TEST_F(WriteBack, PointsOffWholeFramesAreKeyedOnTheFrameTheyStartIn) {
  MakeTrack(AnimTrack::Translation);
  Add(0, 7.9f, 0);
  Add(0, 9.9f, 1);
  Add(0, 10.9f, 5);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{7, 9, 10}));
  EXPECT_EQ(Keys().GetVector3Key(2).x, 5.0f) << "the point's own value, not the curve's at the frame";
}

TEST_F(WriteBack, ATripleIsKeyedOnTheUnionOfItsFramesEachAxisOnItsOwnCurve) {
  MakeTrack(AnimTrack::Translation);
  Add(0, 5, 1);
  Add(0, 20, 4);
  Add(1, 0, 0);
  Add(1, 10, 10);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{0, 5, 10, 20}));
  EXPECT_EQ(Keys().GetVector3Key(0), Vector3(1, 0, 0)) << "X holds its first value before its points";
  EXPECT_EQ(Keys().GetVector3Key(1), Vector3(1, 5, 0)) << "Y where its line passes";
  EXPECT_EQ(Keys().GetVector3Key(2), Vector3(2, 10, 0));
  EXPECT_EQ(Keys().GetVector3Key(3), Vector3(4, 10, 0)) << "Y holds its last value";
}

TEST_F(WriteBack, AComponentWithoutPointsContributesOneToScalesAndZeroElsewhere) {
  MakeTrack(AnimTrack::Scale);
  Add(0, 0, 2);
  Add(0, 4, 3);
  ASSERT_TRUE(Write());
  ASSERT_EQ(Keys().GetKeyCount(), 2u);
  EXPECT_EQ(Keys().GetVector3Key(0), Vector3(2, 1, 1));
  builder.Channel("Bone").RemoveTrack(AnimTrack::Scale);
  MakeTrack(AnimTrack::Translation);
  Add(2, 0, 2);
  Add(2, 4, 3);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Keys().GetVector3Key(0), Vector3(0, 0, 2));
}

TEST_F(WriteBack, RotationDegreesBecomeContinuousQuaternionsOfTheirRadians) {
  MakeTrack(AnimTrack::Rotation);
  Add(0, 0, 90);
  Add(0, 10, 90);
  Add(1, 0, 0);
  Add(2, 0, 0);
  ASSERT_TRUE(Write());
  ASSERT_EQ(Keys().GetKeyCount(), 2u);
  const EngineCore::Quaternion expected = EngineCore::Quaternion::FromAngles(static_cast<float>(M_PI / 2), 0, 0);
  EXPECT_NEAR(std::abs(Keys().GetQuaternionKey(0).Dot(expected)), 1.0f, 1e-6f);
  // 170 to 190 degrees crosses the point where the quaternion's sign would flip.
  Tarvel::CurveWriter::Of(*triple[0]).RemoveAllPoints();
  Add(0, 0, 170);
  Add(0, 1, 190);
  Add(0, 2, 250);
  ASSERT_TRUE(Write());
  ASSERT_EQ(Keys().GetKeyCount(), 3u);
  for (std::uint32_t i = 1; i < 3; ++i) EXPECT_GE(Keys().GetQuaternionKey(i).Dot(Keys().GetQuaternionKey(i - 1)), 0.0f);
}

TEST_F(WriteBack, UnknownChannelsChangeNothingBareOnesOnlyTheFlagAndLoadedKeysComeBackUnchanged) {
  MakeTrack(AnimTrack::Translation);
  EXPECT_FALSE(ClipWriteBack::WriteBackChannel(builder.Clip(), curves, 12345));
  EXPECT_FALSE(builder.Clip().IsModified());
  builder.Channel("Empty");
  curves.LoadChannel(ClipBuilder::Key("Empty"), builder.Channel("Empty"));
  EXPECT_TRUE(ClipWriteBack::WriteBackChannel(builder.Clip(), curves, ClipBuilder::Key("Empty")));
  EXPECT_TRUE(builder.Clip().IsModified());
  builder.Vectors("Bone", AnimTrack::Translation, {{0, {0, 0, 0}}, {5, {1, 2, 3}}, {7, {1, 2, 3}}, {12, {-4, 0, 9}}});
  MakeTrack(AnimTrack::Translation);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{0, 5, 7, 12}));
  EXPECT_EQ(Keys().GetVector3Key(3), Vector3(-4, 0, 9));
}

TEST(WriteBackChannels, ManyChannelsTogetherGiveTheKeysOfOneAtATimeAndMarkTheClipOnce) {
  // Two equal clips of channels of unequal lengths; their curves are moved, then written back
  // together or one channel at a time.
  ClipBuilder together;
  ClipBuilder alone;
  std::vector<std::uint32_t> keys;
  for (int c = 0; c < 9; ++c) {
    const std::string name = "Bone" + std::to_string(c);
    for (ClipBuilder* builder : {&together, &alone}) {
      AnimCurve& turns = builder->Track(name.c_str(), AnimTrack::Rotation);
      AnimCurve& moves = builder->Track(name.c_str(), AnimTrack::Translation);
      for (std::uint32_t f = 0; f < 400u + 300u * static_cast<std::uint32_t>(c); ++f) {
        const float t = static_cast<float>(f) * 0.05f + static_cast<float>(c);
        ASSERT_TRUE(turns.AddKey(f, EngineCore::Quaternion::FromAngles(std::sin(t), std::cos(t), t * 0.1f)));
        ASSERT_TRUE(moves.AddKey(f, Vector3(t, -t, static_cast<float>(c))));
      }
    }
    keys.push_back(ClipBuilder::Key(name.c_str()));
  }
  CurveSet togetherCurves;
  CurveSet aloneCurves;
  for (const std::uint32_t key : keys) {
    for (auto [builder, set] : {std::pair{&together, &togetherCurves}, std::pair{&alone, &aloneCurves}}) {
      for (const auto& curve : set->LoadChannel(key, *builder->Clip().GetChannel(key))) {
        Tarvel::CurveWriter::Of(*curve).ForEachPoint(0, curve->pCurve->GetPointCount(),
                                                     [](auto& point) { point.y += 2.5f; });
      }
    }
  }
  EXPECT_FALSE(together.Clip().IsModified());
  EXPECT_EQ(ClipWriteBack::WriteBackChannels(together.Clip(), togetherCurves, keys), keys.size());
  EXPECT_TRUE(together.Clip().IsModified());
  for (const std::uint32_t key : keys) ASSERT_TRUE(ClipWriteBack::WriteBackChannel(alone.Clip(), aloneCurves, key));
  EXPECT_EQ(TestSupport::DescribeKeys(together.Clip()), TestSupport::DescribeKeys(alone.Clip()));
  EXPECT_NEAR(together.Clip().GetChannel(keys[3])->GetCurve(AnimTrack::Translation)->GetVector3Key(10).z, 5.5f, 1e-5f)
      << "the moved values reached the clip";
}
