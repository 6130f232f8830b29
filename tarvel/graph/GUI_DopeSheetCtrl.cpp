#include "graph/GUI_DopeSheetCtrl.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EditorToolkit/EditorKernel.h"
#include "EditorToolkit/KeyManager.h"
#include "curves/ClipEditCore.h"
#include "graph/PixelMap.h"
#include "resources/KeyBindings.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using EditorCore::COLORREF;
using EditorCore::CPoint;
using EditorCore::CRect;
using EditorCore::GUI_BackBuffer;
using EditorToolkit::Curve2;

namespace {

constexpr COLORREF kSummaryGround = EditorCore::RGB(222, 222, 222);
constexpr COLORREF kChannelGround = EditorCore::RGB(236, 236, 236);
constexpr COLORREF kTrackGround = EditorCore::RGB(246, 246, 246);
constexpr COLORREF kRowLine = EditorCore::RGB(205, 205, 205);
constexpr COLORREF kGridLine = EditorCore::RGB(212, 212, 212);
constexpr COLORREF kMarkOutline = EditorCore::RGB(30, 30, 30);
constexpr COLORREF kMarkFill = EditorCore::RGB(150, 150, 150);
constexpr COLORREF kSelectedFill = EditorCore::RGB(255, 166, 0);
constexpr COLORREF kBandLine = EditorCore::RGB(40, 90, 170);

bool IsShiftDown(EditorCore::UINT flags) {
  return (flags & EditorCore::MK_SHIFT) != 0 ||
         EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->ShiftKeyPressed();
}

// The shapes of marks: squares for steps, circles for cubic curves, diamonds for linear ones
// or a mix.
enum Shape { Square, Circle, Diamond };

Shape ShapeOf(std::uint8_t flags) {
  const bool step = (flags & 4) != 0;
  const bool linear = (flags & 8) != 0;
  const bool cubic = (flags & 16) != 0;
  if (step && !linear && !cubic) return Square;
  if (cubic && !step && !linear) return Circle;
  return Diamond;
}

// Half the height of a shape of a radius at each distance from its middle column, -1 beyond.
struct ShapeTable {
  explicit ShapeTable(int radius) {
    for (int shape = 0; shape < 3; ++shape) {
      for (int d = 0; d < kColumns; ++d) {
        int half = -1;
        if (d <= radius) {
          if (shape == Square) half = radius - 1;
          if (shape == Circle)
            half = static_cast<int>(std::lround(std::sqrt(static_cast<double>(radius * radius - d * d))));
          if (shape == Diamond) half = radius - d;
        }
        halves[shape][d] = half;
      }
    }
  }
  int Half(std::uint8_t flags, int distance) const {
    return distance < kColumns ? halves[ShapeOf(flags)][distance] : -1;
  }
  static constexpr int kColumns = 16;
  int halves[3][kColumns]{};
};

}  // namespace

GUI_DopeSheetCtrl::GUI_DopeSheetCtrl(DopeSheet& dopeSheet, const ClipEditCore& editCore)
    : sheet(dopeSheet), core(editCore) {}

GUI_DopeSheetCtrl::~GUI_DopeSheetCtrl() = default;

bool GUI_DopeSheetCtrl::Create(EditorCore::GUI_Wnd* parent, EditorCore::UINT id) {
  if (!CreateChild(parent, id, CRect(), EditorCore::WS_CHILD)) return false;
  SetWindowText("GUI_DopeSheetCtrl");
  SetCursor(EditorCore::GUI_ThemeManager::GetCursor(Ids::kThemeCursorArrow));
  return true;
}

bool GUI_DopeSheetCtrl::SetScroll(int pixels) {
  CRect client;
  GetClientRect(client);
  const int rowsHeight = static_cast<int>(sheet.GetRows().size()) * kRowHeight;
  const int clamped = std::clamp(pixels, 0, std::max(0, rowsHeight - client.Height()));
  if (clamped == scroll) return false;
  scroll = clamped;
  Invalidate();
  Tell(kNotifyScrolled);
  return true;
}

int GUI_DopeSheetCtrl::RowAt(int y) const {
  const int row = (y + scroll) / kRowHeight;
  return y + scroll < 0 || row >= static_cast<int>(sheet.GetRows().size()) ? -1 : row;
}

int GUI_DopeSheetCtrl::ShowRow(int row) {
  if (row < 0 || row >= static_cast<int>(sheet.GetRows().size())) return -1;
  CRect client;
  GetClientRect(client);
  const int top = row * kRowHeight;
  if (top < scroll) {
    SetScroll(top);
  } else if (top + kRowHeight > scroll + client.Height()) {
    SetScroll(top + kRowHeight - client.Height());
  }
  return top - scroll + kRowHeight / 2;
}

