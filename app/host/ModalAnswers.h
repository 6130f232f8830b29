#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_Menu.h"

namespace TarvelHost {

// Answers modal dialogs and pop-up menus from a queue, so that a scripted run never blocks.
// Contract:
// 1. While installed, each modal dialog takes the next queued code as its end code, after
//    the pending fields were filled in the order they were given; each pop-up menu takes the
//    next code as the chosen command id.
//    A pop-up menu takes a queued item text before any code: the item shown with that text
//    (runs of spaces count as one).
// 2. A field without a control id fills the dialog's first enabled edit box, else picks that
//    entry of its first enabled drop-down list. A field with a control id fills that edit
//    box or picks that entry of that list; for a radio button or check box its text is "on"
//    or "off", and a box that is not in that state is clicked, as a user clicks it (so the
//    dialog enables what the choice enables). A greyed-out control is never filled: the
//    user could not either.
// 3. With nothing queued, a dialog is cancelled (IDCANCEL) and a menu closed (0), and the
//    failure names what asked; a field that cannot be filled is a failure too. The script
//    stops on either.
// 4. Uninstalling (or destruction) removes both responders.
class ModalAnswers {
 public:
  ModalAnswers() = default;
  ~ModalAnswers();
  ModalAnswers(const ModalAnswers&) = delete;
  ModalAnswers& operator=(const ModalAnswers&) = delete;

  void Install();
  void Uninstall();

  void Queue(int code) { codes.push_back(code); }
  // A field of the next dialog: controlId 0 for its first enabled box.
  void QueueField(EditorCore::UINT controlId, const std::string& text) { pendingFields.push_back({controlId, text}); }
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
  struct Field {
    EditorCore::UINT controlId = 0;
    std::string text;
  };
  // False when a field could not be filled; the failure says why.
  bool FillFields(EditorCore::GUI_Dialog& dialog);
  // The failure's reason, empty when the field was filled.
  std::string Fill(EditorCore::GUI_Dialog& dialog, const Field& field);

  std::deque<int> codes;
  std::deque<std::string> menuTexts;
  std::vector<Field> pendingFields;
  std::optional<std::string> failure;
  std::string lastTitle;
  int answered = 0;
  bool installed = false;
};

}  // namespace TarvelHost
