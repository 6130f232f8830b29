#pragma once

#include <EditorCore/GUI_Dialog.h>

#include <string>
#include <vector>

namespace EditorCore {

// A modal message with buttons by type: TypeOk (OK), TypeYesNo (Yes = IDYES, No = IDNO),
// TypeOkCancel (OK, Cancel), or TypeChoice: two or three buttons of the caller's texts whose
// end codes are 1, 2 and 3 in order; Enter, Escape and closing give the code the caller names,
// since no answer of a choice is safe to take by default. The
// text is control TextId; a modal responder can read it and answer with an end code.
class GUI_MessageDialog : public GUI_Dialog {
 public:
  static constexpr int TypeOk = 0;
  static constexpr int TypeYesNo = 1;
  static constexpr int TypeOkCancel = 2;
  static constexpr int TypeChoice = 3;
  static constexpr UINT TextId = 100;
  // Control ids of the choice buttons; their end codes are 1, 2, 3.
  static constexpr UINT FirstChoiceId = 1001;

  GUI_MessageDialog(const std::string& text, int type = TypeOk, GUI_Wnd* parent = nullptr);
  // A choice between two or three answers; `escapeCode` is what Escape or closing means.
  GUI_MessageDialog(const std::string& text, std::vector<std::string> answers, int escapeCode,
                    GUI_Wnd* parent = nullptr);
  int DoModal();
  // The window's title; by default "Message", or "Question" for questions.
  void SetCaption(std::string title) { caption = std::move(title); }
  int GetResult() const { return result; }
  const std::string& GetText() const { return text; }
  int GetType() const { return type; }

  bool OnInitDialog() override;
  bool OnCommand(UINT id) override;
  void OnOK() override;
  void OnCancel() override;
  void OnAnswer(int code) override;

 private:
  std::string text;
  int type;
  std::vector<std::string> answers;
  std::string caption;
  int escapeCode = 0;
  int result = 0;
};

}  // namespace EditorCore
