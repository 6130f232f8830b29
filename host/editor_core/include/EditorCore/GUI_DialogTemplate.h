#pragma once

#include <EditorCore/Geometry.h>
#include <EditorCore/WinTypes.h>

#include <string>
#include <string_view>
#include <vector>

namespace EditorCore {

// Kinds of controls a template can hold.
enum class GUI_ControlKind {
  Label,          // "static"
  Edit,           // "edit"
  CheckBox,       // "checkbox"
  PushButton,     // "button"
  DefPushButton,  // "defbutton"
  RadioButton,    // "radio"
  ComboBox,       // "combobox" (drop-down list)
  ListCtrl,       // "listctrl"
  GroupBox,       // "groupbox"
};

// One control of a template; rect is x, y, width, height in dialog units.
struct GUI_ControlTemplate {
  UINT id = 0;
  GUI_ControlKind kind = GUI_ControlKind::Label;
  std::string text;
  UINT style = 0;  // the kind's own style bits (SS_CENTER, LVS_* ...)
  CRect rect;      // left, top, right = left + width, bottom = top + height
  bool hidden = false;
  bool disabled = false;
};

// A dialog template: plain data, read from JSON (see README.md) or built in code.
struct GUI_DialogTemplate {
  UINT id = 0;
  CSize size;  // dialog units
  std::string caption;
  std::string fontFace = "DejaVu Sans";
  int fontPointSize = 8;
  UINT style = 0;
  bool hidden = false;  // a child dialog made from it starts hidden
  std::vector<GUI_ControlTemplate> controls;

  // Reads one template object, or an array of them, appending to out. Returns false (and
  // logs why) on malformed data; out then holds the templates read before the fault.
  static bool ParseJson(std::string_view json, std::vector<GUI_DialogTemplate>& out);
  static bool KindFromName(std::string_view name, GUI_ControlKind& kind);
};

}  // namespace EditorCore
