#include "CurveWriter.h"
#include "graph/CurveTrace.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "curves/CurveEvaluation.h"
#include "curves/CurveSet.h"

using EditorToolkit::Curve2;
using Tarvel::CurveTrace;
using Tarvel::PixelMap;

namespace {

// A pixel per frame and per value; the view is 100 rows high.
const PixelMap kFrames(0.0, 1.0);
const PixelMap kValues(0.0, 1.0);
constexpr int kHeight = 100;

Curve2 MakeCurve(const std::vector<std::pair<float, float>>& keys) {
  Curve2 curve;
  for (const auto& [x, y] : keys) curve.AddPoint({x, y}, false);
  return curve;
}

// The rows drawn in each column of a fresh trace, for comparison with a kept one.
std::vector<int> Rows(const CurveTrace::SpanList& spans) {
  std::vector<int> rows = spans.tops;
  rows.insert(rows.end(), spans.bottoms.begin(), spans.bottoms.end());
  return rows;
}

// Keys one frame apart along a wave between heights 20 and 80.
Curve2 Wave(int count) {
  std::vector<std::pair<float, float>> keys;
  for (int i = 0; i < count; ++i) keys.emplace_back(static_cast<float>(i), 50.0f + 30.0f * std::sin(0.1f * i));
  return MakeCurve(keys);
}

std::vector<int> FreshRows(const Curve2& curve, int pen, int from = 0) {
  CurveTrace fresh;
  fresh.Trace(curve, kFrames, kValues, from, 200);
  return Rows(fresh.Spans(pen, kHeight));
}

}  // namespace

TEST(CurveTrace, AColumnSpansEveryHeightItsKeysAndSegmentsReachAndNothingBeyondTheEnds) {
  // Ten keys a column between heights 0 and 20, then one steep segment of 20 rows a column.
  std::vector<std::pair<float, float>> keys;
  for (int i = 0; i < 50; ++i) keys.emplace_back(0.1f * static_cast<float>(i), i % 2 ? 20.0f : 0.0f);
  keys.emplace_back(10.0f, 0.0f);
  keys.emplace_back(12.0f, 40.0f);
  const Curve2 curve = MakeCurve(keys);
  CurveTrace trace;
  ASSERT_TRUE(trace.Trace(curve, kFrames, kValues, 0, 20));
  const CurveTrace::SpanList& thin = trace.Spans(1, kHeight);
  for (int c = 1; c <= 4; ++c) {
    EXPECT_EQ(thin.tops[c], kHeight - 20) << "column " << c;
    EXPECT_EQ(thin.bottoms[c], kHeight) << "column " << c;
  }
  EXPECT_EQ(thin.tops[11], kHeight - 30) << "the steep segment at the column's right border";
  EXPECT_EQ(thin.bottoms[11], kHeight - 10) << "and at its left border";
  EXPECT_GT(thin.tops[13], thin.bottoms[13]) << "nothing after the last key";
  // A pen of 2 takes the next column too and a row above.
  const CurveTrace::SpanList& pen = trace.Spans(2, kHeight);
  EXPECT_EQ(pen.tops[10], kHeight - 30 - 1);
  EXPECT_EQ(pen.bottoms[10], kHeight);
  EXPECT_FALSE(trace.Trace(curve, kFrames, kValues, 30, 40)) << "the curve ends before these columns";
}

