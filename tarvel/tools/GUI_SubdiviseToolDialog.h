#pragma once

#include "tools/GUI_ToolValueDialog.h"

namespace Tarvel {

// Asks how many keys the subdivise tool inserts between two keys.
class GUI_SubdiviseToolDialog : public GUI_ToolValueDialog {
 public:
  explicit GUI_SubdiviseToolDialog(EditorCore::GUI_Wnd* parent)
      : GUI_ToolValueDialog("Tarvel_SubdiviseTool", "Subdivise keys", "Subdivision :", 0, 0.0, parent) {}
  int Subdivision() const { return static_cast<int>(value); }
};

}  // namespace Tarvel
