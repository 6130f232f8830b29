#include <EditorCore/GUI_SplitterControl.h>

#include <EditorCore/GUI_DC.h>
#include <EditorCore/GUI_ThemeManager.h>

#include "QtConvert.h"
#include "WndState.h"
#include "WndWidget.h"

#include <algorithm>

namespace EditorCore {

bool GUI_SplitterControl::Create(GUI_Wnd* parent, UINT kind, const CRect& rect, UINT id, UINT style) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  splitterStyle = kind == StyleHorizontal ? StyleHorizontal : StyleVertical;
  auto* widget = new detail::WndWidget(parentWidget);
  widget->setGeometry(detail::ToQRect(rect));
  widget->setCursor(splitterStyle == StyleVertical ? Qt::SplitHCursor : Qt::SplitVCursor);
  return AttachNewWidget(widget, parent, id, style);
}

void GUI_SplitterControl::SetRange(int minimum, int maximum) {
  rangeMin = minimum;
  rangeMax = std::max(minimum, maximum);
}

int GUI_SplitterControl::Distance(CPoint point) const {
  // The bar's edge in the parent, moved by the pointer and held inside the range.
  QWidget* w = detail::WidgetOf(this);
  if (!w) return 0;
  const bool vertical = splitterStyle == StyleVertical;
  const int edge = vertical ? w->x() : w->y();
  const int wanted = edge + (vertical ? point.x - pressPoint.x : point.y - pressPoint.y);
  return std::clamp(wanted, rangeMin, rangeMax) - edge;
}

bool GUI_SplitterControl::OnEraseBkgnd(GUI_DC& dc) {
  CRect rect;
  dc.GetClipBox(rect);
  dc.FillSolidRect(rect, dragging ? GUI_ThemeManager::GetColor(73) : GUI_ThemeManager::GetColor(10));
  return true;
}

void GUI_SplitterControl::OnLButtonDown(UINT, CPoint point) {
  dragging = true;
  pressPoint = point;
  currentDistance = 0;
  SetCapture();
  Invalidate();
}

void GUI_SplitterControl::OnMouseMove(UINT, CPoint point) {
  if (!dragging) return;
  currentDistance = Distance(point);
}

void GUI_SplitterControl::OnLButtonUp(UINT, CPoint point) {
  if (!dragging) return;
  dragging = false;
  ReleaseCapture();
  currentDistance = Distance(point);
  Invalidate();
  if (currentDistance == 0) return;
  GUI_NotifyPayload payload;
  payload.distance = currentDistance;
  payload.point = point;
  NotifyParent(NotifyMoved, payload);
}

}  // namespace EditorCore