TEST(CurveTrace, AKeptTraceDrawsAgainOnlyWhatAnEditNamesAndAlwaysMatchesANewTrace) {
  Curve2 curve = Wave(200);
  CurveTrace trace;
  trace.Trace(curve, kFrames, kValues, 0, 200);
  trace.Spans(2, kHeight);
  trace.Spans(4, kHeight);

  auto edit = [&curve](int first, int last, float by) {
    const std::uint64_t before = curve.GetRevision();
    for (int i = first; i <= last; ++i) curve.GetPointAt(static_cast<std::uint32_t>(i))->y += by;
    return CurveTrace::KeyEdit{curve.GetId(), before, curve.GetRevision(), static_cast<float>(first - 1),
                               static_cast<float>(last + 1)};
  };
  const CurveTrace::KeyEdit moved = edit(50, 60, 12.0f);
  trace.Trace(curve, kFrames, kValues, 0, 200, &moved);
  EXPECT_EQ(Rows(trace.Spans(2, kHeight)), FreshRows(curve, 2));
  EXPECT_EQ(Rows(trace.Spans(4, kHeight)), FreshRows(curve, 4));

  // A change the trace was not told of, alone or before one it was told of: the whole curve
  // is traced again.
  edit(150, 151, -9.0f);
  trace.Trace(curve, kFrames, kValues, 0, 200);
  EXPECT_EQ(Rows(trace.Spans(2, kHeight)), FreshRows(curve, 2));
  edit(150, 151, 9.0f);
  const CurveTrace::KeyEdit told = edit(20, 22, 5.0f);
  trace.Trace(curve, kFrames, kValues, 0, 200, &told);
  EXPECT_EQ(Rows(trace.Spans(2, kHeight)), FreshRows(curve, 2));

  // An edit left of the view, in the columns kept for the pens' reach only.
  trace.Trace(curve, kFrames, kValues, 10, 200);
  trace.Spans(2, kHeight);
  const CurveTrace::KeyEdit beside = edit(7, 7, 4.0f);
  trace.Trace(curve, kFrames, kValues, 10, 200, &beside);
  EXPECT_EQ(Rows(trace.Spans(2, kHeight)), FreshRows(curve, 2, 10));
}

TEST(CurveTrace, AKeptTraceFollowsKeysMovedInFramePastEitherEndOfTheCurve) {
  Curve2 curve = Wave(100);
  CurveTrace trace;
  trace.Trace(curve, kFrames, kValues, 0, 200);
  trace.Spans(2, kHeight);
  // Keys one frame apart: the neighbours of the moved keys lie a frame beyond their places.
  auto move = [&curve](std::uint32_t first, std::uint32_t last, float by) {
    const Curve2& kept = curve;
    const std::uint64_t before = kept.GetRevision();
    const float from = kept.GetPointAt(first)->x;
    const float to = kept.GetPointAt(last)->x;
    EXPECT_TRUE(curve.MovePointsAt(first, last, by));
    return CurveTrace::KeyEdit{kept.GetId(), before, kept.GetRevision(), std::min(from, from + by) - 1.0f,
                               std::max(to, to + by) + 1.0f};
  };
  const CurveTrace::KeyEdit later = move(90, 99, 30.0f);
  trace.Trace(curve, kFrames, kValues, 0, 200, &later);
  EXPECT_EQ(Rows(trace.Spans(2, kHeight)), FreshRows(curve, 2)) << "the curve reaches further";
  const CurveTrace::KeyEdit back = move(90, 99, -50.0f);
  trace.Trace(curve, kFrames, kValues, 0, 200, &back);
  EXPECT_EQ(Rows(trace.Spans(2, kHeight)), FreshRows(curve, 2)) << "over other keys, the curve ends sooner";
}

