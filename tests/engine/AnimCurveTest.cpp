#include "EngineCore/AnimCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using EngineCore::AnimCurve;
using EngineCore::Quaternion;
using EngineCore::Vector3;

namespace {

Quaternion AboutZ(float angle) { return {0.0f, 0.0f, std::sin(angle / 2), std::cos(angle / 2)}; }

AnimCurve Curve(std::uint32_t type) {
  AnimCurve curve;
  curve.SetKeyType(type);
  return curve;
}

}  // namespace

TEST(AnimCurveKeys, AreRefusedWithoutAKeyTypeAndCountedByByteSizeOverKeySize) {
  AnimCurve none;
  EXPECT_EQ(none.GetKeySize(), 0u);
  EXPECT_FALSE(none.AddKey(0, Vector3(1, 2, 3)));
  EXPECT_FALSE(none.AddKey(0, Quaternion()));
  EXPECT_EQ(none.GetByteSize(), 0u);
  for (const std::uint32_t type : {AnimCurve::KeyVector3, AnimCurve::KeyQuaternion, AnimCurve::KeyFloat}) {
    AnimCurve curve = Curve(type);
    ASSERT_GT(curve.GetKeySize(), 0u) << type;
    for (std::uint32_t frame = 0; frame < 7; ++frame) {
      ASSERT_TRUE(type == AnimCurve::KeyVector3      ? curve.AddKey(frame * 3, Vector3(1, 1, 1))
                  : type == AnimCurve::KeyQuaternion ? curve.AddKey(frame * 3, Quaternion())
                                                     : curve.AddKey(frame * 3, 1.0f));
      EXPECT_EQ(curve.GetByteSize() / curve.GetKeySize(), frame + 1) << type;
    }
  }
}

TEST(AnimCurveKeys, RefuseFramesThatDoNotRiseAndValuesOfAnotherType) {
  AnimCurve curve = Curve(AnimCurve::KeyQuaternion);
  ASSERT_TRUE(curve.AddKey(0, Quaternion()));
  EXPECT_FALSE(curve.AddKey(0, AboutZ(1.0f)));
  ASSERT_TRUE(curve.AddKey(10, Quaternion()));
  EXPECT_FALSE(curve.AddKey(10, AboutZ(1.0f)));
  EXPECT_FALSE(curve.AddKey(9, AboutZ(1.0f)));
  EXPECT_FALSE(curve.AddKey(20, Vector3()));
  EXPECT_FALSE(curve.AddKey(20, 1.0f));
  EXPECT_TRUE(curve.AddKey(11, AboutZ(1.0f)));
  ASSERT_EQ(curve.GetKeyCount(), 3u);
  EXPECT_EQ(curve.GetKeyFrame(2), 11u);
  EXPECT_EQ(curve.GetQuaternionKey(2), AboutZ(1.0f));
}

TEST(AnimCurveKeys, AreGoneAfterSetKeyTypeOrEmptyButNotReserve) {
  AnimCurve curve = Curve(AnimCurve::KeyVector3);
  ASSERT_TRUE(curve.AddKey(3, Vector3(3, 3, 3)));
  curve.Reserve(1000);
  EXPECT_EQ(curve.GetVector3Key(0), Vector3(3, 3, 3));
  curve.Empty();
  EXPECT_EQ(curve.GetKeyCount(), 0u);
  EXPECT_TRUE(curve.AddKey(0, Vector3()));
  curve.SetKeyType(AnimCurve::KeyQuaternion);
  EXPECT_EQ(curve.GetKeyCount(), 0u);
  EXPECT_EQ(curve.GetByteSize(), 0u);
  EXPECT_TRUE(curve.AddKey(0, Quaternion()));
}

// Stores rotation keys ten frames apart, aligns them with the reference (none: continuous)
// and reads them back.
static std::vector<Quaternion> MadeContinuous(const std::vector<Quaternion>& keys,
                                              const AnimCurve& reference = AnimCurve()) {
  AnimCurve curve = Curve(AnimCurve::KeyQuaternion);
  for (std::uint32_t i = 0; i < keys.size(); ++i) EXPECT_TRUE(curve.AddKey(i * 10, keys[i]));
  curve.AlignRotations(reference);
  std::vector<Quaternion> result;
  for (std::uint32_t i = 0; i < curve.GetKeyCount(); ++i) result.push_back(curve.GetQuaternionKey(i));
  return result;
}

