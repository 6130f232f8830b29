#include "ModuleWindows.h"

#include <QWidget>

namespace TarvelHost {

using namespace EditorCore;

std::vector<GUI_Wnd*> ModuleWindows::GetDescendants(const GUI_Wnd* root) {
  std::vector<GUI_Wnd*> windows;
  auto* widget = root ? static_cast<QWidget*>(root->GetSafeHwnd()) : nullptr;
  if (!widget) return windows;
  // Widgets inside a control (viewports, scroll bars) have no window object of their own.
  for (QWidget* child : widget->findChildren<QWidget*>()) {
    if (GUI_Wnd* wnd = GUI_Wnd::FromHandle(child)) windows.push_back(wnd);
  }
  return windows;
}

bool ModuleWindows::IsShown(const GUI_Wnd* wnd) {
  auto* widget = wnd ? static_cast<QWidget*>(wnd->GetSafeHwnd()) : nullptr;
  return widget && widget->isVisible();
}

GUI_ListCtrl* ModuleWindows::FindCurrentList(const GUI_Wnd* root, UINT id) {
  for (GUI_Wnd* wnd : GetDescendants(root)) {
    auto* list = dynamic_cast<GUI_ListCtrl*>(wnd);
    if (!list || list->GetDlgCtrlID() != id || !IsShown(list)) continue;
    const GUI_Wnd* page = list->GetParent();
    const UINT otherId = id == kChannelListId ? kTrackListId : kChannelListId;
    for (GUI_Wnd* sibling : GetDescendants(page)) {
      auto* other = dynamic_cast<GUI_ListCtrl*>(sibling);
      if (other && other->GetDlgCtrlID() == otherId && other->GetParent() == page) return list;
    }
  }
  return nullptr;
}

GUI_Wnd* ModuleWindows::FindCurrentPage(const GUI_Wnd* root) {
  GUI_ListCtrl* list = FindCurrentList(root, kChannelListId);
  return list ? list->GetParent() : nullptr;
}

}  // namespace TarvelHost
