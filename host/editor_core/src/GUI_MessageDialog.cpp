#include <EditorCore/GUI_MessageDialog.h>

#include <EditorCore/GUI_ResourceScope.h>

#include "HostResources.h"

namespace EditorCore {

namespace {
UINT TemplateFor(int type) {
  switch (type) {
    case GUI_MessageDialog::TypeYesNo: return detail::kMessageYesNoTemplate;
    case GUI_MessageDialog::TypeOkCancel: return detail::kMessageOkCancelTemplate;
    case GUI_MessageDialog::TypeChoice: return detail::kMessageChoiceTemplate;
    default: return detail::kMessageDialogTemplate;
  }
}
}  // namespace

GUI_MessageDialog::GUI_MessageDialog(const std::string& messageText, int messageType, GUI_Wnd* parent)
    : GUI_Dialog(TemplateFor(messageType), parent), text(messageText), type(messageType) {}

GUI_MessageDialog::GUI_MessageDialog(const std::string& messageText, std::vector<std::string> choices, int escape,
                                     GUI_Wnd* parent)
    : GUI_Dialog(detail::kMessageChoiceTemplate, parent),
      text(messageText),
      type(TypeChoice),
      answers(std::move(choices)),
      escapeCode(escape) {}

int GUI_MessageDialog::DoModal() {
  GUI_ResourceScope scope(detail::kHostPrefix);
  result = GUI_Dialog::DoModal();
  return result;
}

bool GUI_MessageDialog::OnInitDialog() {
  SetDlgItemText(TextId, text);
  SetWindowText(!caption.empty() ? caption : type == TypeYesNo || type == TypeChoice ? "Question" : "Message");
  for (UINT i = 0; type == TypeChoice && i < 3; ++i) {
    GUI_Wnd* button = GetDlgItem(FirstChoiceId + i);
    if (!button) continue;
    if (i < answers.size()) {
      button->SetWindowText(answers[i]);
    } else {
      button->ShowWindow(SW_HIDE);
    }
  }
  return true;
}

bool GUI_MessageDialog::OnCommand(UINT id) {
  if (type == TypeChoice) {
    if (id >= FirstChoiceId && id < FirstChoiceId + answers.size()) {
      EndDialog(static_cast<int>(id - FirstChoiceId + 1));
      return true;
    }
  }
  if (id == static_cast<UINT>(IDYES) || id == static_cast<UINT>(IDNO)) {
    EndDialog(static_cast<int>(id));
    return true;
  }
  return GUI_Dialog::OnCommand(id);
}

void GUI_MessageDialog::OnOK() {
  if (type == TypeChoice) {
    EndDialog(escapeCode);
  } else {
    GUI_Dialog::OnOK();
  }
}

void GUI_MessageDialog::OnCancel() {
  // Enter, Escape or closing a choice mean the answer the caller named for them.
  if (type == TypeChoice) {
    EndDialog(escapeCode);
  } else {
    GUI_Dialog::OnCancel();
  }
}

void GUI_MessageDialog::OnAnswer(int code) {
  if (type == TypeChoice) {
    EndDialog(code);
  } else {
    GUI_Dialog::OnAnswer(code);
  }
}

}  // namespace EditorCore
