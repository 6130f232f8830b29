#pragma once

#include <string>

#include "EditorCore/GUI_Dialog.h"

namespace TarvelHost {

// Asks for a name: a title, a prompt and one edit box, OK and Cancel. DoModal returns IDOK
// or IDCANCEL; GetName gives the trimmed text typed when OK was pressed.
class NameDialog : public EditorCore::GUI_Dialog {
 public:
  NameDialog(std::string title, std::string prompt, EditorCore::GUI_Wnd* parent = nullptr);

  int DoModal();
  const std::string& GetName() const { return name; }

  bool OnInitDialog() override;
  void OnOK() override;

 private:
  std::string title;
  std::string prompt;
  std::string name;
};

}  // namespace TarvelHost
