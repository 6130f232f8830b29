#include "channels/GUI_ChannelDialog.h"

#include "EditorCore/GUI_ResourceScope.h"
#include "module/ModuleText.h"
#include "resources/ModuleResources.h"

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
  SetDlgItemText(kNameEdit, desc.name.str());
  SetWindowText(ModuleText::Translate("Channel", section));
  SetDlgItemText(kNameLabel, ModuleText::Translate("Channel Name :", section));
  SetDlgItemText(IDOK, ModuleText::Translate("OK", section));
  SetDlgItemText(IDCANCEL, ModuleText::Translate("Cancel", section));
  SetDlgItemText(kTranslationBox, ModuleText::Translate("Translation", kBoxSection));
  SetDlgItemText(kRotationBox, ModuleText::Translate("Rotation", kBoxSection));
  SetDlgItemText(kScaleBox, ModuleText::Translate("Scale", kBoxSection));
  CheckDlgButton(kTranslationBox, desc.bTranslation);
  CheckDlgButton(kRotationBox, desc.bRotation);
  CheckDlgButton(kScaleBox, desc.bScale);
  return true;
}

void GUI_ChannelDialog::OnOK() {
  desc.name = EngineCore::String(GetDlgItemText(kNameEdit));
  desc.bTranslation = IsDlgButtonChecked(kTranslationBox);
  desc.bRotation = IsDlgButtonChecked(kRotationBox);
  desc.bScale = IsDlgButtonChecked(kScaleBox);
  EndDialog(IDOK);
}

}  // namespace Tarvel
