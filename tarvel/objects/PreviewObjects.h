#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "EngineCore/SceneObject.h"

namespace Tarvel {

class ClipEditCore;

// The scene objects a clip page previews on (the chosen objects) and the list the user
// chooses them in: entry 0 every object animated by the clip, entry 1 the animated objects
// selected in the scene, then one entry per animated object. Contract:
// 1. The listed objects are the scene's objects animated by the clip that have a name, in
//    the scene's search order, each with its text (its name, and " [ tag ] " when tagged).
// 2. chosenObjects changes only through CollectSelectedObjects, Choose, SelectChannelObjects
//    and, while entry 0 is the current entry, BuildTargets.
// 3. Without a clip or a scene the list holds one entry that says so (ListsObjects false).
class PreviewObjects {
 public:
  static constexpr int kAllEntry = 0;
  static constexpr int kSelectionEntry = 1;
  static constexpr int kFirstObjectEntry = 2;

  struct ListedObject {
    EngineCore::SceneObject* object;
    std::string text;
  };

  explicit PreviewObjects(const ClipEditCore& editCore) : core(editCore) {}

  // Lists the scene's animated objects again; false without a clip or a scene, when the list
  // only says so.
  bool Fill();
  bool ListsObjects() const { return listsObjects; }
  const std::vector<ListedObject>& GetListed() const { return listed; }
  int GetEntryCount() const;
  int GetCurrentEntry() const { return currentEntry; }
  void SetCurrentEntry(int entry) { currentEntry = entry; }
  // The entry that shows the chosen objects: 0 for none, 1 for several, the entry of a single
  // one; unchanged when that one is not listed.
  void ShowChoice();

  // The scene's selected objects animated by the clip become the chosen ones; returns how
  // many.
  int CollectSelectedObjects();
  // The user picked an entry: the chosen objects follow it, and a picked object becomes the
  // scene's only selected object (every module is told, the viewer first). False when there
  // is nothing to follow (no entry, or the scene-selection entry with nothing selected).
  bool Choose(int entry);
  // The clip's animated objects whose channel is shown become the chosen ones and the
  // scene's selection.
  void SelectChannelObjects(const std::function<bool(std::uint32_t channelKey)>& isShown);
  // While entry 0 is current, every object of the scene; the preview skips those the clip
  // does not animate.
  void BuildTargets();

  std::vector<EngineCore::SceneObject*> chosenObjects;

 private:
  std::vector<EngineCore::SceneObject*> AnimatedObjects() const;

  const ClipEditCore& core;
  std::vector<ListedObject> listed;
  bool listsObjects = false;
  int currentEntry = kAllEntry;
};

}  // namespace Tarvel
