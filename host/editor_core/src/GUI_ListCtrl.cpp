#include <EditorCore/GUI_ListCtrl.h>

#include <EditorCore/GUI_DC.h>
#include <EditorCore/GUI_ThemeManager.h>

#include "QtConvert.h"
#include "WndState.h"
#include "WndWidget.h"

#include <QFontMetrics>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>

namespace EditorCore {

namespace {
constexpr int kIconSize = 18;

struct Column {
  std::string heading;
  int width = 0;
  int format = LVCFMT_LEFT;
};

struct Row {
  std::vector<std::string> texts;
  std::vector<int> images;
  UINT state = 0;
  LPARAM param = 0;

  const std::string& Text(int column) const {
    static const std::string empty;
    return column >= 0 && column < static_cast<int>(texts.size()) ? texts[column] : empty;
  }
  int Image(int column) const { return column >= 0 && column < static_cast<int>(images.size()) ? images[column] : -1; }
  void SetText(int column, const std::string& text) {
    if (static_cast<int>(texts.size()) <= column) texts.resize(column + 1);
    texts[column] = text;
  }
  void SetImage(int column, int image) {
    if (static_cast<int>(images.size()) <= column) images.resize(column + 1, -1);
    images[column] = image;
  }
};

bool LessNoCase(const std::string& a, const std::string& b) {
  return detail::ToQString(a).compare(detail::ToQString(b), Qt::CaseInsensitive) < 0;
}
}  // namespace

struct GUI_ListCtrl::Data {
  std::vector<Column> columns;
  std::vector<Row> rows;
  std::vector<GUI_Icon*> icons;
  int top = 0;
  int anchor = -1;
  QPointer<QScrollBar> scroll;
};

GUI_ListCtrl::GUI_ListCtrl() : data(std::make_unique<Data>()) {}
GUI_ListCtrl::~GUI_ListCtrl() { DestroyWindow(); }

bool GUI_ListCtrl::Create(GUI_Wnd* parent, UINT style, UINT id) { return Create(parent, style, CRect(), id); }

bool GUI_ListCtrl::Create(GUI_Wnd* parent, UINT style, const CRect& rect, UINT id) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  auto* widget = new detail::WndWidget(parentWidget);
  widget->setGeometry(detail::ToQRect(rect));
  widget->setFocusPolicy(Qt::StrongFocus);
  auto* scroll = new QScrollBar(Qt::Vertical, widget);
  scroll->hide();
  data->scroll = scroll;
  if (!AttachNewWidget(widget, parent, id, style | WS_CHILD)) return false;
  detail::WndState* st = State();
  QObject::connect(scroll, &QScrollBar::valueChanged, st->guard.get(), [st](int value) {
    auto* list = dynamic_cast<GUI_ListCtrl*>(st->owner);
    if (!list) return;
    list->data->top = value;
    list->Invalidate();
  });
  UpdateScrollRange();
  return true;
}

int GUI_ListCtrl::InsertColumn(int index, const std::string& heading, int width, int format) {
  index = std::clamp(index, 0, GetColumnCount());
  data->columns.insert(data->columns.begin() + index, Column{heading, std::max(0, width), format});
  for (Row& row : data->rows) {
    if (static_cast<int>(row.texts.size()) > index) row.texts.insert(row.texts.begin() + index, std::string());
    if (static_cast<int>(row.images.size()) > index) row.images.insert(row.images.begin() + index, -1);
  }
  Invalidate();
  return index;
}

bool GUI_ListCtrl::SetColumnWidth(int column, int width) {
  if (column < 0 || column >= GetColumnCount()) return false;
  data->columns[column].width = std::max(0, width);
  Invalidate();
  return true;
}

int GUI_ListCtrl::GetColumnWidth(int column) const {
  return column >= 0 && column < GetColumnCount() ? data->columns[column].width : 0;
}

int GUI_ListCtrl::GetColumnFormat(int column) const {
  return column >= 0 && column < GetColumnCount() ? data->columns[column].format : LVCFMT_LEFT;
}

int GUI_ListCtrl::GetColumnCount() const { return static_cast<int>(data->columns.size()); }

