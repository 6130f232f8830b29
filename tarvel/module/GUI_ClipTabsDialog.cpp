#include "module/GUI_ClipTabsDialog.h"

#include <algorithm>

#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EngineCore/Log.h"
#include "module/AnimClipDialog.h"
#include "module/GUI_ClipEditorFrame.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

namespace {
std::string TitleOf(const EngineCore::AnimClip& clip) { return clip.GetName().str() + (clip.IsModified() ? "*" : ""); }
}  // namespace

using namespace EditorCore;

GUI_ClipTabsDialog::GUI_ClipTabsDialog(GUI_ClipEditorFrame* owner) : frame(owner) {}

GUI_ClipTabsDialog::~GUI_ClipTabsDialog() {
  for (const auto& page : pages) page->DestroyAllCurves();
  pages.clear();
}

bool GUI_ClipTabsDialog::Create(GUI_Wnd* parent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::Create(Ids::kTplTabHost, parent);
}

bool GUI_ClipTabsDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  tabCtrl = std::make_unique<GUI_TabCtrl>();
  if (!tabCtrl->Create(this, 1))
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the clip tabs could not be made");
  tabCtrl->SetMargins(0, 1, 0, 0);
  CRect client;
  GetClientRect(client);
  OnSize(0, client.Width(), client.Height());
  return true;
}

void GUI_ClipTabsDialog::OnSize(UINT type, int cx, int cy) {
  GUI_Dialog::OnSize(type, cx, cy);
  if (tabCtrl) tabCtrl->MoveWindow(2, 2, cx - 4, cy - 4);
  PlacePages();
}

void GUI_ClipTabsDialog::PlacePages() {
  if (!tabCtrl) return;
  CRect area;
  tabCtrl->GetDisplayRect(area);
  for (const auto& page : pages) page->MoveWindow(area);
}

bool GUI_ClipTabsDialog::OnEraseBkgnd(GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  dc.DrawBitmap(GUI_ThemeManager::GetBitmap(Ids::kThemeBackground), client);
  return true;
}

AnimClipDialog* GUI_ClipTabsDialog::GetCurrentPage() const {
  // A tab control destroyed with its parent has no selection to report.
  if (!tabCtrl || !tabCtrl->IsWindow()) return nullptr;
  const int index = tabCtrl->GetCurSel();
  if (index < 0 || static_cast<std::size_t>(index) >= pages.size()) return nullptr;
  return pages[static_cast<std::size_t>(index)].get();
}

AnimClipDialog* GUI_ClipTabsDialog::FindPage(const EngineCore::AnimClip* clip) const {
  for (const auto& page : pages) {
    if (page->GetClip() == clip) return page.get();
  }
  return nullptr;
}

int GUI_ClipTabsDialog::GetTabCount() const { return tabCtrl ? tabCtrl->GetItemCount() : 0; }

void GUI_ClipTabsDialog::ReleasePages() {
  for (const auto& page : pages) page->DestroyAllCurves();
}

void GUI_ClipTabsDialog::SetScene(EngineCore::Scene* newScene, bool refillObjects) {
  scene = newScene;
  for (const auto& page : pages) {
    page->SetScene(newScene);
    page->OnSceneChanged(refillObjects);
  }
}

void GUI_ClipTabsDialog::UpdateMenus() {
  if (frame) frame->UpdateMenus();
}

bool GUI_ClipTabsDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  auto* clip = reinterpret_cast<EngineCore::AnimClip*>(wParam);
  if (message == Ids::kWndOpenClip) {
    OpenPage(clip);
    result = 0;
    return true;
  }
  if (message == Ids::kWndCloseClip) {
    ClosePage(clip, lParam != 0);
    result = 0;
    return true;
  }
  return GUI_Dialog::OnWndMsg(message, wParam, lParam, result);
}

void GUI_ClipTabsDialog::SelectTab(int index) {
  if (tabCtrl) tabCtrl->SetCurSel(index);
  for (std::size_t i = 0; i < pages.size(); ++i) pages[i]->ShowWindow(static_cast<int>(i) == index);
  if (index >= 0 && static_cast<std::size_t>(index) < pages.size()) pages[static_cast<std::size_t>(index)]->SetFocus();
}

int GUI_ClipTabsDialog::IndexOf(const AnimClipDialog* page) const {
  const auto it = std::find_if(pages.begin(), pages.end(), [page](const auto& p) { return p.get() == page; });
  return static_cast<int>(it - pages.begin());
}

