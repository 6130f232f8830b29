#include "objects/PreviewObjects.h"

#include "EngineCore/Scene.h"
#include "EngineCore/SceneEditionManager.h"
#include "curves/ClipEditCore.h"
#include "curves/FrameworkMessages.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

bool PreviewObjects::Fill() {
  listed.clear();
  EngineCore::Scene* scene = core.GetScene();
  listsObjects = core.GetClip() && scene;
  // A single chosen object that is no longer listed leaves the list without a current entry.
  currentEntry = listsObjects ? -1 : kAllEntry;
  if (!listsObjects) return false;
  std::vector<EngineCore::SceneObject*> objects;
  scene->SearchAllObjects(Ids::kAllObjectTypes, objects);
  for (EngineCore::SceneObject* object : objects) {
    if (!core.IsAnimatedByClip(object) || !object->HasName()) continue;
    std::string text = object->GetName().str();
    EngineCore::String tag;
    if (scene->FindTag(object, tag)) text += " [ " + tag.str() + " ] ";
    listed.push_back({object, text});
  }
  ShowChoice();
  return true;
}

int PreviewObjects::GetEntryCount() const {
  return listsObjects ? kFirstObjectEntry + static_cast<int>(listed.size()) : 1;
}

void PreviewObjects::ShowChoice() {
  if (chosenObjects.empty()) {
    currentEntry = kAllEntry;
  } else if (chosenObjects.size() >= 2) {
    currentEntry = kSelectionEntry;
  } else {
    for (std::size_t i = 0; i < listed.size(); ++i) {
      if (listed[i].object == chosenObjects.front()) currentEntry = kFirstObjectEntry + static_cast<int>(i);
    }
  }
}

std::vector<EngineCore::SceneObject*> PreviewObjects::AnimatedObjects() const {
  std::vector<EngineCore::SceneObject*> objects;
  core.GetScene()->SearchAllObjects(Ids::kAllObjectTypes, objects);
  std::erase_if(objects, [this](const EngineCore::SceneObject* object) { return !core.IsAnimatedByClip(object); });
  return objects;
}

int PreviewObjects::CollectSelectedObjects() {
  chosenObjects.clear();
  EngineCore::SceneEditionManager* selection = core.GetSceneSelection();
  if (!selection) return 0;
  for (EngineCore::SceneObject* object = selection->GetFirstSelectedObject(Ids::kAllObjectTypes, false); object;
       object = selection->GetNextSelectedObject(object, Ids::kAllObjectTypes, false)) {
    if (core.IsAnimatedByClip(object)) chosenObjects.push_back(object);
  }
  return static_cast<int>(chosenObjects.size());
}

bool PreviewObjects::Choose(int entry) {
  chosenObjects.clear();
  if (entry < 0 || entry >= GetEntryCount()) return false;
  currentEntry = entry;
  EngineCore::SceneEditionManager* selection = core.GetSceneSelection();
  if (entry == kAllEntry) {
    if (selection) chosenObjects = AnimatedObjects();
  } else if (entry == kSelectionEntry) {
    if (selection) {
      // With nothing selected in the scene there is nothing to follow.
      if (selection->GetSelectedObjectCount() == 0) return false;
      CollectSelectedObjects();
    }
  } else if (EngineCore::SceneObject* object = listed[static_cast<std::size_t>(entry - kFirstObjectEntry)].object;
             selection && object) {
    chosenObjects.assign(1, object);
    selection->ClearObjectSelection(false);
    selection->ToggleObjectSelection(object);
    const auto scene = reinterpret_cast<EditorCore::WPARAM>(core.GetScene());
    FrameworkMessages::Broadcast(Ids::kMsgSceneSelection, scene, 0);
    FrameworkMessages::SendTo(FrameworkMessages::FindModule(Ids::kViewerModule), Ids::kMsgViewerSelection, scene, 0);
  }
  return true;
}

void PreviewObjects::SelectChannelObjects(const std::function<bool(std::uint32_t)>& isShown) {
  EngineCore::SceneEditionManager* selection = core.GetSceneSelection();
  if (!selection || !core.GetClip()) return;
  chosenObjects.clear();
  selection->ClearObjectSelection(false);
  for (EngineCore::SceneObject* object : AnimatedObjects()) {
    if (!isShown(ClipEditCore::GetObjectChannel(object))) continue;
    chosenObjects.push_back(object);
    selection->ToggleObjectSelection(object);
  }
}

void PreviewObjects::BuildTargets() {
  if (currentEntry != kAllEntry || !core.GetSceneSelection()) return;
  chosenObjects.clear();
  core.GetScene()->SearchAllObjects(Ids::kAllObjectTypes, chosenObjects);
}

}  // namespace Tarvel