TEST(CurveTrace, StepsHoldTheirKeyAndRotationsBendAsTheyPlay) {
  Curve2 step = MakeCurve({{0, 10}, {10, 50}});
  step.SetInterpolation(Curve2::Step);
  CurveTrace trace;
  ASSERT_TRUE(trace.Trace(step, kFrames, kValues, 0, 20));
  const CurveTrace::SpanList& thin = trace.Spans(1, kHeight);
  for (int c = 1; c <= 9; ++c) EXPECT_EQ(thin.tops[c], kHeight - 10) << "held in column " << c;
  EXPECT_EQ(thin.tops[10], kHeight - 50) << "the jump at the key";
  EXPECT_EQ(thin.bottoms[10], kHeight - 10);

  // Euler (0, 0, 0) at frame 0 to (60, 60, 0) at frame 100: Z, keyed at 0 twice, dips to
  // about -9.5 degrees half-way, drawn 50 rows above the bottom for 0.
  ClipBuilder builder;
  builder.Rotations("Arm", {{0, {0, 0, 0}}, {100, {60, 60, 0}}});
  Tarvel::CurveSet curves;
  const auto& arm = curves.LoadChannel(ClipBuilder::Key("Arm"), builder.Channel("Arm"));
  const Tarvel::CurveInfo& z = *arm[2];
  const PixelMap degrees(-50.0, 1.0);
  ASSERT_TRUE(trace.Trace(*z.pCurve, kFrames, degrees, 0, 120, nullptr, &z));
  const CurveTrace::SpanList& bent = trace.Spans(1, kHeight);
  EXPECT_NEAR(bent.tops[50], kHeight - 40.5, 1.0) << "at -9.5 degrees, not on the flat line";
  EXPECT_EQ(bent.tops[99], kHeight - 50) << "back at 0 by the last key";
  float shown = 0.0f;
  Tarvel::CurveEvaluation::Evaluate(z, 25.0f, shown);
  EXPECT_EQ(bent.tops[25], kHeight - PixelMap::Round(degrees.Position(shown)));
  EXPECT_TRUE(Rows(bent) != FreshRows(*z.pCurve, 1)) << "without its record the curve is a straight line";

  // Z bends with X's keys: an edit of X that the trace is told of retraces its frames (from an
  // X key that Z lacks, as in the middle of a drag), one it is not told of the whole curve,
  // both as a new trace would.
  builder.Rotations("Leg", {{0, {0, 0, 0}}, {40, {20, 30, 0}}, {100, {60, 60, 0}}});
  const auto& leg = curves.LoadChannel(ClipBuilder::Key("Leg"), builder.Channel("Leg"));
  const Tarvel::CurveInfo& legZ = *leg[2];
  Curve2& legX = Tarvel::CurveWriter::Of(*leg[0]);
  legX.AddPoint({70.3f, 45.0f}, false);
  // Forty rows a degree: Z's bend crosses rows within a column.
  const PixelMap steep(-2.0, 40.0);
  auto bentRows = [&] {
    CurveTrace fresh;
    fresh.Trace(*legZ.pCurve, kFrames, steep, 0, 120, nullptr, &legZ);
    return Rows(fresh.Spans(1, kHeight));
  };
  CurveTrace kept;
  ASSERT_TRUE(kept.Trace(*legZ.pCurve, kFrames, steep, 0, 120, nullptr, &legZ));
  kept.Spans(1, kHeight);
  const std::uint64_t before = legX.GetRevision();
  legX.GetPointAt(3)->y += 20.0f;
  const CurveTrace::KeyEdit raised{legX.GetId(), before, legX.GetRevision(), 70.3f, 100.0f};
  ASSERT_TRUE(kept.Trace(*legZ.pCurve, kFrames, steep, 0, 120, CurveTrace::Edits{&raised, nullptr, nullptr}, &legZ));
  EXPECT_EQ(Rows(kept.Spans(1, kHeight)), bentRows());
  legX.GetPointAt(3)->y -= 50.0f;
  ASSERT_TRUE(kept.Trace(*legZ.pCurve, kFrames, steep, 0, 120, CurveTrace::Edits{&raised, nullptr, nullptr}, &legZ));
  EXPECT_EQ(Rows(kept.Spans(1, kHeight)), bentRows());

  // Zoomed out until the keys lie within one column, the column holds the keys' own rows.
  const PixelMap far(0.0, 0.008);
  CurveTrace straight;
  ASSERT_TRUE(trace.Trace(*z.pCurve, far, degrees, 0, 120, nullptr, &z));
  ASSERT_TRUE(straight.Trace(*z.pCurve, far, degrees, 0, 120));
  EXPECT_EQ(Rows(trace.Spans(1, kHeight)), Rows(straight.Spans(1, kHeight)));
}

TEST(CurveTrace, ABendingCurveIsTracedAgainUpToItsTracksKeysBeyondTheEditedAxissLast) {
  // A cubic rotation whose Y has its last key at 39, X's and Z's at 40: raising Y's last key
  // changes the rotation up to 40 on every axis, though Y's edit names only its own keys, 20
  // to 39.
  ClipBuilder builder;
  EngineCore::AnimCurve& turns = builder.Track("Arm", EngineCore::AnimTrack::Rotation);
  turns.SetInterpolation(EngineCore::AnimCurve::Cubic);
  const EngineCore::Quaternion spin(0.3f, -0.2f, 0.4f, 0.1f);
  turns.AddKey(0, EngineCore::Quaternion::FromAngles(0, 0, 0), spin, spin);
  turns.AddKey(20, EngineCore::Quaternion::FromAngles(0.7f, 0.2f, 0.1f), spin, spin);
  turns.AddKey(40, EngineCore::Quaternion::FromAngles(1.4f, 0.5f, -0.3f), spin, spin);
  Tarvel::CurveSet curves;
  const auto& arm = curves.LoadChannel(ClipBuilder::Key("Arm"), builder.Channel("Arm"));
  Curve2& y = Tarvel::CurveWriter::Of(*arm[1]);
  y.MovePointsAt(2, 2, -1.0f);
  // Ten columns a frame, so that the frame from 39 to 40 spans columns of its own.
  const PixelMap frames(0.0, 10.0);
  const PixelMap degrees(-100.0, 2.0);
  for (const Tarvel::CurveInfo* axis : {arm[0].get(), arm[2].get()}) {
    CurveTrace kept;
    ASSERT_TRUE(kept.Trace(*axis->pCurve, frames, degrees, 0, 450, nullptr, axis));
    kept.Spans(1, kHeight);
    const std::uint64_t before = y.GetRevision();
    y.GetPointAt(2)->y += 25.0f;
    const CurveTrace::KeyEdit raised{y.GetId(), before, y.GetRevision(), 20.0f, 39.0f};
    ASSERT_TRUE(kept.Trace(*axis->pCurve, frames, degrees, 0, 450, CurveTrace::Edits{nullptr, &raised, nullptr}, axis));
    CurveTrace fresh;
    fresh.Trace(*axis->pCurve, frames, degrees, 0, 450, nullptr, axis);
    EXPECT_EQ(Rows(kept.Spans(1, kHeight)), Rows(fresh.Spans(1, kHeight))) << "axis " << axis->iComponent;
    y.GetPointAt(2)->y -= 25.0f;
  }
}

