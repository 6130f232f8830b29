#include "module/GUI_OpenClipPane.h"

#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "module/GUI_ClipEditorFrame.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

bool GUI_OpenClipPane::Create(GUI_Wnd* parent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::Create(Ids::kTplOpenPane, parent);
}

void GUI_OpenClipPane::DoDataExchange() {
  BindControl(Ids::kCtlOpenLabel, label);
  BindControl(Ids::kCtlOpenButton, openButton);
}

bool GUI_OpenClipPane::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  openButton.SetIcon(GUI_ThemeManager::GetIcon(Ids::kThemeOpenIcon), false);
  label.SetWindowText(ModuleText::Translate("Open or Drop an AnimClip."));
  return true;
}

void GUI_OpenClipPane::OnSize(UINT type, int cx, int cy) {
  GUI_Dialog::OnSize(type, cx, cy);
  // A 64-pixel square centred at a quarter of the height, grown by 18 pixels on every side.
  openButton.MoveWindow(cx / 2 - 50, cy / 4 - 18, 100, 100);
  label.MoveWindow(0, cy / 4 + 100, cx, 30);
}

bool GUI_OpenClipPane::OnEraseBkgnd(GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  dc.DrawBitmap(GUI_ThemeManager::GetBitmap(Ids::kThemeBackground), client);
  return true;
}

bool GUI_OpenClipPane::OnCommand(UINT id) {
  if (id == Ids::kCtlOpenButton) {
    frame->OnMenuCommand(Ids::kCmdClipOpen);
    return true;
  }
  return GUI_Dialog::OnCommand(id);
}

}  // namespace Tarvel
