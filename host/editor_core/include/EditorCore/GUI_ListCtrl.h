#pragma once

#include <EditorCore/Color.h>
#include <EditorCore/GUI_Wnd.h>

#include <memory>
#include <string>
#include <vector>

namespace EditorCore {

// Item states.
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIS_DROPHILITED = 0x0008;
// Which fields of a GUI_ListItem are used.
constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;
// GetNextItem flags.
constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_FOCUSED = 0x0001;
constexpr UINT LVNI_SELECTED = 0x0002;
// Styles understood by the list.
constexpr UINT LVS_REPORT = 0x0001;
constexpr UINT LVS_SINGLESEL = 0x0004;
constexpr UINT LVS_SHOWSELALWAYS = 0x0008;
constexpr UINT LVS_SORTASCENDING = 0x0010;
constexpr UINT LVS_OWNERDRAWFIXED = 0x0400;
constexpr UINT LVS_NOCOLUMNHEADER = 0x4000;
// Column formats.
constexpr int LVCFMT_LEFT = 0;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;
// Notification codes sent to the parent.
constexpr int NM_RCLICK = -5;
constexpr int LVN_ITEMCHANGED = -101;

// One row or cell, as read and written by the list.
struct GUI_ListItem {
  UINT mask = 0;
  int iItem = 0;
  int iSubItem = 0;
  UINT state = 0;
  UINT stateMask = 0;
  std::string text;
  int iImage = -1;
  LPARAM lParam = 0;
};

// What DrawItem is given for one row.
struct GUI_DrawItem {
  int itemID = -1;
  UINT itemState = 0;  // LVIS_* bits of the row
  CRect rcItem;        // the whole row, client coordinates
  LPARAM itemData = 0;
  GUI_DC& dc;
};

// A report-view list. Contract:
// 1. Rows have one text per column, an image index per cell, a state and an item data value.
// 2. With LVS_SORTASCENDING, InsertItem and SetItemText of column 0 keep the rows in
//    ascending case-insensitive order of their first column; equal texts keep insertion
//    order. InsertItem returns the index the row really got (-1 on failure).
// 3. Every change of a row's state or item data, by the user or by a call (InsertItem with
//    a state included), raises an item change: first OnItemChanged of the list itself, then
//    LVN_ITEMCHANGED to the parent with item, oldState, newState, changed (LVIF_STATE or
//    LVIF_PARAM) and param. Callers that rebuild rows ignore these while they rebuild.
// 4. Rows are 20 pixels high under a 20-pixel header (none with LVS_NOCOLUMNHEADER). Each
//    visible row is painted by DrawItem; the default draws the cells' images and texts, and
//    a cell whose text starts with byte 0xFF as icons: one per following byte, the byte being
//    an index of the image list, 18 pixels apart.
// 5. A left click selects the row under the pointer (Ctrl toggles, Shift extends, unless
//    LVS_SINGLESEL) and gives it the focus state; a click below the rows clears the selection.
class GUI_ListCtrl : public GUI_Wnd {
 public:
  static constexpr int RowHeight = 20;
  static constexpr int HeaderHeight = 20;
  // The vertical scroll bar, when rows overflow, lies over the rightmost pixels of the list:
  // columns that must never hide under it end this far from the right edge.
  static constexpr int ScrollBarWidth = 14;

  GUI_ListCtrl();
  ~GUI_ListCtrl() override;

  bool Create(GUI_Wnd* parent, UINT style, UINT id);
  bool Create(GUI_Wnd* parent, UINT style, const CRect& rect, UINT id);
  void SetExtendedStyle(UINT style) { extendedStyle = style; }
  UINT GetExtendedStyle() const { return extendedStyle; }

  int InsertColumn(int index, const std::string& heading, int width, int format = LVCFMT_LEFT);
  bool SetColumnWidth(int column, int width);
  int GetColumnWidth(int column) const;
  int GetColumnFormat(int column) const;
  int GetColumnCount() const;

  int InsertItem(int index, const std::string& text, int image = -1, UINT itemState = 0, UINT stateMask = 0);
  int InsertItem(const GUI_ListItem& item);
  // Sets the fields named by item.mask on row item.iItem, cell item.iSubItem.
  bool SetItem(const GUI_ListItem& item);
  bool GetItem(GUI_ListItem& item) const;
  bool SetItemText(int row, int column, const std::string& text);
  std::string GetItemText(int row, int column) const;
  int GetItemImage(int row, int column) const;
  bool SetItemData(int row, LPARAM data);
  LPARAM GetItemData(int row) const;
  bool SetItemState(int row, UINT itemState, UINT mask);
  UINT GetItemState(int row, UINT mask) const;
  int GetItemCount() const;
  bool DeleteItem(int row);
  bool DeleteAllItems();

  int GetSelectedCount() const;
  // The n-th selected row (counting from 0 in list order), with its column-0 text, image,
  // state and data; false when there are not that many.
  bool GetSelectedItem(GUI_ListItem& item, int n) const;
  // The first row after start (-1: from the top) with all the LVNI_* flags; -1 when none.
  int GetNextItem(int start, UINT flags) const;
  // First row after startAfter whose column-0 text equals text (case ignored), or begins
  // with it when partial is true; -1 when none. The search does not wrap.
  int FindItem(const std::string& text, int startAfter = -1, bool partial = false) const;
  bool EnsureVisible(int row, bool partialOk);
  int GetTopIndex() const;
  int HitTest(CPoint clientPoint) const;
  bool GetItemRect(int row, CRect& rect) const;
  bool GetSubItemRect(int row, int column, CRect& rect) const;

  int AddIcon(GUI_Icon* icon);
  int GetIconCount() const;
  GUI_Icon* GetIcon(int index) const;

  // Row highlighting of the default drawing; grid lines around cells.
  void SetHighlight(bool on) { highlight = on; }
  bool GetHighlight() const { return highlight; }
  void SetGridLines(bool on) { gridLines = on; }
  bool GetGridLines() const { return gridLines; }
  COLORREF GetDisabledColor() const;

  // Draws one row; the default draws the cells as the contract says.
  virtual void DrawItem(const GUI_DrawItem& drawItem);
  // The default drawing of a row's cells with a text colour of the caller's choice, for lists
  // that colour their rows.
  void DrawCells(const GUI_DrawItem& drawItem, COLORREF textColour);
  // The list's own view of an item change, before the parent's.
  virtual void OnItemChanged(int item, UINT oldState, UINT newState, UINT changed);
  // What the pointer's tooltip says over a cell (icon: the index of the icon under the pointer
  // in a cell of icons, else -1). The default is a text cell's whole text where the cell cuts
  // it short, so that a narrow list never hides a name.
  virtual std::string GetCellToolTip(int row, int column, int icon) const;
  // The width the list's font gives a text, as the default drawing places it.
  int GetTextWidth(const std::string& text) const;
  std::string GetToolTipAt(CPoint point) const override;

  void OnPaint(GUI_DC& dc) override;
  bool OnEraseBkgnd(GUI_DC& dc) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  bool OnMouseWheel(UINT flags, short delta, CPoint screenPoint) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  struct Data;
  void ChangeState(int row, UINT itemState, UINT mask);
  void RaiseItemChanged(int row, UINT oldState, UINT newState, UINT changed);
  int SortedPosition(const std::string& text) const;
  void UpdateScrollRange();
  int VisibleRowCount() const;
  int BodyTop() const;
  std::unique_ptr<Data> data;
  UINT extendedStyle = 0;
  bool highlight = true;
  bool gridLines = false;
};

}  // namespace EditorCore
