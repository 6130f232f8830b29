#pragma once

#include <memory>
#include <string>
#include <vector>

#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_ListCtrl.h"

namespace Tarvel {

// Help > Keyboard Shortcuts: every key of the editor, in a list of two columns (the keys, what
// they do). The clip page's keys come from the table that binds them (KeyBindings); the
// host's come from its menus, whose items bind the keys they show.
class GUI_KeyboardShortcutsDialog : public EditorCore::GUI_Dialog {
 public:
  struct Row {
    std::string keys;
    std::string what;
  };

  explicit GUI_KeyboardShortcutsDialog(EditorCore::GUI_Wnd* parent);
  ~GUI_KeyboardShortcutsDialog() override;
  int DoModal();
  bool OnInitDialog() override;

  // The rows the list shows, in its order: the page's keys, then the host menus' keys.
  static std::vector<Row> Rows();

 private:
  std::unique_ptr<EditorCore::GUI_ListCtrl> list;
};

}  // namespace Tarvel
