#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ClipBuilder.h"
#include "EngineCore/AnimTrack.h"
#include "curves/CurveSet.h"

using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Vector2;
using Tarvel::CurveInfo;
using Tarvel::CurveSet;

namespace {

class CurveSetLoading : public ::testing::Test {
 protected:
  const CurveSet::Curves& Load(const char* channel) {
    return curves.LoadChannel(ClipBuilder::Key(channel), builder.Channel(channel));
  }
  static std::vector<Vector2> Points(const CurveInfo& curve) {
    std::vector<Vector2> points;
    for (const auto& p : curve.pCurve->GetCurve()) points.push_back({p.x, p.y});
    return points;
  }

  ClipBuilder builder;
  CurveSet curves;
};

}  // namespace

TEST_F(CurveSetLoading, GivesTriplesXYZOfVectorAndQuaternionTracksInTrackOrder) {
  builder.Channel("Empty");
  EXPECT_TRUE(Load("Empty").empty());
  EXPECT_NE(curves.GetChannelCurves(ClipBuilder::Key("Empty")), nullptr) << "a channel without tracks has an entry";
  EXPECT_EQ(curves.GetChannelCurves(ClipBuilder::Key("Other")), nullptr);
  builder.Rotations("Arm", {{0, {0, 0, 0}}, {10, {10, 20, 30}}});
  builder.Track("Arm", AnimTrack::Scale, AnimCurve::KeyFloat).AddKey(3, 1.5f);
  builder.Vectors("Arm", AnimTrack::Translation, {{0, {1, 2, 3}}, {10, {4, 5, 6}}});
  const CurveSet::Curves& loaded = Load("Arm");
  ASSERT_EQ(loaded.size(), 6u) << "a float track gives no curves";
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(loaded[i]->iTrackType, i < 3 ? AnimTrack::Rotation : AnimTrack::Translation);
    EXPECT_EQ(loaded[i]->iComponent, i % 3);
    EXPECT_EQ(loaded[i]->iChannelKey, ClipBuilder::Key("Arm"));
  }
  EXPECT_NEAR(loaded[2]->pCurve->GetPointAt(1)->y, 30.0f, 1e-3f) << "rotations in degrees";
  EXPECT_FLOAT_EQ(loaded[4]->pCurve->GetPointAt(1)->y, 5.0f);
  // X reddish, Y greenish, Z bluish; rotations and translations by their own rule.
  EXPECT_EQ(loaded[1]->pCurve->GetColor(), 0x32C832u);
  EXPECT_EQ(loaded[1]->pCurve->GetSelectionColor(), 0xC7E0C7u);
  EXPECT_EQ(loaded[3]->pCurve->GetColor(), 0x191996u);
  EXPECT_EQ(loaded[3]->pCurve->GetSelectionColor(), 0x2525E1u);
}

TEST_F(CurveSetLoading, ACurvesPointsAreItsTracksKeysAndNoMore) {
  builder.Vectors("Leg", AnimTrack::Translation, {{0, {0, 0, 0}}, {40, {4, 5, 6}}});
  builder.Vectors("Leg", AnimTrack::Scale, {{0, {1, 1, 1}}, {100, {2, 2, 2}}});
  builder.Track("Leg", AnimTrack::Scale).SetInterpolation(AnimCurve::Step);
  const CurveSet::Curves& loaded = Load("Leg");
  EXPECT_EQ(Points(*loaded[1]), (std::vector<Vector2>{{0, 0}, {40, 5}})) << "a track ending early ends there";
  EXPECT_EQ(loaded[1]->pCurve->GetInterpolation(), EditorToolkit::Curve2::Linear);
  EXPECT_EQ(loaded[3]->pCurve->GetInterpolation(), EditorToolkit::Curve2::Step) << "a step track gives steps";
  builder.Vectors("Still", AnimTrack::Translation, {{0, {1, 2, 3}}});
  const CurveSet::Curves& still = Load("Still");
  EXPECT_EQ(Points(*still[2]), (std::vector<Vector2>{{0, 3}})) << "a pose keyed at frame 0 shows its key";
  // A capture's tracks start on frame 1, and each curve keeps every key where it was.
  builder.Vectors("Late", AnimTrack::Translation, {{1, {1, 2, 3}}, {2, {2, 3, 4}}, {7, {3, 4, 5}}});
  EXPECT_EQ(Points(*Load("Late")[1]), (std::vector<Vector2>{{1, 2}, {2, 3}, {7, 4}}));
}

