#pragma once

#include <cstdint>
#include <vector>

namespace EngineCore {

class SceneObject;

// The editor's object selection of one scene, in the order objects were selected.
class SceneEditionManager {
 public:
  std::uint32_t GetSelectedObjectCount() const { return static_cast<std::uint32_t>(selection_.size()); }
  // First selected object whose type flags meet the mask, or null. The flag is accepted for
  // the host's signature and has no effect here.
  SceneObject* GetFirstSelectedObject(std::uint32_t typeMask, bool flag) const;
  // The selected object after `previous` that meets the mask, or null.
  SceneObject* GetNextSelectedObject(const SceneObject* previous, std::uint32_t typeMask, bool flag) const;
  bool IsSelected(const SceneObject* object) const;

  void ClearObjectSelection(bool notify);
  // Selects an unselected object (appending it) or deselects a selected one.
  void ToggleObjectSelection(SceneObject* object);
  // Forgets an object that leaves the scene.
  void Forget(const SceneObject* object);

 private:
  std::vector<SceneObject*> selection_;
};

}  // namespace EngineCore
