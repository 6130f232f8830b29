#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "Formats/GltfClipFile.h"
#include "curves/CurveSet.h"

using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Vector3;
using Tarvel::CurveInfo;
using Tarvel::CurveSet;

namespace {

class CurveSetLoading : public ::testing::Test {
 protected:
  const CurveSet::Curves& Load(const char* channel) {
    return curves.LoadChannel(ClipBuilder::Key(channel), builder.Channel(channel));
  }
  static std::vector<EngineCore::Vector2> Points(const CurveInfo& curve) {
    std::vector<EngineCore::Vector2> points;
    for (std::uint32_t i = 0; i < curve.pCurve->GetPointCount(); ++i) {
      points.push_back({curve.pCurve->GetPointAt(i)->x, curve.pCurve->GetPointAt(i)->y});
    }
    return points;
  }

  ClipBuilder builder;
  CurveSet curves;
};

}  // namespace

TEST_F(CurveSetLoading, ChannelWithoutTracksGetsAnEntryWithNoCurves) {
  builder.Channel("Empty");
  EXPECT_TRUE(Load("Empty").empty());
  ASSERT_NE(curves.GetChannelCurves(ClipBuilder::Key("Empty")), nullptr);
  EXPECT_EQ(curves.GetChannelCurves(ClipBuilder::Key("Other")), nullptr);
}

TEST_F(CurveSetLoading, GivesTriplesXYZInTrackTableOrder) {
  builder.Rotations("Arm", {{0, {0, 0, 0}}, {10, {10, 20, 30}}});
  builder.Vectors("Arm", AnimTrack::Translation, {{0, {1, 2, 3}}, {10, {4, 5, 6}}});
  const CurveSet::Curves& loaded = Load("Arm");
  ASSERT_EQ(loaded.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(loaded[i]->iTrackType, i < 3 ? AnimTrack::Rotation : AnimTrack::Translation);
    EXPECT_EQ(loaded[i]->iComponent, i % 3);
    EXPECT_EQ(loaded[i]->iChannelKey, ClipBuilder::Key("Arm"));
    EXPECT_FALSE(loaded[i]->bSelected);
    EXPECT_FALSE(loaded[i]->bFiltered);
    EXPECT_EQ(loaded[i]->iHistoryCount, 0u);
  }
  EXPECT_NEAR(loaded[2]->pCurve->GetPointAt(1)->y, 30.0f, 1e-3f);
  EXPECT_FLOAT_EQ(loaded[4]->pCurve->GetPointAt(1)->y, 5.0f);
}

TEST_F(CurveSetLoading, TrackOfAnotherKeyTypeGivesNoCurves) {
  builder.Track("Odd", AnimTrack::Scale, AnimCurve::KeyFloat).AddKey(3, 1.5f);
  builder.Vectors("Odd", AnimTrack::Translation, {{0, {0, 0, 0}}, {3, {1, 1, 1}}});
  const CurveSet::Curves& loaded = Load("Odd");
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(loaded[0]->iTrackType, AnimTrack::Translation);
}

TEST_F(CurveSetLoading, ChannelEndingAtFrameZeroLoadsEmptyTriples) {
  builder.Vectors("Still", AnimTrack::Translation, {{0, {1, 2, 3}}});
  builder.Rotations("Still", {{0, {0, 0, 0}}});
  const CurveSet::Curves& loaded = Load("Still");
  ASSERT_EQ(loaded.size(), 6u);
  for (const CurveInfo* curve : loaded) EXPECT_EQ(curve->pCurve->GetPointCount(), 0u);
}

TEST_F(CurveSetLoading, ShorterTrackIsPaddedToTheChannelsLastFrame) {
  builder.Vectors("Leg", AnimTrack::Translation, {{0, {0, 0, 0}}, {40, {4, 5, 6}}});
  builder.Vectors("Leg", AnimTrack::Scale, {{0, {1, 1, 1}}, {100, {2, 2, 2}}});
  const CurveSet::Curves& loaded = Load("Leg");
  ASSERT_EQ(loaded.size(), 6u);
  const auto points = Points(*loaded[1]);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[1], EngineCore::Vector2(40, 5));
  EXPECT_EQ(points[2], EngineCore::Vector2(100, 5)) << "the last key repeats at the channel's last frame";
  EXPECT_EQ(Points(*loaded[3]).size(), 2u) << "a track ending on the last frame gets no extra point";
}

TEST_F(CurveSetLoading, WalkStopsAtTheChannelsLastFrame) {
  builder.Vectors("Leg", AnimTrack::Translation, {{0, {0, 0, 0}}, {100, {1, 1, 1}}});
  const auto& loaded = Load("Leg");
  EXPECT_EQ(loaded[0]->pCurve->GetPointCount(), 2u);
}

