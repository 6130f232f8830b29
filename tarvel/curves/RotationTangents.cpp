#include "curves/RotationTangents.h"

#include <cmath>

#include "curves/EulerAngles.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

using EngineCore::Quaternion;

std::array<float, 4> RotationTangents::Local(const Quaternion& key, const Quaternion& tangent) {
  const float squared = key.Dot(key);
  if (!(squared > 0.0f)) return {};
  const Quaternion inverse(-key.x / squared, -key.y / squared, -key.z / squared, key.w / squared);
  const Quaternion local = inverse * tangent;
  return {local.x, local.y, local.z, local.w};
}

EditorToolkit::KeyTangents RotationTangents::ToLocal(const Quaternion& key, const Quaternion& in,
                                                     const Quaternion& out) {
  return {Local(key, in), Local(key, out)};
}

Quaternion RotationTangents::FromLocal(const Quaternion& key, const std::array<float, 4>& local) {
  return key * Quaternion(local[0], local[1], local[2], local[3]);
}

namespace {

// The angles (degrees) of the key moved along a tangent for a short time, either way: their
// difference over the time is the rate, with an error of the time's square.
constexpr double kStep = 1e-3;

RotationTangents::Rates AnglesAt(const Quaternion& key, const Quaternion& tangent, double time,
                                 const EulerAngles::Triple& near) {
  double q[4] = {key.x + time * tangent.x, key.y + time * tangent.y, key.z + time * tangent.z,
                 key.w + time * tangent.w};
  const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  const Quaternion moved(static_cast<float>(q[0] / length), static_cast<float>(q[1] / length),
                         static_cast<float>(q[2] / length), static_cast<float>(q[3] / length));
  EngineCore::Vector3 angles;
  moved.GetAngles(angles);
  return EulerAngles::Nearest(
      {angles.x * Ids::kDegreesPerRadian, angles.y * Ids::kDegreesPerRadian, angles.z * Ids::kDegreesPerRadian}, near);
}

// A quaternion tangent that turns the key about one of its frame's axes at one radian a second.
Quaternion TurnAbout(const Quaternion& key, int axis) {
  const Quaternion spin(axis == 0 ? 0.5f : 0.0f, axis == 1 ? 0.5f : 0.0f, axis == 2 ? 0.5f : 0.0f, 0.0f);
  return key * spin;
}

}  // namespace

bool RotationTangents::AngleRates(const Quaternion& key, const std::array<double, 3>& own, const Quaternion& tangent,
                                  Rates& rates) {
  // Near Y = +-90 degrees X and Z turn about one axis: their rates have no meaning there.
  if (std::abs(std::remainder(own[1] - 90.0, 180.0)) < 0.5) return false;
  // A long tangent moves far in the step: the step shrinks with it.
  const double size = std::sqrt(static_cast<double>(tangent.Dot(tangent)));
  const double time = kStep / std::max(size, 1.0);
  const Rates ahead = AnglesAt(key, tangent, time, own);
  const Rates behind = AnglesAt(key, tangent, -time, own);
  for (int c = 0; c < 3; ++c) rates[c] = (ahead[c] - behind[c]) / (2.0 * time);
  return true;
}

bool RotationTangents::TangentForRates(const Quaternion& key, const std::array<double, 3>& angles, const Rates& rates,
                                       Quaternion& tangent) {
  // The rates of a turn about each axis of the key's frame, as columns: solved for the turn
  // that gives the wanted rates.
  double columns[3][3];
  for (int axis = 0; axis < 3; ++axis) {
    Rates turn{};
    if (!AngleRates(key, angles, TurnAbout(key, axis), turn)) return false;
    for (int c = 0; c < 3; ++c) columns[axis][c] = turn[c];
  }
  auto det = [](const double a[3], const double b[3], const double c[3]) {
    return a[0] * (b[1] * c[2] - b[2] * c[1]) - b[0] * (a[1] * c[2] - a[2] * c[1]) + c[0] * (a[1] * b[2] - a[2] * b[1]);
  };
  const double whole = det(columns[0], columns[1], columns[2]);
  if (!(std::abs(whole) > 1e-9)) return false;
  const double wanted[3] = {rates[0], rates[1], rates[2]};
  // Cramer's rule: each turn's share, its column replaced by the wanted rates.
  double share[3];
  share[0] = det(wanted, columns[1], columns[2]) / whole;
  share[1] = det(columns[0], wanted, columns[2]) / whole;
  share[2] = det(columns[0], columns[1], wanted) / whole;
  double sum[4] = {0, 0, 0, 0};
  for (int axis = 0; axis < 3; ++axis) {
    const Quaternion turn = TurnAbout(key, axis);
    sum[0] += share[axis] * turn.x;
    sum[1] += share[axis] * turn.y;
    sum[2] += share[axis] * turn.z;
    sum[3] += share[axis] * turn.w;
  }
  tangent = Quaternion(static_cast<float>(sum[0]), static_cast<float>(sum[1]), static_cast<float>(sum[2]),
                       static_cast<float>(sum[3]));
  return true;
}

}  // namespace Tarvel
