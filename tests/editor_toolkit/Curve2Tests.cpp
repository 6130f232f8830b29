#include <EditorToolkit/Curve2.h>

#include <EngineCore/Log.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <vector>

using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;
using EngineCore::Vector2;

namespace {

Curve2 MakeCurve(std::initializer_list<Vector2> points) {
  Curve2 curve;
  for (const Vector2& point : points) curve.AddPoint(point, false);
  return curve;
}

std::vector<float> Frames(const Curve2& curve) {
  std::vector<float> frames;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) frames.push_back(curve.GetPointAt(i)->x);
  return frames;
}

std::vector<float> Values(const Curve2& curve) {
  std::vector<float> values;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) values.push_back(curve.GetPointAt(i)->y);
  return values;
}

std::uint32_t CountSelectedFlags(const Curve2& curve) {
  std::uint32_t count = 0;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) count += curve.GetPointAt(i)->bSelected ? 1 : 0;
  return count;
}

// Frames 0, 10, 20, ... with values 0, 1, 4, 9, ... so that every segment has its own slope.
Curve2 MakeParabola(std::uint32_t count) {
  Curve2 curve;
  curve.Prepare(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    curve.AddPoint({10.0f * static_cast<float>(i), static_cast<float>(i * i)}, false);
  }
  return curve;
}

// Captures the engine log lines a test provokes, without echoing them.
class LogCapture {
 public:
  LogCapture() {
    EngineCore::Log::SetEchoToStandardError(false);
    id = EngineCore::Log::AddSink([this](int level, const std::string& line) {
      levels.push_back(level);
      lines.push_back(line);
    });
  }
  ~LogCapture() {
    EngineCore::Log::RemoveSink(id);
    EngineCore::Log::SetEchoToStandardError(true);
  }
  std::vector<int> levels;
  std::vector<std::string> lines;

 private:
  int id = 0;
};

}  // namespace

// Ordering and address stability

TEST(CurveOrdering, KeepsPointsSortedWhenAddedOutOfOrder) {
  Curve2 curve = MakeCurve({{30, 3}, {10, 1}, {20, 2}, {0, 0}, {25, 2.5f}});
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 10, 20, 25, 30}));
  EXPECT_EQ(Values(curve), (std::vector<float>{0, 1, 2, 2.5f, 3}));
}

TEST(CurveOrdering, InsertsAfterPointsOfEqualFrame) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {20, 2}});
  curve.AddPoint({10, 5}, false);
  curve.AddPoint({10, 6}, false);
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 10, 10, 10, 20}));
  EXPECT_EQ(Values(curve), (std::vector<float>{0, 1, 5, 6, 2}));
}

TEST(CurveOrdering, NewPointsAreUnflaggedWithWeightOne) {
  Curve2 curve;
  EditablePoint* plain = curve.AddPoint({4, 2}, false);
  EditablePoint* selected = curve.AddPoint({5, 3}, true);
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(selected, nullptr);
  EXPECT_FALSE(plain->bSelected);
  EXPECT_FALSE(plain->bHidden);
  EXPECT_FALSE(plain->bNew);
  EXPECT_FLOAT_EQ(plain->weight, 1.0f);
  EXPECT_TRUE(selected->bSelected);
  EXPECT_EQ(curve.GetSelectPointsCount(), 1u);
}

TEST(CurveOrdering, RefusesNonFinitePointsWithALogLine) {
  LogCapture log;
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}});
  EXPECT_EQ(curve.AddPoint({std::numeric_limits<float>::quiet_NaN(), 1}, true), nullptr);
  EXPECT_EQ(curve.AddPoint({std::numeric_limits<float>::infinity(), 1}, false), nullptr);
  EXPECT_EQ(curve.AddPoint({5, std::numeric_limits<float>::quiet_NaN()}, false), nullptr);
  EXPECT_EQ(curve.GetPointCount(), 2u);
  EXPECT_EQ(curve.GetSelectPointsCount(), 0u);
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.levels[0], EngineCore::Log::Warning);
  EXPECT_NE(log.lines[0].find("AddPoint"), std::string::npos);
}

TEST(CurveOrdering, PointsKeepTheirAddressWhileTheCurveGrows) {
  Curve2 curve;
  std::vector<EditablePoint*> added;
  // Without Prepare the storage grows several times; interleaved frames force insertions.
  for (int i = 0; i < 1000; ++i) {
    const float x = static_cast<float>((i * 7919) % 1000);
    added.push_back(curve.AddPoint({x, x * 2.0f}, false));
  }
  for (EditablePoint* point : added) EXPECT_FLOAT_EQ(point->y, point->x * 2.0f);
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) {
    EXPECT_FLOAT_EQ(curve.GetPointAt(i)->x, static_cast<float>(i));
  }
  std::vector<EditablePoint*> byIndex;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) byIndex.push_back(curve.GetPointAt(i));
  std::sort(byIndex.begin(), byIndex.end());
  std::sort(added.begin(), added.end());
  EXPECT_EQ(byIndex, added);
}

TEST(CurveOrdering, PointsKeepTheirAddressWhenOthersAreRemovedMovedOrSwapped) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {20, 2}, {30, 3}, {40, 4}});
  EditablePoint* kept = curve.GetPointAt(2);
  ASSERT_TRUE(curve.RemovePointAt(0));
  ASSERT_TRUE(curve.RemovePointAt(3));
  EXPECT_EQ(curve.GetPointAt(1), kept);
  ASSERT_TRUE(curve.MovePointsAt(0, 0, 15.0f));  // 10 -> 25, past the kept point
  EXPECT_EQ(curve.GetPointAt(0), kept);
  ASSERT_TRUE(curve.SwapPoints(0, 2));
  EXPECT_EQ(curve.GetPointAt(2), kept);
  EXPECT_FLOAT_EQ(kept->x, 20.0f);
  EXPECT_FLOAT_EQ(kept->y, 2.0f);
}