void GUI_ClipTabsDialog::OpenPage(EngineCore::AnimClip* clip) {
  if (const AnimClipDialog* open = FindPage(clip)) {
    SelectTab(IndexOf(open));
    return;
  }
  auto page = std::make_unique<AnimClipDialog>(this);
  if (!page->SetClip(clip, true)) return;
  if (!tabCtrl || !page->Create(tabCtrl.get())) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: no page could be made for clip %s",
                           clip->GetName().c_str());
    page->SetClip(nullptr, false);
    return;
  }
  const int index = static_cast<int>(pages.size());
  if (tabCtrl->InsertItem(index, TitleOf(*clip)) < 0) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: no tab for clip %s", clip->GetName().c_str());
  }
  AnimClipDialog& opened = *pages.emplace_back(std::move(page));
  RefreshTitle(opened);
  PlacePages();
  SelectTab(index);

  opened.SetScene(scene);
  opened.OnPageOpened();
}

void GUI_ClipTabsDialog::ClosePage(EngineCore::AnimClip* clip, bool ask) {
  AnimClipDialog* page = FindPage(clip);
  if (!page) {
    frame->UpdateMenus();
    return;
  }
  if (!page->SetClip(nullptr, ask)) return;
  const int index = IndexOf(page);
  std::unique_ptr<AnimClipDialog> closed = std::move(pages[static_cast<std::size_t>(index)]);
  pages.erase(pages.begin() + index);
  if (tabCtrl) tabCtrl->DeleteItem(index);
  closed->DestroyAllCurves();
  closed->DestroyWindow();
  closed.reset();
  if (!pages.empty()) SelectTab(tabCtrl ? std::max(0, tabCtrl->GetCurSel()) : 0);
  frame->UpdateMenus();
}

bool GUI_ClipTabsDialog::OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload& payload, LRESULT& result) {
  if (tabCtrl && header.hwndFrom == tabCtrl.get()) {
    if (header.code == GUI_TabCtrl::NotifySelChange) {
      SelectTab(payload.item);
      frame->UpdateMenus();
      return true;
    }
    if (header.code == GUI_TabCtrl::NotifyContextMenu) {
      // The menu acts on the tab under the pointer: it becomes the current one first.
      if (payload.item >= 0 && payload.item != tabCtrl->GetCurSel()) {
        SelectTab(payload.item);
        frame->UpdateMenus();
      }
      ShowContextMenu();
      return true;
    }
  }
  return GUI_Dialog::OnNotify(header, payload, result);
}

void GUI_ClipTabsDialog::ShowContextMenu() {
  contextMenu = std::make_unique<GUI_Menu>();
  if (!contextMenu->CreatePopupMenu()) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the tab menu could not be made");
    return;
  }
  contextMenu->AppendMenu(MF_STRING, Ids::kCmdTabClose, ModuleText::Translate("Close"),
                          GUI_ThemeManager::GetIcon(Ids::kThemeIconClose));
  contextMenu->AppendMenu(MF_STRING, Ids::kCmdTabCloseOthers, ModuleText::Translate("Close all except current"),
                          GUI_ThemeManager::GetIcon(Ids::kThemeIconCloseAll));
  CPoint cursor;
  GUI_Wnd::GetCursorPos(cursor);
  contextMenu->TrackPopupMenu(TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
}

bool GUI_ClipTabsDialog::OnCommand(UINT id) {
  if (id == Ids::kCmdTabClose) {
    frame->CloseClip(frame->GetCurrentClip(), true);
    return true;
  }
  if (id == Ids::kCmdTabCloseOthers) {
    CloseAllExceptCurrent();
    return true;
  }
  // Every other command that reaches the tab host does nothing.
  return true;
}

void GUI_ClipTabsDialog::CloseAllExceptCurrent() {
  const EngineCore::AnimClip* current = frame->GetCurrentClip();
  std::size_t index = 0;
  while (index < pages.size()) {
    EngineCore::AnimClip* clip = pages[index]->GetClip();
    // A closed page lets the next one move into its index; a refused one is passed over.
    if (clip != current && frame->CloseClip(clip, true)) continue;
    ++index;
  }
}

void GUI_ClipTabsDialog::RefreshTitle(const AnimClipDialog& page) {
  const int index = IndexOf(&page);
  if (index >= GetTabCount() || !page.GetClip() || !tabCtrl) return;
  tabCtrl->SetItemText(index, TitleOf(*page.GetClip()));
  // How the clip's keys were read when they are not all as its file holds them.
  const EngineCore::String& note = page.GetClip()->GetReadingNote();
  tabCtrl->SetItemToolTip(
      index, note.IsEmpty() ? page.GetClip()->GetName().str() : page.GetClip()->GetName().str() + ": " + note.str());
}

}  // namespace Tarvel
