#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <memory>
#include <string>

namespace EditorCore {

// A row of tabs over a display area; the pages shown in that area are the caller's own
// child windows. Notifications to the parent: NotifySelChange when the user makes another
// tab current, by a click, the wheel or the keyboard (payload.item the index), NotifyContextMenu on a right click on
// the tabs (payload.item the tab under the pointer or -1, payload.point in the control's client coordinates).
class GUI_TabCtrl : public GUI_Wnd {
 public:
  static constexpr int NotifySelChange = -551;
  static constexpr int NotifyContextMenu = 2033;

  GUI_TabCtrl();
  ~GUI_TabCtrl() override;

  bool Create(GUI_Wnd* parent, UINT id);
  bool Create(GUI_Wnd* parent, const CRect& rect, UINT id);
  // Space kept around the display area inside the control, in pixels.
  void SetMargins(int left, int top, int right, int bottom);
  int InsertItem(int index, const std::string& text);
  bool DeleteItem(int index);
  bool DeleteAllItems();
  int GetItemCount() const;
  // -1 when there is no tab.
  int GetCurSel() const;
  int SetCurSel(int index);
  std::string GetItemText(int index) const;
  bool SetItemText(int index, const std::string& text);
  // What shows when the pointer rests on a tab; false for an index past the tabs.
  std::string GetItemToolTip(int index) const;
  bool SetItemToolTip(int index, const std::string& text);
  // The area below the tabs, in the control's client coordinates, less the margins.
  void GetDisplayRect(CRect& rect) const;

  void OnSize(UINT type, int cx, int cy) override;

 protected:
  void OnAttach() override;

 private:
  struct Data;
  void Layout();
  std::unique_ptr<Data> data;
};

}  // namespace EditorCore