TEST(CurveOrdering, RemovedSlotsAreReusedWithoutDisturbingLivePoints) {
  Curve2 curve = MakeParabola(8);
  std::vector<EditablePoint*> live;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); i += 2) live.push_back(curve.GetPointAt(i));
  const std::size_t held = curve.GetHeldBytes();
  for (std::uint32_t i = 1; i < curve.GetPointCount(); ++i) curve.RemovePointAt(i);
  for (int i = 0; i < 4; ++i) curve.AddPoint({5.0f + 20.0f * static_cast<float>(i), -1.0f}, false);
  EXPECT_EQ(curve.GetHeldBytes(), held);
  for (std::size_t i = 0; i < live.size(); ++i) {
    EXPECT_FLOAT_EQ(live[i]->x, 20.0f * static_cast<float>(i));
    EXPECT_FLOAT_EQ(live[i]->y, static_cast<float>(4 * i * i));
  }
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 5, 20, 25, 40, 45, 60, 65}));
}

TEST(CurveOrdering, PreparedCurveHoldsAtMost24BytesPerPoint) {
  Curve2 curve;
  curve.Prepare(10000);
  const std::size_t held = curve.GetHeldBytes();
  for (int i = 0; i < 10000; ++i) curve.AddPoint({static_cast<float>(i), 0.0f}, false);
  EXPECT_EQ(curve.GetHeldBytes(), held);
  EXPECT_LE(held, 24u * 10000u);
}

// Moving and swapping

TEST(CurveMove, ShiftsTheRangeAndRestoresOrder) {
  Curve2 curve = MakeCurve({{0, 0}, {20, 1}, {25, 2}, {40, 3}});
  ASSERT_TRUE(curve.MovePointsAt(1, 3, 11.0f));
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 31, 36, 51}));
  ASSERT_TRUE(curve.MovePointsAt(0, 1, 35.0f));  // 0 -> 35 and 31 -> 66
  EXPECT_EQ(Frames(curve), (std::vector<float>{35, 36, 51, 66}));
  EXPECT_EQ(Values(curve), (std::vector<float>{0, 2, 3, 1}));
}

TEST(CurveMove, MovesLeftPastOtherPoints) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {20, 2}, {30, 3}});
  ASSERT_TRUE(curve.MovePointsAt(2, 3, -25.0f));
  EXPECT_EQ(Frames(curve), (std::vector<float>{-5, 0, 5, 10}));
  EXPECT_EQ(Values(curve), (std::vector<float>{2, 0, 3, 1}));
}

TEST(CurveMove, MovedPointsStayOnTheSideTheyCameFrom) {
  Curve2 right = MakeCurve({{0, 0}, {10, 1}, {20, 2}});
  ASSERT_TRUE(right.MovePointsAt(0, 0, 10.0f));
  EXPECT_EQ(Values(right), (std::vector<float>{0, 1, 2}));
  // The moved point, now first at 10, lands on 20 with the other 10 passed over.
  ASSERT_TRUE(right.MovePointsAt(0, 0, 10.0f));
  EXPECT_EQ(Frames(right), (std::vector<float>{10, 20, 20}));
  EXPECT_EQ(Values(right), (std::vector<float>{1, 0, 2}));

  Curve2 left = MakeCurve({{0, 0}, {10, 1}, {20, 2}});
  ASSERT_TRUE(left.MovePointsAt(2, 2, -20.0f));
  EXPECT_EQ(Frames(left), (std::vector<float>{0, 0, 10}));
  EXPECT_EQ(Values(left), (std::vector<float>{0, 2, 1}));
}

TEST(CurveMove, RefusesEmptyOrOutOfRangeRequests) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}});
  EXPECT_FALSE(curve.MovePointsAt(1, 0, 5.0f));
  EXPECT_FALSE(curve.MovePointsAt(0, 2, 5.0f));
  EXPECT_FALSE(curve.MovePointsAt(0, 1, std::numeric_limits<float>::quiet_NaN()));
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 10}));
  Curve2 empty;
  EXPECT_FALSE(empty.MovePointsAt(0, 0, 1.0f));
}

TEST(CurveMove, RepairsOrderBrokenByFramesWrittenDirectly) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {20, 2}, {30, 3}});
  curve.GetPointAt(0)->x = 25.0f;  // a caller's direct write, outside the moved block
  ASSERT_TRUE(curve.MovePointsAt(3, 3, 1.0f));
  EXPECT_EQ(Frames(curve), (std::vector<float>{10, 20, 25, 31}));
}

TEST(CurveMove, SwapExchangesPositionsForATimeMirror) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {12, 2}, {20, 3}, {30, 4}});
  EditablePoint* second = curve.GetPointAt(1);
  // Mirror indices 1..3 inside [10, 20], as a flip does: swap, then rewrite the frames.
  ASSERT_TRUE(curve.SwapPoints(1, 3));
  const float mid = 15.0f;
  for (std::uint32_t i = 1; i <= 3; ++i) curve.GetPointAt(i)->x = 2.0f * mid - curve.GetPointAt(i)->x;
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 10, 18, 20, 30}));
  EXPECT_EQ(Values(curve), (std::vector<float>{0, 3, 2, 1, 4}));
  EXPECT_EQ(curve.GetPointAt(3), second);
  EXPECT_FALSE(curve.SwapPoints(0, 5));
}

// Evaluation and segment hints

