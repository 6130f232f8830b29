#include "EngineCore/AnimCurve.h"

#include <gtest/gtest.h>

#include <cmath>

using EngineCore::AnimCurve;
using EngineCore::Quaternion;
using EngineCore::Vector3;

namespace {

Quaternion AboutZ(float angle) { return {0.0f, 0.0f, std::sin(angle / 2), std::cos(angle / 2)}; }

}  // namespace

TEST(AnimCurveKeys, HaveNoSizeWithoutAKeyType) {
  AnimCurve curve;
  EXPECT_EQ(curve.GetKeyType(), AnimCurve::None);
  EXPECT_EQ(curve.GetKeySize(), 0u);
  EXPECT_EQ(curve.GetByteSize(), 0u);
  EXPECT_FALSE(curve.AddKey(0, Vector3(1, 2, 3)));
  EXPECT_FALSE(curve.AddKey(0, Quaternion()));
  EXPECT_EQ(curve.GetKeyCount(), 0u);
}

TEST(AnimCurveKeys, AreSizedAsAFrameAndAValue) {
  AnimCurve curve;
  curve.SetKeyType(AnimCurve::KeyVector3);
  EXPECT_EQ(curve.GetKeySize(), sizeof(std::uint32_t) + 3 * sizeof(float));
  curve.SetKeyType(AnimCurve::KeyQuaternion);
  EXPECT_EQ(curve.GetKeySize(), sizeof(std::uint32_t) + 4 * sizeof(float));
  curve.SetKeyType(AnimCurve::KeyFloat);
  EXPECT_EQ(curve.GetKeySize(), sizeof(std::uint32_t) + sizeof(float));
}

TEST(AnimCurveKeys, ByteSizeOverKeySizeIsTheKeyCount) {
  for (std::uint32_t type : {AnimCurve::KeyVector3, AnimCurve::KeyQuaternion}) {
    AnimCurve curve;
    curve.SetKeyType(type);
    for (std::uint32_t frame = 0; frame < 7; ++frame) {
      const bool added = type == AnimCurve::KeyVector3 ? curve.AddKey(frame * 3, Vector3(1, 1, 1))
                                                       : curve.AddKey(frame * 3, Quaternion());
      ASSERT_TRUE(added);
      EXPECT_EQ(curve.GetByteSize() / curve.GetKeySize(), curve.GetKeyCount());
    }
    EXPECT_EQ(curve.GetKeyCount(), 7u);
  }
}

TEST(AnimCurveKeys, AreStoredInOrderWithTheirValues) {
  AnimCurve curve;
  curve.SetKeyType(AnimCurve::KeyVector3);
  ASSERT_TRUE(curve.AddKey(2, Vector3(1, 2, 3)));
  ASSERT_TRUE(curve.AddKey(5, Vector3(4, 5, 6)));
  ASSERT_TRUE(curve.AddKey(40, Vector3(-1, 0, 0.5f)));
  ASSERT_EQ(curve.GetKeyCount(), 3u);
  EXPECT_EQ(curve.GetKeyFrame(0), 2u);
  EXPECT_EQ(curve.GetKeyFrame(1), 5u);
  EXPECT_EQ(curve.GetKeyFrame(2), 40u);
  EXPECT_EQ(curve.GetVector3Key(1), Vector3(4, 5, 6));
  EXPECT_EQ(curve.GetVector3Key(2), Vector3(-1, 0, 0.5f));
}

TEST(AnimCurveKeys, RefuseFramesThatDoNotRise) {
  AnimCurve curve;
  curve.SetKeyType(AnimCurve::KeyQuaternion);
  ASSERT_TRUE(curve.AddKey(10, Quaternion()));
  EXPECT_FALSE(curve.AddKey(10, AboutZ(1.0f)));
  EXPECT_FALSE(curve.AddKey(9, AboutZ(1.0f)));
  EXPECT_TRUE(curve.AddKey(11, AboutZ(1.0f)));
  ASSERT_EQ(curve.GetKeyCount(), 2u);
  EXPECT_EQ(curve.GetKeyFrame(1), 11u);
  EXPECT_EQ(curve.GetQuaternionKey(1), AboutZ(1.0f));
}

TEST(AnimCurveKeys, AcceptFrameZeroFirst) {
  AnimCurve curve;
  curve.SetKeyType(AnimCurve::KeyVector3);
  EXPECT_TRUE(curve.AddKey(0, Vector3()));
  EXPECT_FALSE(curve.AddKey(0, Vector3()));
}

