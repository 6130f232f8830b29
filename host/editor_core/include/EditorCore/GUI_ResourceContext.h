#pragma once

#include <EditorCore/GUI_DialogTemplate.h>
#include <EditorCore/GUI_ResourceBundle.h>
#include <EditorCore/WinTypes.h>

#include <string>

namespace EditorCore {

// The resource contexts of the process: one bundle per prefix (a library), and one current
// prefix that template, icon and cursor look-ups use. Contract:
// 1. The host's own resources live under the prefix "EditorCore"; it is current at start.
// 2. Register replaces a bundle already registered under the same prefix; icons and cursors
//    loaded from the old bundle stay valid until Unregister or process end.
// 3. Look-ups search the current bundle only; a missing resource is a null result.
// 4. Icons are rendered once per (prefix, id, size) and shared: callers never free them.
class GUI_ResourceContext {
 public:
  static void Register(const std::string& prefix, const GUI_ResourceBundle& bundle);
  static void Unregister(const std::string& prefix);
  static bool IsRegistered(const std::string& prefix);

  static const std::string& GetCurrent();
  // Switches the current context; returns the previous prefix. Prefer GUI_ResourceScope.
  static std::string SetCurrent(const std::string& prefix);

  static const GUI_DialogTemplate* FindTemplate(UINT id);
  static GUI_Icon* LoadIcon(UINT id, int size = 18);
  static GUI_Cursor* LoadCursor(UINT id);
};

}  // namespace EditorCore