TEST(CurveEvaluation, IsFalseOnlyOnAnEmptyCurveAndLeavesTheValue) {
  Curve2 curve;
  float y = 42.0f;
  std::uint32_t segment = 7;
  EXPECT_FALSE(curve.EvaluatePoint(3.0f, y));
  EXPECT_FALSE(curve.EvaluatePoint(3.0f, y, segment));
  EXPECT_FLOAT_EQ(y, 42.0f);
  EXPECT_EQ(segment, 7u);
  curve.AddPoint({5, 2}, false);
  EXPECT_TRUE(curve.EvaluatePoint(-1000.0f, y));
  EXPECT_FLOAT_EQ(y, 2.0f);
  EXPECT_TRUE(curve.EvaluatePoint(1000.0f, y, segment));
  EXPECT_FLOAT_EQ(y, 2.0f);
  EXPECT_EQ(segment, 0u);
}

TEST(CurveEvaluation, InterpolatesLinearlyBetweenPoints) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 5}, {20, -5}});
  float y = 0.0f;
  ASSERT_TRUE(curve.EvaluatePoint(2.5f, y));
  EXPECT_FLOAT_EQ(y, 1.25f);
  ASSERT_TRUE(curve.EvaluatePoint(10.0f, y));
  EXPECT_FLOAT_EQ(y, 5.0f);
  ASSERT_TRUE(curve.EvaluatePoint(15.0f, y));
  EXPECT_FLOAT_EQ(y, 0.0f);
  ASSERT_TRUE(curve.EvaluatePoint(19.0f, y));
  EXPECT_FLOAT_EQ(y, -4.0f);
}

TEST(CurveEvaluation, HoldsEndValuesOutsideThePoints) {
  Curve2 curve = MakeCurve({{5, 1}, {10, 3}});
  float y = 0.0f;
  ASSERT_TRUE(curve.EvaluatePoint(4.999f, y));
  EXPECT_FLOAT_EQ(y, 1.0f);
  ASSERT_TRUE(curve.EvaluatePoint(-100.0f, y));
  EXPECT_FLOAT_EQ(y, 1.0f);
  ASSERT_TRUE(curve.EvaluatePoint(10.001f, y));
  EXPECT_FLOAT_EQ(y, 3.0f);
  ASSERT_TRUE(curve.EvaluatePoint(1.0e9f, y));
  EXPECT_FLOAT_EQ(y, 3.0f);
}

TEST(CurveEvaluation, SharedFrameTakesTheLastPointThere) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {10, 7}, {20, 9}});
  float y = 0.0f;
  ASSERT_TRUE(curve.EvaluatePoint(10.0f, y));
  EXPECT_FLOAT_EQ(y, 7.0f);
  ASSERT_TRUE(curve.EvaluatePoint(5.0f, y));
  EXPECT_FLOAT_EQ(y, 0.5f);
  ASSERT_TRUE(curve.EvaluatePoint(15.0f, y));
  EXPECT_FLOAT_EQ(y, 8.0f);
}

TEST(CurveSegmentHint, ReturnsTheSegmentOfTheFrame) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {10, 2}, {20, 3}, {30, 4}});
  struct Case {
    float x;
    std::uint32_t segment;
  };
  for (const Case& c : {Case{-5, 0}, Case{0, 0}, Case{9.9f, 0}, Case{10, 2}, Case{19.9f, 2}, Case{20, 3},
                        Case{29, 3}, Case{30, 4}, Case{45, 4}}) {
    float y = 0.0f;
    std::uint32_t segment = 0;
    ASSERT_TRUE(curve.EvaluatePoint(c.x, y, segment));
    EXPECT_EQ(segment, c.segment) << "at x = " << c.x;
  }
}

TEST(CurveSegmentHint, AnyHintGivesTheSameValueAndSegment) {
  Curve2 curve = MakeParabola(50);
  for (float x = -15.0f; x <= 510.0f; x += 3.7f) {
    float expected = 0.0f;
    ASSERT_TRUE(curve.EvaluatePoint(x, expected));
    std::uint32_t atOrBefore = 0;
    for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) atOrBefore += curve.GetPointAt(i)->x <= x ? 1 : 0;
    const std::uint32_t expectedSegment = atOrBefore == 0 ? 0 : atOrBefore - 1;
    for (std::uint32_t hint : {0u, 1u, 7u, 24u, 48u, 49u, 50u, 1000u, 0xFFFFFFFFu}) {
      float y = -1.0f;
      std::uint32_t segment = hint;
      ASSERT_TRUE(curve.EvaluatePoint(x, y, segment));
      EXPECT_FLOAT_EQ(y, expected) << "x = " << x << ", hint = " << hint;
      EXPECT_EQ(segment, expectedSegment) << "x = " << x << ", hint = " << hint;
    }
  }
}

TEST(CurveSegmentHint, ValuesFollowTheLineOfTheirSegment) {
  Curve2 curve = MakeParabola(50);
  std::uint32_t segment = 0;
  for (float x = 0.0f; x < 490.0f; x += 1.0f) {
    float y = 0.0f;
    ASSERT_TRUE(curve.EvaluatePoint(x, y, segment));
    const float i = std::floor(x / 10.0f);
    const float t = (x - 10.0f * i) / 10.0f;
    EXPECT_NEAR(y, i * i + (2.0f * i + 1.0f) * t, 1e-3f) << "x = " << x;
  }
}

TEST(CurveSegmentHint, AGoodHintExaminesAtMostTwoPoints) {
  Curve2 curve = MakeParabola(1024);
  float y = 0.0f;
  std::uint32_t segment = 0;
  ASSERT_TRUE(curve.EvaluatePoint(5005.0f, y));
  const std::uint32_t unhinted = curve.GetLastSearchLength();
  EXPECT_GE(unhinted, 9u);
  segment = 500;
  ASSERT_TRUE(curve.EvaluatePoint(5005.0f, y, segment));
  EXPECT_EQ(segment, 500u);
  EXPECT_LE(curve.GetLastSearchLength(), 2u);
}

