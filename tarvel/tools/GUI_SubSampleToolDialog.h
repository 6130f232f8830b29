#pragma once

#include "tools/GUI_ToolValueDialog.h"

namespace Tarvel {

// Asks how far the curve may move when the subsample tool drops keys (0.05 at first).
class GUI_SubSampleToolDialog : public GUI_ToolValueDialog {
 public:
  explicit GUI_SubSampleToolDialog(EditorCore::GUI_Wnd* parent)
      : GUI_ToolValueDialog("Tarvel_SubSampleTool", "SubSample keys", "Tolerance :", 3, 0.05, parent) {}
  float Tolerance() const { return static_cast<float>(value); }
};

}  // namespace Tarvel
