#include "tools/GUI_ScaleToolDialog.h"

#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "module/ModuleText.h"
#include "resources/ModuleResources.h"

namespace Tarvel {

using namespace EditorCore;

namespace {
constexpr const char* kSection = "Tarvel_ScaleTool";
}  // namespace

int GUI_ScaleToolDialog::DoModal() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::DoModal();
}

bool GUI_ScaleToolDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  SetWindowText(ModuleText::Translate("Scale keys", kSection));
  SetDlgItemText(kCurrentLabel, ModuleText::Translate("Current length :", kSection));
  SetDlgItemText(kWishLabel, ModuleText::Translate("Wish length :", kSection));
  SetDlgItemText(kLengthRadio, ModuleText::Translate("Length", kSection));
  SetDlgItemText(kPercentageRadio, ModuleText::Translate("Percentage", kSection));
  SetDlgItemText(IDOK, ModuleText::Translate("OK", kSection));
  SetDlgItemText(IDCANCEL, ModuleText::Translate("Cancel", kSection));
  for (UINT id : {kCurrentEdit, kLengthEdit, kPercentageEdit}) {
    if (auto* edit = dynamic_cast<GUI_EditBox*>(GetDlgItem(id))) {
      edit->SetTypeAsFloat(0, true);
      edit->SetMinBoundary(0.0);
    }
  }
  auto* current = dynamic_cast<GUI_EditBox*>(GetDlgItem(kCurrentEdit));
  if (current) {
    if (iCurrentLength < 0) {
      current->SetEmpty();
    } else {
      current->SetFloatValue(iCurrentLength);
    }
    current->EnableWindow(false);
  }
  if (auto* wish = dynamic_cast<GUI_EditBox*>(GetDlgItem(kLengthEdit))) wish->SetFloatValue(iWishLength);
  if (auto* percentage = dynamic_cast<GUI_EditBox*>(GetDlgItem(kPercentageEdit))) {
    percentage->SetFloatValue(fPercentage);
  }
  CheckDlgButton(kLengthRadio, bUseLength);
  CheckDlgButton(kPercentageRadio, !bUseLength);
  if (GUI_Wnd* wish = GetDlgItem(kLengthEdit)) wish->EnableWindow(bUseLength);
  if (GUI_Wnd* percentage = GetDlgItem(kPercentageEdit)) percentage->EnableWindow(!bUseLength);
  if (GUI_Wnd* focus = GetDlgItem(bUseLength ? kLengthEdit : kPercentageEdit)) focus->SetFocus();
  return true;
}

void GUI_ScaleToolDialog::UseLength(bool useLength) {
  auto* wish = dynamic_cast<GUI_EditBox*>(GetDlgItem(kLengthEdit));
  auto* percentage = dynamic_cast<GUI_EditBox*>(GetDlgItem(kPercentageEdit));
  if (!wish || !percentage) return;
  wish->EnableWindow(useLength);
  percentage->EnableWindow(!useLength);
  if (useLength) percentage->SetEmpty();
  (useLength ? static_cast<GUI_Wnd*>(wish) : percentage)->SetFocus();
}

bool GUI_ScaleToolDialog::OnCommand(UINT id) {
  if (id == kLengthRadio || id == kPercentageRadio) {
    UseLength(id == kLengthRadio);
    return true;
  }
  return GUI_Dialog::OnCommand(id);
}

void GUI_ScaleToolDialog::OnOK() {
  auto valueOf = [this](UINT id) {
    const auto* edit = dynamic_cast<const GUI_EditBox*>(GetDlgItem(id));
    return edit ? edit->GetFloatValue() : 0.0;
  };
  iCurrentLength = static_cast<int>(valueOf(kCurrentEdit));
  iWishLength = static_cast<int>(valueOf(kLengthEdit));
  fPercentage = static_cast<float>(valueOf(kPercentageEdit));
  bUseLength = IsDlgButtonChecked(kLengthRadio);
  EndDialog(IDOK);
}

}  // namespace Tarvel