TEST(CurveSegmentHint, WalkingUpwardsCostsAConstantPerCall) {
  Curve2 curve = MakeParabola(1024);
  std::uint32_t segment = 0;
  std::uint32_t total = 0;
  std::uint32_t calls = 0;
  for (float x = -5.0f; x < 10300.0f; x += 2.5f, ++calls) {
    float y = 0.0f;
    ASSERT_TRUE(curve.EvaluatePoint(x, y, segment));
    EXPECT_LE(curve.GetLastSearchLength(), 3u) << "x = " << x;
    total += curve.GetLastSearchLength();
  }
  EXPECT_LE(total, 3u * calls);
  EXPECT_EQ(segment, 1023u);
}

TEST(CurveSegmentHint, AFarHintCostsLogarithmically) {
  Curve2 curve = MakeParabola(1024);
  float y = 0.0f;
  std::uint32_t segment = 0;
  // A short straight scan, then a gallop and a bisection: far below the 1024 points.
  ASSERT_TRUE(curve.EvaluatePoint(10225.0f, y, segment));
  EXPECT_EQ(segment, 1022u);
  EXPECT_LE(curve.GetLastSearchLength(), 8u + 2u * 11u);
  ASSERT_TRUE(curve.EvaluatePoint(5.0f, y, segment));
  EXPECT_EQ(segment, 0u);
  EXPECT_LE(curve.GetLastSearchLength(), 2u * 11u);
}

// Index searches at the edges

TEST(CurveIndexSearch, BinarySearchFindsOnlyExactFrames) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {10, 2}, {20, 3}});
  EXPECT_EQ(curve.GetPointIndex(0.0f, true), 0);
  EXPECT_EQ(curve.GetPointIndex(10.0f, true), 1);
  EXPECT_EQ(curve.GetPointIndex(20.0f, true), 3);
  EXPECT_EQ(curve.GetPointIndex(10.5f, true), -1);
  EXPECT_EQ(curve.GetPointIndex(-1.0f, true), -1);
  EXPECT_EQ(curve.GetPointIndex(21.0f, true), -1);
  EXPECT_EQ(Curve2().GetPointIndex(0.0f, true), -1);
}

TEST(CurveIndexSearch, ScanGivesTheFirstExactFrameElseTheLastIndex) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {10, 2}, {20, 3}});
  EXPECT_EQ(curve.GetPointIndex(10.0f, false), 1);
  EXPECT_EQ(curve.GetPointIndex(0.0f, false), 0);
  EXPECT_EQ(curve.GetPointIndex(20.0f, false), 3);
  EXPECT_EQ(curve.GetPointIndex(15.0f, false), 3);
  EXPECT_EQ(curve.GetPointIndex(-3.0f, false), 3);
  EXPECT_EQ(Curve2().GetPointIndex(0.0f, false), -1);
}

TEST(CurveIndexSearch, PointAtGivesTheLastPointPastTheEndAndNullWhenEmpty) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}});
  EXPECT_FLOAT_EQ(curve.GetPointAt(0)->x, 0.0f);
  EXPECT_FLOAT_EQ(curve.GetPointAt(1)->x, 10.0f);
  EXPECT_EQ(curve.GetPointAt(2), curve.GetPointAt(1));
  EXPECT_EQ(curve.GetPointAt(0xFFFFFFFFu), curve.GetPointAt(1));
  Curve2 empty;
  EXPECT_EQ(empty.GetPointAt(0), nullptr);
  const Curve2& constEmpty = empty;
  EXPECT_EQ(constEmpty.GetPointAt(3), nullptr);
}

TEST(CurveIndexSearch, NearestPointAtTheEndsAndBetween) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {20, 2}});
  EXPECT_EQ(curve.SearchNearestPoint(-50.0f), 0);
  EXPECT_EQ(curve.SearchNearestPoint(0.0f), 0);
  EXPECT_EQ(curve.SearchNearestPoint(4.9f), 0);
  EXPECT_EQ(curve.SearchNearestPoint(5.1f), 1);
  EXPECT_EQ(curve.SearchNearestPoint(14.0f), 1);
  EXPECT_EQ(curve.SearchNearestPoint(16.0f), 2);
  EXPECT_EQ(curve.SearchNearestPoint(500.0f), 2);
  EXPECT_EQ(Curve2().SearchNearestPoint(1.0f), -1);
}

TEST(CurveIndexSearch, NearestPointPrefersTheLowerIndexOnTies) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {10, 2}, {20, 3}, {20, 4}});
  EXPECT_EQ(curve.SearchNearestPoint(5.0f), 0);
  EXPECT_EQ(curve.SearchNearestPoint(10.0f), 1);
  EXPECT_EQ(curve.SearchNearestPoint(11.0f), 1);
  EXPECT_EQ(curve.SearchNearestPoint(15.0f), 1);
  EXPECT_EQ(curve.SearchNearestPoint(16.0f), 3);
  EXPECT_EQ(curve.SearchNearestPoint(99.0f), 3);
}

TEST(CurveIndexSearch, PreviousPointAtTheEndsAndBetween) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {10, 2}, {20, 3}});
  EXPECT_EQ(curve.SearchPreviousPoint(-1.0f), 0);
  EXPECT_EQ(curve.SearchPreviousPoint(0.0f), 0);
  EXPECT_EQ(curve.SearchPreviousPoint(9.0f), 0);
  EXPECT_EQ(curve.SearchPreviousPoint(10.0f), 2);
  EXPECT_EQ(curve.SearchPreviousPoint(19.9f), 2);
  EXPECT_EQ(curve.SearchPreviousPoint(20.0f), 3);
  EXPECT_EQ(curve.SearchPreviousPoint(1000.0f), 3);
  EXPECT_EQ(Curve2().SearchPreviousPoint(1.0f), -1);
}

