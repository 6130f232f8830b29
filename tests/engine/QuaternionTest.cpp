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
constexpr double kPiD = std::numbers::pi;

Quaternion AboutX(float angle) { return {std::sin(angle / 2), 0.0f, 0.0f, std::cos(angle / 2)}; }
Quaternion AboutY(float angle) { return {0.0f, std::sin(angle / 2), 0.0f, std::cos(angle / 2)}; }
Quaternion AboutZ(float angle) { return {0.0f, 0.0f, std::sin(angle / 2), std::cos(angle / 2)}; }

// Rotation by fixed-axis angles X then Y then Z, as a matrix product Rz * Ry * Rx in double
// precision: a reference that does not go through quaternions at all.
Vector3 RotateByMatrices(double ax, double ay, double az, const Vector3& v) {
  double p[3] = {v.x, v.y, v.z};
  const double c1 = std::cos(ax), s1 = std::sin(ax);
  double r[3] = {p[0], c1 * p[1] - s1 * p[2], s1 * p[1] + c1 * p[2]};
  const double c2 = std::cos(ay), s2 = std::sin(ay);
  double u[3] = {c2 * r[0] + s2 * r[2], r[1], -s2 * r[0] + c2 * r[2]};
  const double c3 = std::cos(az), s3 = std::sin(az);
  return {static_cast<float>(c3 * u[0] - s3 * u[1]), static_cast<float>(s3 * u[0] + c3 * u[1]),
          static_cast<float>(u[2])};
}

void ExpectVectorNear(const Vector3& actual, const Vector3& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectSameQuaternion(const Quaternion& a, const Quaternion& b, float tolerance) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
  EXPECT_NEAR(a.w, b.w, tolerance);
}

// Largest distance between the images of three test vectors under two rotations.
float RotationDistance(const Quaternion& a, const Quaternion& b) {
  const Vector3 probes[] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.3f, -0.5f, 0.8f}};
  float worst = 0.0f;
  for (const Vector3& v : probes) {
    const Vector3 d = a.Rotate(v) - b.Rotate(v);
    worst = std::max(worst, std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z));
  }
  return worst;
}

std::vector<float> SampleAngles(float low, float high, int count) {
  std::vector<float> angles;
  for (int i = 0; i <= count; ++i) angles.push_back(low + (high - low) * static_cast<float>(i) / static_cast<float>(count));
  return angles;
}

}  // namespace

TEST(QuaternionProduct, FollowsHamiltonsRules) {
  const Quaternion i(1, 0, 0, 0), j(0, 1, 0, 0), k(0, 0, 1, 0), minusOne(0, 0, 0, -1);
  EXPECT_EQ(i * j, k);
  EXPECT_EQ(j * k, i);
  EXPECT_EQ(k * i, j);
  EXPECT_EQ(j * i, k.Negated());
  EXPECT_EQ(i * i, minusOne);
  EXPECT_EQ(i * j * k, minusOne);
}

TEST(QuaternionProduct, AppliesTheRightFactorFirst) {
  // X turned a quarter about Z becomes Y, then a quarter about X takes Y to Z.
  const Quaternion q = AboutX(kPi / 2) * AboutZ(kPi / 2);
  ExpectVectorNear(q.Rotate({1, 0, 0}), {0, 0, 1}, 1e-6f);
}

TEST(QuaternionRotation, TurnsAxesCounterClockwise) {
  ExpectVectorNear(AboutZ(kPi / 2).Rotate({1, 0, 0}), {0, 1, 0}, 1e-6f);
  ExpectVectorNear(AboutX(kPi / 2).Rotate({0, 1, 0}), {0, 0, 1}, 1e-6f);
  ExpectVectorNear(AboutY(kPi / 2).Rotate({0, 0, 1}), {1, 0, 0}, 1e-6f);
  ExpectVectorNear(Quaternion().Rotate({0.5f, -2, 3}), {0.5f, -2, 3}, 0.0f);
}

TEST(QuaternionRotation, KeepsLengths) {
  const Quaternion q = Quaternion::FromAngles(0.4f, -1.1f, 2.3f);
  const Vector3 v = q.Rotate({3, 4, 12});
  EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 13.0f, 1e-4f);
}

TEST(QuaternionNormalization, GivesUnitLengthAndIdentityForZero) {
  const Quaternion q = Quaternion(1, 2, 2, 4).Normalized();
  EXPECT_NEAR(q.Dot(q), 1.0f, 1e-6f);
  ExpectSameQuaternion(q, {0.2f, 0.4f, 0.4f, 0.8f}, 1e-6f);
  EXPECT_EQ(Quaternion(0, 0, 0, 0).Normalized(), Quaternion());
}

