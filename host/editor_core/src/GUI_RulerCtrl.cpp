#include <EditorCore/GUI_RulerCtrl.h>

#include <EditorCore/GUI_DC.h>
#include <EditorCore/GUI_ThemeManager.h>

#include "QtConvert.h"
#include "WndState.h"
#include "WndWidget.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "DCState.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace EditorCore {

namespace {
constexpr UINT kFollowTimer = 1;
constexpr int kDraggableMarker = 4;

// Value between major graduations: the smallest 1, 2 or 5 x 10^n not below the minimum unit
// whose graduations stand at least `spacing` pixels apart.
double NiceUnit(double k, double minUnit, int spacing) {
  if (k <= 0.0) return std::max(minUnit, 1.0);
  const double wanted = std::max(spacing / k, minUnit > 0.0 ? minUnit : 1e-9);
  double decade = std::pow(10.0, std::floor(std::log10(wanted)));
  for (int guard = 0; guard < 40; ++guard, decade *= 10.0) {
    for (const double m : {1.0, 2.0, 5.0}) {
      const double unit = m * decade;
      if (unit >= wanted * (1.0 - 1e-9)) return unit;
    }
  }
  return wanted;
}

// Minor subdivisions of a unit: fifths for 1 and 5, halves for 2.
int Subdivisions(double unit) {
  const double mantissa = unit / std::pow(10.0, std::floor(std::log10(unit) + 1e-9));
  return std::fabs(mantissa - 2.0) < 1e-6 ? 2 : 5;
}
}  // namespace

bool GUI_RulerCtrl::Create(GUI_Wnd* parent, UINT id) { return Create(parent, CRect(), id); }

bool GUI_RulerCtrl::Create(GUI_Wnd* parent, const CRect& rect, UINT id) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  auto* widget = new detail::WndWidget(parentWidget);
  widget->setGeometry(detail::ToQRect(rect));
  return AttachNewWidget(widget, parent, id, WS_CHILD | WS_VISIBLE);
}

void GUI_RulerCtrl::SetRulerStyle(UINT style) {
  rulerStyle = style;
  Invalidate();
}

void GUI_RulerCtrl::SetPixelPerUnit(double pixels) {
  if (pixels > 0.0) pixelPerUnit = pixels;
  Invalidate();
}

void GUI_RulerCtrl::SetScale(double newScale) {
  if (newScale > 0.0) scale = newScale;
  Anchor();
  Invalidate();
}

double GUI_RulerCtrl::GetUnitValue() const { return NiceUnit(K(), minUnit, MinMajorSpacing); }

void GUI_RulerCtrl::SetMinUnitValue(double unit) {
  minUnit = std::max(0.0, unit);
  Invalidate();
}

void GUI_RulerCtrl::SetMinValue(double minimum, double startValue) {
  minValue = minimum;
  start = startValue;
  Invalidate();
}

void GUI_RulerCtrl::GetGraduationDisplayInfo(int& step, int& major, int& offset) const {
  const double unit = GetUnitValue();
  major = std::max(1, static_cast<int>(std::lround(unit * K())));
  step = std::max(1, major / Subdivisions(unit));
  offset = static_cast<int>(std::lround(start * K()));
}

std::vector<GUI_RulerGraduation> GUI_RulerCtrl::GetGraduations(int length, int minorSpacing) const {
  std::vector<GUI_RulerGraduation> graduations;
  const double unit = GetUnitValue();
  const int subdivisions = Subdivisions(unit);
  const bool minor = minorSpacing > 0 && minUnit < unit && unit * K() / subdivisions > minorSpacing;
  const double step = minor ? unit / subdivisions : unit;
  if (length <= 0 || !(step * K() > 0.0)) return graduations;
  // Counted in steps from zero, so that every value is an exact multiple of the step.
  const auto first = static_cast<long long>(std::floor(PixelToValue(-1) / step));
  const auto last = static_cast<long long>(std::ceil(PixelToValue(length) / step));
  for (long long n = first; n <= last; ++n) {
    const double value = static_cast<double>(n) * step;
    const int pixel = ValueToPixel(value);
    if (pixel < 0 || pixel >= length) continue;
    if ((rulerStyle & StyleNothingBelowMin) && value < minValue - step * 1e-6) continue;
    if ((rulerStyle & StyleNothingAboveMin) && value > minValue + step * 1e-6) continue;
    const long long perUnit = minor ? subdivisions : 1;
    graduations.push_back({pixel, value, ((n % perUnit) + perUnit) % perUnit == 0});
  }
  return graduations;
}

void GUI_RulerCtrl::ZoomOnValue(double value, double newScale) {
  if (newScale <= 0.0) return;
  const double pixel = (value - start) * K();
  scale = newScale;
  start = value - pixel / K();
  Anchor();
  Invalidate();
}

void GUI_RulerCtrl::OnSize(UINT, int cx, int cy) {
  const int length = IsVertical() ? cy : cx;
  if (sizedLength > 0 && length > 0 && length != sizedLength) {
    scale *= static_cast<double>(length) / sizedLength;
    Invalidate();
  }
  if (length > 0) sizedLength = length;
}