int GUI_ListCtrl::SortedPosition(const std::string& text) const {
  const auto it = std::upper_bound(data->rows.begin(), data->rows.end(), text,
                                   [](const std::string& t, const Row& row) { return LessNoCase(t, row.Text(0)); });
  return static_cast<int>(it - data->rows.begin());
}

int GUI_ListCtrl::InsertItem(int index, const std::string& text, int image, UINT itemState, UINT stateMask) {
  GUI_ListItem item;
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
  item.iItem = index;
  item.text = text;
  item.iImage = image;
  item.state = itemState;
  item.stateMask = stateMask;
  return InsertItem(item);
}

int GUI_ListCtrl::InsertItem(const GUI_ListItem& item) {
  if (!IsWindow() || item.iSubItem != 0) return -1;
  Row row;
  row.SetText(0, (item.mask & LVIF_TEXT) ? item.text : std::string());
  row.SetImage(0, (item.mask & LVIF_IMAGE) ? item.iImage : -1);
  if (item.mask & LVIF_PARAM) row.param = item.lParam;
  const int position =
      (GetStyle() & LVS_SORTASCENDING) ? SortedPosition(row.Text(0)) : std::clamp(item.iItem, 0, GetItemCount());
  data->rows.insert(data->rows.begin() + position, std::move(row));
  if (data->anchor >= position) ++data->anchor;
  UpdateScrollRange();
  Invalidate();
  if ((item.mask & LVIF_STATE) && (item.state & item.stateMask) != 0) ChangeState(position, item.state, item.stateMask);
  return position;
}

bool GUI_ListCtrl::SetItem(const GUI_ListItem& item) {
  if (item.iItem < 0 || item.iItem >= GetItemCount() || item.iSubItem < 0) return false;
  int row = item.iItem;
  if (item.mask & LVIF_TEXT) {
    data->rows[row].SetText(item.iSubItem, item.text);
    if (item.iSubItem == 0 && (GetStyle() & LVS_SORTASCENDING)) {
      // A renamed row moves to its place in the order.
      Row moved = std::move(data->rows[row]);
      data->rows.erase(data->rows.begin() + row);
      row = SortedPosition(moved.Text(0));
      data->rows.insert(data->rows.begin() + row, std::move(moved));
    }
  }
  if (item.mask & LVIF_IMAGE) data->rows[row].SetImage(item.iSubItem, item.iImage);
  if ((item.mask & LVIF_PARAM) && data->rows[row].param != item.lParam) {
    data->rows[row].param = item.lParam;
    RaiseItemChanged(row, data->rows[row].state, data->rows[row].state, LVIF_PARAM);
  }
  if (item.mask & LVIF_STATE) ChangeState(row, item.state, item.stateMask);
  Invalidate();
  return true;
}

bool GUI_ListCtrl::GetItem(GUI_ListItem& item) const {
  if (item.iItem < 0 || item.iItem >= GetItemCount()) return false;
  const Row& row = data->rows[item.iItem];
  if (item.mask & LVIF_TEXT) item.text = row.Text(item.iSubItem);
  if (item.mask & LVIF_IMAGE) item.iImage = row.Image(item.iSubItem);
  if (item.mask & LVIF_PARAM) item.lParam = row.param;
  if (item.mask & LVIF_STATE) item.state = row.state & (item.stateMask ? item.stateMask : ~0u);
  return true;
}

bool GUI_ListCtrl::SetItemText(int row, int column, const std::string& text) {
  GUI_ListItem item;
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.text = text;
  return SetItem(item);
}

std::string GUI_ListCtrl::GetItemText(int row, int column) const {
  return row >= 0 && row < GetItemCount() ? data->rows[row].Text(column) : std::string();
}

int GUI_ListCtrl::GetItemImage(int row, int column) const {
  return row >= 0 && row < GetItemCount() ? data->rows[row].Image(column) : -1;
}

bool GUI_ListCtrl::SetItemData(int row, LPARAM value) {
  GUI_ListItem item;
  item.mask = LVIF_PARAM;
  item.iItem = row;
  item.lParam = value;
  return SetItem(item);
}

