#include "EngineCore/SceneObject.h"

namespace EngineCore {

const String& SceneObject::GetName() const {
  static const String kNoName;
  return name_ ? *name_ : kNoName;
}

Vector3 SceneObject::GetWorldPosition() const {
  Vector3 position = translation_;
  for (const SceneObject* p = parent_; p; p = p->parent_) {
    const Vector3 scaled(position.x * p->scale_.x, position.y * p->scale_.y, position.z * p->scale_.z);
    position = p->rotation_.Rotate(scaled) + p->translation_;
  }
  return position;
}

AnimController* SceneObject::CreateController() {
  if (!controller_) controller_ = std::make_unique<AnimController>(this);
  typeFlags_ |= TypeAnimated;
  return controller_.get();
}

}  // namespace EngineCore
