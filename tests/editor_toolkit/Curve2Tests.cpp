#include <EditorToolkit/Curve2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "CurvePoints.h"
#include "LogCapture.h"

using CurvePoints::Frames;
using CurvePoints::Make;
using CurvePoints::Points;
using CurvePoints::Pts;
using CurvePoints::Xs;
using CurvePoints::Ys;
using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Frames 0, 10, 20, ... with values 0, 1, 4, 9, ...: every segment has its own slope.
Curve2 Parabola(std::uint32_t count) {
  Curve2 curve;
  curve.Prepare(count);
  for (std::uint32_t i = 0; i < count; ++i)
    curve.AddPoint({10.0f * static_cast<float>(i), static_cast<float>(i * i)}, false);
  return curve;
}

// The selected count must always equal the number of selected flags.
std::uint32_t CheckedSelection(const Curve2& curve) {
  std::uint32_t flags = 0;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) flags += curve.GetPointAt(i)->bSelected ? 1 : 0;
  EXPECT_EQ(curve.GetSelectPointsCount(), flags);
  return curve.GetSelectPointsCount();
}

float At(const Curve2& curve, float x) {
  float y = kNaN;
  EXPECT_TRUE(curve.EvaluatePoint(x, y));
  return y;
}

}  // namespace

TEST(CurveOrdering, KeepsPointsSortedWithEqualFramesInAddedOrderAndRefusesNonFiniteOnesWithALogLine) {
  EXPECT_EQ(Pts(Make({{30, 3}, {10, 1}, {20, 2}, {0, 0}, {10, 5}, {10, 6}})),
            (Points{{0, 0}, {10, 1}, {10, 5}, {10, 6}, {20, 2}, {30, 3}}));
  TestSupport::LogCapture log;
  Curve2 curve;
  const EditablePoint* plain = curve.AddPoint({4, 2}, false);
  ASSERT_NE(plain, nullptr);
  EXPECT_FALSE(plain->bSelected || plain->bHidden || plain->bNew);
  EXPECT_FLOAT_EQ(plain->weight, 1.0f);
  EXPECT_TRUE(curve.AddPoint({5, 3}, true)->bSelected);
  EXPECT_EQ(curve.AddPoint({kNaN, 1}, true), nullptr);
  EXPECT_EQ(curve.AddPoint({5, std::numeric_limits<float>::infinity()}, true), nullptr);
  EXPECT_EQ(curve.GetPointCount(), 2u);
  EXPECT_EQ(CheckedSelection(curve), 1u);
  ASSERT_EQ(log.Lines().size(), 2u);
  EXPECT_EQ(log.Lines()[0].first, EngineCore::Log::Warning);
}

TEST(CurveOrdering, PointsAddedInAnyOrderLieInFrameOrderAndKeepTheirValues) {
  Curve2 curve;
  // Interleaved frames force insertions anywhere.
  auto frame = [](int i) { return static_cast<std::uint32_t>((i * 7919) % 1000); };
  for (int i = 0; i < 1000; ++i) {
    const float x = static_cast<float>(frame(i));
    ASSERT_EQ(curve.AddPoint({x, 2.0f * x}, false)->x, x) << "the point handed back is the one added";
  }
  for (std::uint32_t i = 0; i < 1000; ++i) {
    ASSERT_EQ(curve.GetPointAt(i)->x, static_cast<float>(i));
    ASSERT_EQ(curve.GetPointAt(i)->y, 2.0f * static_cast<float>(i));
  }
}

TEST(CurveOrdering, PointsKeepTheirFieldsWhenOthersAreRemovedMovedOrSwapped) {
  Curve2 curve = Make({{0, 0}, {10, 1}, {20, 2}, {30, 3}, {40, 4}});
  ASSERT_TRUE(curve.RemovePointAt(0));
  ASSERT_TRUE(curve.RemovePointAt(3));
  ASSERT_TRUE(curve.MovePointsAt(0, 0, 15.0f));  // 10 -> 25, past the point at 20
  EXPECT_EQ(curve.GetPointAt(1)->x, 25.0f);
  EXPECT_EQ(curve.GetPointAt(2)->x, 30.0f);
  EXPECT_EQ(curve.GetPointAt(0)->y, 2.0f);
  ASSERT_TRUE(curve.SwapPoints(0, 2));  // as a time mirror does before it rewrites the frames
  EXPECT_EQ(curve.GetPointAt(2)->x, 20.0f);
  EXPECT_EQ(curve.GetPointAt(2)->y, 2.0f);
  EXPECT_FALSE(curve.SwapPoints(0, 3));
}

