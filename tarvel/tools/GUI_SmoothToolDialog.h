#pragma once

#include "tools/GUI_ToolValueDialog.h"

namespace Tarvel {

// Asks how many keys the smooth tool inserts between two keys.
class GUI_SmoothToolDialog : public GUI_ToolValueDialog {
 public:
  explicit GUI_SmoothToolDialog(EditorCore::GUI_Wnd* parent)
      : GUI_ToolValueDialog("Tarvel_SmoothTool", "Smooth keys", "Subdivision :", 0, 0.0, parent) {}
  int Subdivision() const { return static_cast<int>(value); }
};

}  // namespace Tarvel
