#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "EngineCore/AnimController.h"
#include "EngineCore/Quaternion.h"
#include "EngineCore/String.h"
#include "EngineCore/Vector3.h"

namespace EngineCore {

// An object of a scene: an optional name, type flags, a local transform relative to its
// parent, and an animation controller when it is animated.
class SceneObject {
 public:
  enum TypeFlags : std::uint32_t {
    TypeNode = 0x01,
    // Set while the object carries an animation controller.
    TypeAnimated = 0x80,
  };

  SceneObject(std::optional<String> name, SceneObject* parent) : name_(std::move(name)), parent_(parent) {}

  // Objects without a name record are nameless, which is not the same as an empty name.
  bool HasName() const { return name_.has_value(); }
  const String& GetName() const;

  std::uint32_t GetTypeFlags() const { return typeFlags_; }
  SceneObject* GetParent() const { return parent_; }
  // Position in its scene's objects (Scene::GetObjectAt); 0 for an object made outside a scene.
  std::uint32_t GetIndex() const { return index_; }

  const Vector3& GetLocalTranslation() const { return translation_; }
  const Quaternion& GetLocalRotation() const { return rotation_; }
  const Vector3& GetLocalScale() const { return scale_; }
  void SetLocalTranslation(const Vector3& value) { translation_ = value; }
  void SetLocalRotation(const Quaternion& value) { rotation_ = value; }
  void SetLocalScale(const Vector3& value) { scale_ = value; }
  // The weights of the object's morph targets, as its animation last set them; empty for an
  // object without.
  const std::vector<float>& GetMorphWeights() const { return morphWeights_; }
  void SetMorphWeights(std::vector<float> weights) { morphWeights_ = std::move(weights); }
  // Position of the object's origin in scene space, through its parents; time linear in
  // its depth (Scene::ComputeWorldPositions places every object at once).
  Vector3 GetWorldPosition() const;

  AnimController* GetController() const { return controller_.get(); }
  // Creates the controller on first use and marks the object animated.
  AnimController* CreateController();

  // A joint of a skeleton (a skin's joint in the scene file): the viewer draws bones from
  // joints only.
  bool IsJoint() const { return joint_; }
  void SetJoint(bool joint) { joint_ = joint; }

  // Objects whose keys must not be set from the editor (a host-side lock); keying at the
  // time cursor passes over them.
  bool IsKeyingLocked() const { return keyingLocked_; }
  void SetKeyingLocked(bool locked) { keyingLocked_ = locked; }

 private:
  friend class Scene;

  std::optional<String> name_;
  SceneObject* parent_;
  std::uint32_t index_ = 0;
  std::uint32_t typeFlags_ = TypeNode;
  Vector3 translation_;
  Quaternion rotation_;
  Vector3 scale_{1.0f, 1.0f, 1.0f};
  std::vector<float> morphWeights_;
  std::unique_ptr<AnimController> controller_;
  bool keyingLocked_ = false;
  bool joint_ = false;
};

}  // namespace EngineCore
