#include <cmath>

#include <gtest/gtest.h>

#include "CurvePoints.h"
#include "EngineCore/Math.h"
#include "tools/KeyTransforms.h"

using EditorToolkit::Curve2;
using Tarvel::KeyTransforms;

using CurvePoints::Frames;
using CurvePoints::Make;
using CurvePoints::Xs;
using CurvePoints::Ys;

TEST(FlipWorkers, MirrorTheRangeInTimeInsideItsSpanOrInValue) {
  Curve2 curve = Make({{0, 0}, {2, 1}, {4, 2}, {5, 3}, {9, 4}, {12, 5}, {20, 6}});
  KeyTransforms::MirrorTime(curve, 2, 5);
  EXPECT_EQ(Xs(curve), (Frames{0, 2, 4, 7, 11, 12, 20}));
  EXPECT_EQ(Ys(curve), (Frames{0, 1, 5, 4, 3, 2, 6}));
  Curve2 values = Make({{0, 0}, {1, 4}, {2, 10}});
  KeyTransforms::MirrorValues(values, 0, 2, true);
  EXPECT_EQ(Ys(values), (Frames{10, 6, 0})) << "values turn about their ends' middle";
}

TEST(ScaleWorker, StretchesAndShrinksFromTheFirstKey) {
  Curve2 curve = Make({{0, 0}, {10, 1}, {20, 2}});
  KeyTransforms::ScaleKeys(curve, 0, 2, 0.5f);
  EXPECT_EQ(Xs(curve), (Frames{0, 5, 10}));
  EXPECT_EQ(Ys(curve), (Frames{0, 1, 2}));
  Curve2 longer = Make({{0, 0}, {10, 1}, {20, 2}, {30, 3}});
  KeyTransforms::ScaleKeys(longer, 0, 2, 2.0f);
  EXPECT_EQ(Xs(longer), (Frames{0, 20, 40, 50})) << "the following keys move back";
  EXPECT_EQ(Ys(longer), (Frames{0, 1, 2, 3}));
  Curve2 uneven = Make({{0, 0}, {3, 3}, {7, 7}});
  KeyTransforms::ScaleKeys(uneven, 0, 2, 1.5f);
  for (float frame : Xs(uneven)) EXPECT_EQ(frame, std::ceil(frame)) << "keys land on whole frames";
}

TEST(SubdiviseWorker, InsertsInEverySegmentThatExisted) {
  Curve2 curve = Make({{0, 0}, {10, 10}, {20, 0}});
  const std::uint32_t last = KeyTransforms::SubdiviseKeys(curve, 0, 2, 2, false);
  EXPECT_EQ(curve.GetPointCount(), 7u);
  EXPECT_EQ(last, 6u);
  EXPECT_FLOAT_EQ(Ys(curve)[1], curve.GetPointAt(1)->x) << "inserted on the current line";
  Curve2 unchanged = Make({{0, 0}, {10, 10}});
  KeyTransforms::SubdiviseKeys(unchanged, 0, 1, 0, false);
  EXPECT_EQ(unchanged.GetPointCount(), 2u);
}

TEST(SmoothWorker, InsertedKeysFollowTheSplineThroughTheOldOnes) {
  Curve2 curve = Make({{0, 0}, {10, 10}, {20, 0}, {30, 10}});
  KeyTransforms::SmoothKeys(curve, 0, 3, 1);
  ASSERT_EQ(curve.GetPointCount(), 7u);
  // The key inserted between 10 and 20 lies on the spline through the old keys 0, 10, 0, 10.
  EXPECT_FLOAT_EQ(curve.GetPointAt(3)->x, 15.0f);
  EXPECT_FLOAT_EQ(curve.GetPointAt(3)->y, EngineCore::Math::EvaluateCatmullRom(0, 10, 0, 10, 0.5f));
  // Past the last pair the curve's last key stands in for the missing one.
  EXPECT_FLOAT_EQ(curve.GetPointAt(5)->y, EngineCore::Math::EvaluateCatmullRom(10, 0, 10, 10, 0.5f));
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) EXPECT_FALSE(curve.GetPointAt(i)->bNew) << i;
  EXPECT_FLOAT_EQ(curve.GetPointAt(2)->y, 10.0f) << "old keys keep their values";
  Curve2 unchanged = Make({{0, 0}, {10, 10}, {20, 0}});
  KeyTransforms::SmoothKeys(unchanged, 0, 2, 0);
  EXPECT_EQ(Ys(unchanged), (Frames{0, 10, 0})) << "no subdivision changes nothing";
}