double GUI_DopeSheetCtrl::FrameAt(int x) const { return ruler ? ruler->PixelToValue(x) : 0.0; }

double GUI_DopeSheetCtrl::FramesPerPixel() const {
  return ruler ? 1.0 / std::max(1e-9, ruler->GetPixelPerUnit() * ruler->GetScale()) : 1.0;
}

void GUI_DopeSheetCtrl::CollectColumns(const DopeSheet::Row& row, int width, Columns& columns) const {
  columns.assign(static_cast<std::size_t>(width + 2 * kMarkRadius), 0);
  const PixelMap frames(*ruler);
  const float low = static_cast<float>(frames.ValueAt(-kMarkRadius - 1));
  const float high = static_cast<float>(frames.ValueAt(width + kMarkRadius + 1));
  const double start = frames.ValueAt(0.0);
  const double perFrame = frames.Position(start + 1.0);
  // Columns are counted from the left margin, so that rounding is a truncation.
  const double origin = 0.5 + kMarkRadius;
  const auto end = static_cast<double>(columns.size());
  // Every key in view is looked at once: the walk is kept to plain arithmetic.
  for (const CurveInfo* info : row.curves) {
    const Curve2& curve = *info->pCurve;
    const std::uint32_t count = curve.GetPointCount();
    if (count == 0) continue;
    const auto look = static_cast<std::uint8_t>(
        HasKey | (curve.GetInterpolation() == Curve2::Step ? Step : (curve.IsCubic() ? Cubic : Linear)));
    const auto selectedLook = static_cast<std::uint8_t>(look | (info->bSelected ? HasSelected : 0));
    const auto first = static_cast<std::uint32_t>(std::max(curve.SearchPreviousPoint(low), 0));
    const EditorToolkit::EditablePoint* point = curve.GetPointAt(first);
    const EditorToolkit::EditablePoint* stop = point + (count - first);
    for (; point != stop && point->x <= high; ++point) {
      const double column = (point->x - start) * perFrame + origin;
      if (column < 0.0 || column >= end) continue;
      columns[static_cast<std::size_t>(column)] |= point->bSelected ? selectedLook : look;
    }
  }
}

void GUI_DopeSheetCtrl::PaintMarks(GUI_BackBuffer& buffer, const Columns& columns, int middle, int width,
                                   const CRect& area) const {
  static const ShapeTable outer(kMarkRadius);
  static const ShapeTable inner(kMarkRadius - 1);
  // Marks are drawn as one span per pixel column and layer: their outline, their fill inside
  // it; the selected ones over the others. A column takes the taller of the nearest mark on
  // either side, so that a paint costs the width, however dense the marks.
  const int count = static_cast<int>(columns.size());
  std::vector<int> tops(static_cast<std::size_t>(width));
  std::vector<int> bottoms(tops.size());
  std::vector<int> innerTops(tops.size());
  std::vector<int> innerBottoms(tops.size());
  std::vector<int> nextMark(static_cast<std::size_t>(count));
  for (const bool selected : {false, true}) {
    const auto inLayer = [&columns, selected](int c) {
      const std::uint8_t flags = columns[static_cast<std::size_t>(c)];
      return (flags & HasKey) && ((flags & HasSelected) != 0) == selected;
    };
    int next = INT_MAX;
    for (int c = count - 1; c >= 0; --c) {
      if (inLayer(c)) next = c;
      nextMark[static_cast<std::size_t>(c)] = next;
    }
    if (next == INT_MAX) continue;
    int previous = INT_MIN / 2;
    for (int c = 0; c < kMarkRadius; ++c) {
      if (inLayer(c)) previous = c;
    }
    for (int x = 0; x < width; ++x) {
      const int c = x + kMarkRadius;
      if (inLayer(c)) previous = c;
      const int following = nextMark[static_cast<std::size_t>(c)];
      int half = -1;
      int innerHalf = -1;
      for (const int mark : {previous, following}) {
        if (mark < 0 || mark >= count) continue;
        const std::uint8_t flags = columns[static_cast<std::size_t>(mark)];
        const int distance = std::abs(mark - c);
        half = std::max(half, outer.Half(flags, distance));
        if (distance < kMarkRadius - 1) innerHalf = std::max(innerHalf, inner.Half(flags, distance) - 1);
      }
      const auto i = static_cast<std::size_t>(x);
      tops[i] = half < 0 ? INT_MAX : middle - half;
      bottoms[i] = half < 0 ? INT_MIN : middle + half;
      innerTops[i] = innerHalf < 0 ? INT_MAX : middle - innerHalf;
      innerBottoms[i] = innerHalf < 0 ? INT_MIN : middle + innerHalf;
    }
    buffer.FillColumnSpans(0, tops.data(), bottoms.data(), width, kMarkOutline, area, innerTops.data(),
                           innerBottoms.data(), selected ? kSelectedFill : kMarkFill);
  }
}