// Selection bookkeeping

TEST(CurveSelection, SelectingTwiceCountsOnce) {
  Curve2 curve = MakeParabola(5);
  EXPECT_TRUE(curve.SelectPointAt(2, true));
  EXPECT_TRUE(curve.SelectPointAt(2, true));
  EXPECT_EQ(curve.GetSelectPointsCount(), 1u);
  EXPECT_TRUE(curve.SelectPointAt(3, false));
  EXPECT_EQ(curve.GetSelectPointsCount(), 1u);
  EXPECT_TRUE(curve.SelectPointAt(2, false));
  EXPECT_TRUE(curve.SelectPointAt(2, false));
  EXPECT_EQ(curve.GetSelectPointsCount(), 0u);
  EXPECT_FALSE(curve.SelectPointAt(5, true));
  EXPECT_EQ(curve.GetSelectPointsCount(), 0u);
}

TEST(CurveSelection, SelectAllSetsEveryFlagAndTheCount) {
  Curve2 curve = MakeParabola(6);
  curve.SelectPointAt(1, true);
  curve.SelectAllPoints(true);
  EXPECT_EQ(curve.GetSelectPointsCount(), 6u);
  EXPECT_EQ(CountSelectedFlags(curve), 6u);
  curve.SelectAllPoints(false);
  EXPECT_EQ(curve.GetSelectPointsCount(), 0u);
  EXPECT_EQ(CountSelectedFlags(curve), 0u);
}

TEST(CurveSelection, FirstIsGreaterThanLastWhenNothingIsSelected) {
  Curve2 curve = MakeParabola(4);
  EXPECT_GT(curve.GetFirstSelectedPointIndex(), curve.GetLastSelectedPointIndex());
  EXPECT_EQ(static_cast<std::uint32_t>(curve.GetLastSelectedPointIndex()), 0xFFFFFFFFu);
  Curve2 empty;
  EXPECT_GT(empty.GetFirstSelectedPointIndex(), empty.GetLastSelectedPointIndex());
  EXPECT_EQ(static_cast<std::uint32_t>(empty.GetLastSelectedPointIndex()), 0xFFFFFFFFu);
}

TEST(CurveSelection, FirstAndLastFollowTheSelectedPoints) {
  Curve2 curve = MakeParabola(8);
  curve.SelectPointAt(5, true);
  EXPECT_EQ(curve.GetFirstSelectedPointIndex(), 5);
  EXPECT_EQ(curve.GetLastSelectedPointIndex(), 5);
  curve.SelectPointAt(2, true);
  curve.SelectPointAt(6, true);
  EXPECT_EQ(curve.GetFirstSelectedPointIndex(), 2);
  EXPECT_EQ(curve.GetLastSelectedPointIndex(), 6);
}

TEST(CurveSelection, MovesCarryTheFlagsAndKeepTheCount) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 1}, {20, 2}, {30, 3}, {40, 4}});
  curve.SelectPointAt(1, true);
  curve.SelectPointAt(2, true);
  ASSERT_TRUE(curve.MovePointsAt(1, 2, 25.0f));  // 10, 20 -> 35, 45: past 30 and 40
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 30, 35, 40, 45}));
  EXPECT_EQ(curve.GetSelectPointsCount(), 2u);
  EXPECT_EQ(CountSelectedFlags(curve), 2u);
  EXPECT_TRUE(curve.GetPointAt(2)->bSelected);
  EXPECT_TRUE(curve.GetPointAt(4)->bSelected);
  EXPECT_FALSE(curve.GetPointAt(3)->bSelected);
  EXPECT_EQ(curve.GetFirstSelectedPointIndex(), 2);
  EXPECT_EQ(curve.GetLastSelectedPointIndex(), 4);
}

TEST(CurveSelection, RemovalsKeepTheCountExact) {
  Curve2 curve = MakeParabola(5);
  curve.SelectPointAt(1, true);
  curve.SelectPointAt(3, true);
  ASSERT_TRUE(curve.RemovePointAt(3));
  EXPECT_EQ(curve.GetSelectPointsCount(), 1u);
  ASSERT_TRUE(curve.RemovePointAt(0));
  EXPECT_EQ(curve.GetSelectPointsCount(), 1u);
  EXPECT_FALSE(curve.RemovePointAt(3));
  EXPECT_EQ(curve.GetPointCount(), 3u);
  curve.RemoveAllPoints();
  EXPECT_EQ(curve.GetSelectPointsCount(), 0u);
  EXPECT_EQ(curve.GetPointCount(), 0u);
  curve.AddPoint({1, 1}, true);
  EXPECT_EQ(curve.GetSelectPointsCount(), 1u);
}

TEST(CurveSelection, CopiesAndSnapshotsCarryTheCount) {
  Curve2 curve = MakeParabola(6);
  curve.SelectPointAt(0, true);
  curve.SelectPointAt(4, true);
  const Curve2 copy(curve);
  EXPECT_EQ(copy.GetSelectPointsCount(), 2u);
  Curve2 assigned;
  assigned.AddPoint({3, 3}, true);
  assigned = curve;
  EXPECT_EQ(assigned.GetSelectPointsCount(), 2u);
  Curve2 restored = MakeParabola(3);
  restored.SelectAllPoints(true);
  restored.SetCurve(curve.GetCurve());
  EXPECT_EQ(restored.GetSelectPointsCount(), 2u);
  EXPECT_EQ(restored.GetLastSelectedPointIndex(), 4);
}

// Subsample

TEST(CurveSubSample, RemovesCollinearInteriorPointsAndKeepsBothEnds) {
  Curve2 curve;
  for (int i = 0; i <= 10; ++i) curve.AddPoint({static_cast<float>(i), 2.0f * static_cast<float>(i)}, false);
  EXPECT_EQ(curve.SubSample(0, 10, 0.05f), 2u);
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 10}));
}