TEST(CurveOrdering, TheRevisionGrowsWithWritableAccessNotWithSelectionAndACopyIsAnotherCurve) {
  Curve2 curve = Parabola(4);
  const std::uint64_t seen = curve.GetRevision();
  EXPECT_TRUE(curve.SelectPointAt(1, true));
  const Curve2& shown = curve;
  EXPECT_EQ(shown.GetPointAt(2)->x, 20.0f);
  EXPECT_EQ(curve.GetRevision(), seen);
  curve.GetPointAt(2)->y = 7.0f;
  EXPECT_GT(curve.GetRevision(), seen);
  const Curve2 copy = curve;
  EXPECT_NE(copy.GetId(), curve.GetId());
}

TEST(CurveMove, ShiftsTheRangeAndRestoresOrderBothWaysKeepingMovedPointsOnTheSideTheyCameFrom) {
  Curve2 curve = Make({{0, 0}, {20, 1}, {25, 2}, {40, 3}});
  ASSERT_TRUE(curve.MovePointsAt(1, 3, 11.0f));
  EXPECT_EQ(Xs(curve), (Frames{0, 31, 36, 51}));
  ASSERT_TRUE(curve.MovePointsAt(0, 1, 35.0f));  // 0 -> 35 and 31 -> 66
  EXPECT_EQ(Pts(curve), (Points{{35, 0}, {36, 2}, {51, 3}, {66, 1}}));
  ASSERT_TRUE(curve.MovePointsAt(2, 3, -30.0f));  // 51, 66 -> 21, 36
  EXPECT_EQ(Pts(curve), (Points{{21, 3}, {35, 0}, {36, 2}, {36, 1}}));
  Curve2 right = Make({{10, 1}, {20, 2}, {0, 0}});
  ASSERT_TRUE(right.MovePointsAt(0, 0, 20.0f));
  EXPECT_EQ(Pts(right), (Points{{10, 1}, {20, 0}, {20, 2}}));
  Curve2 left = Make({{0, 0}, {10, 1}, {20, 2}});
  ASSERT_TRUE(left.MovePointsAt(2, 2, -20.0f));
  EXPECT_EQ(Ys(left), (Frames{0, 2, 1}));
}

TEST(CurveMove, RefusesBadRequestsAndRepairsFramesWrittenDirectly) {
  Curve2 curve = Make({{0, 0}, {10, 1}, {20, 2}, {30, 3}});
  EXPECT_FALSE(curve.MovePointsAt(1, 0, 5.0f));
  EXPECT_FALSE(curve.MovePointsAt(0, 4, 5.0f));
  EXPECT_FALSE(curve.MovePointsAt(0, 1, kNaN));
  EXPECT_FALSE(Curve2().MovePointsAt(0, 0, 1.0f));
  EXPECT_EQ(Xs(curve), (Frames{0, 10, 20, 30}));
  curve.GetPointAt(0)->x = 25.0f;  // a caller's write, outside the moved block
  ASSERT_TRUE(curve.MovePointsAt(3, 3, 1.0f));
  EXPECT_EQ(Xs(curve), (Frames{10, 20, 25, 31}));
}

