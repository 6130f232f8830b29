#pragma once

#include "EditorCore/GUI_Dialog.h"

namespace Tarvel {

// The one-number dialog of the smooth, subdivise and subsample tools: a title, a label and
// an edit box of non-negative numbers with a given count of decimals.
class GUI_ToolValueDialog : public EditorCore::GUI_Dialog {
 public:
  GUI_ToolValueDialog(const char* section, const char* title, const char* label, int decimals, double initial,
                      EditorCore::GUI_Wnd* parent);
  int DoModal();
  bool OnInitDialog() override;
  void OnOK() override;

 protected:
  // The number typed, read when OK is pressed.
  double value;

 private:
  const char* section;
  const char* title;
  const char* label;
  int decimals;
};

}  // namespace Tarvel
