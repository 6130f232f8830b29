#include "tools/GUI_FrameRateDialog.h"

#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

constexpr const char* kSection = "Tarvel_FrameRate";

}  // namespace

GUI_FrameRateDialog::GUI_FrameRateDialog(const FrameRateSettings& initial, GUI_Wnd* parent)
    : GUI_Dialog(Ids::kTplFrameRate, parent), settings(initial) {}

int GUI_FrameRateDialog::DoModal() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::DoModal();
}

bool GUI_FrameRateDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  SetWindowText(ModuleText::Translate("Frame Rate", kSection));
  SetDlgItemText(Ids::kCtlRateLabel, ModuleText::Translate("Frames per second :", kSection));
  SetDlgItemText(Ids::kCtlRateKeepTimes, ModuleText::Translate("Keep key times (resample)", kSection));
  SetDlgItemText(Ids::kCtlRateKeepFrames, ModuleText::Translate("Keep frame numbers (re-time)", kSection));
  SetDlgItemText(Ids::kCtlRateToleranceLabel, ModuleText::Translate("Resampling tolerance :", kSection));
  SetDlgItemText(IDOK, ModuleText::Translate("OK", "Tarvel_EditChannel"));
  SetDlgItemText(IDCANCEL, ModuleText::Translate("Cancel", "Tarvel_EditChannel"));
  if (auto* rate = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlRateEdit))) {
    rate->SetTypeAsFloat(3, true);
    rate->SetFloatValue(settings.fRate);
  }
  if (auto* tolerance = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlRateToleranceEdit))) {
    tolerance->SetTypeAsFloat(4, true);
    tolerance->SetMinBoundary(0.0);
    tolerance->SetFloatValue(settings.fTolerance);
  }
  CheckDlgButton(Ids::kCtlRateKeepTimes, settings.bKeepTimes);
  CheckDlgButton(Ids::kCtlRateKeepFrames, !settings.bKeepTimes);
  EnableTolerance();
  return true;
}

bool GUI_FrameRateDialog::OnCommand(UINT id) {
  if (id == Ids::kCtlRateKeepTimes || id == Ids::kCtlRateKeepFrames) {
    CheckDlgButton(Ids::kCtlRateKeepTimes, id == Ids::kCtlRateKeepTimes);
    CheckDlgButton(Ids::kCtlRateKeepFrames, id == Ids::kCtlRateKeepFrames);
    EnableTolerance();
    return true;
  }
  return GUI_Dialog::OnCommand(id);
}

void GUI_FrameRateDialog::EnableTolerance() {
  const bool keepTimes = IsDlgButtonChecked(Ids::kCtlRateKeepTimes);
  for (UINT id : {Ids::kCtlRateToleranceLabel, Ids::kCtlRateToleranceEdit}) {
    if (GUI_Wnd* control = GetDlgItem(id)) control->EnableWindow(keepTimes);
  }
}

void GUI_FrameRateDialog::OnOK() {
  const auto* rate = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlRateEdit));
  const double typed = rate ? rate->GetFloatValue() : 0.0;
  if (!(typed > 0.0)) {
    // No clip plays at no frames per second: the user types again.
    if (GUI_Wnd* box = GetDlgItem(Ids::kCtlRateEdit)) box->SetFocus();
    return;
  }
  settings.fRate = static_cast<float>(typed);
  settings.bKeepTimes = IsDlgButtonChecked(Ids::kCtlRateKeepTimes);
  if (const auto* tolerance = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlRateToleranceEdit))) {
    settings.fTolerance = static_cast<float>(tolerance->GetFloatValue());
  }
  EndDialog(IDOK);
}

}  // namespace Tarvel