TEST(CurveEvaluation, IsFalseOnlyOnAnEmptyCurveElseLinearHoldingTheEndsAndTakingTheLastPointOfASharedFrame) {
  Curve2 curve;
  float y = 42.0f;
  std::uint32_t segment = 7;
  EXPECT_FALSE(curve.EvaluatePoint(3.0f, y));
  EXPECT_FALSE(curve.EvaluatePoint(3.0f, y, segment));
  EXPECT_EQ(y, 42.0f);
  EXPECT_EQ(segment, 7u);
  curve.AddPoint({5, 2}, false);
  EXPECT_TRUE(curve.EvaluatePoint(1000.0f, y, segment));
  EXPECT_EQ(y, 2.0f);
  EXPECT_EQ(segment, 0u);
  const Curve2 line = Make({{0, 0}, {10, 5}, {10, 7}, {20, -5}});
  const std::pair<float, float> cases[] = {{-100, 0}, {2.5f, 1.25f}, {10, 7}, {15, 1}, {19, -3.8f}, {20.001f, -5}};
  for (const auto& [x, value] : cases) EXPECT_NEAR(At(line, x), value, 1e-5f) << "x = " << x;
  // A step holds each point's value until the next point, and a copy keeps stepping.
  Curve2 steps = line;
  steps.SetInterpolation(Curve2::Step);
  const Curve2 copy = steps;
  const std::pair<float, float> held[] = {{-100, 0}, {2.5f, 0}, {9.99f, 0}, {10, 7}, {19.9f, 7}, {20, -5}};
  for (const auto& [x, value] : held) EXPECT_EQ(At(copy, x), value) << "x = " << x;
}

TEST(CurveEvaluation, AnyHintGivesTheSameValueAndTheSegmentOfTheFrame) {
  const Curve2 curve = Parabola(50);
  for (float x = -15.0f; x <= 510.0f; x += 3.7f) {
    // The segment is i with x(i) <= x < x(i + 1), clamped to the ends.
    const std::uint32_t expected = static_cast<std::uint32_t>(std::clamp(std::floor(x / 10.0f), 0.0f, 49.0f));
    for (std::uint32_t hint : {0u, 1u, 7u, 24u, 48u, 49u, 50u, 0xFFFFFFFFu}) {
      float y = -1.0f;
      std::uint32_t segment = hint;
      ASSERT_TRUE(curve.EvaluatePoint(x, y, segment));
      EXPECT_FLOAT_EQ(y, At(curve, x)) << "x = " << x << ", hint = " << hint;
      EXPECT_EQ(segment, expected) << "x = " << x << ", hint = " << hint;
    }
  }
  const Curve2 shared = Make({{0, 0}, {10, 1}, {10, 2}, {20, 3}});
  std::uint32_t segment = 0;
  float y = 0.0f;
  ASSERT_TRUE(shared.EvaluatePoint(10.0f, y, segment));
  EXPECT_EQ(segment, 2u);
  EXPECT_EQ(y, 2.0f);
}

TEST(CurveEvaluation, AHintNearOrFarFindsTheSegmentAndAWalkUpwardsEndsOnTheLast) {
  const Curve2 curve = Parabola(1024);
  EXPECT_EQ(At(curve, 5005.0f), 500.0f * 500.0f + 1001.0f * 0.5f);
  float y = 0.0f;
  // Hint, frame and the segment found.
  const std::uint32_t cases[][3] = {{500, 5005, 500}, {0, 10225, 1022}, {1022, 5, 0}};
  for (const auto& [hint, x, expected] : cases) {
    std::uint32_t segment = hint;
    ASSERT_TRUE(curve.EvaluatePoint(static_cast<float>(x), y, segment));
    EXPECT_EQ(segment, expected) << x;
    EXPECT_EQ(y, At(curve, static_cast<float>(x))) << x;
  }
  std::uint32_t segment = 0;
  for (float x = -5.0f; x < 10300.0f; x += 2.5f) {
    ASSERT_TRUE(curve.EvaluatePoint(x, y, segment));
    ASSERT_EQ(y, At(curve, x)) << "x = " << x;
  }
  EXPECT_EQ(segment, 1023u);
}

