#pragma once

#include <EditorCore/GUI_Dialog.h>

#include <string>

namespace EditorCore {

// A modal message with buttons by type: TypeOk (OK), TypeYesNo (Yes = IDYES, No = IDNO),
// TypeOkCancel (OK, Cancel). The text is control TextId; buttons carry their end codes as
// ids, so a modal responder can read the text and answer with the code of a button.
class GUI_MessageDialog : public GUI_Dialog {
 public:
  static constexpr int TypeOk = 0;
  static constexpr int TypeYesNo = 1;
  static constexpr int TypeOkCancel = 2;
  static constexpr UINT TextId = 100;

  GUI_MessageDialog(const std::string& text, int type = TypeOk, GUI_Wnd* parent = nullptr);
  int DoModal();
  int GetResult() const { return result; }
  const std::string& GetText() const { return text; }
  int GetType() const { return type; }

  bool OnInitDialog() override;
  bool OnCommand(UINT id) override;

 private:
  std::string text;
  int type;
  int result = 0;
};

}  // namespace EditorCore
