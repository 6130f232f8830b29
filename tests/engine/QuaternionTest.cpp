#include "EngineCore/Quaternion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

using EngineCore::Quaternion;
using EngineCore::Vector3;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

Quaternion AboutX(float a) { return {std::sin(a / 2), 0.0f, 0.0f, std::cos(a / 2)}; }
Quaternion AboutY(float a) { return {0.0f, std::sin(a / 2), 0.0f, std::cos(a / 2)}; }
Quaternion AboutZ(float a) { return {0.0f, 0.0f, std::sin(a / 2), std::cos(a / 2)}; }

void ExpectNear(const Vector3& a, const Vector3& b, float tolerance) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "component " << i;
}

void ExpectNear(const Quaternion& a, const Quaternion& b, float tolerance) {
  ExpectNear(Vector3(a.x, a.y, a.z), Vector3(b.x, b.y, b.z), tolerance);
  EXPECT_NEAR(a.w, b.w, tolerance);
}

// Largest distance between the images of three probe vectors: zero for the same rotation,
// whatever the sign of the quaternions.
float RotationDistance(const Quaternion& a, const Quaternion& b) {
  float worst = 0.0f;
  for (const Vector3& v : {Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0.3f, -0.5f, 0.8f)}) {
    const Vector3 d = a.Rotate(v) - b.Rotate(v);
    worst = std::max(worst, std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z));
  }
  return worst;
}

std::vector<float> Samples(float low, float high, int count) {
  std::vector<float> values;
  for (int i = 0; i <= count; ++i)
    values.push_back(low + (high - low) * static_cast<float>(i) / static_cast<float>(count));
  return values;
}

// Checks that angles read back from q rebuild the same rotation, within the principal ranges.
void ExpectAnglesRebuild(const Quaternion& q, float tolerance) {
  Vector3 angles;
  q.GetAngles(angles);
  ASSERT_LE(std::abs(angles.x), kPi);
  ASSERT_LE(std::abs(angles.y), kPi / 2);
  ASSERT_LE(std::abs(angles.z), kPi);
  const Quaternion back = Quaternion::FromAngles(angles.x, angles.y, angles.z);
  ASSERT_GT(std::abs(back.Dot(q)), 1.0f - 1e-6f) << q.x << " " << q.y << " " << q.z << " " << q.w;
  ASSERT_LT(RotationDistance(back, q), tolerance) << q.x << " " << q.y << " " << q.z << " " << q.w;
}

}  // namespace

TEST(QuaternionProduct,
     FollowsHamiltonsRulesAppliesTheRightFactorFirstAndTurnsCounterClockwiseAndNormalizesToUnitLength) {
  const Quaternion i(1, 0, 0, 0), j(0, 1, 0, 0), k(0, 0, 1, 0), minusOne(0, 0, 0, -1);
  EXPECT_EQ(i * j, k);
  EXPECT_EQ(j * k, i);
  EXPECT_EQ(k * i, j);
  EXPECT_EQ(j * i, k.Negated());
  EXPECT_EQ(i * j * k, minusOne);
  // X turned a quarter about Z becomes Y, then a quarter about X takes Y to Z.
  ExpectNear((AboutX(kPi / 2) * AboutZ(kPi / 2)).Rotate({1, 0, 0}), {0, 0, 1}, 1e-6f);
  // Each turn is counter-clockwise about its axis.
  ExpectNear(AboutZ(kPi / 2).Rotate({1, 0, 0}), {0, 1, 0}, 1e-6f);
  ExpectNear(AboutX(kPi / 2).Rotate({0, 1, 0}), {0, 0, 1}, 1e-6f);
  ExpectNear(AboutY(kPi / 2).Rotate({0, 0, 1}), {1, 0, 0}, 1e-6f);
  ExpectNear(Quaternion(1, 2, 2, 4).Normalized(), {0.2f, 0.4f, 0.4f, 0.8f}, 1e-6f);
  EXPECT_EQ(Quaternion(0, 0, 0, 0).Normalized(), Quaternion());
}

