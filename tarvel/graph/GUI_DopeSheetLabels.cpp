#include "graph/GUI_DopeSheetLabels.h"

#include <algorithm>
#include <cfloat>

#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EditorToolkit/EditorKernel.h"
#include "EditorToolkit/KeyManager.h"
#include "curves/ClipEditCore.h"
#include "graph/GUI_DopeSheetCtrl.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using EditorCore::COLORREF;
using EditorCore::CPoint;
using EditorCore::CRect;
using EditorCore::GUI_BackBuffer;
using EditorCore::GUI_ThemeManager;

namespace {

constexpr COLORREF kSummaryGround = EditorCore::RGB(30, 30, 31);
constexpr COLORREF kRowLine = EditorCore::RGB(55, 55, 57);
constexpr int kListText = 74;

}  // namespace

GUI_DopeSheetLabels::GUI_DopeSheetLabels(DopeSheet& dopeSheet, GUI_DopeSheetCtrl& keysCtrl)
    : sheet(dopeSheet), keys(keysCtrl) {}

bool GUI_DopeSheetLabels::Create(EditorCore::GUI_Wnd* parent, EditorCore::UINT id) {
  if (!CreateChild(parent, id, CRect(), EditorCore::WS_CHILD)) return false;
  SetWindowText("GUI_DopeSheetLabels");
  return true;
}

void GUI_DopeSheetLabels::Paint(GUI_BackBuffer& buffer, int width, int height) {
  constexpr int kRow = GUI_DopeSheetCtrl::kRowHeight;
  buffer.ClearClipRect();
  buffer.Fill(GUI_ThemeManager::GetColor(Ids::kThemeListBackground));
  const std::vector<DopeSheet::Row>& rows = sheet.GetRows();
  const int scroll = keys.GetScroll();
  const COLORREF text = GUI_ThemeManager::GetColor(kListText);
  buffer.SetBkMode(EditorCore::TRANSPARENT);
  buffer.SetTextColor(text);
  for (int r = std::max(0, scroll / kRow); r < static_cast<int>(rows.size()) && r * kRow - scroll < height; ++r) {
    const DopeSheet::Row& row = rows[static_cast<std::size_t>(r)];
    const int top = r * kRow - scroll;
    // A channel the graph shows is highlighted, as in the channel list.
    if (row.kind == DopeSheet::RowKind::Summary) buffer.FillRect(CRect(0, top, width, top + kRow - 1), kSummaryGround);
    if (row.kind == DopeSheet::RowKind::Channel && sheet.IsChannelShown(row.channelKey)) {
      buffer.FillRect(CRect(0, top, width, top + kRow - 1), GUI_ThemeManager::GetColor(Ids::kThemeListHighlight));
    }
    buffer.FillRect(CRect(0, top + kRow - 1, width, top + kRow), kRowLine);
    int left = 4;
    if (row.kind == DopeSheet::RowKind::Channel) {
      // A triangle pointing right while closed, down while open.
      const bool open = sheet.IsExpanded(row.channelKey);
      const int cx = 8;
      const int cy = top + kRow / 2 - 1;
      for (int i = 0; i <= 4; ++i) {
        if (open) {
          buffer.FillRect(CRect(cx - 4 + i, cy - 2 + i, cx + 5 - i, cy - 1 + i), text);
        } else {
          buffer.FillRect(CRect(cx - 2 + i, cy - 4 + i, cx - 1 + i, cy + 5 - i), text);
        }
      }
      left = kTriangleWidth;
    } else if (row.kind == DopeSheet::RowKind::Track) {
      left = kTriangleWidth + kIndent;
    }
    const bool bold = row.kind == DopeSheet::RowKind::Summary;
    EditorCore::GUI_Font* previous = bold ? buffer.SelectFont(GUI_ThemeManager::GetFont(0, 2)) : nullptr;
    buffer.DrawText(ModuleText::Translate(row.label.c_str()), CRect(left, top, width - 2, top + kRow - 1),
                    EditorCore::DT_LEFT | EditorCore::DT_VCENTER | EditorCore::DT_SINGLELINE | EditorCore::DT_NOPREFIX |
                        EditorCore::DT_END_ELLIPSIS);
    if (bold) buffer.SelectFont(previous);
  }
}

bool GUI_DopeSheetLabels::OnEraseBkgnd(EditorCore::GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  if (backBuffer.Create(dc, client)) {
    Paint(backBuffer, client.Width(), client.Height());
    backBuffer.Present(true, false);
  }
  return true;
}

void GUI_DopeSheetLabels::OnLButtonDown(EditorCore::UINT flags, CPoint point) {
  keys.RefreshRows();
  const int row = keys.RowAt(point.y);
  if (row < 0) return;
  if (point.x < kTriangleWidth && sheet.ToggleExpanded(row)) {
    if (notify) notify(kNotifyRows);
    return;
  }
  const bool add = (flags & EditorCore::MK_SHIFT) != 0 ||
                   EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->ShiftKeyPressed();
  sheet.SelectBox(row, row, -FLT_MAX, FLT_MAX, add);
  if (notify) notify(GUI_DopeSheetCtrl::kNotifySelection);
}

bool GUI_DopeSheetLabels::OnMouseWheel(EditorCore::UINT flags, short delta, CPoint screenPoint) {
  return keys.OnMouseWheel(flags, delta, screenPoint);
}

std::string GUI_DopeSheetLabels::GetToolTipAt(CPoint point) const {
  const int row = keys.RowAt(point.y);
  if (row < 0) return {};
  const std::vector<DopeSheet::Row>& rows = sheet.GetRows();
  const DopeSheet::Row& shown = rows[static_cast<std::size_t>(row)];
  if (shown.kind != DopeSheet::RowKind::Track) return ModuleText::Translate(shown.label.c_str());
  // A track's row names its channel too.
  int channel = row;
  while (channel > 0 && rows[static_cast<std::size_t>(channel)].kind != DopeSheet::RowKind::Channel) --channel;
  return rows[static_cast<std::size_t>(channel)].label + " " + ModuleText::Translate(shown.label.c_str());
}

}  // namespace Tarvel