LPARAM GUI_ListCtrl::GetItemData(int row) const { return row >= 0 && row < GetItemCount() ? data->rows[row].param : 0; }

bool GUI_ListCtrl::SetItemState(int row, UINT itemState, UINT mask) {
  if (row == -1) {
    for (int i = 0; i < GetItemCount(); ++i) ChangeState(i, itemState, mask);
    return true;
  }
  if (row < 0 || row >= GetItemCount()) return false;
  ChangeState(row, itemState, mask);
  return true;
}

UINT GUI_ListCtrl::GetItemState(int row, UINT mask) const {
  return row >= 0 && row < GetItemCount() ? data->rows[row].state & mask : 0;
}

int GUI_ListCtrl::GetItemCount() const { return static_cast<int>(data->rows.size()); }

bool GUI_ListCtrl::DeleteItem(int row) {
  if (row < 0 || row >= GetItemCount()) return false;
  data->rows.erase(data->rows.begin() + row);
  if (data->anchor == row)
    data->anchor = -1;
  else if (data->anchor > row)
    --data->anchor;
  UpdateScrollRange();
  Invalidate();
  return true;
}

bool GUI_ListCtrl::DeleteAllItems() {
  data->rows.clear();
  data->anchor = -1;
  data->top = 0;
  UpdateScrollRange();
  Invalidate();
  return true;
}

void GUI_ListCtrl::ChangeState(int row, UINT itemState, UINT mask) {
  const UINT old = data->rows[row].state;
  const UINT now = (old & ~mask) | (itemState & mask);
  if (now == old) return;
  // Only one row holds the focus, and only one the selection of a single-selection list.
  if ((now & LVIS_FOCUSED) && !(old & LVIS_FOCUSED)) {
    for (int i = 0; i < GetItemCount(); ++i) {
      if (i != row && (data->rows[i].state & LVIS_FOCUSED)) ChangeState(i, 0, LVIS_FOCUSED);
    }
  }
  if ((GetStyle() & LVS_SINGLESEL) && (now & LVIS_SELECTED) && !(old & LVIS_SELECTED)) {
    for (int i = 0; i < GetItemCount(); ++i) {
      if (i != row && (data->rows[i].state & LVIS_SELECTED)) ChangeState(i, 0, LVIS_SELECTED);
    }
  }
  if (row >= GetItemCount()) return;
  const UINT before = data->rows[row].state;
  data->rows[row].state = (before & ~mask) | (itemState & mask);
  Invalidate();
  RaiseItemChanged(row, before, data->rows[row].state, LVIF_STATE);
}

void GUI_ListCtrl::RaiseItemChanged(int row, UINT oldState, UINT newState, UINT changed) {
  OnItemChanged(row, oldState, newState, changed);
  GUI_NotifyPayload payload;
  payload.item = row;
  payload.oldState = oldState;
  payload.newState = newState;
  payload.changed = changed;
  payload.param = row >= 0 && row < GetItemCount() ? data->rows[row].param : 0;
  NotifyParent(LVN_ITEMCHANGED, payload);
}

void GUI_ListCtrl::OnItemChanged(int, UINT, UINT, UINT) {}

int GUI_ListCtrl::GetSelectedCount() const {
  return static_cast<int>(
      std::count_if(data->rows.begin(), data->rows.end(), [](const Row& r) { return (r.state & LVIS_SELECTED) != 0; }));
}

bool GUI_ListCtrl::GetSelectedItem(GUI_ListItem& item, int n) const {
  if (n < 0) return false;
  int seen = 0;
  for (int i = 0; i < GetItemCount(); ++i) {
    const Row& row = data->rows[i];
    if (!(row.state & LVIS_SELECTED)) continue;
    if (seen++ != n) continue;
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = i;
    item.iSubItem = 0;
    item.text = row.Text(0);
    item.iImage = row.Image(0);
    item.state = row.state;
    item.stateMask = ~0u;
    item.lParam = row.param;
    return true;
  }
  return false;
}

int GUI_ListCtrl::GetNextItem(int start, UINT flags) const {
  for (int i = std::max(0, start + 1); i < GetItemCount(); ++i) {
    if ((data->rows[i].state & flags) == flags) return i;
  }
  return -1;
}

