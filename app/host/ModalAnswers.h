#pragma once

#include <deque>
#include <optional>
#include <string>

#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_Menu.h"

namespace TarvelHost {

// Answers modal dialogs and pop-up menus from a queue, so that a scripted run never blocks.
// Contract:
// 1. While installed, each modal dialog takes the next queued code as its end code (after
//    its edit box or drop-down list was given the pending text, if any); each pop-up menu
//    takes the next code as the chosen command id.
//    A pop-up menu takes a queued item text before any code: the item shown with that text
//    (runs of spaces count as one).
// 2. With nothing queued, a dialog is cancelled (IDCANCEL) and a menu closed (0), and the
//    failure names what asked; the script stops on it.
// 3. Uninstalling (or destruction) removes both responders.
class ModalAnswers {
 public:
  ModalAnswers() = default;
  ~ModalAnswers();
  ModalAnswers(const ModalAnswers&) = delete;
  ModalAnswers& operator=(const ModalAnswers&) = delete;

  void Install();
  void Uninstall();

  void Queue(int code) { codes.push_back(code); }
  void SetPendingText(const std::string& text) { pendingText = text; }
  void QueueMenuText(const std::string& text) { menuTexts.push_back(text); }
  std::size_t GetQueuedCount() const { return codes.size(); }
  int GetAnsweredCount() const { return answered; }
  // The first unanswered request since the last ClearFailure, if any.
  const std::optional<std::string>& GetFailure() const { return failure; }
  void ClearFailure() { failure.reset(); }
  // Title of the last dialog answered.
  const std::string& GetLastDialogTitle() const { return lastTitle; }

 private:
  int AnswerDialog(EditorCore::GUI_Dialog& dialog);
  EditorCore::UINT AnswerMenu(const EditorCore::GUI_Menu& menu);
  void FillText(EditorCore::GUI_Dialog& dialog);

  std::deque<int> codes;
  std::deque<std::string> menuTexts;
  std::optional<std::string> pendingText;
  std::optional<std::string> failure;
  std::string lastTitle;
  int answered = 0;
  bool installed = false;
};

}  // namespace TarvelHost
