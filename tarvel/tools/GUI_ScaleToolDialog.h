#pragma once

#include "EditorCore/GUI_Dialog.h"

namespace Tarvel {

// Asks how to stretch or shrink keys in time: to a wished length in frames, or by a
// percentage (the starting mode, at 100).
class GUI_ScaleToolDialog : public EditorCore::GUI_Dialog {
 public:
  explicit GUI_ScaleToolDialog(EditorCore::GUI_Wnd* parent);
  int DoModal();
  bool OnInitDialog() override;
  bool OnCommand(EditorCore::UINT id) override;
  void OnOK() override;

  // The length shared by the curves, or -1 when they differ (the box is then empty).
  int iCurrentLength = -1;
  int iWishLength = 0;
  float fPercentage = 100.0f;
  bool bUseLength = false;

 private:
  void UseLength(bool useLength);
};

}  // namespace Tarvel
