#pragma once

#include <span>
#include <string>

#include "EditorCore/WinTypes.h"

namespace Tarvel {

// One key of the clip page: the key with its modifiers, what it runs (a menu command or a
// page action, Ids::kKey...), how it is written and what it does, in words.
struct KeyBinding {
  EditorCore::UINT key;
  bool ctrl;
  bool shift;
  EditorCore::UINT command;
  const char* keys;
  const char* what;
};

// The clip page's keys, in one table: the page runs a key through it, the menus show an
// item's key from it, and Help > Keyboard Shortcuts lists it, so that none of them can say a
// key the others do not have.
class KeyBindings {
 public:
  static std::span<const KeyBinding> All();
  // The binding of a key as pressed; null for a key the page leaves alone.
  static const KeyBinding* Find(EditorCore::UINT key, bool ctrl, bool shift);
  // What a menu item of the command shows after its text: "\tCtrl+Z", or nothing.
  static std::string MenuSuffix(EditorCore::UINT command);
};

}  // namespace Tarvel
