#pragma once

#include <memory>
#include <vector>

#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_TabCtrl.h"
#include "EditorToolkit/Curve2.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Scene.h"
#include "tools/DopeSheetClipboard.h"

namespace Tarvel {

class AnimClipDialog;
class GUI_ClipEditorFrame;

// The tab host: one tab and one page per open clip. The frame drives it with two private
// window messages, handled before SendMessage returns: open-or-select and close.
class GUI_ClipTabsDialog : public EditorCore::GUI_Dialog {
 public:
  explicit GUI_ClipTabsDialog(GUI_ClipEditorFrame* owner);
  ~GUI_ClipTabsDialog() override;

  bool Create(EditorCore::GUI_Wnd* parent);

  // The page of the selected tab; null when no tab is selected or there is no tab control.
  AnimClipDialog* GetCurrentPage() const;
  AnimClipDialog* FindPage(const EngineCore::AnimClip* clip) const;
  const std::vector<std::unique_ptr<AnimClipDialog>>& GetPages() const { return pages; }
  int GetTabCount() const;
  void ReleasePages();
  // The host named the scene to preview on: every page takes it and its object list follows
  // (refilled first when the scene itself may be new).
  void SetScene(EngineCore::Scene* newScene, bool refillObjects);
  EngineCore::Scene* GetScene() const { return scene; }
  EditorToolkit::Curve2& GetClipboard() { return clipboard; }
  // The dope sheet's clipboard, shared by every page: keys copied in one clip paste in another.
  DopeSheetClipboard& GetKeyClipboard() { return keyClipboard; }
  void UpdateMenus();
  // The page's tab shows its clip's name, followed by * while the clip has unsaved changes.
  void RefreshTitle(const AnimClipDialog& page);

  bool OnInitDialog() override;
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  bool OnWndMsg(EditorCore::UINT message, EditorCore::WPARAM wParam, EditorCore::LPARAM lParam,
                EditorCore::LRESULT& result) override;
  bool OnNotify(const EditorCore::GUI_NotifyHeader& header, const EditorCore::GUI_NotifyPayload& payload,
                EditorCore::LRESULT& result) override;
  bool OnCommand(EditorCore::UINT id) override;
  void OnOK() override {}
  void OnCancel() override {}
  void ProcessDnD(EditorCore::CPoint) override {}

 private:
  void OpenPage(EngineCore::AnimClip* clip);
  void ClosePage(EngineCore::AnimClip* clip, bool ask);
  void SelectTab(int index);
  void PlacePages();
  void ShowContextMenu();
  void CloseAllExceptCurrent();
  int IndexOf(const AnimClipDialog* page) const;

  GUI_ClipEditorFrame* frame;
  std::unique_ptr<EditorCore::GUI_Menu> contextMenu;
  // The scene clips are previewed on, as the host last named it; null at start.
  EngineCore::Scene* scene = nullptr;
  std::unique_ptr<EditorCore::GUI_TabCtrl> tabCtrl;
  // The point clipboard shared by every page; it outlives them.
  EditorToolkit::Curve2 clipboard;
  DopeSheetClipboard keyClipboard;
  // Page i belongs to tab i.
  std::vector<std::unique_ptr<AnimClipDialog>> pages;
};

}  // namespace Tarvel