int GUI_ListCtrl::FindItem(const std::string& text, int startAfter, bool partial) const {
  const QString wanted = detail::ToQString(text);
  for (int i = std::max(0, startAfter + 1); i < GetItemCount(); ++i) {
    const QString s = detail::ToQString(data->rows[i].Text(0));
    const bool match =
        partial ? s.startsWith(wanted, Qt::CaseInsensitive) : s.compare(wanted, Qt::CaseInsensitive) == 0;
    if (match) return i;
  }
  return -1;
}

int GUI_ListCtrl::BodyTop() const { return (GetStyle() & LVS_NOCOLUMNHEADER) ? 0 : HeaderHeight; }

int GUI_ListCtrl::VisibleRowCount() const {
  CRect client;
  GetClientRect(client);
  return std::max(0, (client.Height() - BodyTop()) / RowHeight);
}

bool GUI_ListCtrl::EnsureVisible(int row, bool partialOk) {
  if (row < 0 || row >= GetItemCount()) return false;
  const int visible = std::max(1, VisibleRowCount());
  CRect client;
  GetClientRect(client);
  const bool hasPartialRow = (client.Height() - BodyTop()) % RowHeight != 0;
  if (row < data->top) {
    data->top = row;
  } else if (row >= data->top + visible && !(partialOk && hasPartialRow && row == data->top + visible)) {
    data->top = row - visible + 1;
  }
  UpdateScrollRange();
  Invalidate();
  return true;
}

int GUI_ListCtrl::GetTopIndex() const { return data->top; }

int GUI_ListCtrl::HitTest(CPoint point) const {
  if (point.y < BodyTop() || point.x < 0) return -1;
  const int row = data->top + (point.y - BodyTop()) / RowHeight;
  return row < GetItemCount() ? row : -1;
}

bool GUI_ListCtrl::GetItemRect(int row, CRect& rect) const {
  if (row < 0 || row >= GetItemCount()) return false;
  CRect client;
  GetClientRect(client);
  int width = 0;
  for (const Column& c : data->columns) width += c.width;
  const int y = BodyTop() + (row - data->top) * RowHeight;
  rect = CRect(0, y, std::max(width, client.Width()), y + RowHeight);
  return true;
}

bool GUI_ListCtrl::GetSubItemRect(int row, int column, CRect& rect) const {
  if (column < 0 || column >= GetColumnCount() || !GetItemRect(row, rect)) return false;
  int x = 0;
  for (int i = 0; i < column; ++i) x += data->columns[i].width;
  rect.left = x;
  rect.right = x + data->columns[column].width;
  return true;
}

int GUI_ListCtrl::GetTextWidth(const std::string& text) const {
  const QWidget* w = detail::WidgetOf(this);
  return w ? QFontMetrics(w->font()).horizontalAdvance(detail::ToQString(text)) : 0;
}

std::string GUI_ListCtrl::GetToolTipAt(CPoint point) const {
  const int row = HitTest(point);
  for (int column = 0; row >= 0 && column < GetColumnCount(); ++column) {
    CRect cell;
    if (!GetSubItemRect(row, column, cell) || point.x < cell.left || point.x >= cell.right) continue;
    const std::string text = GetItemText(row, column);
    const bool icons = !text.empty() && static_cast<unsigned char>(text[0]) == 0xFF;
    const int icon = icons ? (point.x - cell.left) / kIconSize : -1;
    const std::string tip = GetCellToolTip(row, column, icons && icon + 1 < static_cast<int>(text.size()) ? icon : -1);
    return tip.empty() ? GetToolTip() : tip;
  }
  return GetToolTip();
}

std::string GUI_ListCtrl::GetCellToolTip(int row, int column, int) const {
  const std::string text = GetItemText(row, column);
  if (text.empty() || static_cast<unsigned char>(text[0]) == 0xFF) return {};
  CRect cell;
  if (!GetSubItemRect(row, column, cell)) return {};
  // The drawing's margins: 4 pixels before the text, 2 after, and an image before both.
  const int room = cell.Width() - 6 - (GetItemImage(row, column) >= 0 ? kIconSize : 0);
  return GetTextWidth(text) > room ? text : std::string();
}

