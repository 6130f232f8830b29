#pragma once

#include "EngineCore/Vector3.h"

namespace TarvelHost {

// The viewer's camera: it orbits a target point of a Y-up scene at a distance, with a
// perspective projection onto a view of width x height pixels. Contract:
// 1. The target projects to the centre of the view; scene +X goes right and +Y up when
//    yaw and pitch are 0 (the camera then looks down -Z).
// 2. Pitch stays within ±1.5 radians so the view never flips over; the distance stays
//    positive.
// 3. Pan moves the target so that the scene follows the pointer at the target's depth.
class ViewerCamera {
 public:
  struct Projection {
    float x = 0.0f;
    float y = 0.0f;
    float depth = 0.0f;
    bool visible = false;  // in front of the camera
  };

  // Frames a box: target at its centre, distance so that the whole box shows in a view of
  // that width / height ratio.
  void Fit(const EngineCore::Vector3& minimum, const EngineCore::Vector3& maximum, float aspect = 1.0f);
  // Puts the camera at a distance from a target, turned by yaw and pitch (pitch limited).
  void SetView(const EngineCore::Vector3& newTarget, float newDistance, float newYaw, float newPitch);
  // Pixel moves of the pointer.
  void Orbit(float dx, float dy);
  void Pan(float dx, float dy, int viewHeight);
  // Wheel notches, positive moves closer.
  void Zoom(float notches);

  Projection Project(const EngineCore::Vector3& point, int viewWidth, int viewHeight) const;

  EngineCore::Vector3 GetPosition() const;
  const EngineCore::Vector3& GetTarget() const { return target; }
  float GetDistance() const { return distance; }
  float GetYaw() const { return yaw; }
  float GetPitch() const { return pitch; }

 private:
  void Basis(EngineCore::Vector3& forward, EngineCore::Vector3& right, EngineCore::Vector3& up) const;
  float FocalLength(int viewHeight) const;

  EngineCore::Vector3 target;
  float distance = 5.0f;
  float yaw = 0.0f;
  float pitch = 0.2f;
};

}  // namespace TarvelHost