void GUI_DopeSheetCtrl::Paint(GUI_BackBuffer& buffer, int width, int height) {
  // Rows follow the channels while no gesture holds them.
  if (gesture == Gesture::None) RefreshRows();
  buffer.ClearClipRect();
  const std::vector<DopeSheet::Row>& rows = sheet.GetRows();
  const int first = std::max(0, scroll / kRowHeight);
  const int last = std::min(static_cast<int>(rows.size()) - 1, (scroll + height) / kRowHeight);
  // The rows' grounds cover what they reach; the theme's ground the rest.
  buffer.FillRect(CRect(0, std::max(0, (last + 1) * kRowHeight - scroll), width, height),
                  EditorCore::GUI_ThemeManager::GetColor(Ids::kThemeGraphBackground));
  if (!ruler || width <= 0 || height <= 0) return;
  for (int r = first; r <= last; ++r) {
    const int top = r * kRowHeight - scroll;
    const DopeSheet::RowKind kind = rows[static_cast<std::size_t>(r)].kind;
    const COLORREF ground = kind == DopeSheet::RowKind::Summary
                                ? kSummaryGround
                                : (kind == DopeSheet::RowKind::Channel ? kChannelGround : kTrackGround);
    buffer.FillRect(CRect(0, top, width, top + kRowHeight - 1), ground);
    buffer.FillRect(CRect(0, top + kRowHeight - 1, width, top + kRowHeight), kRowLine);
  }
  for (const EditorCore::GUI_RulerGraduation& graduation : ruler->GetGraduations(width, 0)) {
    if (graduation.major) buffer.FillRect(CRect(graduation.pixel, 0, graduation.pixel + 1, height), kGridLine);
  }
  // Each channel's columns are walked once; the summary is their union.
  rowColumns.resize(rows.size());
  Columns summary(static_cast<std::size_t>(width + 2 * kMarkRadius), 0);
  for (int r = 1; r < static_cast<int>(rows.size()); ++r) {
    const DopeSheet::Row& row = rows[static_cast<std::size_t>(r)];
    const bool shown = r >= first && r <= last;
    if (row.kind == DopeSheet::RowKind::Track && !shown) continue;
    CollectColumns(row, width, rowColumns[static_cast<std::size_t>(r)]);
    if (row.kind != DopeSheet::RowKind::Channel) continue;
    const Columns& columns = rowColumns[static_cast<std::size_t>(r)];
    for (std::size_t c = 0; c < summary.size(); ++c) summary[c] |= columns[c];
  }
  if (!rows.empty()) rowColumns.front() = std::move(summary);
  const CRect area(0, 0, width, height);
  for (int r = first; r <= last; ++r) {
    PaintMarks(buffer, rowColumns[static_cast<std::size_t>(r)], r * kRowHeight - scroll + kRowHeight / 2 - 1, width,
               area);
  }
  // The time cursor, in the frame ruler's colour for it.
  for (int m = 0; m < ruler->GetMarkerCount(); ++m) {
    const EditorCore::GUI_RulerMarker* marker = ruler->GetMarkerAt(m);
    if (!marker || marker->id != Ids::kMarkerTimeCursor || !(marker->flags & 1)) continue;
    const int x = ruler->ValueToPixel(core.GetTimeCursor());
    if (x >= 0 && x < width) buffer.FillRect(CRect(x, 0, x + 1, height), marker->color);
  }
  if (gesture == Gesture::Band) {
    buffer.SetPen(kBandLine, 1, EditorCore::PS_DOT);
    buffer.DrawRectangle(CRect(std::min(pressPoint.x, pointer.x), std::min(pressPoint.y, pointer.y),
                               std::max(pressPoint.x, pointer.x), std::max(pressPoint.y, pointer.y)));
  }
}

bool GUI_DopeSheetCtrl::OnEraseBkgnd(EditorCore::GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  if (backBuffer.Create(dc, client)) {
    Paint(backBuffer, client.Width(), client.Height());
    backBuffer.Present(true, false);
  }
  return true;
}