int GUI_ListCtrl::AddIcon(GUI_Icon* icon) {
  data->icons.push_back(icon);
  return static_cast<int>(data->icons.size()) - 1;
}

int GUI_ListCtrl::GetIconCount() const { return static_cast<int>(data->icons.size()); }

GUI_Icon* GUI_ListCtrl::GetIcon(int index) const {
  return index >= 0 && index < GetIconCount() ? data->icons[index] : nullptr;
}

COLORREF GUI_ListCtrl::GetDisabledColor() const { return GUI_ThemeManager::GetColor(75); }

void GUI_ListCtrl::DrawItem(const GUI_DrawItem& di) { DrawCells(di, GUI_ThemeManager::GetColor(74)); }

void GUI_ListCtrl::DrawCells(const GUI_DrawItem& di, COLORREF textColour) {
  GUI_DC& dc = di.dc;
  const UINT rowState = di.itemState;
  const bool highlighted =
      highlight && ((rowState & LVIS_DROPHILITED) ||
                    ((rowState & LVIS_SELECTED) && (HasFocus() || (GetStyle() & LVS_SHOWSELALWAYS))));
  const COLORREF background = highlighted ? GUI_ThemeManager::GetColor(73)
                                          : (IsWindowEnabled() ? GUI_ThemeManager::GetColor(72) : GetDisabledColor());
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(textColour);
  CRect client;
  GetClientRect(client);
  for (int column = 0; column < GetColumnCount(); ++column) {
    CRect cell;
    if (!GetSubItemRect(di.itemID, column, cell)) continue;
    dc.FillSolidRect(cell, background);
    if (gridLines) {
      dc.SetPen(GUI_ThemeManager::GetColor(73), 1, PS_SOLID);
      dc.DrawRectangle(cell);
    }
    if (cell.right <= client.left || cell.left >= client.right) continue;
    const std::string text = GetItemText(di.itemID, column);
    int x = cell.left;
    if (!text.empty() && static_cast<unsigned char>(text[0]) == 0xFF) {
      for (std::size_t i = 1; i < text.size(); ++i, x += kIconSize) {
        dc.DrawIcon(GetIcon(static_cast<unsigned char>(text[i])), x, cell.top + (cell.Height() - kIconSize) / 2,
                    kIconSize);
      }
      continue;
    }
    const int image = GetItemImage(di.itemID, column);
    if (image >= 0 && GetIcon(image)) {
      dc.DrawIcon(GetIcon(image), x, cell.top + (cell.Height() - kIconSize) / 2, kIconSize);
      x += kIconSize;
    }
    UINT align = DT_LEFT;
    if (GetColumnFormat(column) == LVCFMT_RIGHT)
      align = DT_RIGHT;
    else if (GetColumnFormat(column) == LVCFMT_CENTER)
      align = DT_CENTER;
    dc.DrawText(text, CRect(x + 4, cell.top, cell.right - 2, cell.bottom),
                align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if ((rowState & LVIS_FOCUSED) && HasFocus()) dc.DrawFocusRect(di.rcItem);
}

bool GUI_ListCtrl::OnEraseBkgnd(GUI_DC& dc) {
  CRect rect;
  dc.GetClipBox(rect);
  dc.FillSolidRect(rect, IsWindowEnabled() ? GUI_ThemeManager::GetColor(72) : GetDisabledColor());
  return true;
}

void GUI_ListCtrl::OnPaint(GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  if (BodyTop() > 0) {
    dc.FillSolidRect(CRect(0, 0, client.right, HeaderHeight), RGB(55, 55, 58));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GUI_ThemeManager::GetColor(74));
    dc.SetPen(RGB(80, 80, 84), 1, PS_SOLID);
    int x = 0;
    for (const Column& c : data->columns) {
      dc.DrawText(c.heading, CRect(x + 4, 0, x + c.width - 2, HeaderHeight),
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      x += c.width;
      dc.MoveTo(x - 1, 2);
      dc.LineTo(x - 1, HeaderHeight - 3);
    }
  }
  const int last = std::min(GetItemCount(), data->top + VisibleRowCount() + 1);
  for (int row = data->top; row < last; ++row) {
    CRect rect;
    GetItemRect(row, rect);
    GUI_DrawItem di{row, data->rows[row].state, rect, data->rows[row].param, dc};
    DrawItem(di);
  }
}

void GUI_ListCtrl::OnLButtonDown(UINT flags, CPoint point) {
  SetFocus();
  if (point.y < BodyTop()) return;
  const int row = HitTest(point);
  const bool single = (GetStyle() & LVS_SINGLESEL) != 0;
  if (row < 0) {
    if (!(flags & MK_CONTROL)) SetItemState(-1, 0, LVIS_SELECTED);
    return;
  }
  if (!single && (flags & MK_CONTROL)) {
    const UINT selected = GetItemState(row, LVIS_SELECTED);
    SetItemState(row, (selected ^ LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    data->anchor = row;
    return;
  }
  if (!single && (flags & MK_SHIFT) && data->anchor >= 0) {
    const int a = std::min(data->anchor, row);
    const int b = std::max(data->anchor, row);
    for (int i = 0; i < GetItemCount(); ++i) {
      if (i < a || i > b) ChangeState(i, 0, LVIS_SELECTED);
    }
    for (int i = a; i <= b; ++i) ChangeState(i, LVIS_SELECTED, LVIS_SELECTED);
    ChangeState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    return;
  }
  for (int i = 0; i < GetItemCount(); ++i) {
    if (i != row) ChangeState(i, 0, LVIS_SELECTED);
  }
  if (row < GetItemCount()) ChangeState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  data->anchor = row;
}

void GUI_ListCtrl::OnRButtonDown(UINT, CPoint point) {
  SetFocus();
  const int row = HitTest(point);
  if (row >= 0 && !GetItemState(row, LVIS_SELECTED)) {
    for (int i = 0; i < GetItemCount(); ++i) {
      if (i != row) ChangeState(i, 0, LVIS_SELECTED);
    }
    if (row < GetItemCount()) ChangeState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  GUI_NotifyPayload payload;
  payload.item = row;
  payload.point = point;
  NotifyParent(NM_RCLICK, payload);
}

bool GUI_ListCtrl::OnMouseWheel(UINT, short delta, CPoint) {
  const int maxTop = std::max(0, GetItemCount() - VisibleRowCount());
  data->top = std::clamp(data->top - delta / 40, 0, maxTop);
  UpdateScrollRange();
  Invalidate();
  return true;
}

void GUI_ListCtrl::OnKeyDown(UINT key, UINT, UINT) {
  if (key != VK_UP && key != VK_DOWN) return;
  const int focused = GetNextItem(-1, LVNI_FOCUSED);
  const int row = std::clamp(focused + (key == VK_DOWN ? 1 : -1), 0, GetItemCount() - 1);
  if (row < 0 || row == focused) return;
  for (int i = 0; i < GetItemCount(); ++i) {
    if (i != row) ChangeState(i, 0, LVIS_SELECTED);
  }
  if (row < GetItemCount()) ChangeState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  data->anchor = row;
  EnsureVisible(row, false);
}

void GUI_ListCtrl::OnSize(UINT, int, int) { UpdateScrollRange(); }

void GUI_ListCtrl::UpdateScrollRange() {
  // A list bound to a template control finds the scroll bar its widget was made with.
  if (!data->scroll) {
    if (QWidget* w = detail::WidgetOf(this)) data->scroll = w->findChild<QScrollBar*>();
  }
  QScrollBar* scroll = data->scroll;
  const int maxTop = std::max(0, GetItemCount() - VisibleRowCount());
  data->top = std::clamp(data->top, 0, maxTop);
  if (!scroll) return;
  CRect client;
  GetClientRect(client);
  scroll->setGeometry(client.right - ScrollBarWidth, BodyTop(), ScrollBarWidth,
                      std::max(0, client.Height() - BodyTop()));
  const QSignalBlocker blocker(scroll);
  scroll->setRange(0, maxTop);
  scroll->setPageStep(std::max(1, VisibleRowCount()));
  scroll->setValue(data->top);
  scroll->setVisible(maxTop > 0);
}

}  // namespace EditorCore