void GUI_RulerCtrl::Anchor() {
  // A hidden window hears of its size late: a view set meanwhile belongs to the size it has.
  const int length = GetLength();
  if (length > 0) sizedLength = length;
}

int GUI_RulerCtrl::GetLength() const {
  CRect client;
  GetClientRect(client);
  return IsVertical() ? client.Height() : client.Width();
}

bool GUI_RulerCtrl::Fit(double centre, double extent) {
  const int length = GetLength();
  if (length <= 0 || extent <= 0.0) return false;
  scale = length / (extent * pixelPerUnit);
  start = centre - (length / 2.0) / K();
  sizedLength = length;
  Invalidate();
  return true;
}

void GUI_RulerCtrl::CenterOnValue(double value) {
  start = value - (GetLength() / 2.0) / K();
  Invalidate();
}

int GUI_RulerCtrl::ValueToPixel(double value) const {
  return static_cast<int>(std::floor((value - start) * K() + 0.5));
}

double GUI_RulerCtrl::PixelToValue(int pixel) const { return start + pixel / K(); }

GUI_RulerMarker* GUI_RulerCtrl::FindMarker(int id) {
  for (GUI_RulerMarker& m : markers) {
    if (m.id == id) return &m;
  }
  return nullptr;
}

const GUI_RulerMarker* GUI_RulerCtrl::FindMarker(int id) const {
  for (const GUI_RulerMarker& m : markers) {
    if (m.id == id) return &m;
  }
  return nullptr;
}

bool GUI_RulerCtrl::AddMarker(int id) {
  if (FindMarker(id)) return false;
  GUI_RulerMarker marker;
  marker.id = id;
  markers.push_back(marker);
  Invalidate();
  return true;
}

bool GUI_RulerCtrl::RemoveMarker(int id) {
  const auto it = std::find_if(markers.begin(), markers.end(), [id](const GUI_RulerMarker& m) { return m.id == id; });
  if (it == markers.end()) return false;
  markers.erase(it);
  Invalidate();
  return true;
}

bool GUI_RulerCtrl::SetMarkerColor(int id, COLORREF color) {
  GUI_RulerMarker* m = FindMarker(id);
  if (!m) return false;
  m->color = color;
  Invalidate();
  return true;
}

bool GUI_RulerCtrl::ShowMarker(int id, bool show) {
  GUI_RulerMarker* m = FindMarker(id);
  if (!m) return false;
  m->flags = show ? (m->flags | 1u) : (m->flags & ~1u);
  Invalidate();
  return true;
}

bool GUI_RulerCtrl::SetMarkerAttributes(int id, UINT set, UINT clear) {
  GUI_RulerMarker* m = FindMarker(id);
  if (!m) return false;
  m->flags = (m->flags | set) & ~clear;
  Invalidate();
  return true;
}

bool GUI_RulerCtrl::SetMarkerPosition(int id, double position, bool redraw) {
  GUI_RulerMarker* m = FindMarker(id);
  if (!m) return false;
  m->position = position;
  if (redraw) Invalidate();
  return true;
}

double GUI_RulerCtrl::GetMarkerPosition(int id) const {
  const GUI_RulerMarker* m = FindMarker(id);
  return m ? m->position : 0.0;
}

const GUI_RulerMarker* GUI_RulerCtrl::GetMarkerAt(int index) const {
  return index >= 0 && index < GetMarkerCount() ? &markers[index] : nullptr;
}

void GUI_RulerCtrl::StartMove(CPoint, bool invert) {
  moving = true;
  invertMove = invert;
  GetCursorPos(moveAnchor);
  moveStart = start;
  SetTimer(kFollowTimer, 15);
}

void GUI_RulerCtrl::StopMove() {
  if (!moving) return;
  FollowPointer();
  moving = false;
  KillTimer(kFollowTimer);
}

void GUI_RulerCtrl::FollowPointer() {
  if (!moving) return;
  CPoint now;
  GetCursorPos(now);
  // The content follows the pointer: right or up moves earlier values into view.
  const double pixels = IsVertical() ? -(now.y - moveAnchor.y) : (now.x - moveAnchor.x);
  const double shift = (invertMove ? -pixels : pixels) / K();
  const double wanted = moveStart - shift;
  if (wanted == start) return;
  start = wanted;
  Invalidate();
  GUI_NotifyPayload payload;
  payload.value = start;
  NotifyParent(NotifyViewMoved, payload);
}

void GUI_RulerCtrl::OnTimer(UINT id) {
  if (id == kFollowTimer) FollowPointer();
}

void GUI_RulerCtrl::DragMarkerTo(CPoint point) {
  GUI_RulerMarker* m = FindMarker(kDraggableMarker);
  if (!m) return;
  double value = PixelToValue(point.x);
  if ((rulerStyle & StyleNothingBelowMin) && value < minValue) value = minValue;
  if (value == m->position) return;
  m->position = value;
  Invalidate();
  GUI_NotifyPayload payload;
  payload.item = kDraggableMarker;
  payload.value = value;
  payload.point = point;
  NotifyParent(NotifyMarkerMoved, payload);
}