TEST(CurveIndexSearch, FindsExactNearestAndPreviousPointsAtTheEndsBetweenAndOnTies) {
  const Curve2 curve = Make({{0, 0}, {10, 1}, {10, 2}, {20, 3}});
  const std::pair<float, int> binary[] = {{0, 0}, {10, 1}, {20, 3}, {10.5f, -1}, {-1, -1}, {21, -1}};
  for (const auto& [x, index] : binary) EXPECT_EQ(curve.GetPointIndex(x, true), index) << x;
  const std::pair<float, int> scan[] = {{0, 0}, {10, 1}, {20, 3}, {15, 3}, {-3, 3}};
  for (const auto& [x, index] : scan) EXPECT_EQ(curve.GetPointIndex(x, false), index) << x;
  EXPECT_EQ(Curve2().GetPointIndex(0.0f, true), -1);
  EXPECT_EQ(Curve2().GetPointIndex(0.0f, false), -1);
  EXPECT_EQ(curve.GetPointAt(3)->x, 20.0f);
  EXPECT_EQ(curve.GetPointAt(0xFFFFFFFFu), curve.GetPointAt(3));
  EXPECT_EQ(Curve2().GetPointAt(0), nullptr);
  const Curve2 ties = Make({{0, 0}, {10, 1}, {10, 2}, {20, 3}, {20, 4}});
  const std::pair<float, int> nearest[] = {{-50, 0}, {4.9f, 0}, {5, 0}, {5.1f, 1}, {10, 1}, {15, 1}, {16, 3}, {99, 3}};
  for (const auto& [x, index] : nearest) EXPECT_EQ(ties.SearchNearestPoint(x), index) << x;
  const std::pair<float, int> previous[] = {{-1, 0}, {0, 0}, {9, 0}, {10, 2}, {19.9f, 2}, {20, 4}, {1000, 4}};
  for (const auto& [x, index] : previous) EXPECT_EQ(ties.SearchPreviousPoint(x), index) << x;
  EXPECT_EQ(Curve2().SearchNearestPoint(1.0f), -1);
  EXPECT_EQ(Curve2().SearchPreviousPoint(1.0f), -1);
}

TEST(CurveSelection, CountsEachPointOnceAndGivesTheFirstAndLastSelectedOrCrossedIndicesWhenNone) {
  Curve2 curve = Parabola(8);
  EXPECT_EQ(curve.GetFirstSelectedPointIndex(), 8);
  EXPECT_EQ(static_cast<std::uint32_t>(curve.GetLastSelectedPointIndex()), 0xFFFFFFFFu);
  EXPECT_TRUE(curve.SelectPointAt(5, true));
  EXPECT_TRUE(curve.SelectPointAt(2, true));
  EXPECT_TRUE(curve.SelectPointAt(2, true));
  EXPECT_TRUE(curve.SelectPointAt(3, false));
  EXPECT_FALSE(curve.SelectPointAt(8, true));
  EXPECT_EQ(CheckedSelection(curve), 2u);
  EXPECT_EQ(curve.GetFirstSelectedPointIndex(), 2);
  EXPECT_EQ(curve.GetLastSelectedPointIndex(), 5);
  curve.SelectAllPoints(true);
  EXPECT_EQ(CheckedSelection(curve), 8u);
  curve.SelectAllPoints(false);
  EXPECT_EQ(CheckedSelection(curve), 0u);
  EXPECT_GT(curve.GetFirstSelectedPointIndex(), curve.GetLastSelectedPointIndex());
}

TEST(CurveSelection, MovesAndRemovalsCarryTheFlagsAndKeepTheCountExact) {
  Curve2 curve = Make({{0, 0}, {10, 1}, {20, 2}, {30, 3}, {40, 4}});
  curve.SelectPointAt(1, true);
  curve.SelectPointAt(2, true);
  ASSERT_TRUE(curve.MovePointsAt(1, 2, 25.0f));  // 10, 20 -> 35, 45: past 30 and 40
  EXPECT_EQ(CheckedSelection(curve), 2u);
  EXPECT_EQ(curve.GetFirstSelectedPointIndex(), 2);
  EXPECT_EQ(curve.GetLastSelectedPointIndex(), 4);
  EXPECT_FALSE(curve.GetPointAt(3)->bSelected);
  ASSERT_TRUE(curve.MovePointsAt(0, 4, -5.0f));
  EXPECT_EQ(CheckedSelection(curve), 2u);
  ASSERT_TRUE(curve.RemovePointAt(4));
  ASSERT_TRUE(curve.RemovePointAt(0));
  EXPECT_FALSE(curve.RemovePointAt(3));
  EXPECT_EQ(CheckedSelection(curve), 1u);
  curve.RemoveAllPoints();
  EXPECT_EQ(curve.GetSelectPointsCount(), 0u);
  curve.AddPoint({1, 1}, true);
  EXPECT_EQ(CheckedSelection(curve), 1u);
}

