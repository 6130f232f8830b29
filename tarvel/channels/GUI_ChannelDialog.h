#pragma once

#include "EditorCore/GUI_Dialog.h"
#include "curves/ChannelDesc.h"

namespace Tarvel {

// The dialog that names a channel and chooses its tracks; the create and edit dialogs are
// this one over their own template and translation section. OK stores the edit box and the
// three boxes into `desc` and ends with 1; Cancel ends with 2.
class GUI_ChannelDialog : public EditorCore::GUI_Dialog {
 public:
  GUI_ChannelDialog(EditorCore::UINT templateId, const char* section, EditorCore::GUI_Wnd* parent);

  // Runs with the module's resources current.
  int DoModal();

  bool OnInitDialog() override;
  void OnOK() override;

  ChannelDesc desc;

 private:
  const char* section;
};

}  // namespace Tarvel
