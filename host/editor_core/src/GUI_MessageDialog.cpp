#include <EditorCore/GUI_MessageDialog.h>

#include <EditorCore/GUI_ResourceScope.h>

#include "HostResources.h"

namespace EditorCore {

namespace {
UINT TemplateFor(int type) {
  switch (type) {
    case GUI_MessageDialog::TypeYesNo: return detail::kMessageYesNoTemplate;
    case GUI_MessageDialog::TypeOkCancel: return detail::kMessageOkCancelTemplate;
    default: return detail::kMessageDialogTemplate;
  }
}
}  // namespace

GUI_MessageDialog::GUI_MessageDialog(const std::string& messageText, int messageType, GUI_Wnd* parent)
    : GUI_Dialog(TemplateFor(messageType), parent), text(messageText), type(messageType) {}

int GUI_MessageDialog::DoModal() {
  GUI_ResourceScope scope(detail::kHostPrefix);
  result = GUI_Dialog::DoModal();
  return result;
}

bool GUI_MessageDialog::OnInitDialog() {
  SetDlgItemText(TextId, text);
  SetWindowText(type == TypeYesNo ? "Question" : "Message");
  return true;
}

bool GUI_MessageDialog::OnCommand(UINT id) {
  if (id == static_cast<UINT>(IDYES) || id == static_cast<UINT>(IDNO)) {
    EndDialog(static_cast<int>(id));
    return true;
  }
  return GUI_Dialog::OnCommand(id);
}

}  // namespace EditorCore
