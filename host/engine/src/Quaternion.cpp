#include "EngineCore/Quaternion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace EngineCore {

void Quaternion::GetAngles(Vector3& angles) const {
  double qx = x, qy = y, qz = z, qw = w;
  const double length = std::sqrt(qx * qx + qy * qy + qz * qz + qw * qw);
  if (length > 0.0) {
    qx /= length;
    qy /= length;
    qz /= length;
    qw /= length;
  }
  // Entries of the rotation matrix Rz * Ry * Rx.
  const double m01 = 2.0 * (qx * qy - qw * qz), m02 = 2.0 * (qx * qz + qw * qy);
  const double m11 = 1.0 - 2.0 * (qx * qx + qz * qz), m12 = 2.0 * (qy * qz - qw * qx);
  const double m20 = 2.0 * (qx * qz - qw * qy), m21 = 2.0 * (qy * qz + qw * qx);
  const double m22 = 1.0 - 2.0 * (qx * qx + qy * qy);
  // cos(y) from a hypotenuse rather than y from asin: asin loses half the digits near a
  // quarter turn, which is where the angles are needed most carefully. (The entries are at
  // most one: the square root cannot overflow, and costs far less than hypot.)
  const double cosY = std::sqrt(m21 * m21 + m22 * m22);
  double angleX = 0.0;
  double angleY = 0.0;
  // cos(x) and sin(x) of the X returned, read off the matrix rather than computed again.
  double cx = 1.0;
  double sx = 0.0;
  if (cosY < 1e-6) {
    // Gimbal lock: X and Z turn about the same axis; keep the whole turn in Z.
    angleY = m20 < 0.0 ? std::numbers::pi / 2.0 : -std::numbers::pi / 2.0;
  } else {
    angleX = std::atan2(m21, m22);
    angleY = std::atan2(-m20, cosY);
    cx = m22 / cosY;
    sx = m21 / cosY;
  }
  // Z from entries of size one given X, so that the three angles always rebuild this
  // rotation even where X itself is poorly determined.
  const double angleZ = std::atan2(sx * m02 - cx * m01, cx * m11 - sx * m12);
  angles.x = static_cast<float>(angleX);
  angles.y = static_cast<float>(angleY);
  angles.z = static_cast<float>(angleZ);
}

void Quaternion::SetAngles(float angleX, float angleY, float angleZ) {
  const double cx = std::cos(angleX * 0.5), sx = std::sin(angleX * 0.5);
  const double cy = std::cos(angleY * 0.5), sy = std::sin(angleY * 0.5);
  const double cz = std::cos(angleZ * 0.5), sz = std::sin(angleZ * 0.5);
  w = static_cast<float>(cx * cy * cz + sx * sy * sz);
  x = static_cast<float>(sx * cy * cz - cx * sy * sz);
  y = static_cast<float>(cx * sy * cz + sx * cy * sz);
  z = static_cast<float>(cx * cy * sz - sx * sy * cz);
}

Quaternion Quaternion::FromAngles(float angleX, float angleY, float angleZ) {
  Quaternion q;
  q.SetAngles(angleX, angleY, angleZ);
  return q;
}

Quaternion Quaternion::Normalized() const {
  const float length = std::sqrt(Dot(*this));
  if (length <= 0.0f) return {};
  return {x / length, y / length, z / length, w / length};
}

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
  return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Vector3 Quaternion::Rotate(const Vector3& v) const {
  const Quaternion p(v.x, v.y, v.z, 0.0f);
  const Quaternion r = (*this) * p * Quaternion(-x, -y, -z, w);
  return {r.x, r.y, r.z};
}

Quaternion Quaternion::Slerp(const Quaternion& a, const Quaternion& b, float t) {
  Quaternion end = b;
  float cosine = a.Dot(b);
  if (cosine < 0.0f) {
    end = b.Negated();
    cosine = -cosine;
  }
  if (cosine > 0.9995f) {
    const Quaternion mixed(a.x + (end.x - a.x) * t, a.y + (end.y - a.y) * t, a.z + (end.z - a.z) * t,
                           a.w + (end.w - a.w) * t);
    return mixed.Normalized();
  }
  const float angle = std::acos(std::clamp(cosine, -1.0f, 1.0f));
  const float sine = std::sin(angle);
  const float wa = std::sin((1.0f - t) * angle) / sine;
  const float wb = std::sin(t * angle) / sine;
  return {a.x * wa + end.x * wb, a.y * wa + end.y * wb, a.z * wa + end.z * wb, a.w * wa + end.w * wb};
}

}  // namespace EngineCore
