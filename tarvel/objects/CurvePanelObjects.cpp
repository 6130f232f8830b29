// The curve panel's object list: which scene objects the preview drives, and how that choice,
// the scene's selection and the page's shown channels follow one another.

#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_ModuleManager.h"
#include "EngineCore/Scene.h"
#include "channels/GUI_ChannelListCtrl.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "module/AnimClipDialog.h"
#include "module/GUI_TrackListCtrl.h"
#include "module/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

constexpr std::uint32_t kAllObjectTypes = 0x7FFFFFFF;
constexpr int kAllEntry = 0;
constexpr int kSelectionEntry = 1;
constexpr int kFirstObjectEntry = 2;
constexpr UINT kViewerModule = 0x10000000u;
constexpr UINT kSceneSelection = 2225;
constexpr UINT kViewerSelection = 2326;

std::uint32_t ChannelOf(const EngineCore::SceneObject* object) {
  const EngineCore::AnimController* controller = object->GetController();
  return controller ? controller->GetChannelKey() : 0;
}

}  // namespace

void GUI_CurvePanelDialog::FillObjectList() {
  if (!objectCombo.IsWindow()) return;
  objectCombo.ResetContent();
  EngineCore::Scene* scene = page->scene;
  if (!page->GetClip() || !scene) {
    objectCombo.AddString(ModuleText::Translate("No Scene found..."));
    objectCombo.SetCurSel(0);
    return;
  }
  objectCombo.SetItemData(objectCombo.AddString(ModuleText::Translate(" - All animated objects")), 0);
  objectCombo.SetItemData(objectCombo.AddString(ModuleText::Translate(" - Scene selection")), 0);
  std::vector<EngineCore::SceneObject*> objects;
  scene->SearchAllObjects(kAllObjectTypes, objects);
  for (EngineCore::SceneObject* object : objects) {
    if (!IsAnimatedByClip(object) || !object->HasName()) continue;
    std::string text = object->GetName().str();
    EngineCore::String tag;
    if (scene->FindTag(object, tag)) text += " [ " + tag.str() + " ] ";
    objectCombo.SetItemData(objectCombo.AddString(text), reinterpret_cast<LPARAM>(object));
  }
  ShowObjectChoice();
  InvalidateViews();
}

void GUI_CurvePanelDialog::ShowObjectChoice() {
  if (!objectCombo.IsWindow()) return;
  if (chosenObjects.empty()) {
    objectCombo.SetCurSel(kAllEntry);
  } else if (chosenObjects.size() >= 2) {
    objectCombo.SetCurSel(kSelectionEntry);
  } else {
    for (int i = kFirstObjectEntry; i < objectCombo.GetCount(); ++i) {
      if (objectCombo.GetItemData(i) == reinterpret_cast<LPARAM>(chosenObjects.front())) {
        objectCombo.SetCurSel(i);
        break;
      }
    }
  }
}

int GUI_CurvePanelDialog::CollectSelectedObjects() {
  chosenObjects.clear();
  EngineCore::SceneEditionManager* selection = page->scene ? page->scene->GetEditionManager() : nullptr;
  if (!selection) return 0;
  for (EngineCore::SceneObject* object = selection->GetFirstSelectedObject(kAllObjectTypes, false); object;
       object = selection->GetNextSelectedObject(object, kAllObjectTypes, false)) {
    if (IsAnimatedByClip(object)) chosenObjects.push_back(object);
  }
  return static_cast<int>(chosenObjects.size());
}

void GUI_CurvePanelDialog::SyncObjectChoice(bool bShowChannels) {
  if (!page->scene || !page->scene->GetEditionManager()) return;
  CollectSelectedObjects();
  GUI_ChannelListCtrl& channels = *page->channelList;
  if (!chosenObjects.empty()) {
    const std::uint32_t key = ChannelOf(chosenObjects.front());
    if (key != 0) {
      // The channel the track list shows: its first selected row's, else its first row's.
      TrackEntry* entry = nullptr;
      const CurveInfo* shown =
          page->trackList->GetSelectedEntry(0, entry) ? entry->curve : page->trackList->GetRowCurve(0);
      if (!shown || shown->iChannelKey != key) channels.SelectChannel(key);
    }
    if (chosenObjects.size() == 1) {
      ShowObjectChoice();
    } else {
      objectCombo.SetCurSel(kSelectionEntry);
      for (EngineCore::SceneObject* object : chosenObjects) {
        const int row = channels.FindChannelRow(ChannelOf(object));
        if (row >= 0) channels.SetRowSelected(row, true);
      }
    }
  } else {
    channels.DeselectAll();
    objectCombo.SetCurSel(kAllEntry);
  }
  if (bShowChannels) page->ShowSelectedChannels(false);
  InvalidateViews();
}

void GUI_CurvePanelDialog::OnObjectChoiceChanged() {
  chosenObjects.clear();
  if (!objectCombo.IsWindow() || objectCombo.GetCurSel() < 0) return;
  EngineCore::Scene* scene = page->scene;
  EngineCore::SceneEditionManager* selection = scene ? scene->GetEditionManager() : nullptr;
  const int entry = objectCombo.GetCurSel();
  if (entry == kAllEntry) {
    if (selection) {
      std::vector<EngineCore::SceneObject*> objects;
      scene->SearchAllObjects(kAllObjectTypes, objects);
      for (EngineCore::SceneObject* object : objects) {
        if (IsAnimatedByClip(object)) chosenObjects.push_back(object);
      }
    }
  } else if (entry == kSelectionEntry) {
    if (selection) {
      // With nothing selected in the scene there is nothing to follow.
      if (selection->GetSelectedObjectCount() == 0) return;
      CollectSelectedObjects();
    }
  } else {
    auto* object = reinterpret_cast<EngineCore::SceneObject*>(objectCombo.GetItemData(entry));
    if (scene && object && selection) {
      chosenObjects.assign(1, object);
      selection->ClearObjectSelection(false);
      selection->ToggleObjectSelection(object);
      if (GUI_MainFrame* mainFrame = GUI_MainFrame::GetMainFrame()) {
        GUI_ModuleManager& modules = *mainFrame->GetModuleManager();
        modules.SendFrameworkMessageToAll(kSceneSelection, reinterpret_cast<WPARAM>(scene), 0);
        viewerModule = modules.GetModuleWithID(kViewerModule);
        if (viewerModule)
          modules.SendFrameworkMessage(viewerModule, kViewerSelection, reinterpret_cast<WPARAM>(scene), 0);
      }
    }
  }
  SyncObjectChoice(true);
  InvalidateViews();
}

}  // namespace Tarvel
