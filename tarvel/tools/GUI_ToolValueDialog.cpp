#include "tools/GUI_ToolValueDialog.h"

#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

GUI_ToolValueDialog::GUI_ToolValueDialog(const char* textSection, const char* titleText, const char* labelText,
                                         int valueDecimals, double initial, GUI_Wnd* parent)
    : GUI_Dialog(Ids::kTplValueTool, parent),
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
  SetDlgItemText(Ids::kCtlToolValueLabel, ModuleText::Translate(label, section));
  SetDlgItemText(IDOK, ModuleText::Translate("OK", "Tarvel_EditChannel"));
  SetDlgItemText(IDCANCEL, ModuleText::Translate("Cancel", "Tarvel_EditChannel"));
  if (auto* edit = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlToolValueEdit))) {
    edit->SetTypeAsFloat(decimals, true);
    edit->SetMinBoundary(0.0);
    edit->SetFloatValue(value);
  }
  return true;
}

void GUI_ToolValueDialog::OnOK() {
  if (auto* edit = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlToolValueEdit))) value = edit->GetFloatValue();
  EndDialog(IDOK);
}

}  // namespace Tarvel
