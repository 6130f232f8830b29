#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "EngineCore/SceneEditionManager.h"
#include "EngineCore/SceneObject.h"
#include "EngineCore/String.h"

namespace EngineCore {

// A scene: its objects in creation order (parents before children), a tag table and the
// editor's selection.
class Scene {
 public:
  Scene();
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Creates an object; no name means a nameless object.
  SceneObject* CreateObject(std::optional<String> name, SceneObject* parent = nullptr);
  std::uint32_t GetObjectCount() const { return static_cast<std::uint32_t>(objects_.size()); }
  SceneObject* GetObjectAt(std::uint32_t index) const { return objects_[index].get(); }
  // First object with that name, or null.
  SceneObject* FindObject(const String& name) const;

  // Appends to `list` every object whose type flags meet the mask, in creation order.
  void SearchAllObjects(std::uint32_t typeMask, std::vector<SceneObject*>& list) const;

  // Null only for a scene built without one (tests of the editor's fallbacks).
  SceneEditionManager* GetEditionManager() const { return editionManager_.get(); }
  void RemoveEditionManager() { editionManager_.reset(); }

  // The tag table: tagged objects with a parallel list of tag names.
  void SetTag(SceneObject* object, const String& tag);
  bool FindTag(const SceneObject* object, String& tag) const;

 private:
  std::vector<std::unique_ptr<SceneObject>> objects_;
  std::unique_ptr<SceneEditionManager> editionManager_;
  std::vector<SceneObject*> taggedObjects_;
  std::vector<String> tagNames_;
};

}  // namespace EngineCore
