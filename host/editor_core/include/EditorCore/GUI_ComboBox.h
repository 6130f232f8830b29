#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <string>

namespace EditorCore {

// A drop-down list of strings, each with an item data value, kept in insertion order.
// When the user picks an entry the parent's OnNotify gets NotifySelChange with the index
// in payload.item; SetCurSel sends nothing.
class GUI_ComboBox : public GUI_Wnd {
 public:
  static constexpr int NotifySelChange = 1;

  bool Create(GUI_Wnd* parent, const CRect& rect, UINT id, UINT style = WS_CHILD | WS_VISIBLE);
  int AddString(const std::string& text);
  int InsertString(int index, const std::string& text);
  bool DeleteString(int index);
  void ResetContent();
  int GetCount() const;
  bool SetItemData(int index, LPARAM data);
  LPARAM GetItemData(int index) const;
  // -1 clears the current entry.
  void SetCurSel(int index);
  int GetCurSel() const;
  std::string GetLBText(int index) const;
  int FindStringExact(int startAfter, const std::string& text) const;

 protected:
  void OnAttach() override;
};

}  // namespace EditorCore