TEST_F(CurveSetLoading, RotationsAreContinuousDegrees) {
  builder.Rotations("Spin", {{0, {179, 0, 0}}, {1, {-179, 0, 0}}, {2, {-90, 0, 0}}});
  const auto points = Points(*Load("Spin")[0]);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_NEAR(points[0].y, 179.0f, 1e-3f);
  EXPECT_NEAR(points[1].y, 181.0f, 1e-3f);
  EXPECT_NEAR(points[2].y, 270.0f, 1e-3f);
}

TEST(CurveContinuity, MovesOneTurnAtMostEachWay) {
  EXPECT_FLOAT_EQ(CurveSet::MakeContinuous(-179.0f, 179.0f), 181.0f);
  EXPECT_FLOAT_EQ(CurveSet::MakeContinuous(179.0f, -179.0f), -181.0f);
  EXPECT_FLOAT_EQ(CurveSet::MakeContinuous(10.0f, 5.0f), 10.0f);
  // A jump of more than 540 degrees is only partly removed.
  EXPECT_FLOAT_EQ(CurveSet::MakeContinuous(-170.0f, 600.0f), 190.0f);
}

TEST(CurveColours, MatchTheTrackAndComponentTable) {
  struct Row {
    std::uint32_t track, keyType, component;
    EditorCore::COLORREF colour, selection;
  };
  const Row rows[] = {
      {1, 1, 0, 0x191996, 0x2525E1}, {1, 1, 1, 0x199619, 0x25E125}, {1, 1, 2, 0x961919, 0xE12525},
      {2, 2, 0, 0x3232C8, 0xC7C7E0}, {2, 2, 1, 0x32C832, 0xC7E0C7}, {2, 2, 2, 0xC83232, 0xE0C7C7},
      {3, 1, 0, 0x4B4BFA, 0x7070FF}, {3, 1, 1, 0x4BFA4B, 0x70FF70}, {3, 1, 2, 0xFA4B4B, 0xFF7070},
  };
  for (const Row& row : rows) {
    EditorCore::COLORREF colour = 0, selection = 0;
    CurveSet::ComputeColors(row.track, row.keyType, row.component, colour, selection);
    EXPECT_EQ(colour, row.colour) << "track " << row.track << " component " << row.component;
    EXPECT_EQ(selection, row.selection) << "track " << row.track << " component " << row.component;
  }
}

TEST_F(CurveSetLoading, LoadedCurvesCarryTheirColours) {
  builder.Rotations("Arm", {{0, {0, 0, 0}}, {1, {1, 1, 1}}});
  const auto& loaded = Load("Arm");
  EXPECT_EQ(loaded[1]->pCurve->GetColor(), 0x32C832u);
  EXPECT_EQ(loaded[1]->pCurve->GetSelectionColor(), 0xC7E0C7u);
}

TEST_F(CurveSetLoading, ReloadingReplacesTheChannelsRecords) {
  builder.Vectors("Arm", AnimTrack::Translation, {{0, {0, 0, 0}}, {5, {1, 1, 1}}});
  Load("Arm");
  builder.Vectors("Arm", AnimTrack::Scale, {{0, {1, 1, 1}}, {5, {1, 1, 1}}});
  EXPECT_EQ(Load("Arm").size(), 6u);
  EXPECT_EQ(curves.GetCurveCount(), 6u);
  curves.RemoveChannel(ClipBuilder::Key("Arm"));
  EXPECT_EQ(curves.GetChannelCurves(ClipBuilder::Key("Arm")), nullptr);
}

TEST_F(CurveSetLoading, KeysStayInAscendingOrder) {
  for (const char* name : {"c", "a", "b", "d"}) {
    builder.Channel(name);
    Load(name);
  }
  std::uint32_t previous = 0;
  for (const auto& [key, array] : curves.GetTable()) {
    EXPECT_GT(key, previous);
    previous = key;
  }
}

TEST(ReferenceClipCurves, EveryCurveReachesItsChannelsLastFrame) {
  EngineCore::Log::SetEchoToStandardError(false);
  Formats::ClipOpenResult opened = Formats::GltfClipFile::Open(std::string(TARVEL_TEST_DATA) + "/01_01.gltf");
  EngineCore::Log::SetEchoToStandardError(true);
  ASSERT_NE(opened.clip, nullptr);
  CurveSet curves;
  for (std::uint32_t c = 0; c < opened.clip->GetChannelCount(); ++c) {
    curves.LoadChannel(opened.clip->GetChannelKeyAt(c), *opened.clip->GetChannelAt(c));
  }
  EXPECT_EQ(curves.GetTable().size(), 31u);
  EXPECT_EQ(curves.GetCurveCount(), 279u);
  for (const auto& [key, array] : curves.GetTable()) {
    ASSERT_EQ(array.size(), 9u);
    for (const CurveInfo* curve : array) {
      ASSERT_EQ(curve->pCurve->GetPointCount(), 1376u);
      EXPECT_EQ(curve->pCurve->GetPointAt(1375)->x, 1376.0f);
    }
  }
  opened.clip->Release();
}