TEST(CurveTrace, ACubicCurveReachesItsTurningPointsAtEveryZoom) {
  // Keys at 10 and 30 with slopes that overshoot: a peak near 37 between frames 0 and 6, a dip
  // below 9 between 6 and 12.
  Curve2 curve;
  curve.SetInterpolation(Curve2::Cubic);
  curve.SetFrameRate(24.0f);
  const float frames[] = {0, 6, 12};
  const float values[] = {10, 30, 10};
  const float slopes[] = {240, -200, 60};
  for (int k = 0; k < 3; ++k) {
    EditorToolkit::KeyTangents tangents;
    tangents.in[0] = tangents.out[0] = slopes[k];
    curve.AddPoint({frames[k], values[k]}, false, tangents);
  }
  // Wide spans (every column's border sampled), spans of a few columns, keys within a column.
  for (const double pixelsPerFrame : {10.0, 0.5, 0.1}) {
    const PixelMap wide(0.0, pixelsPerFrame);
    CurveTrace trace;
    ASSERT_TRUE(trace.Trace(curve, wide, kValues, 0, 150));
    const CurveTrace::SpanList& thin = trace.Spans(1, kHeight);
    int highest = kHeight;
    int lowest = 0;
    for (std::size_t c = 0; c < thin.tops.size(); ++c) {
      if (thin.tops[c] > thin.bottoms[c]) continue;
      highest = std::min(highest, thin.tops[c]);
      lowest = std::max(lowest, thin.bottoms[c]);
      if (pixelsPerFrame < 10.0) continue;
      // Where every border is sampled, each column reaches the spline's extremes within it,
      // and no further than the ends its segments lend it (one column before).
      auto extremes = [&](double from, double to, float& top, float& bottom) {
        top = -1e9f;
        bottom = 1e9f;
        for (int i = 0; i <= 100; ++i) {
          const double x = std::clamp(wide.ValueAt(from + (to - from) * i / 100.0), 0.0, 12.0);
          float y = 0.0f;
          curve.EvaluatePoint(static_cast<float>(x), y);
          top = std::max(top, y);
          bottom = std::min(bottom, y);
        }
      };
      const double column = static_cast<double>(c);
      float top = 0.0f, bottom = 0.0f, lentTop = 0.0f, lentBottom = 0.0f;
      extremes(column - 0.5, column + 0.5, top, bottom);
      extremes(column - 1.5, column + 0.5, lentTop, lentBottom);
      EXPECT_LE(thin.tops[c], kHeight - top + 1.0) << "column " << c;
      EXPECT_GE(thin.bottoms[c], kHeight - bottom - 1.0) << "column " << c;
      EXPECT_GE(thin.tops[c], kHeight - lentTop - 1.0) << "column " << c;
      EXPECT_LE(thin.bottoms[c], kHeight - lentBottom + 1.0) << "column " << c;
    }
    // The peak and the dip are reached at every zoom, however close the keys.
    float peak = -1e9f;
    float dip = 1e9f;
    for (float x = 0.0f; x <= 12.0f; x += 0.001f) {
      float y = 0.0f;
      curve.EvaluatePoint(x, y);
      peak = std::max(peak, y);
      dip = std::min(dip, y);
    }
    ASSERT_GT(peak, 35.0f);
    ASSERT_LT(dip, 9.0f);
    EXPECT_NEAR(highest, kHeight - peak, 1.0) << pixelsPerFrame << " pixels a frame";
    EXPECT_NEAR(lowest, kHeight - dip, 1.0) << pixelsPerFrame << " pixels a frame";
  }
}

