#include "channels/GUI_ChannelDialog.h"

#include "EditorCore/GUI_ResourceScope.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

namespace {
// The track boxes keep the create dialog's wording in both dialogs.
constexpr const char* kBoxSection = "Tarvel_CreateChannel";
}  // namespace

GUI_ChannelDialog::GUI_ChannelDialog(UINT dialogTemplate, const char* textSection, GUI_Wnd* parent)
    : GUI_Dialog(dialogTemplate, parent), section(textSection) {}

int GUI_ChannelDialog::DoModal() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::DoModal();
}

bool GUI_ChannelDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  SetDlgItemText(Ids::kCtlChannelNameEdit, desc.name.str());
  SetWindowText(ModuleText::Translate("Channel", section));
  SetDlgItemText(Ids::kCtlChannelNameLabel, ModuleText::Translate("Channel Name :", section));
  SetDlgItemText(IDOK, ModuleText::Translate("OK", section));
  SetDlgItemText(IDCANCEL, ModuleText::Translate("Cancel", section));
  SetDlgItemText(Ids::kCtlTranslationBox, ModuleText::Translate("Translation", kBoxSection));
  SetDlgItemText(Ids::kCtlRotationBox, ModuleText::Translate("Rotation", kBoxSection));
  SetDlgItemText(Ids::kCtlScaleBox, ModuleText::Translate("Scale", kBoxSection));
  CheckDlgButton(Ids::kCtlTranslationBox, desc.bTranslation);
  CheckDlgButton(Ids::kCtlRotationBox, desc.bRotation);
  CheckDlgButton(Ids::kCtlScaleBox, desc.bScale);
  return true;
}

void GUI_ChannelDialog::OnOK() {
  desc.name = EngineCore::String(GetDlgItemText(Ids::kCtlChannelNameEdit));
  desc.bTranslation = IsDlgButtonChecked(Ids::kCtlTranslationBox);
  desc.bRotation = IsDlgButtonChecked(Ids::kCtlRotationBox);
  desc.bScale = IsDlgButtonChecked(Ids::kCtlScaleBox);
  EndDialog(IDOK);
}

}  // namespace Tarvel
