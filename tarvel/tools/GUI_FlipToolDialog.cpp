#include "tools/GUI_FlipToolDialog.h"

#include "EditorCore/GUI_ResourceScope.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

GUI_FlipToolDialog::GUI_FlipToolDialog(GUI_Wnd* parent) : GUI_Dialog(Ids::kTplFlipTool, parent) {}

int GUI_FlipToolDialog::DoModal() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::DoModal();
}

bool GUI_FlipToolDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  SetWindowText(ModuleText::Translate("Flip keys", "Tarvel_FlipTool"));
  SetDlgItemText(Ids::kCtlFlipHorizontal, ModuleText::Translate("Horizontal", "Tarvel_FlipTool"));
  SetDlgItemText(Ids::kCtlFlipVertical, ModuleText::Translate("Vertical", "Tarvel_FlipTool"));
  SetDlgItemText(IDOK, ModuleText::Translate("OK", "Tarvel_EditChannel"));
  SetDlgItemText(IDCANCEL, ModuleText::Translate("Cancel", "Tarvel_EditChannel"));
  CheckDlgButton(bVertical ? Ids::kCtlFlipVertical : Ids::kCtlFlipHorizontal, true);
  CheckDlgButton(bVertical ? Ids::kCtlFlipHorizontal : Ids::kCtlFlipVertical, false);
  return true;
}

void GUI_FlipToolDialog::OnOK() {
  bVertical = IsDlgButtonChecked(Ids::kCtlFlipVertical);
  EndDialog(IDOK);
}

}  // namespace Tarvel