TEST(CurveSubSample, KeepsCornersAndBumpsBeyondTheTolerance) {
  Curve2 corners = MakeCurve({{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 2}, {5, 2}, {6, 2}});
  EXPECT_EQ(corners.SubSample(0, 6, 0.05f), 4u);
  EXPECT_EQ(Frames(corners), (std::vector<float>{0, 2, 4, 6}));
  Curve2 bump = MakeCurve({{0, 0}, {1, 0}, {2, 0}, {3, 1.1f}, {4, 2}, {5, 2}, {6, 2}});
  EXPECT_EQ(bump.SubSample(0, 6, 0.05f), 5u);
  EXPECT_EQ(Frames(bump), (std::vector<float>{0, 2, 3, 4, 6}));
  Curve2 tolerated = MakeCurve({{0, 0}, {1, 0}, {2, 0}, {3, 1.1f}, {4, 2}, {5, 2}, {6, 2}});
  EXPECT_EQ(tolerated.SubSample(0, 6, 0.2f), 4u);
  EXPECT_EQ(Frames(tolerated), (std::vector<float>{0, 2, 4, 6}));
}

TEST(CurveSubSample, ToleranceIsAStrictBound) {
  Curve2 atBound = MakeCurve({{0, 0}, {1, 0.5f}, {2, 0}});
  EXPECT_EQ(atBound.SubSample(0, 2, 0.5f), 3u);
  Curve2 inside = MakeCurve({{0, 0}, {1, 0.5f}, {2, 0}});
  EXPECT_EQ(inside.SubSample(0, 2, 0.5001f), 2u);
  Curve2 zero = MakeCurve({{0, 0}, {1, 0}, {2, 0}});
  EXPECT_EQ(zero.SubSample(0, 2, 0.0f), 3u);
}

TEST(CurveSubSample, ErrorsDoNotAccumulateAlongARun) {
  // Each point alone lies close to the chord of its neighbours, but the drift adds up.
  Curve2 curve;
  for (int i = 0; i <= 40; ++i) {
    const float x = static_cast<float>(i);
    curve.AddPoint({x, 0.002f * x * x}, false);
  }
  const Curve2 original(curve);
  const std::uint32_t left = curve.SubSample(0, 40, 0.05f);
  EXPECT_LT(left, 41u);
  EXPECT_GT(left, 2u);
  std::uint32_t segment = 0;
  for (std::uint32_t i = 0; i < original.GetPointCount(); ++i) {
    const EditablePoint* point = original.GetPointAt(i);
    float y = 0.0f;
    ASSERT_TRUE(curve.EvaluatePoint(point->x, y, segment));
    EXPECT_LT(std::fabs(y - point->y), 0.05f) << "at frame " << point->x;
  }
}

TEST(CurveSubSample, RandomCurvesStayWithinTheTolerance) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<float> step(-0.3f, 0.3f);
  for (int round = 0; round < 20; ++round) {
    Curve2 curve;
    float y = 0.0f;
    for (int i = 0; i < 200; ++i) {
      y += step(random);
      curve.AddPoint({static_cast<float>(i), y}, false);
    }
    const Curve2 original(curve);
    curve.SubSample(0, 199, 0.25f);
    EXPECT_LT(curve.GetPointCount(), 200u);
    for (std::uint32_t i = 0; i < original.GetPointCount(); ++i) {
      const EditablePoint* point = original.GetPointAt(i);
      float value = 0.0f;
      ASSERT_TRUE(curve.EvaluatePoint(point->x, value));
      EXPECT_LT(std::fabs(value - point->y), 0.25f) << "round " << round << ", frame " << point->x;
    }
  }
}

TEST(CurveSubSample, TouchesOnlyTheRange) {
  Curve2 curve;
  for (int i = 0; i <= 10; ++i) curve.AddPoint({static_cast<float>(i), 0.0f}, false);
  EXPECT_EQ(curve.SubSample(3, 6, 0.05f), 9u);
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 1, 2, 3, 6, 7, 8, 9, 10}));
  EXPECT_EQ(curve.SubSample(6, 99, 0.05f), 8u);
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 1, 2, 3, 6, 7, 8, 10}));
  EXPECT_EQ(curve.SubSample(5, 4, 0.05f), 8u);
  EXPECT_EQ(Curve2().SubSample(0, 5, 0.05f), 0u);
}

TEST(CurveSubSample, DroppedSelectedPointsLeaveTheCount) {
  Curve2 curve;
  for (int i = 0; i <= 4; ++i) curve.AddPoint({static_cast<float>(i), 1.0f}, true);
  EditablePoint* last = curve.GetPointAt(4);
  ASSERT_EQ(curve.SubSample(0, 4, 0.05f), 2u);
  EXPECT_EQ(curve.GetSelectPointsCount(), 2u);
  EXPECT_EQ(curve.GetPointAt(1), last);
}

// Subdivise

TEST(CurveSubdivise, InsertsEvenlySpacedPointsOnTheLine) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 5}, {20, 0}});
  EXPECT_EQ(curve.Subdivise(0.0f, 10.0f, 4, false, false), 4);
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 2, 4, 6, 8, 10, 20}));
  const std::vector<float> values = Values(curve);
  const std::vector<float> expected{0, 1, 2, 3, 4, 5, 0};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(values[i], expected[i], 1e-5f);
  for (std::uint32_t i = 1; i <= 4; ++i) {
    EXPECT_FALSE(curve.GetPointAt(i)->bNew);
    EXPECT_FALSE(curve.GetPointAt(i)->bSelected);
    EXPECT_FLOAT_EQ(curve.GetPointAt(i)->weight, 1.0f);
  }
}

