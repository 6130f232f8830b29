#include "ModalAnswers.h"

#include "EditorCore/GUI_ComboBox.h"
#include "EditorCore/GUI_EditBox.h"
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

void ModalAnswers::FillText(GUI_Dialog& dialog) {
  if (!pendingText) return;
  const std::string text = *pendingText;
  pendingText.reset();
  if (auto* edit = ModuleWindows::FindFirst<GUI_EditBox>(&dialog)) {
    edit->SetWindowText(text);
    return;
  }
  if (auto* combo = ModuleWindows::FindFirst<GUI_ComboBox>(&dialog)) {
    const int index = combo->FindStringExact(-1, text);
    if (index >= 0) {
      combo->SetCurSel(index);
      return;
    }
  }
  if (!failure) failure = "the dialog \"" + dialog.GetWindowText() + "\" has no edit box or entry for \"" + text + "\"";
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
  FillText(dialog);
  const int code = codes.front();
  codes.pop_front();
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