TEST(EulerAngles, ZOfAQuarterTurnTakesXToY) {
  Quaternion q;
  q.SetAngles(0.0f, 0.0f, kPi / 2);
  ExpectVectorNear(q.Rotate({1, 0, 0}), {0, 1, 0}, 1e-6f);
  ExpectSameQuaternion(q, {0.0f, 0.0f, std::sqrt(0.5f), std::sqrt(0.5f)}, 1e-6f);
}

TEST(EulerAngles, SingleAxisAnglesGiveSingleAxisQuaternions) {
  for (float a : SampleAngles(-kPi, kPi, 16)) {
    ExpectSameQuaternion(Quaternion::FromAngles(a, 0, 0), AboutX(a), 1e-6f);
    ExpectSameQuaternion(Quaternion::FromAngles(0, a, 0), AboutY(a), 1e-6f);
    ExpectSameQuaternion(Quaternion::FromAngles(0, 0, a), AboutZ(a), 1e-6f);
  }
}

TEST(EulerAngles, ComposeAsZTimesYTimesX) {
  for (float ax : SampleAngles(-3.0f, 3.0f, 6)) {
    for (float ay : SampleAngles(-1.5f, 1.5f, 6)) {
      for (float az : SampleAngles(-3.0f, 3.0f, 6)) {
        const Quaternion q = Quaternion::FromAngles(ax, ay, az);
        ExpectSameQuaternion(q, AboutZ(az) * AboutY(ay) * AboutX(ax), 5e-6f);
        ExpectVectorNear(q.Rotate({0.3f, -0.5f, 0.8f}), RotateByMatrices(ax, ay, az, {0.3f, -0.5f, 0.8f}), 5e-6f);
      }
    }
  }
}

TEST(EulerAngles, SetAnglesReplacesThePreviousValue) {
  Quaternion q(0.5f, 0.5f, 0.5f, 0.5f);
  q.SetAngles(0, 0, 0);
  EXPECT_EQ(q, Quaternion());
}

TEST(EulerAngles, ComeBackUnchangedInsideTheirPrincipalRanges) {
  for (float ax : SampleAngles(-3.1f, 3.1f, 24)) {
    for (float ay : SampleAngles(-1.45f, 1.45f, 24)) {
      for (float az : SampleAngles(-3.1f, 3.1f, 24)) {
        Vector3 angles;
        Quaternion::FromAngles(ax, ay, az).GetAngles(angles);
        ASSERT_NEAR(angles.x, ax, 2e-5f) << ax << " " << ay << " " << az;
        ASSERT_NEAR(angles.y, ay, 2e-5f) << ax << " " << ay << " " << az;
        ASSERT_NEAR(angles.z, az, 2e-5f) << ax << " " << ay << " " << az;
      }
    }
  }
}

TEST(EulerAngles, ComeBackFromTheNegatedQuaternionToo) {
  Vector3 angles;
  Quaternion::FromAngles(0.7f, -0.4f, 2.9f).Negated().GetAngles(angles);
  EXPECT_NEAR(angles.x, 0.7f, 1e-5f);
  EXPECT_NEAR(angles.y, -0.4f, 1e-5f);
  EXPECT_NEAR(angles.z, 2.9f, 1e-5f);
}

TEST(EulerAngles, StayInsideTheirPrincipalRangesForAnyRotation) {
  std::mt19937 random(12345);
  std::normal_distribution<float> gauss;
  for (int n = 0; n < 2000; ++n) {
    const Quaternion q = Quaternion(gauss(random), gauss(random), gauss(random), gauss(random)).Normalized();
    Vector3 angles;
    q.GetAngles(angles);
    ASSERT_LE(std::abs(angles.x), kPi);
    ASSERT_LE(std::abs(angles.y), kPi / 2);
    ASSERT_LE(std::abs(angles.z), kPi);
    const Quaternion back = Quaternion::FromAngles(angles.x, angles.y, angles.z);
    ASSERT_GT(std::abs(back.Dot(q)), 1.0f - 1e-6f) << q.x << " " << q.y << " " << q.z << " " << q.w;
    ASSERT_LT(RotationDistance(back, q), 1e-5f);
  }
}