TEST(CurveSubdivise, InsertsNothingForNoCountOrNoInterval) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 5}});
  EXPECT_EQ(curve.Subdivise(0.0f, 10.0f, 0, true, true), 0);
  EXPECT_EQ(curve.Subdivise(0.0f, 10.0f, -3, true, true), 0);
  EXPECT_EQ(curve.Subdivise(10.0f, 10.0f, 3, true, true), 0);
  EXPECT_EQ(curve.Subdivise(10.0f, 0.0f, 3, true, true), 0);
  EXPECT_EQ(curve.GetPointCount(), 2u);
  EXPECT_EQ(Curve2().Subdivise(0.0f, 10.0f, 3, true, true), 0);
}

TEST(CurveSubdivise, MarksInsertedPointsNewOnlyWhenAsked) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 5}, {20, 0}});
  EXPECT_EQ(curve.Subdivise(10.0f, 20.0f, 1, false, true), 1);
  EXPECT_FALSE(curve.GetPointAt(0)->bNew);
  EXPECT_FALSE(curve.GetPointAt(1)->bNew);
  EXPECT_TRUE(curve.GetPointAt(2)->bNew);
  EXPECT_FLOAT_EQ(curve.GetPointAt(2)->x, 15.0f);
  EXPECT_FLOAT_EQ(curve.GetPointAt(2)->y, 2.5f);
  EXPECT_FALSE(curve.GetPointAt(3)->bNew);
}

TEST(CurveSubdivise, InheritsSelectionOnlyBetweenSelectedPoints) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 5}, {20, 0}});
  curve.SelectPointAt(0, true);
  curve.SelectPointAt(1, true);
  EXPECT_EQ(curve.Subdivise(0.0f, 10.0f, 2, true, false), 2);
  EXPECT_EQ(curve.GetSelectPointsCount(), 4u);
  EXPECT_EQ(CountSelectedFlags(curve), 4u);
  EXPECT_EQ(curve.Subdivise(10.0f, 20.0f, 2, true, false), 2);  // 20 is not selected
  EXPECT_EQ(curve.GetSelectPointsCount(), 4u);
  EXPECT_EQ(curve.GetLastSelectedPointIndex(), 3);
  curve.SelectPointAt(6, true);
  EXPECT_EQ(curve.Subdivise(10.0f, 13.0f, 2, false, false), 2);  // flag off: never selected
  EXPECT_EQ(curve.GetSelectPointsCount(), 5u);
  EXPECT_EQ(CountSelectedFlags(curve), 5u);
}

TEST(CurveSubdivise, SkipsPositionsBelowFloatPrecision) {
  const float x0 = 1000.0f;
  const float x1 = std::nextafter(std::nextafter(x0, 2000.0f), 2000.0f);  // one float between
  Curve2 curve = MakeCurve({{x0, 0}, {x1, 1}});
  EXPECT_EQ(curve.Subdivise(x0, x1, 5, false, false), 1);
  EXPECT_EQ(curve.GetPointCount(), 3u);
  EXPECT_GT(curve.GetPointAt(1)->x, x0);
  EXPECT_LT(curve.GetPointAt(1)->x, x1);
}

TEST(CurveSubdivise, SegmentWalkFindsTheNextSegmentAtTheShiftedIndex) {
  // How the subdivise tool walks a range: each segment's end moves up by what was inserted.
  Curve2 curve = MakeCurve({{0, 0}, {10, 10}, {40, 40}});
  std::uint32_t last = 2;
  std::vector<int> inserted;
  for (std::uint32_t i = 0; i < last;) {
    const int k = curve.Subdivise(curve.GetPointAt(i)->x, curve.GetPointAt(i + 1)->x, 2, true, false);
    inserted.push_back(k);
    last += static_cast<std::uint32_t>(k);
    i += 1 + static_cast<std::uint32_t>(k);
  }
  EXPECT_EQ(inserted, (std::vector<int>{2, 2}));
  EXPECT_EQ(last, 6u);
  EXPECT_EQ(curve.GetPointCount(), 7u);
  const std::vector<float> frames = Frames(curve);
  const std::vector<float> values = Values(curve);
  for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_NEAR(values[i], frames[i], 1e-4f);
  EXPECT_NEAR(frames[1], 10.0f / 3.0f, 1e-4f);
  EXPECT_NEAR(frames[4], 20.0f, 1e-4f);
}

TEST(CurveSubdivise, PlacesPointsAmongOthersInsideTheInterval) {
  Curve2 curve = MakeCurve({{0, 0}, {5, 100}, {10, 10}});
  // Not neighbours: the point at 5 lies inside; inserted points follow the current line.
  EXPECT_EQ(curve.Subdivise(0.0f, 10.0f, 3, false, false), 3);
  EXPECT_EQ(Frames(curve), (std::vector<float>{0, 2.5f, 5, 5, 7.5f, 10}));
  EXPECT_EQ(Values(curve), (std::vector<float>{0, 50, 100, 100, 55, 10}));
}

// Snapshots and copies

TEST(CurveCopies, SnapshotsCopyEveryField) {
  Curve2 curve = MakeCurve({{0, 1}, {10, 2}});
  curve.SelectPointAt(1, true);
  curve.GetPointAt(0)->bHidden = true;
  curve.GetPointAt(1)->bNew = true;
  curve.GetPointAt(1)->weight = 0.25f;
  const Curve2::_Curve snapshot = curve.GetCurve();
  ASSERT_EQ(snapshot.size(), 2u);
  EXPECT_TRUE(snapshot[0].bHidden);
  EXPECT_FALSE(snapshot[0].bSelected);
  EXPECT_TRUE(snapshot[1].bSelected);
  EXPECT_TRUE(snapshot[1].bNew);
  EXPECT_FLOAT_EQ(snapshot[1].weight, 0.25f);
  EXPECT_FLOAT_EQ(snapshot[1].x, 10.0f);
  EXPECT_FLOAT_EQ(snapshot[1].y, 2.0f);

  Curve2 restored;
  ASSERT_TRUE(restored.SetCurve(snapshot));
  const Curve2::PointList again = restored.GetCurve();
  ASSERT_EQ(again.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(again[i].bSelected, snapshot[i].bSelected);
    EXPECT_EQ(again[i].bHidden, snapshot[i].bHidden);
    EXPECT_EQ(again[i].bNew, snapshot[i].bNew);
    EXPECT_EQ(again[i].x, snapshot[i].x);
    EXPECT_EQ(again[i].y, snapshot[i].y);
    EXPECT_EQ(again[i].weight, snapshot[i].weight);
  }
}