TEST(CurveSubSample, KeepsTheEndsCornersAndBumpsBeyondAStrictTolerance) {
  Curve2 line;
  for (int i = 0; i <= 10; ++i) line.AddPoint({static_cast<float>(i), 2.0f * static_cast<float>(i)}, false);
  EXPECT_EQ(line.SubSample(0, 10, 0.05f), 2u);
  EXPECT_EQ(Xs(line), (Frames{0, 10}));
  struct Case {
    float bump, tolerance;
    Frames kept;
  };
  for (const Case& c :
       {Case{1.0f, 0.05f, {0, 2, 4, 6}}, Case{1.1f, 0.05f, {0, 2, 3, 4, 6}}, Case{1.1f, 0.2f, {0, 2, 4, 6}}}) {
    Curve2 curve = Make({{0, 0}, {1, 0}, {2, 0}, {3, c.bump}, {4, 2}, {5, 2}, {6, 2}});
    EXPECT_EQ(curve.SubSample(0, 6, c.tolerance), c.kept.size());
    EXPECT_EQ(Xs(curve), c.kept) << "bump " << c.bump << ", tolerance " << c.tolerance;
  }
  const std::pair<float, std::uint32_t> strict[] = {{0.5f, 3u}, {0.5001f, 2u}, {0.0f, 3u}};
  for (const auto& [tolerance, left] : strict) {
    Curve2 curve = Make({{0, 0}, {1, tolerance == 0.0f ? 0.0f : 0.5f}, {2, 0}});
    EXPECT_EQ(curve.SubSample(0, 2, tolerance), left) << tolerance;
  }
}

TEST(CurveSubSample, RandomAndDriftingCurvesStayWithinTheTolerance) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<float> step(-0.3f, 0.3f);
  for (int round = 0; round < 20; ++round) {
    Curve2 curve;
    float walk = 0.0f;
    for (int i = 0; i < 200; ++i) {
      // Round 0 drifts slowly: each point alone lies near the chord of its neighbours, the
      // errors of a run add up.
      const float y = round == 0 ? 0.0001f * static_cast<float>(i * i) : (walk += step(random));
      curve.AddPoint({static_cast<float>(i), y}, false);
    }
    const Curve2 original(curve);
    EXPECT_LT(curve.SubSample(0, 199, 0.25f), 200u);
    for (std::uint32_t i = 0; i < original.GetPointCount(); ++i) {
      const EditablePoint* point = original.GetPointAt(i);
      EXPECT_LT(std::fabs(At(curve, point->x) - point->y), 0.25f) << "round " << round << ", frame " << point->x;
    }
  }
}

TEST(CurveSubSample, TouchesOnlyTheRangeAndUncountsDroppedSelectedPoints) {
  Curve2 curve;
  for (int i = 0; i <= 10; ++i) curve.AddPoint({static_cast<float>(i), 0.0f}, i >= 3);
  EXPECT_EQ(curve.SubSample(3, 6, 0.05f), 9u);
  EXPECT_EQ(Xs(curve), (Frames{0, 1, 2, 3, 6, 7, 8, 9, 10}));
  EXPECT_EQ(CheckedSelection(curve), 6u);
  EXPECT_EQ(curve.SubSample(6, 99, 0.05f), 8u);
  EXPECT_EQ(Xs(curve), (Frames{0, 1, 2, 3, 6, 7, 8, 10}));
  EXPECT_EQ(CheckedSelection(curve), 5u);
  EXPECT_EQ(curve.SubSample(5, 4, 0.05f), 8u);
  EXPECT_EQ(Curve2().SubSample(0, 5, 0.05f), 0u);
}

