#include "EngineCore/Math.h"

#include <gtest/gtest.h>

using EngineCore::Math;

TEST(CatmullRomEvaluation, PassesThroughTheInnerPointsAtTheEnds) {
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(-3.0f, 1.5f, 7.0f, 2.0f, 0.0f), 1.5f);
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(-3.0f, 1.5f, 7.0f, 2.0f, 1.0f), 7.0f);
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(10.0f, -4.0f, 0.25f, 100.0f, 0.0f), -4.0f);
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(10.0f, -4.0f, 0.25f, 100.0f, 1.0f), 0.25f);
}

TEST(CatmullRomEvaluation, KeepsEvenlySpacedLinearDataLinear) {
  for (int i = 0; i <= 10; ++i) {
    const float t = static_cast<float>(i) / 10.0f;
    EXPECT_NEAR(Math::EvaluateCatmullRom(1.0f, 3.0f, 5.0f, 7.0f, t), 3.0f + 2.0f * t, 1e-5f) << "t = " << t;
  }
}

TEST(CatmullRomEvaluation, GivesTheKnownMidpointValues) {
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(0.0f, 0.0f, 1.0f, 0.0f, 0.5f), 0.5625f);
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(1.0f, 2.0f, 4.0f, 8.0f, 0.5f), 2.8125f);
}

TEST(CatmullRomEvaluation, HoldsAConstantWhenAllPointsAreEqual) {
  for (int i = 0; i <= 4; ++i) {
    EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(2.5f, 2.5f, 2.5f, 2.5f, static_cast<float>(i) / 4.0f), 2.5f);
  }
}

TEST(CatmullRomEvaluation, LeavesEachEndWithTheTangentOfItsNeighbours) {
  // The tangent at p1 is (p2 - p0) / 2 and at p2 is (p3 - p1) / 2.
  const float h = 1e-3f;
  const float startSlope = (Math::EvaluateCatmullRom(0.0f, 1.0f, 5.0f, 2.0f, h) -
                            Math::EvaluateCatmullRom(0.0f, 1.0f, 5.0f, 2.0f, 0.0f)) / h;
  const float endSlope = (Math::EvaluateCatmullRom(0.0f, 1.0f, 5.0f, 2.0f, 1.0f) -
                          Math::EvaluateCatmullRom(0.0f, 1.0f, 5.0f, 2.0f, 1.0f - h)) / h;
  EXPECT_NEAR(startSlope, 2.5f, 2e-2f);
  EXPECT_NEAR(endSlope, 0.5f, 2e-2f);
}