TEST(CurveCopies, SnapshotsAreIndependentOfTheCurve) {
  Curve2 curve = MakeCurve({{0, 1}, {10, 2}});
  Curve2::_Curve snapshot = curve.GetCurve();
  curve.GetPointAt(0)->y = 99.0f;
  EXPECT_FLOAT_EQ(snapshot[0].y, 1.0f);
  curve.SetCurve(snapshot);
  snapshot[0].y = -5.0f;
  EXPECT_FLOAT_EQ(curve.GetPointAt(0)->y, 1.0f);
}

TEST(CurveCopies, SetCurveReplacesEveryPoint) {
  Curve2 curve = MakeParabola(10);
  curve.SetCurve(MakeCurve({{3, 3}, {4, 4}}).GetCurve());
  EXPECT_EQ(Frames(curve), (std::vector<float>{3, 4}));
  curve.SetCurve({});
  EXPECT_EQ(curve.GetPointCount(), 0u);
}

TEST(CurveCopies, SetCurveSortsAndDropsBadPoints) {
  LogCapture log;
  Curve2::PointList points(4);
  points[0].x = 20.0f;
  points[1].x = 10.0f;
  points[1].bSelected = true;
  points[2].x = std::numeric_limits<float>::quiet_NaN();
  points[2].bSelected = true;
  points[3].x = 10.0f;
  points[3].y = 7.0f;
  Curve2 curve;
  EXPECT_FALSE(curve.SetCurve(points));
  EXPECT_EQ(Frames(curve), (std::vector<float>{10, 10, 20}));
  EXPECT_EQ(Values(curve), (std::vector<float>{0, 7, 0}));
  EXPECT_EQ(curve.GetSelectPointsCount(), 1u);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("SetCurve"), std::string::npos);
}

TEST(CurveCopies, CopiedCurvesOwnTheirPoints) {
  Curve2 curve = MakeCurve({{0, 1}, {10, 2}});
  curve.SetColor(EditorCore::RGB(1, 2, 3));
  Curve2 copy(curve);
  EXPECT_NE(copy.GetPointAt(0), curve.GetPointAt(0));
  copy.GetPointAt(0)->y = 50.0f;
  EXPECT_FLOAT_EQ(curve.GetPointAt(0)->y, 1.0f);
  EXPECT_EQ(copy.GetColor(), EditorCore::RGB(1, 2, 3));
}

TEST(CurveCopies, MovingACurveKeepsItsPointAddresses) {
  Curve2 curve = MakeParabola(40);
  curve.RemovePointAt(3);  // leave a free slot behind
  EditablePoint* point = curve.GetPointAt(10);
  Curve2 moved(std::move(curve));
  EXPECT_EQ(moved.GetPointAt(10), point);
  moved.AddPoint({1.0f, 1.0f}, false);  // reuses the free slot
  EXPECT_EQ(moved.GetPointAt(11), point);
  Curve2 target;
  target = std::move(moved);
  EXPECT_EQ(target.GetPointAt(11), point);
  EXPECT_EQ(target.GetPointCount(), 40u);
}

TEST(CurveCopies, SnapshotsHoldSixteenBytesPerPoint) {
  Curve2 curve = MakeParabola(1000);
  const Curve2::_Curve snapshot = curve.GetCurve();
  EXPECT_EQ(snapshot.capacity() * sizeof(EditablePoint), 16u * 1000u);
  Curve2 restored;
  restored.SetCurve(snapshot);
  EXPECT_LE(restored.GetHeldBytes(), 24u * 1000u);
}

// Bounding box and colours

TEST(CurveBoundingBox, RoundsOutwards) {
  Curve2 curve = MakeCurve({{0.5f, 3.2f}, {4, -1.5f}, {10.2f, 0}});
  curve.ComputeBoundingBox();
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect(0, -2, 11, 4));
}

TEST(CurveBoundingBox, IsKeptUntilComputedAgain) {
  Curve2 curve = MakeCurve({{0, 0}, {10, 2}});
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect());
  curve.ComputeBoundingBox();
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect(0, 0, 10, 2));
  curve.AddPoint({20, 5}, false);
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect(0, 0, 10, 2));
  curve.ComputeBoundingBox();
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect(0, 0, 20, 5));
  curve.RemoveAllPoints();
  curve.ComputeBoundingBox();
  EXPECT_EQ(curve.GetBoundingBox(), EditorCore::CRect());
}

TEST(CurveColours, StartBlackAndWhiteAndKeepWhatIsSet) {
  Curve2 curve;
  EXPECT_EQ(curve.GetColor(), EditorCore::RGB(0, 0, 0));
  EXPECT_EQ(curve.GetSelectionColor(), EditorCore::RGB(255, 255, 255));
  curve.SetColor(0x00123456u);
  curve.SetSelectionColor(0x00ABCDEFu);
  EXPECT_EQ(curve.GetColor(), 0x00123456u);
  EXPECT_EQ(curve.GetSelectionColor(), 0x00ABCDEFu);
}
