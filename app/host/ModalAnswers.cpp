#include "ModalAnswers.h"

#include <QAbstractButton>
#include <QWidget>

#include "EditorCore/GUI_CheckBox.h"
#include "EditorCore/GUI_ComboBox.h"
#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_RadioButton.h"
#include "EngineCore/Log.h"
#include "ModuleWindows.h"

namespace TarvelHost {

using namespace EditorCore;
using EngineCore::Log;

ModalAnswers::~ModalAnswers() { Uninstall(); }

void ModalAnswers::Install() {
  GUI_Dialog::SetModalResponder([this](GUI_Dialog& dialog) { return AnswerDialog(dialog); });
  GUI_Menu::SetPopupResponder([this](const GUI_Menu& menu) { return AnswerMenu(menu); });
  installed = true;
}

void ModalAnswers::Uninstall() {
  if (!installed) return;
  GUI_Dialog::SetModalResponder({});
  GUI_Menu::SetPopupResponder({});
  installed = false;
}

namespace {

template <typename T>
T* FirstEnabled(const GUI_Dialog& dialog) {
  for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(&dialog)) {
    if (auto* found = dynamic_cast<T*>(wnd); found && found->IsWindowEnabled()) return found;
  }
  return nullptr;
}

bool PickEntry(GUI_ComboBox& combo, const std::string& text) {
  const int index = combo.FindStringExact(-1, text);
  if (index < 0) return false;
  combo.SetCurSel(index);
  return true;
}

}  // namespace

std::string ModalAnswers::Fill(GUI_Dialog& dialog, const Field& field) {
  const std::string title = "the dialog \"" + dialog.GetWindowText() + "\"";
  if (field.controlId == 0) {
    if (auto* edit = FirstEnabled<GUI_EditBox>(dialog)) {
      edit->SetWindowText(field.text);
      return {};
    }
    if (auto* combo = FirstEnabled<GUI_ComboBox>(dialog); combo && PickEntry(*combo, field.text)) return {};
    return title + " has no enabled edit box or entry for \"" + field.text + "\"";
  }
  const std::string name = "control " + std::to_string(field.controlId);
  GUI_Wnd* control = dialog.GetDlgItem(field.controlId);
  if (!control) return title + " has no " + name;
  if (!control->IsWindowEnabled()) return title + "'s " + name + " is greyed out";
  if (auto* edit = dynamic_cast<GUI_EditBox*>(control)) {
    edit->SetWindowText(field.text);
    return {};
  }
  if (auto* combo = dynamic_cast<GUI_ComboBox*>(control)) {
    return PickEntry(*combo, field.text) ? std::string()
                                         : title + "'s " + name + " has no entry \"" + field.text + "\"";
  }
  auto* radio = dynamic_cast<GUI_RadioButton*>(control);
  auto* box = dynamic_cast<GUI_CheckBox*>(control);
  auto* button = qobject_cast<QAbstractButton*>(static_cast<QWidget*>(control->GetSafeHwnd()));
  if ((!radio && !box) || !button) return title + "'s " + name + " is no edit box, list, radio button or check box";
  if (field.text != "on" && field.text != "off")
    return title + "'s " + name + " is turned on or off, not \"" + field.text + "\"";
  const bool wanted = field.text == "on";
  const bool checked = radio ? radio->IsChecked() : box->IsChecked();
  if (checked == wanted) return {};
  if (radio) {
    if (!wanted) return title + "'s " + name + " is a radio button: choose another one to turn it off";
  }
  // A click, as the user's: the dialog hears its command and enables what the choice enables.
  button->click();
  return {};
}

bool ModalAnswers::FillFields(GUI_Dialog& dialog) {
  const std::vector<Field> fields = std::move(pendingFields);
  pendingFields.clear();
  bool filled = true;
  for (const Field& field : fields) {
    const std::string problem = Fill(dialog, field);
    if (problem.empty()) continue;
    if (!failure) failure = problem;
    filled = false;
  }
  return filled;
}

int ModalAnswers::AnswerDialog(GUI_Dialog& dialog) {
  lastTitle = dialog.GetWindowText();
  if (codes.empty()) {
    if (!failure) {
      failure = "the dialog \"" + lastTitle + "\" (template " + std::to_string(dialog.GetTemplateID()) +
                ") asked for an answer and the script gave none; add an 'answer' line before this one";
    }
    return IDCANCEL;
  }
  const int code = codes.front();
  codes.pop_front();
  // A dialog the script could not fill as it said is cancelled, so that it changes nothing.
  if (!FillFields(dialog)) {
    Log::Write(Log::Info, "Dialog \"%s\" cancelled: a field could not be filled", lastTitle.c_str());
    return IDCANCEL;
  }
  ++answered;
  Log::Write(Log::Info, "Dialog \"%s\" answered with %d", lastTitle.c_str(), code);
  return code;
}

namespace {

std::string CollapseSpaces(const std::string& text) {
  std::string collapsed;
  for (const char c : text) {
    if (c == ' ' && (collapsed.empty() || collapsed.back() == ' ')) continue;
    collapsed.push_back(c);
  }
  while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
  return collapsed;
}

}  // namespace

UINT ModalAnswers::AnswerMenu(const GUI_Menu& menu) {
  if (!menuTexts.empty()) {
    const std::string wanted = CollapseSpaces(menuTexts.front());
    menuTexts.pop_front();
    for (int position = 0; position < menu.GetMenuItemCount(); ++position) {
      std::string text = menu.GetMenuString(static_cast<UINT>(position), MF_BYPOSITION);
      if (CollapseSpaces(text.substr(0, text.find('\t'))) != wanted) continue;
      ++answered;
      Log::Write(Log::Info, "Pop-up menu answered with \"%s\"", wanted.c_str());
      return menu.GetMenuItemID(position);
    }
    if (!failure) failure = "the pop-up menu has no item \"" + wanted + "\"";
    return 0;
  }
  if (codes.empty()) {
    if (!failure) {
      failure = "a pop-up menu of " + std::to_string(menu.GetMenuItemCount()) +
                " items asked for a choice and the script gave none; add an 'answer' line with the command id";
    }
    return 0;
  }
  const int code = codes.front();
  codes.pop_front();
  ++answered;
  Log::Write(Log::Info, "Pop-up menu answered with %d", code);
  return static_cast<UINT>(code);
}

}  // namespace TarvelHost