void GUI_DopeSheetCtrl::OnLButtonDown(EditorCore::UINT flags, CPoint point) {
  SetFocus();
  if (!ruler || gesture != Gesture::None) return;
  RefreshRows();
  SetCapture();
  shiftPressed = IsShiftDown(flags);
  pressPoint = point;
  pointer = point;
  pressRow = RowAt(point.y);
  pressFrame = static_cast<float>(FrameAt(point.x));
  keepOnlyOnClick = false;
  float mark = 0.0f;
  if (pressRow >= 0 && sheet.FindMark(pressRow, pressFrame, static_cast<float>(kPickReach * FramesPerPixel()), mark)) {
    gesture = Gesture::Mark;
    grabbedFrame = mark;
    if (shiftPressed) {
      sheet.SelectMark(pressRow, mark, true, true);
    } else if (!sheet.IsMarkSelected(pressRow, mark)) {
      sheet.SelectMark(pressRow, mark, false);
    } else {
      keepOnlyOnClick = true;
    }
    Tell(kNotifySelection);
  } else {
    gesture = Gesture::Band;
  }
  Invalidate();
}

void GUI_DopeSheetCtrl::OnMouseMove(EditorCore::UINT, CPoint point) {
  if (gesture == Gesture::None || !HasCapture()) return;
  pointer = point;
  if (gesture == Gesture::Mark) {
    // As in the graph, the keys move once the pointer reaches another whole frame.
    const float target = ClipEditCore::WholeFrame(grabbedFrame + static_cast<float>(FrameAt(point.x)) - pressFrame);
    if (!sheet.IsMoving()) {
      if (target == grabbedFrame || !sheet.IsMarkSelected(pressRow, grabbedFrame) || !sheet.BeginMove()) return;
      SetCursor(EditorCore::GUI_ThemeManager::GetCursor(Ids::kThemeCursorFrames));
    }
    if (sheet.MoveBy(target - grabbedFrame)) Invalidate();
    return;
  }
  Invalidate();
}

void GUI_DopeSheetCtrl::OnLButtonUp(EditorCore::UINT, CPoint point) {
  if (HasCapture()) ReleaseCapture();
  const Gesture ended = gesture;
  gesture = Gesture::None;
  SetCursor(EditorCore::GUI_ThemeManager::GetCursor(Ids::kThemeCursorArrow));
  if (ended == Gesture::Mark) {
    if (sheet.IsMoving()) {
      if (sheet.EndMove()) Tell(kNotifyClipChanged);
    } else if (keepOnlyOnClick) {
      sheet.SelectMark(pressRow, grabbedFrame, false);
      Tell(kNotifySelection);
    }
  } else if (ended == Gesture::Band) {
    // Rows the band reaches, beyond the sheet's ends too: the sheet keeps them to its rows.
    const auto rowIndex = [this](int y) {
      const int pixel = y + scroll;
      return pixel < 0 ? -1 - (-pixel - 1) / kRowHeight : pixel / kRowHeight;
    };
    sheet.SelectBox(rowIndex(std::min(pressPoint.y, point.y)), rowIndex(std::max(pressPoint.y, point.y)),
                    static_cast<float>(FrameAt(pressPoint.x)), static_cast<float>(FrameAt(point.x)), shiftPressed);
    Tell(kNotifySelection);
  }
  Invalidate();
}

void GUI_DopeSheetCtrl::OnRButtonDown(EditorCore::UINT, CPoint point) {
  SetFocus();
  if (gesture != Gesture::None) return;
  menu = std::make_unique<EditorCore::GUI_Menu>();
  if (!menu->CreatePopupMenu()) return;
  const auto item = [this](EditorCore::UINT command, const char* text, bool enabled) {
    menu->AppendMenu(EditorCore::MF_STRING | (enabled ? 0u : EditorCore::MF_GRAYED), command,
                     ModuleText::Translate(text) + KeyBindings::MenuSuffix(command));
  };
  const bool selection = sheet.HasSelection();
  item(Ids::kCmdCopyPoints, "Copy", selection);
  item(Ids::kCmdPastePoints, "Paste", true);
  item(Ids::kCmdDuplicateKeys, "Duplicate", selection);
  item(Ids::kCmdScaleKeysInTime, "Scale Time...", selection);
  item(Ids::kCmdRemovePoints, "Delete", selection);
  ClientToScreen(point);
  menu->TrackPopupMenu(EditorCore::TPM_RIGHTBUTTON, point.x, point.y, this);
}

bool GUI_DopeSheetCtrl::OnCommand(EditorCore::UINT id) {
  GUI_Wnd* panel = GetParent();
  return panel && panel->OnCommand(id);
}

bool GUI_DopeSheetCtrl::OnMouseWheel(EditorCore::UINT flags, short delta, CPoint) {
  if (flags & EditorCore::MK_CONTROL) return false;
  // A notch is three rows.
  SetScroll(scroll - delta / 120 * 3 * kRowHeight);
  return true;
}

}  // namespace Tarvel
