#include "tools/GUI_ToolValueDialog.h"

#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "module/ModuleText.h"
#include "resources/ModuleResources.h"

namespace Tarvel {

using namespace EditorCore;

GUI_ToolValueDialog::GUI_ToolValueDialog(const char* textSection, const char* titleText, const char* labelText,
                                         int valueDecimals, double initial, GUI_Wnd* parent)
    : GUI_Dialog(kTemplate, parent),
      value(initial),
      section(textSection),
      title(titleText),
      label(labelText),
      decimals(valueDecimals) {}

int GUI_ToolValueDialog::DoModal() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::DoModal();
}

bool GUI_ToolValueDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  SetWindowText(ModuleText::Translate(title, section));
  SetDlgItemText(kLabel, ModuleText::Translate(label, section));
  SetDlgItemText(IDOK, ModuleText::Translate("OK", "Tarvel_EditChannel"));
  SetDlgItemText(IDCANCEL, ModuleText::Translate("Cancel", "Tarvel_EditChannel"));
  if (auto* edit = dynamic_cast<GUI_EditBox*>(GetDlgItem(kEdit))) {
    edit->SetTypeAsFloat(decimals, true);
    edit->SetMinBoundary(0.0);
    edit->SetFloatValue(value);
  }
  return true;
}

void GUI_ToolValueDialog::OnOK() {
  if (auto* edit = dynamic_cast<GUI_EditBox*>(GetDlgItem(kEdit))) value = edit->GetFloatValue();
  EndDialog(IDOK);
}

}  // namespace Tarvel