TEST(RotationContinuity, FlipsKeysAgainstTheirCorrectedPredecessorAndKeepsContinuousKeysAsStored) {
  // Every other key points away from the one before as stored.
  const std::vector<Quaternion> result =
      MadeContinuous({AboutZ(0.0f), AboutZ(0.4f).Negated(), AboutZ(0.8f), AboutZ(1.2f).Negated(), AboutZ(1.6f)});
  ASSERT_EQ(result.size(), 5u);
  for (std::uint32_t i = 0; i < 5; ++i) EXPECT_EQ(result[i], AboutZ(0.4f * static_cast<float>(i))) << i;
  const std::vector<Quaternion> keys = {AboutZ(0.2f).Negated(), AboutZ(0.4f).Negated(), AboutZ(0.6f).Negated()};
  EXPECT_EQ(MadeContinuous(keys), keys);
  // A key on a frame of the reference takes its sign there, the keys after it follow on.
  AnimCurve reference = Curve(AnimCurve::KeyQuaternion);
  ASSERT_TRUE(reference.AddKey(10, AboutZ(0.4f)));
  ASSERT_TRUE(reference.AddKey(15, AboutZ(9.0f)));
  EXPECT_EQ(MadeContinuous(keys, reference),
            (std::vector<Quaternion>{AboutZ(0.2f).Negated(), AboutZ(0.4f), AboutZ(0.6f)}));
}

TEST(AnimCurveEvaluation, InterpolatesLinearlyOrSphericallyAndHoldsTheEnds) {
  AnimCurve translations = Curve(AnimCurve::KeyVector3);
  Vector3 v;
  EXPECT_FALSE(translations.Evaluate(0.0f, 60.0f, v));
  ASSERT_TRUE(translations.AddKey(10, Vector3(0, 0, 0)));
  ASSERT_TRUE(translations.AddKey(20, Vector3(10, -20, 4)));
  ASSERT_TRUE(translations.AddKey(30, Vector3(10, 0, 4)));
  const std::pair<float, Vector3> cases[] = {
      {20, {10, -20, 4}}, {15, {5, -10, 2}}, {27.5f, {10, -5, 4}}, {-100, {0, 0, 0}}, {30.5f, {10, 0, 4}}};
  for (const auto& [frame, expected] : cases) {
    ASSERT_TRUE(translations.Evaluate(frame, 60.0f, v));
    EXPECT_NEAR(v.x, expected.x, 1e-5f) << frame;
    EXPECT_NEAR(v.y, expected.y, 1e-5f) << frame;
    EXPECT_NEAR(v.z, expected.z, 1e-5f) << frame;
  }
  AnimCurve rotations = Curve(AnimCurve::KeyQuaternion);
  Quaternion q;
  EXPECT_FALSE(rotations.Evaluate(0.0f, 60.0f, q));
  ASSERT_TRUE(rotations.AddKey(0, AboutZ(0.0f)));
  ASSERT_TRUE(rotations.AddKey(8, AboutZ(2.0f)));
  ASSERT_TRUE(rotations.Evaluate(2.0f, 60.0f, q));
  EXPECT_NEAR(q.z, AboutZ(0.5f).z, 1e-5f);
  EXPECT_NEAR(q.w, AboutZ(0.5f).w, 1e-5f);
  // A step track holds each key until the next, and keeps stepping once emptied.
  translations.SetInterpolation(AnimCurve::Step);
  rotations.SetInterpolation(AnimCurve::Step);
  ASSERT_TRUE(translations.Evaluate(19.9f, 60.0f, v));
  EXPECT_EQ(v, Vector3(0, 0, 0));
  ASSERT_TRUE(rotations.Evaluate(7.9f, 60.0f, q));
  EXPECT_EQ(q.z, AboutZ(0.0f).z);
  ASSERT_TRUE(rotations.Evaluate(8.0f, 60.0f, q));
  EXPECT_EQ(q.z, AboutZ(2.0f).z);
  translations.Empty();
  EXPECT_EQ(translations.GetInterpolation(), AnimCurve::Step);
}
