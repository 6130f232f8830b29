#pragma once

#include <array>
#include <memory>
#include <vector>

#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorToolkit/SaveList.h"
#include "EngineCore/AnimClip.h"

namespace Tarvel {

class AnimClipDialog;
class GUI_ClipTabsDialog;
class GUI_OpenClipPane;

// The module's window: a small document manager of open clips. It shows the empty-state
// pane while no clip is open and the tab host (one page per clip) otherwise, owns the
// module's menu and turns menu commands into operations.
class GUI_ClipEditorFrame : public EditorCore::GUI_Dialog {
 public:
  GUI_ClipEditorFrame();
  ~GUI_ClipEditorFrame() override;

  // Creates the window from the module's frame template; false when it is missing.
  bool Create(EditorCore::GUI_Wnd* parent);

  // Shows a clip in a tab: its own tab when it is open already.
  void OpenClip(EngineCore::AnimClip* clip);
  // True when the clip was closed or was not open; false for a null clip or when the user
  // kept it open at the save question.
  bool CloseClip(EngineCore::AnimClip* clip, bool ask);
  // Closes every clip, asking once about all unsaved ones; false when the user refused.
  bool CloseAllClips(bool ask);
  void CollectUnsavedClips(EditorToolkit::SaveList* saveList);
  // Lets every page release its curves (the module window is going away).
  void ReleasePages();
  // Enables the menus for what can be done now and shows the pane or the tab host.
  void UpdateMenus();
  // The command dispatcher of the module's menu.
  void OnMenuCommand(EditorCore::UINT commandId);

  AnimClipDialog* GetCurrentPage() const;
  EngineCore::AnimClip* GetCurrentClip() const;
  EditorCore::GUI_Menu* GetMenu() const { return menu.get(); }
  GUI_ClipTabsDialog& GetTabHost() const { return *tabHost; }
  GUI_OpenClipPane& GetOpenPane() const { return *openPane; }
  const std::vector<EngineCore::AnimClip*>& GetOpenClips() const { return openClips; }

  bool OnInitDialog() override;
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnClose() override;
  void OnSetFocus() override;
  void ProcessDnD(EditorCore::CPoint point) override;

 private:
  void BuildMenu();
  void CheckTangentsAndInterpolation(const AnimClipDialog* page);
  void ShowHistorySteps(const AnimClipDialog* page);
  void OpenFromClipFolder();
  void SaveCurrentClip();
  void SaveAllClips();
  void RedrawNow();

  // The menu bar and its pop-ups ("Animation Clip", "Edit", "Channel", "Track", "Selection").
  std::unique_ptr<EditorCore::GUI_Menu> menu;
  // The menu bar's five menus, then the submenus they hold.
  std::array<std::unique_ptr<EditorCore::GUI_Menu>, 9> popups;
  std::unique_ptr<GUI_OpenClipPane> openPane;
  std::unique_ptr<GUI_ClipTabsDialog> tabHost;
  // In opening order; each page holds the reference, not this list.
  std::vector<EngineCore::AnimClip*> openClips;
};

}  // namespace Tarvel
