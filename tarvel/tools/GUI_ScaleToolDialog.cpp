#include "tools/GUI_ScaleToolDialog.h"

#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

namespace {
constexpr const char* kSection = "Tarvel_ScaleTool";
}  // namespace

GUI_ScaleToolDialog::GUI_ScaleToolDialog(GUI_Wnd* parent) : GUI_Dialog(Ids::kTplScaleTool, parent) {}

int GUI_ScaleToolDialog::DoModal() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::DoModal();
}

bool GUI_ScaleToolDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  SetWindowText(ModuleText::Translate("Scale keys", kSection));
  SetDlgItemText(Ids::kCtlScaleCurrentLabel, ModuleText::Translate("Current length :", kSection));
  SetDlgItemText(Ids::kCtlScaleWishLabel, ModuleText::Translate("Wish length :", kSection));
  SetDlgItemText(Ids::kCtlScaleLengthRadio, ModuleText::Translate("Length", kSection));
  SetDlgItemText(Ids::kCtlScalePercentageRadio, ModuleText::Translate("Percentage", kSection));
  SetDlgItemText(IDOK, ModuleText::Translate("OK", kSection));
  SetDlgItemText(IDCANCEL, ModuleText::Translate("Cancel", kSection));
  for (UINT id : {Ids::kCtlScaleCurrentEdit, Ids::kCtlScaleLengthEdit, Ids::kCtlScalePercentageEdit}) {
    if (auto* edit = dynamic_cast<GUI_EditBox*>(GetDlgItem(id))) {
      edit->SetTypeAsFloat(0, true);
      edit->SetMinBoundary(0.0);
    }
  }
  auto* current = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlScaleCurrentEdit));
  if (current) {
    if (iCurrentLength < 0) {
      current->SetEmpty();
    } else {
      current->SetFloatValue(iCurrentLength);
    }
    current->EnableWindow(false);
  }
  if (auto* wish = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlScaleLengthEdit))) wish->SetFloatValue(iWishLength);
  if (auto* percentage = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlScalePercentageEdit))) {
    percentage->SetFloatValue(fPercentage);
  }
  CheckDlgButton(Ids::kCtlScaleLengthRadio, bUseLength);
  CheckDlgButton(Ids::kCtlScalePercentageRadio, !bUseLength);
  if (GUI_Wnd* wish = GetDlgItem(Ids::kCtlScaleLengthEdit)) wish->EnableWindow(bUseLength);
  if (GUI_Wnd* percentage = GetDlgItem(Ids::kCtlScalePercentageEdit)) percentage->EnableWindow(!bUseLength);
  if (GUI_Wnd* focus = GetDlgItem(bUseLength ? Ids::kCtlScaleLengthEdit : Ids::kCtlScalePercentageEdit))
    focus->SetFocus();
  return true;
}

void GUI_ScaleToolDialog::UseLength(bool useLength) {
  auto* wish = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlScaleLengthEdit));
  auto* percentage = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlScalePercentageEdit));
  if (!wish || !percentage) return;
  wish->EnableWindow(useLength);
  percentage->EnableWindow(!useLength);
  if (useLength) percentage->SetEmpty();
  (useLength ? static_cast<GUI_Wnd*>(wish) : percentage)->SetFocus();
}

bool GUI_ScaleToolDialog::OnCommand(UINT id) {
  if (id == Ids::kCtlScaleLengthRadio || id == Ids::kCtlScalePercentageRadio) {
    UseLength(id == Ids::kCtlScaleLengthRadio);
    return true;
  }
  return GUI_Dialog::OnCommand(id);
}

void GUI_ScaleToolDialog::OnOK() {
  auto valueOf = [this](UINT id) {
    const auto* edit = dynamic_cast<const GUI_EditBox*>(GetDlgItem(id));
    return edit ? edit->GetFloatValue() : 0.0;
  };
  iCurrentLength = static_cast<int>(valueOf(Ids::kCtlScaleCurrentEdit));
  iWishLength = static_cast<int>(valueOf(Ids::kCtlScaleLengthEdit));
  fPercentage = static_cast<float>(valueOf(Ids::kCtlScalePercentageEdit));
  bUseLength = IsDlgButtonChecked(Ids::kCtlScaleLengthRadio);
  EndDialog(IDOK);
}

}  // namespace Tarvel
