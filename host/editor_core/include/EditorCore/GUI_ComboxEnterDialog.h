#pragma once

#include <EditorCore/GUI_ComboBox.h>
#include <EditorCore/GUI_Dialog.h>

#include <string>
#include <vector>

namespace EditorCore {

// A modal choice among strings: a title, an icon, a prompt (control PromptId) and a
// drop-down list (control ComboId), OK and Cancel. DoModal returns IDOK or IDCANCEL;
// GetString gives the entry current when OK was pressed (empty otherwise).
class GUI_ComboxEnterDialog : public GUI_Dialog {
 public:
  static constexpr UINT PromptId = 100;
  static constexpr UINT ComboId = 101;
  static constexpr UINT IconId = 102;

  explicit GUI_ComboxEnterDialog(GUI_Wnd* parent = nullptr);
  void SetTitle(const std::string& text) { title = text; }
  void SetPrompt(const std::string& text) { prompt = text; }
  void SetIcon(GUI_Icon* image) { icon = image; }
  void AddEntry(const std::string& entry) { entries.push_back(entry); }
  int GetEntryCount() const { return static_cast<int>(entries.size()); }
  int DoModal();
  const std::string& GetString() const { return chosen; }

  bool OnInitDialog() override;
  void OnOK() override;

 private:
  std::string title;
  std::string prompt;
  GUI_Icon* icon = nullptr;
  std::vector<std::string> entries;
  std::string chosen;
  GUI_ComboBox combo;
};

}  // namespace EditorCore
