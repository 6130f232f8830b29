#include "tools/GUI_FilterNoiseDialog.h"

#include <cmath>
#include <cstdio>

#include "EditorCore/GUI_EditBox.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

using namespace EditorCore;

GUI_FilterNoiseDialog::GUI_FilterNoiseDialog(float cutoffHz, float highestHz, std::function<void(float)> shown,
                                             GUI_Wnd* parent)
    : GUI_ToolValueDialog("Tarvel_FilterNoise", "Filter Noise", "Cut-off (Hz) :", 2, cutoffHz, parent),
      highest(highestHz),
      preview(std::move(shown)) {}

bool GUI_FilterNoiseDialog::OnInitDialog() {
  GUI_ToolValueDialog::OnInitDialog();
  if (auto* edit = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlToolValueEdit))) {
    char tip[96];
    std::snprintf(tip, sizeof tip, "Motion faster than this is taken out; below %.2f Hz", highest);
    edit->SetToolTip(tip);
  }
  if (preview && Usable(value)) {
    previewed = value;
    preview(static_cast<float>(value));
  }
  return true;
}

void GUI_FilterNoiseDialog::OnOK() {
  auto* edit = dynamic_cast<GUI_EditBox*>(GetDlgItem(Ids::kCtlToolValueEdit));
  const double typed = edit ? edit->GetFloatValue() : value;
  if (!Usable(typed)) {
    // Half a hundredth under the highest, as the box's two decimals show it.
    if (edit) edit->SetFloatValue(std::floor(highest * 100.0 - 0.5) / 100.0);
    return;
  }
  value = typed;
  EndDialog(IDOK);
}

bool GUI_FilterNoiseDialog::OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload& payload,
                                     LRESULT& result) {
  if (header.idFrom == Ids::kCtlToolValueEdit && header.code == GUI_EditBox::NotifyValueChanged) {
    const double typed = payload.value;
    if (preview && Usable(typed) && typed != previewed) {
      previewed = typed;
      preview(static_cast<float>(typed));
    }
    return true;
  }
  return GUI_ToolValueDialog::OnNotify(header, payload, result);
}

}  // namespace Tarvel
