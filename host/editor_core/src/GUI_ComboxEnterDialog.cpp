#include <EditorCore/GUI_ComboxEnterDialog.h>

#include <EditorCore/GUI_ResourceScope.h>

#include "Handles.h"
#include "HostResources.h"
#include "WndState.h"

#include <QLabel>

namespace EditorCore {

GUI_ComboxEnterDialog::GUI_ComboxEnterDialog(GUI_Wnd* parent) : GUI_Dialog(detail::kComboEnterDialogTemplate, parent) {}

int GUI_ComboxEnterDialog::DoModal() {
  GUI_ResourceScope scope(detail::kHostPrefix);
  chosen.clear();
  return GUI_Dialog::DoModal();
}

bool GUI_ComboxEnterDialog::OnInitDialog() {
  BindControl(ComboId, combo);
  SetWindowText(title);
  SetDlgItemText(PromptId, prompt);
  if (auto* label = qobject_cast<QLabel*>(detail::WidgetOf(GetDlgItem(IconId)))) {
    if (icon) label->setPixmap(icon->pixmap);
  }
  combo.ResetContent();
  for (const std::string& entry : entries) combo.AddString(entry);
  if (!entries.empty()) combo.SetCurSel(0);
  return true;
}

void GUI_ComboxEnterDialog::OnOK() {
  const int index = combo.GetCurSel();
  chosen = index >= 0 ? combo.GetLBText(index) : std::string();
  EndDialog(IDOK);
}

}  // namespace EditorCore