TEST(EulerAngles, GiveTheSameRotationForAnglesOutsideTheirRanges) {
  const float cases[][3] = {{0.0f, 2.0f, 0.0f}, {0.3f, -2.5f, 1.0f}, {4.0f, 0.2f, -5.0f}, {-7.0f, 3.5f, 7.0f}};
  for (const auto& c : cases) {
    const Quaternion q = Quaternion::FromAngles(c[0], c[1], c[2]);
    Vector3 angles;
    q.GetAngles(angles);
    EXPECT_LE(std::abs(angles.y), kPi / 2);
    EXPECT_LT(RotationDistance(Quaternion::FromAngles(angles.x, angles.y, angles.z), q), 1e-5f);
  }
}

class GimbalLock : public ::testing::TestWithParam<float> {};

// At and near a quarter turn about Y, X and Z turn about the same axis: the angles that
// come back may differ, the rotation they give may not.
TEST_P(GimbalLock, GivesBackTheSameRotation) {
  const float distance = GetParam();
  for (float sign : {1.0f, -1.0f}) {
    const float ay = sign * static_cast<float>(kPiD / 2 - distance);
    for (float ax : SampleAngles(-3.0f, 3.0f, 12)) {
      for (float az : SampleAngles(-3.0f, 3.0f, 12)) {
        const Quaternion q = Quaternion::FromAngles(ax, ay, az);
        Vector3 angles;
        q.GetAngles(angles);
        ASSERT_LE(std::abs(angles.y), kPi / 2);
        const Quaternion back = Quaternion::FromAngles(angles.x, angles.y, angles.z);
        ASSERT_GT(std::abs(back.Dot(q)), 1.0f - 1e-6f) << ax << " " << ay << " " << az;
        ASSERT_LT(RotationDistance(back, q), 5e-6f) << ax << " " << ay << " " << az;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AboutY, GimbalLock,
                         ::testing::Values(0.0f, 1e-7f, 1e-6f, 1e-5f, 1e-4f, 3e-4f, 1e-3f, 3e-3f, 1e-2f, 0.1f));

TEST(EulerAngles, PutTheWholeTurnInZAtTheLock) {
  Vector3 angles;
  Quaternion::FromAngles(0.4f, kPi / 2, 1.0f).GetAngles(angles);
  EXPECT_FLOAT_EQ(angles.x, 0.0f);
  EXPECT_NEAR(angles.y, kPi / 2, 1e-6f);
  EXPECT_NEAR(angles.z, 0.6f, 1e-5f);
  Quaternion::FromAngles(0.4f, -kPi / 2, 1.0f).GetAngles(angles);
  EXPECT_FLOAT_EQ(angles.x, 0.0f);
  EXPECT_NEAR(angles.y, -kPi / 2, 1e-6f);
  EXPECT_NEAR(angles.z, 1.4f, 1e-5f);
}

TEST(QuaternionSlerp, StartsAndEndsAtItsKeys) {
  const Quaternion a = Quaternion::FromAngles(0.1f, 0.2f, 0.3f);
  const Quaternion b = Quaternion::FromAngles(1.0f, -0.5f, 2.0f);
  ExpectSameQuaternion(Quaternion::Slerp(a, b, 0.0f), a, 1e-6f);
  ExpectSameQuaternion(Quaternion::Slerp(a, b, 1.0f), b, 1e-6f);
}

TEST(QuaternionSlerp, TurnsAtAConstantRate) {
  const Quaternion mid = Quaternion::Slerp(Quaternion(), AboutZ(2.0f), 0.25f);
  ExpectSameQuaternion(mid, AboutZ(0.5f), 1e-6f);
  EXPECT_NEAR(mid.Dot(mid), 1.0f, 1e-6f);
}

TEST(QuaternionSlerp, TakesTheShorterWay) {
  // -AboutZ(1) is the same turn as AboutZ(1); half way must be AboutZ(0.5), not a turn the
  // long way round.
  const Quaternion mid = Quaternion::Slerp(Quaternion(), AboutZ(1.0f).Negated(), 0.5f);
  EXPECT_LT(RotationDistance(mid, AboutZ(0.5f)), 1e-6f);
}

TEST(QuaternionSlerp, StaysUnitBetweenNearlyEqualKeys) {
  const Quaternion mid = Quaternion::Slerp(AboutX(0.3f), AboutX(0.301f), 0.5f);
  EXPECT_NEAR(mid.Dot(mid), 1.0f, 1e-6f);
  ExpectSameQuaternion(mid, AboutX(0.3005f), 1e-6f);
}