void GUI_RulerCtrl::OnLButtonDown(UINT, CPoint point) {
  if (IsVertical() || !FindMarker(kDraggableMarker)) return;
  draggingMarker = true;
  SetCapture();
  DragMarkerTo(point);
}

void GUI_RulerCtrl::OnMouseMove(UINT, CPoint point) {
  if (draggingMarker) DragMarkerTo(point);
}

void GUI_RulerCtrl::OnLButtonUp(UINT, CPoint point) {
  if (!draggingMarker) return;
  DragMarkerTo(point);
  draggingMarker = false;
  ReleaseCapture();
}

std::string GUI_RulerCtrl::FormatLabel(double value) const {
  const double unit = GetUnitValue();
  // Units are 1, 2 or 5 times a power of ten: a unit below one has that power's decimals.
  const int decimals = unit >= 1.0 ? 0 : std::clamp(static_cast<int>(std::ceil(-std::log10(unit) - 1e-9)), 0, 12);
  char label[64];
  std::snprintf(label, sizeof label, "%.*f", decimals, std::fabs(value) < unit * 1e-6 ? 0.0 : value);
  return label;
}

int GUI_RulerCtrl::GetLabelsThickness(int length) const {
  const auto* widget = static_cast<const QWidget*>(GetSafeHwnd());
  if (!widget || !(rulerStyle & StyleLabels)) return 0;
  const QFontMetrics metrics(widget->font());
  int widest = 0;
  for (const GUI_RulerGraduation& graduation : GetGraduations(length, 4)) {
    if (graduation.major)
      widest = std::max(widest, metrics.horizontalAdvance(detail::ToQString(FormatLabel(graduation.value))));
  }
  // The label's margins: one pixel before it, four after.
  return widest + 5;
}

bool GUI_RulerCtrl::OnEraseBkgnd(GUI_DC& dc) {
  CRect client;
  dc.GetClipBox(client);
  if (IsVertical() && (rulerStyle & StyleLabels)) {
    CRect whole;
    GetClientRect(whole);
    const int needed = GetLabelsThickness(whole.Height());
    if (needed != askedThickness) {
      askedThickness = needed;
      GUI_NotifyPayload payload;
      payload.distance = needed;
      NotifyParent(NotifyLabelsNeedRoom, payload);
    }
  }
  dc.FillSolidRect(client, GUI_ThemeManager::GetColor(10));
  const bool vertical = IsVertical();
  const int length = vertical ? client.Height() : client.Width();
  const int thickness = vertical ? client.Width() : client.Height();
  const double unit = GetUnitValue();
  // Pixel p along the axis becomes a client point; vertical rulers count from the bottom.
  auto line = [&](int p, int size) {
    if (vertical) {
      const int y = client.bottom - 1 - p;
      dc.MoveTo(client.right - size, y);
      dc.LineTo(client.right - 1, y);
    } else {
      dc.MoveTo(p, client.bottom - size);
      dc.LineTo(p, client.bottom - 1);
    }
  };
  dc.SetPen(RGB(160, 160, 160), 1, PS_SOLID);
  dc.SetTextColor(RGB(210, 210, 210));
  dc.SetBkMode(TRANSPARENT);
  const int majorSpacing = std::max(1, static_cast<int>(std::lround(unit * K())));
  for (const GUI_RulerGraduation& graduation : GetGraduations(length, 4)) {
    const int i = graduation.pixel;
    if (!graduation.major) {
      line(i, thickness / 3);
      continue;
    }
    line(i, thickness);
    if (rulerStyle & StyleLabels) {
      const std::string label = FormatLabel(graduation.value);
      if (vertical) {
        const int y = client.bottom - 1 - i;
        dc.DrawText(label, CRect(1, y - 14, client.right - 4, y), DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
      } else {
        dc.DrawText(label, CRect(i + 3, 0, i + majorSpacing, thickness / 2 + 2), DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
      }
    }
  }
  // Markers: a line across the ruler and a small triangle at its outer edge.
  QPainter* painter = dc.State()->painter;
  for (const GUI_RulerMarker& m : markers) {
    if (!(m.flags & 1u)) continue;
    const int p = ValueToPixel(m.position);
    if (p < 0 || p >= length) continue;
    dc.SetPen(m.color, 1, (m.flags & 2u) ? PS_SOLID : PS_DOT);
    line(p, thickness);
    QPainterPath triangle;
    if (vertical) {
      const int y = client.bottom - 1 - p;
      triangle.moveTo(client.right - 1, y);
      triangle.lineTo(client.right - 7, y - 5);
      triangle.lineTo(client.right - 7, y + 5);
    } else {
      triangle.moveTo(p, client.bottom - 1);
      triangle.lineTo(p - 5, client.bottom - 7);
      triangle.lineTo(p + 5, client.bottom - 7);
    }
    triangle.closeSubpath();
    painter->fillPath(triangle, detail::ToQColor(m.color));
  }
  return true;
}

}  // namespace EditorCore