TEST(EulerAngles, ComposeAsZTimesYTimesX) {
  // The samples hold 0 on each axis, so single-axis turns are among them.
  for (float ax : Samples(-3.0f, 3.0f, 6)) {
    for (float ay : Samples(-1.5f, 1.5f, 6)) {
      for (float az : Samples(-3.0f, 3.0f, 6)) {
        ExpectNear(Quaternion::FromAngles(ax, ay, az), AboutZ(az) * AboutY(ay) * AboutX(ax), 5e-6f);
      }
    }
  }
}

TEST(EulerAngles, ComeBackUnchangedInsideTheirPrincipalRanges) {
  for (float ax : Samples(-3.1f, 3.1f, 12)) {
    for (float ay : Samples(-1.45f, 1.45f, 12)) {
      for (float az : Samples(-3.1f, 3.1f, 12)) {
        for (bool negated : {false, true}) {
          const Quaternion q = Quaternion::FromAngles(ax, ay, az);
          Vector3 angles;
          (negated ? q.Negated() : q).GetAngles(angles);
          const Vector3 wanted(ax, ay, az);
          for (int i = 0; i < 3; ++i) ASSERT_NEAR(angles[i], wanted[i], 2e-5f) << ax << " " << ay << " " << az;
        }
      }
    }
  }
}

TEST(EulerAngles, RebuildAnyRotation) {
  std::mt19937 random(12345);
  std::normal_distribution<float> gauss;
  for (int n = 0; n < 2000; ++n) {
    ExpectAnglesRebuild(Quaternion(gauss(random), gauss(random), gauss(random), gauss(random)).Normalized(), 1e-5f);
  }
}

class GimbalLock : public ::testing::TestWithParam<double> {};

// At and near a quarter turn about Y, X and Z turn about the same axis: the angles that
// come back may differ, the rotation they give may not.
TEST_P(GimbalLock, GivesBackTheSameRotation) {
  for (float sign : {1.0f, -1.0f}) {
    const float ay = sign * static_cast<float>(std::numbers::pi / 2 - GetParam());
    for (float ax : Samples(-3.0f, 3.0f, 12)) {
      for (float az : Samples(-3.0f, 3.0f, 12)) ExpectAnglesRebuild(Quaternion::FromAngles(ax, ay, az), 5e-6f);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AboutY, GimbalLock, ::testing::Values(0.0, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 0.1));

TEST(EulerAngles, PutTheWholeTurnInZAtTheLock) {
  Vector3 angles;
  Quaternion::FromAngles(0.4f, kPi / 2, 1.0f).GetAngles(angles);
  ExpectNear(angles, {0.0f, kPi / 2, 0.6f}, 1e-5f);
  Quaternion::FromAngles(0.4f, -kPi / 2, 1.0f).GetAngles(angles);
  ExpectNear(angles, {0.0f, -kPi / 2, 1.4f}, 1e-5f);
}

TEST(QuaternionSlerp, RunsAtAConstantRateBetweenItsKeysTheShorterWay) {
  const Quaternion a = Quaternion::FromAngles(0.1f, 0.2f, 0.3f), b = Quaternion::FromAngles(1.0f, -0.5f, 2.0f);
  ExpectNear(Quaternion::Slerp(a, b, 0.0f), a, 1e-6f);
  ExpectNear(Quaternion::Slerp(a, b, 1.0f), b, 1e-6f);
  ExpectNear(Quaternion::Slerp(Quaternion(), AboutZ(2.0f), 0.25f), AboutZ(0.5f), 1e-6f);
  // Nearly equal keys still give a unit result on the arc.
  ExpectNear(Quaternion::Slerp(AboutX(0.3f), AboutX(0.301f), 0.5f), AboutX(0.3005f), 1e-6f);
  // -AboutZ(1) is the same turn as AboutZ(1); half way is AboutZ(0.5), not the long way round.
  EXPECT_LT(RotationDistance(Quaternion::Slerp(Quaternion(), AboutZ(1.0f).Negated(), 0.5f), AboutZ(0.5f)), 1e-6f);
}
