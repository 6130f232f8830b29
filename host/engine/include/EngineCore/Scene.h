#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "EngineCore/SceneEditionManager.h"
#include "EngineCore/SceneObject.h"
#include "EngineCore/String.h"

namespace EngineCore {

// A scene: its objects in creation order (parents before children), a tag table and the
// editor's selection. Contract:
// 1. An object's parent is an object of the same scene, made before it, and never changes:
//    parent links form trees, no walk up from an object comes back to it, and the creation
//    order puts every parent before its children.
// 2. FindObject, SetTag and FindTag take constant time (on average), whatever the number of
//    objects.
// 3. ComputeWorldPositions places every object in one pass over the objects, in time linear
//    in their number however deep the hierarchy; it gives what each object's
//    GetWorldPosition gives, up to rounding.
class Scene {
 public:
  Scene();
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Creates an object; no name means a nameless object. The parent, when given, must be an
  // object of this scene.
  SceneObject* CreateObject(std::optional<String> name, SceneObject* parent = nullptr);
  std::uint32_t GetObjectCount() const { return static_cast<std::uint32_t>(objects_.size()); }
  SceneObject* GetObjectAt(std::uint32_t index) const { return objects_[index].get(); }
  // First object with that name, or null.
  SceneObject* FindObject(const String& name) const;

  // Appends to `list` every object whose type flags meet the mask, in creation order.
  void SearchAllObjects(std::uint32_t typeMask, std::vector<SceneObject*>& list) const;

  // Every object's position in scene space, through its parents' transforms, by object
  // index (SceneObject::GetIndex).
  void ComputeWorldPositions(std::vector<Vector3>& positions) const;

  // Null only for a scene built without one (tests of the editor's fallbacks).
  SceneEditionManager* GetEditionManager() const { return editionManager_.get(); }
  void RemoveEditionManager() { editionManager_.reset(); }

  // The tag table: tagged objects with a parallel list of tag names.
  void SetTag(SceneObject* object, const String& tag);
  bool FindTag(const SceneObject* object, String& tag) const;

 private:
  std::vector<std::unique_ptr<SceneObject>> objects_;
  // The first object of each name.
  std::unordered_map<std::string, SceneObject*> objectsByName_;
  std::unique_ptr<SceneEditionManager> editionManager_;
  std::unordered_map<const SceneObject*, String> tags_;
};

}  // namespace EngineCore
