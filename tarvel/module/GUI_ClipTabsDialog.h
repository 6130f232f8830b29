#pragma once

#include <memory>
#include <vector>

#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_TabCtrl.h"
#include "EditorToolkit/Curve2.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Scene.h"

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
  int GetTabCount() const;
  void ReleasePages();

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

  GUI_ClipEditorFrame* frame;
  std::unique_ptr<EditorCore::GUI_Menu> contextMenu;
  // The scene clips are previewed on, as the host last named it; null at start.
  EngineCore::Scene* scene = nullptr;
  std::unique_ptr<EditorCore::GUI_TabCtrl> tabCtrl;
  // Page i belongs to tab i; owned.
  std::vector<AnimClipDialog*> pages;
  // The point clipboard shared by every page.
  EditorToolkit::Curve2 clipboard;

 private:
  void OpenPage(EngineCore::AnimClip* clip);
  void ClosePage(EngineCore::AnimClip* clip, bool ask);
  void SelectTab(int index);
  void PlacePages();
  void ShowContextMenu();
  void CloseAllExceptCurrent();
  void DestroyPage(AnimClipDialog* page);
};

}  // namespace Tarvel