TEST(AnimCurveKeys, RefuseValuesOfTheWrongType) {
  AnimCurve vectors;
  vectors.SetKeyType(AnimCurve::KeyVector3);
  EXPECT_FALSE(vectors.AddKey(0, Quaternion()));
  EXPECT_FALSE(vectors.AddKey(0, 1.0f));
  AnimCurve rotations;
  rotations.SetKeyType(AnimCurve::KeyQuaternion);
  EXPECT_FALSE(rotations.AddKey(0, Vector3()));
  EXPECT_EQ(vectors.GetKeyCount(), 0u);
  EXPECT_EQ(rotations.GetKeyCount(), 0u);
}

TEST(AnimCurveKeys, AreGoneAfterSetKeyType) {
  AnimCurve curve;
  curve.SetKeyType(AnimCurve::KeyVector3);
  ASSERT_TRUE(curve.AddKey(1, Vector3()));
  ASSERT_TRUE(curve.AddKey(2, Vector3()));
  curve.SetKeyType(AnimCurve::KeyVector3);
  EXPECT_EQ(curve.GetKeyCount(), 0u);
  EXPECT_TRUE(curve.AddKey(0, Vector3()));
  curve.SetKeyType(AnimCurve::KeyQuaternion);
  EXPECT_EQ(curve.GetKeyCount(), 0u);
  EXPECT_EQ(curve.GetByteSize(), 0u);
  EXPECT_TRUE(curve.AddKey(0, Quaternion()));
}

TEST(AnimCurveKeys, AreGoneAfterEmptyWhichKeepsTheKeyType) {
  AnimCurve curve;
  curve.SetKeyType(AnimCurve::KeyVector3);
  ASSERT_TRUE(curve.AddKey(30, Vector3()));
  curve.Empty();
  EXPECT_EQ(curve.GetKeyCount(), 0u);
  EXPECT_EQ(curve.GetKeyType(), AnimCurve::KeyVector3);
  EXPECT_TRUE(curve.AddKey(5, Vector3(1, 0, 0)));
  EXPECT_EQ(curve.GetVector3Key(0), Vector3(1, 0, 0));
}

TEST(AnimCurveKeys, ReserveKeepsTheKeys) {
  AnimCurve curve;
  curve.SetKeyType(AnimCurve::KeyVector3);
  ASSERT_TRUE(curve.AddKey(3, Vector3(3, 3, 3)));
  curve.Reserve(1000);
  EXPECT_EQ(curve.GetKeyCount(), 1u);
  EXPECT_EQ(curve.GetVector3Key(0), Vector3(3, 3, 3));
}

class RotationContinuity : public ::testing::Test {
 protected:
  void SetUp() override { curve_.SetKeyType(AnimCurve::KeyQuaternion); }

  AnimCurve curve_;
};

TEST_F(RotationContinuity, FlipsAKeyThatPointsAwayFromItsPredecessor) {
  const Quaternion keys[] = {AboutZ(0.0f), AboutZ(0.5f).Negated(), AboutZ(1.0f), AboutZ(1.5f).Negated()};
  for (std::uint32_t i = 0; i < 4; ++i) ASSERT_TRUE(curve_.AddKey(i * 10, keys[i]));
  curve_.MakeRotationsContinuous();
  ASSERT_EQ(curve_.GetKeyCount(), 4u);
  for (std::uint32_t i = 1; i < 4; ++i) {
    EXPECT_GE(curve_.GetQuaternionKey(i).Dot(curve_.GetQuaternionKey(i - 1)), 0.0f) << i;
  }
  for (std::uint32_t i = 0; i < 4; ++i) {
    const Quaternion& q = curve_.GetQuaternionKey(i);
    // Same rotation: the key equals the original or its negation.
    EXPECT_NEAR(std::abs(q.Dot(keys[i])), 1.0f, 1e-6f) << i;
    EXPECT_EQ(curve_.GetKeyFrame(i), i * 10);
  }
  EXPECT_EQ(curve_.GetQuaternionKey(1), AboutZ(0.5f));
  EXPECT_EQ(curve_.GetQuaternionKey(3), AboutZ(1.5f));
}

