#pragma once

#include <string>
#include <vector>

#include "EditorCore/GUI_ComboBox.h"
#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_ListCtrl.h"
#include "EditorCore/GUI_TabCtrl.h"
#include "EditorCore/GUI_Wnd.h"

namespace TarvelHost {

// Finds windows inside a module's window as a user finds them on screen: by kind, control
// id and visibility, never by the module's own classes. A clip page is the window holding a
// channel list (list control 1) and a track list (list control 2); the current page is the
// one shown.
class ModuleWindows {
 public:
  static constexpr EditorCore::UINT kChannelListId = 1;
  static constexpr EditorCore::UINT kTrackListId = 2;

  // Every window below root (not root itself), parents before children.
  static std::vector<EditorCore::GUI_Wnd*> GetDescendants(const EditorCore::GUI_Wnd* root);

  template <typename T>
  static T* FindFirst(const EditorCore::GUI_Wnd* root) {
    for (EditorCore::GUI_Wnd* wnd : GetDescendants(root)) {
      if (auto* found = dynamic_cast<T*>(wnd)) return found;
    }
    return nullptr;
  }

  // True when the window and all its parents are shown.
  static bool IsShown(const EditorCore::GUI_Wnd* wnd);
  // The shown list control with that id on the current clip page, or null.
  static EditorCore::GUI_ListCtrl* FindCurrentList(const EditorCore::GUI_Wnd* root, EditorCore::UINT id);
  static EditorCore::GUI_Wnd* FindCurrentPage(const EditorCore::GUI_Wnd* root);
};

}  // namespace TarvelHost
