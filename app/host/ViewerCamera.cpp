#include "ViewerCamera.h"

#include <algorithm>
#include <cmath>

namespace TarvelHost {

using EngineCore::Vector3;

namespace {

constexpr float kFieldOfView = 0.8f;  // vertical, radians
constexpr float kMaxPitch = 1.5f;
constexpr float kNear = 0.01f;

float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vector3 Normalized(const Vector3& v) {
  const float length = std::sqrt(Dot(v, v));
  return length > 0.0f ? v * (1.0f / length) : v;
}

}  // namespace

void ViewerCamera::Fit(const Vector3& minimum, const Vector3& maximum, float aspect) {
  target = Vector3::Lerp(minimum, maximum, 0.5f);
  const Vector3 half = (maximum - minimum) * 0.5f;
  const float radius = std::max(std::sqrt(Dot(half, half)), 0.1f);
  // A narrow view sees less across than up and down.
  const float halfAcross = std::atan(std::tan(kFieldOfView / 2.0f) * std::max(aspect, 0.05f));
  const float halfAngle = std::min(kFieldOfView / 2.0f, halfAcross);
  distance = radius / std::sin(halfAngle) * 1.05f;
}

void ViewerCamera::SetView(const Vector3& newTarget, float newDistance, float newYaw, float newPitch) {
  target = newTarget;
  distance = std::clamp(newDistance, 0.01f, 1.0e6f);
  yaw = newYaw;
  pitch = std::clamp(newPitch, -kMaxPitch, kMaxPitch);
}

void ViewerCamera::Orbit(float dx, float dy) {
  yaw -= dx * 0.01f;
  pitch = std::clamp(pitch + dy * 0.01f, -kMaxPitch, kMaxPitch);
}

void ViewerCamera::Pan(float dx, float dy, int viewHeight) {
  Vector3 forward, right, up;
  Basis(forward, right, up);
  const float worldPerPixel = distance / FocalLength(viewHeight);
  target = target - right * (dx * worldPerPixel) + up * (dy * worldPerPixel);
}

void ViewerCamera::Zoom(float notches) { distance = std::clamp(distance * std::pow(0.9f, notches), 0.01f, 1.0e6f); }

Vector3 ViewerCamera::GetPosition() const {
  const Vector3 offset(std::cos(pitch) * std::sin(yaw), std::sin(pitch), std::cos(pitch) * std::cos(yaw));
  return target + offset * distance;
}

void ViewerCamera::Basis(Vector3& forward, Vector3& right, Vector3& up) const {
  forward = Normalized(target - GetPosition());
  right = Normalized(Cross(forward, Vector3(0.0f, 1.0f, 0.0f)));
  up = Cross(right, forward);
}

float ViewerCamera::FocalLength(int viewHeight) const {
  return (static_cast<float>(std::max(viewHeight, 1)) / 2.0f) / std::tan(kFieldOfView / 2.0f);
}

ViewerCamera::Projection ViewerCamera::Project(const Vector3& point, int viewWidth, int viewHeight) const {
  Vector3 forward, right, up;
  Basis(forward, right, up);
  const Vector3 d = point - GetPosition();
  Projection result;
  result.depth = Dot(d, forward);
  if (result.depth <= kNear) return result;
  const float focal = FocalLength(viewHeight);
  result.x = static_cast<float>(viewWidth) / 2.0f + Dot(d, right) * focal / result.depth;
  result.y = static_cast<float>(viewHeight) / 2.0f - Dot(d, up) * focal / result.depth;
  result.visible = true;
  return result;
}

}  // namespace TarvelHost