TEST_F(RotationContinuity, FollowsAChainOfFlipsFromTheFirstKey) {
  // Each key points away from the one before as stored; after the pass, every key must agree
  // with its corrected predecessor, not its stored one.
  const Quaternion keys[] = {AboutZ(0.0f), AboutZ(0.4f).Negated(), AboutZ(0.8f), AboutZ(1.2f).Negated(),
                             AboutZ(1.6f)};
  for (std::uint32_t i = 0; i < 5; ++i) ASSERT_TRUE(curve_.AddKey(i, keys[i]));
  curve_.MakeRotationsContinuous();
  for (std::uint32_t i = 0; i < 5; ++i) EXPECT_EQ(curve_.GetQuaternionKey(i), AboutZ(0.4f * static_cast<float>(i))) << i;
}

TEST_F(RotationContinuity, LeavesContinuousKeysAlone) {
  for (std::uint32_t i = 0; i < 3; ++i) ASSERT_TRUE(curve_.AddKey(i, AboutZ(0.3f * static_cast<float>(i))));
  curve_.MakeRotationsContinuous();
  for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(curve_.GetQuaternionKey(i), AboutZ(0.3f * static_cast<float>(i)));
}

TEST_F(RotationContinuity, KeepsTheFirstKeyAsStored) {
  ASSERT_TRUE(curve_.AddKey(0, AboutZ(0.2f).Negated()));
  ASSERT_TRUE(curve_.AddKey(1, AboutZ(0.4f)));
  curve_.MakeRotationsContinuous();
  EXPECT_EQ(curve_.GetQuaternionKey(0), AboutZ(0.2f).Negated());
  EXPECT_EQ(curve_.GetQuaternionKey(1), AboutZ(0.4f).Negated());
}

class CurveEvaluation : public ::testing::Test {
 protected:
  void SetUp() override {
    translations_.SetKeyType(AnimCurve::KeyVector3);
    ASSERT_TRUE(translations_.AddKey(10, Vector3(0, 0, 0)));
    ASSERT_TRUE(translations_.AddKey(20, Vector3(10, -20, 4)));
    ASSERT_TRUE(translations_.AddKey(30, Vector3(10, 0, 4)));
    rotations_.SetKeyType(AnimCurve::KeyQuaternion);
    ASSERT_TRUE(rotations_.AddKey(0, AboutZ(0.0f)));
    ASSERT_TRUE(rotations_.AddKey(8, AboutZ(2.0f)));
  }

  AnimCurve translations_;
  AnimCurve rotations_;
};

TEST_F(CurveEvaluation, GivesTheKeyValueOnAKey) {
  Vector3 value;
  ASSERT_TRUE(translations_.Evaluate(20.0f, value));
  EXPECT_EQ(value, Vector3(10, -20, 4));
}

TEST_F(CurveEvaluation, InterpolatesVectorsLinearlyBetweenKeys) {
  Vector3 value;
  ASSERT_TRUE(translations_.Evaluate(15.0f, value));
  EXPECT_NEAR(value.x, 5.0f, 1e-5f);
  EXPECT_NEAR(value.y, -10.0f, 1e-5f);
  EXPECT_NEAR(value.z, 2.0f, 1e-5f);
  ASSERT_TRUE(translations_.Evaluate(27.5f, value));
  EXPECT_NEAR(value.y, -5.0f, 1e-5f);
}

TEST_F(CurveEvaluation, HoldsTheEndKeysOutsideTheRange) {
  Vector3 value;
  ASSERT_TRUE(translations_.Evaluate(-100.0f, value));
  EXPECT_EQ(value, Vector3(0, 0, 0));
  ASSERT_TRUE(translations_.Evaluate(30.5f, value));
  EXPECT_EQ(value, Vector3(10, 0, 4));
}

TEST_F(CurveEvaluation, InterpolatesRotationsSpherically) {
  Quaternion value;
  ASSERT_TRUE(rotations_.Evaluate(2.0f, value));
  const Quaternion expected = AboutZ(0.5f);
  EXPECT_NEAR(value.z, expected.z, 1e-5f);
  EXPECT_NEAR(value.w, expected.w, 1e-5f);
}

TEST(CurveEvaluationWithoutKeys, Fails) {
  AnimCurve curve;
  curve.SetKeyType(AnimCurve::KeyVector3);
  Vector3 value(7, 7, 7);
  EXPECT_FALSE(curve.Evaluate(0.0f, value));
  Quaternion rotation;
  EXPECT_FALSE(curve.Evaluate(0.0f, rotation));
}
