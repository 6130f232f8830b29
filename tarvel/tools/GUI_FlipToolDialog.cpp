#include "tools/GUI_FlipToolDialog.h"

#include "EditorCore/GUI_ResourceScope.h"
#include "module/ModuleText.h"
#include "resources/ModuleResources.h"

namespace Tarvel {

using namespace EditorCore;

int GUI_FlipToolDialog::DoModal() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::DoModal();
}

bool GUI_FlipToolDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  SetWindowText(ModuleText::Translate("Flip keys", "Tarvel_FlipTool"));
  SetDlgItemText(kHorizontal, ModuleText::Translate("Horizontal", "Tarvel_FlipTool"));
  SetDlgItemText(kVertical, ModuleText::Translate("Vertical", "Tarvel_FlipTool"));
  SetDlgItemText(IDOK, ModuleText::Translate("OK", "Tarvel_EditChannel"));
  SetDlgItemText(IDCANCEL, ModuleText::Translate("Cancel", "Tarvel_EditChannel"));
  CheckDlgButton(bVertical ? kVertical : kHorizontal, true);
  CheckDlgButton(bVertical ? kHorizontal : kVertical, false);
  return true;
}

void GUI_FlipToolDialog::OnOK() {
  bVertical = IsDlgButtonChecked(kVertical);
  EndDialog(IDOK);
}

}  // namespace Tarvel