TEST_F(CurveSetLoading,
       RotationsAreMadeContinuousAsTheEulerFilterMakesThemAndReloadingOrRemovingAChannelReplacesItsRecords) {
  builder.Rotations("Spin", {{0, {179, 0, 0}}, {1, {-179, 0, 0}}, {2, {-90, 0, 0}}});
  const auto points = Points(*Load("Spin")[0]);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_NEAR(points[1].y, 181.0f, 1e-3f);
  EXPECT_NEAR(points[2].y, 270.0f, 1e-3f);
  // Past 90 degrees about Y the angles flip to the other solution; the curves keep going.
  builder.Rotations("Nod", {{0, {0, 80, 0}}, {1, {0, 89, 0}}, {2, {180, 82, 180}}, {3, {180, 70, 180}}});
  const CurveSet::Curves& nod = Load("Nod");
  EXPECT_NEAR(Points(*nod[1])[2].y, 98.0f, 1e-2f) << "(180, 82, 180) is (0, 98, 0)";
  EXPECT_NEAR(Points(*nod[1])[3].y, 110.0f, 1e-2f);
  for (const int axis : {0, 2}) {
    for (const Vector2& point : Points(*nod[axis])) EXPECT_NEAR(point.y, 0.0f, 1e-2f) << "axis " << axis;
  }
  builder.Vectors("Arm", AnimTrack::Translation, {{0, {0, 0, 0}}, {5, {1, 1, 1}}});
  Load("Arm");
  builder.Vectors("Arm", AnimTrack::Scale, {{0, {1, 1, 1}}, {5, {1, 1, 1}}});
  EXPECT_EQ(Load("Arm").size(), 6u);
  EXPECT_EQ(curves.GetCurveCount(), 12u) << "Spin's and Nod's three, Arm's six: the reload replaced Arm's first three";
  curves.RemoveChannel(ClipBuilder::Key("Arm"));
  EXPECT_EQ(curves.GetChannelCurves(ClipBuilder::Key("Arm")), nullptr);
}

TEST_F(CurveSetLoading, ChannelsLoadedTogetherGiveTheCurvesOfOneAtATime) {
  // Channels of unequal lengths.
  std::vector<std::string> names;
  std::vector<std::uint32_t> keys;
  std::vector<const EngineCore::AnimChannel*> channels;
  for (int c = 0; c < 9; ++c) {
    names.push_back("Bone" + std::to_string(c));
    AnimCurve& turns = builder.Track(names.back().c_str(), AnimTrack::Rotation);
    AnimCurve& moves = builder.Track(names.back().c_str(), AnimTrack::Translation);
    for (std::uint32_t f = 0; f < 400u + 300u * static_cast<std::uint32_t>(c); ++f) {
      const float t = static_cast<float>(f) * 0.05f + static_cast<float>(c);
      ASSERT_TRUE(turns.AddKey(f, EngineCore::Quaternion::FromAngles(std::sin(t) * 3.0f, std::cos(t), t)));
      ASSERT_TRUE(moves.AddKey(f, EngineCore::Vector3(t, -t, static_cast<float>(c))));
    }
  }
  for (const std::string& name : names) {
    keys.push_back(ClipBuilder::Key(name.c_str()));
    channels.push_back(&builder.Channel(name.c_str()));
  }
  curves.LoadChannels(keys, channels);
  CurveSet one;
  for (std::size_t c = 0; c < keys.size(); ++c) {
    SCOPED_TRACE(names[c]);
    const CurveSet::Curves& expected = one.LoadChannel(keys[c], *channels[c]);
    const CurveSet::Curves* loaded = curves.GetChannelCurves(keys[c]);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ((*loaded)[i]->iChannelKey, keys[c]);
      EXPECT_EQ((*loaded)[i]->iTrackType, expected[i]->iTrackType);
      EXPECT_EQ((*loaded)[i]->iComponent, expected[i]->iComponent);
      EXPECT_EQ((*loaded)[i]->pCurve->GetColor(), expected[i]->pCurve->GetColor());
      EXPECT_EQ(Points(*(*loaded)[i]), Points(*expected[i])) << "curve " << i;
    }
  }
  EXPECT_EQ(curves.GetCurveCount(), 6u * keys.size());
}
