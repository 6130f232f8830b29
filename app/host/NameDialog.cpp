#include "NameDialog.h"

#include "EditorCore/GUI_ResourceScope.h"
#include "HostResources.h"

namespace TarvelHost {

using namespace EditorCore;

NameDialog::NameDialog(std::string titleText, std::string promptText, GUI_Wnd* parent)
    : GUI_Dialog(HostResources::kNameDialog, parent), title(std::move(titleText)), prompt(std::move(promptText)) {}

int NameDialog::DoModal() {
  HostResources::Register();
  GUI_ResourceScope scope(HostResources::kPrefix);
  return GUI_Dialog::DoModal();
}

bool NameDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  SetWindowText(title);
  SetDlgItemText(HostResources::kNamePrompt, prompt);
  if (GUI_Wnd* edit = GetDlgItem(HostResources::kNameEdit)) edit->SetFocus();
  return true;
}

void NameDialog::OnOK() {
  const std::string text = GetDlgItemText(HostResources::kNameEdit);
  const auto first = text.find_first_not_of(" \t");
  const auto last = text.find_last_not_of(" \t");
  name = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
  GUI_Dialog::OnOK();
}

}  // namespace TarvelHost