TEST(CurveSubdivise, InsertsEvenlySpacedPlainPointsOnTheLineAndNothingForNoCountNoIntervalOrNoPrecision) {
  Curve2 curve = Make({{0, 0}, {10, 5}, {20, 0}});
  EXPECT_EQ(curve.Subdivise(0.0f, 10.0f, 4, false, false), 4);
  EXPECT_EQ(Xs(curve), (Frames{0, 2, 4, 6, 8, 10, 20}));
  const Frames values = Ys(curve), expected{0, 1, 2, 3, 4, 5, 0};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(values[i], expected[i], 1e-5f);
  for (std::uint32_t i = 1; i <= 4; ++i) EXPECT_FALSE(curve.GetPointAt(i)->bNew || curve.GetPointAt(i)->bSelected);
  EXPECT_EQ(curve.Subdivise(10.0f, 20.0f, 1, false, true), 1);
  EXPECT_TRUE(curve.GetPointAt(6)->bNew);
  EXPECT_FALSE(curve.GetPointAt(5)->bNew);
  EXPECT_EQ(curve.Subdivise(0.0f, 10.0f, 0, true, true), 0);
  EXPECT_EQ(curve.Subdivise(10.0f, 10.0f, 3, true, true), 0);
  EXPECT_EQ(curve.Subdivise(10.0f, 0.0f, 3, true, true), 0);
  EXPECT_EQ(curve.GetPointCount(), 8u);
  EXPECT_EQ(Curve2().Subdivise(0.0f, 10.0f, 3, true, true), 0);
  // Only one float lies between these frames.
  const float x0 = 1000.0f, x1 = std::nextafter(std::nextafter(x0, 2000.0f), 2000.0f);
  Curve2 tight = Make({{x0, 0}, {x1, 1}});
  EXPECT_EQ(tight.Subdivise(x0, x1, 5, false, false), 1);
  EXPECT_GT(tight.GetPointAt(1)->x, x0);
  EXPECT_LT(tight.GetPointAt(1)->x, x1);
}

TEST(CurveSubdivise, InheritsSelectionOnlyBetweenSelectedPoints) {
  Curve2 curve = Make({{0, 0}, {10, 5}, {20, 0}});
  curve.SelectPointAt(0, true);
  curve.SelectPointAt(1, true);
  EXPECT_EQ(curve.Subdivise(0.0f, 10.0f, 2, true, false), 2);
  EXPECT_EQ(CheckedSelection(curve), 4u);
  EXPECT_EQ(curve.Subdivise(10.0f, 20.0f, 2, true, false), 2);  // 20 is not selected
  EXPECT_EQ(CheckedSelection(curve), 4u);
  curve.SelectPointAt(6, true);
  EXPECT_EQ(curve.Subdivise(10.0f, 13.0f, 2, false, false), 2);  // flag off: never selected
  EXPECT_EQ(CheckedSelection(curve), 5u);
}

TEST(CurveSubdivise, WalksSegmentsAndPlacesPointsAmongOthers) {
  // How the subdivise tool walks a range: each segment's end moves up by what was inserted.
  Curve2 curve = Make({{0, 0}, {10, 10}, {40, 40}});
  std::uint32_t last = 2;
  for (std::uint32_t i = 0; i < last; i += 3, last += 2) {
    ASSERT_EQ(curve.Subdivise(curve.GetPointAt(i)->x, curve.GetPointAt(i + 1)->x, 2, true, false), 2);
  }
  EXPECT_EQ(curve.GetPointCount(), 7u);
  for (std::uint32_t i = 0; i < 7; ++i) EXPECT_NEAR(curve.GetPointAt(i)->y, curve.GetPointAt(i)->x, 1e-4f);
  EXPECT_NEAR(curve.GetPointAt(4)->x, 20.0f, 1e-4f);
  // Not neighbours: the point at 5 lies inside; inserted points follow the current line.
  Curve2 peak = Make({{0, 0}, {5, 100}, {10, 10}});
  EXPECT_EQ(peak.Subdivise(0.0f, 10.0f, 3, false, false), 3);
  EXPECT_EQ(Pts(peak), (Points{{0, 0}, {2.5f, 50}, {5, 100}, {5, 100}, {7.5f, 55}, {10, 10}}));
}

