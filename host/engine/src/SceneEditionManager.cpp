#include "EngineCore/SceneEditionManager.h"

#include <algorithm>

#include "EngineCore/SceneObject.h"

namespace EngineCore {

SceneObject* SceneEditionManager::GetFirstSelectedObject(std::uint32_t typeMask, bool) const {
  for (SceneObject* object : selection_) {
    if (object->GetTypeFlags() & typeMask) return object;
  }
  return nullptr;
}

SceneObject* SceneEditionManager::GetNextSelectedObject(const SceneObject* previous, std::uint32_t typeMask,
                                                        bool) const {
  auto it = std::find(selection_.begin(), selection_.end(), previous);
  if (it == selection_.end()) return nullptr;
  for (++it; it != selection_.end(); ++it) {
    if ((*it)->GetTypeFlags() & typeMask) return *it;
  }
  return nullptr;
}

bool SceneEditionManager::IsSelected(const SceneObject* object) const {
  return std::find(selection_.begin(), selection_.end(), object) != selection_.end();
}

void SceneEditionManager::ClearObjectSelection(bool) { selection_.clear(); }

void SceneEditionManager::ToggleObjectSelection(SceneObject* object) {
  if (!object) return;
  const auto it = std::find(selection_.begin(), selection_.end(), object);
  if (it == selection_.end()) {
    selection_.push_back(object);
  } else {
    selection_.erase(it);
  }
}

void SceneEditionManager::Forget(const SceneObject* object) { std::erase(selection_, object); }

}  // namespace EngineCore