namespace {

// Rule 1 as it reads, key after key: the lowest and highest height (in 1/256 of a pixel) each
// column from 0 to columns - 1 reaches, or nothing (low > high).
std::vector<std::pair<std::int64_t, std::int64_t>> ReferenceHeights(const Curve2& curve, const PixelMap& frames,
                                                                    const PixelMap& values, int columns) {
  std::vector<std::pair<std::int64_t, std::int64_t>> reached(static_cast<std::size_t>(columns), {1, 0});
  auto fixed = [](double position) { return static_cast<std::int64_t>(std::clamp(position, -1e9, 1e9) * 256.0); };
  auto column = [](std::int64_t x) { return static_cast<int>((x + 128) >> 8); };
  auto take = [&](int c, std::int64_t h) {
    if (c < 0 || c >= columns) return;
    auto& [low, high] = reached[static_cast<std::size_t>(c)];
    if (low > high) {
      low = high = h;
    } else {
      low = std::min(low, h);
      high = std::max(high, h);
    }
  };
  std::int64_t px = 0;
  std::int64_t ph = 0;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) {
    const std::int64_t x = fixed(frames.Position(curve.GetPointAt(i)->x));
    const std::int64_t h = fixed(values.Position(curve.GetPointAt(i)->y));
    take(column(x), h);
    if (i > 0 && column(x) == column(px) + 1) {
      // One border: both ends to both columns.
      take(column(px), h);
      take(column(x), ph);
    } else if (i > 0 && column(x) > column(px) + 1) {
      const double slope = static_cast<double>(h - ph) / static_cast<double>(x - px);
      for (int k = column(px); k < column(x); ++k) {
        const std::int64_t border =
            ph + static_cast<std::int64_t>(static_cast<double>(std::int64_t{k} * 256 + 128 - px) * slope);
        take(k, border);
        take(k + 1, border);
      }
    }
    px = x;
    ph = h;
  }
  return reached;
}

}  // namespace

TEST(CurveTrace, FlatStretchesStepsAndRampsTraceAsRuleOneSaysAtEveryZoom) {
  std::mt19937 random(7);
  auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    // Whole frames with runs of one value (a take's flat stretches), jumps on one frame and
    // ramps, now and then a key between frames.
    std::vector<std::pair<float, float>> keys;
    float frame = static_cast<float>(pick(0, 20));
    float value = 50.0f;
    while (frame < 400.0f) {
      const int run = pick(1, 40);
      const int kind = pick(0, 3);
      for (int i = 0; i < run; ++i) {
        if (kind == 1) value += static_cast<float>(pick(-30, 30)) * 0.25f;
        if (kind == 2 && i == 0) keys.emplace_back(frame, value + 17.0f);
        keys.emplace_back(frame, value);
        frame += pick(0, 9) == 0 ? 0.5f : 1.0f;
      }
    }
    const Curve2 curve = MakeCurve(keys);
    for (const double perFrame : {0.3, 1.0, 1.38, 4.0}) {
      SCOPED_TRACE(perFrame);
      const PixelMap frames(-3.0, perFrame);
      const PixelMap values(-20.0, 1.7);
      CurveTrace trace;
      ASSERT_TRUE(trace.Trace(curve, frames, values, 0, 600));
      const CurveTrace::SpanList& thin = trace.Spans(1, 300);
      const auto expected = ReferenceHeights(curve, frames, values, 600);
      for (int c = 0; c < 600; ++c) {
        const auto& [low, high] = expected[static_cast<std::size_t>(c)];
        if (low > high) {
          ASSERT_GT(thin.tops[c], thin.bottoms[c]) << "column " << c;
          continue;
        }
        ASSERT_EQ(thin.tops[c], 300 - static_cast<int>((high + 128) >> 8)) << "column " << c;
        ASSERT_EQ(thin.bottoms[c], 300 - static_cast<int>((low + 128) >> 8)) << "column " << c;
      }
    }
  }
}