TEST(CurveCopies, SnapshotsCopyEveryFieldIndependentlyOfTheCurve) {
  Curve2 curve = Make({{0, 1}, {10, 2}});
  curve.SelectPointAt(1, true);
  curve.GetPointAt(0)->bHidden = true;
  curve.GetPointAt(1)->bNew = true;
  curve.GetPointAt(1)->weight = 0.25f;
  Curve2::PointList snapshot = curve.GetCurve();
  curve.GetPointAt(0)->y = 99.0f;
  Curve2 restored = Parabola(10);
  restored.SelectAllPoints(true);
  ASSERT_TRUE(restored.SetCurve(snapshot));
  EXPECT_EQ(CheckedSelection(restored), 1u) << "the count is the snapshot's";
  snapshot[0].y = -5.0f;
  const Curve2::PointList again = restored.GetCurve();
  ASSERT_EQ(again.size(), 2u);
  EXPECT_TRUE(again[0].bHidden && !again[0].bSelected && !again[0].bNew);
  EXPECT_TRUE(again[1].bSelected && again[1].bNew && !again[1].bHidden);
  EXPECT_EQ(again[0].y, 1.0f);
  EXPECT_EQ(again[1].x, 10.0f);
  EXPECT_EQ(again[1].weight, 0.25f);
}

TEST(CurveCopies, SetCurveSortsAndDropsBadPoints) {
  TestSupport::LogCapture log;
  Curve2::PointList points(4);
  points[0].x = 20.0f;
  points[1] = {true, false, false, 10.0f, 0.0f, 1.0f};
  points[2] = {true, false, false, kNaN, 0.0f, 1.0f};
  points[3].x = 10.0f;
  points[3].y = 7.0f;
  Curve2 curve;
  EXPECT_FALSE(curve.SetCurve(points));
  EXPECT_EQ(Pts(curve), (Points{{10, 0}, {10, 7}, {20, 0}}));
  EXPECT_EQ(CheckedSelection(curve), 1u);
  EXPECT_EQ(log.Lines().size(), 1u);
}

TEST(CurveCopies, CopiesOwnTheirPointsAndMovesTakeThem) {
  Curve2 curve = Parabola(40);
  curve.SetColor(EditorCore::RGB(1, 2, 3));
  curve.SelectPointAt(0, true);
  curve.SelectPointAt(4, true);
  Curve2 copy(curve);
  EXPECT_EQ(CheckedSelection(copy), 2u);
  Curve2 assigned;
  assigned.AddPoint({3, 3}, true);
  assigned = curve;
  EXPECT_EQ(CheckedSelection(assigned), 2u);
  EXPECT_NE(copy.GetPointAt(0), curve.GetPointAt(0));
  copy.GetPointAt(0)->y = 50.0f;
  EXPECT_EQ(curve.GetPointAt(0)->y, 0.0f);
  EXPECT_EQ(copy.GetColor(), EditorCore::RGB(1, 2, 3));
  curve.RemovePointAt(3);
  Curve2 moved(std::move(curve));
  EXPECT_EQ(moved.GetPointCount(), 39u);
  EXPECT_EQ(curve.GetPointCount(), 0u) << "the points went with the move";
  moved.AddPoint({1.0f, 1.0f}, false);
  Curve2 target;
  target = std::move(moved);
  EXPECT_EQ(CheckedSelection(target), 2u);
  EXPECT_EQ(target.GetPointCount(), 40u);
}

TEST(CurveBoundingBox, RoundsOutwardsAndIsKeptUntilComputedAgain) {
  Curve2 curve = Make({{0.5f, 3.2f}, {4, -1.5f}, {10.2f, 0}});
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect());
  curve.ComputeBoundingBox();
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect(0, -2, 11, 4));
  curve.AddPoint({20, 5}, false);
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect(0, -2, 11, 4));
  curve.RemoveAllPoints();
  curve.ComputeBoundingBox();
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect());
}
