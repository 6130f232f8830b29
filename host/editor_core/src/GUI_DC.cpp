#include <EditorCore/GUI_DC.h>

#include "DCState.h"
#include "Handles.h"
#include "QtConvert.h"

#include <QFontMetrics>
#include <QLinearGradient>

namespace EditorCore {

namespace detail {
std::unique_ptr<GUI_DC> MakeDC(QPainter* painter, const CRect& bounds) {
  auto state = std::make_unique<DCState>();
  state->painter = painter;
  state->bounds = bounds;
  return std::make_unique<GUI_DC>(std::move(state));
}
}  // namespace detail

namespace {
QPen MakePen(const detail::DCState& s) {
  QPen pen(detail::ToQColor(s.penColour));
  pen.setWidth(std::max(1, s.penWidth));
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  if (s.penStyle == PS_DOT) pen.setDashPattern({2.0, 2.0});
  return pen;
}
}  // namespace

GUI_DC::GUI_DC(std::unique_ptr<detail::DCState> s) : state(std::move(s)) {}
GUI_DC::~GUI_DC() = default;

void GUI_DC::GetClipBox(CRect& rect) const { rect = state->bounds; }

void GUI_DC::FillSolidRect(const CRect& rect, COLORREF colour) {
  if (rect.IsRectEmpty()) return;
  state->painter->fillRect(detail::ToQRect(rect), detail::ToQColor(colour));
}

void GUI_DC::FillHGradient(const CRect& rect, COLORREF left, COLORREF right) {
  if (rect.IsRectEmpty()) return;
  QLinearGradient gradient(rect.left, 0, rect.right - 1, 0);
  gradient.setColorAt(0.0, detail::ToQColor(left));
  gradient.setColorAt(1.0, detail::ToQColor(right));
  state->painter->fillRect(detail::ToQRect(rect), gradient);
}

void GUI_DC::SetPen(COLORREF colour, int width, int style) {
  state->penColour = colour;
  state->penWidth = width;
  state->penStyle = style;
}

void GUI_DC::MoveTo(int x, int y) { state->current = CPoint(x, y); }

void GUI_DC::LineTo(int x, int y) {
  state->painter->setRenderHint(QPainter::Antialiasing, false);
  state->painter->setPen(MakePen(*state));
  state->painter->drawLine(state->current.x, state->current.y, x, y);
  state->current = CPoint(x, y);
}

void GUI_DC::Polyline(const CPoint* points, int count) {
  if (!points || count < 2) return;
  QPolygon polygon(count);
  for (int i = 0; i < count; ++i) polygon.setPoint(i, points[i].x, points[i].y);
  state->painter->setRenderHint(QPainter::Antialiasing, false);
  state->painter->setPen(MakePen(*state));
  state->painter->drawPolyline(polygon);
}

void GUI_DC::DrawRectangle(const CRect& rect) {
  if (rect.IsRectEmpty()) return;
  state->painter->setPen(MakePen(*state));
  state->painter->setBrush(Qt::NoBrush);
  state->painter->drawRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1);
}

void GUI_DC::DrawFocusRect(const CRect& rect) {
  if (rect.IsRectEmpty()) return;
  QPen pen(QColor(200, 200, 200));
  pen.setDashPattern({1.0, 1.0});
  state->painter->setPen(pen);
  state->painter->setBrush(Qt::NoBrush);
  state->painter->drawRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1);
}

void GUI_DC::DrawIcon(GUI_Icon* icon, int x, int y, int size) {
  if (!icon || icon->pixmap.isNull()) return;
  state->painter->drawPixmap(QRect(x, y, size, size), icon->pixmap);
}

void GUI_DC::DrawBitmap(GUI_Bitmap* bitmap, const CRect& rect) {
  if (!bitmap || bitmap->pixmap.isNull() || rect.IsRectEmpty()) return;
  state->painter->drawPixmap(detail::ToQRect(rect), bitmap->pixmap);
}

void GUI_DC::SetTextColor(COLORREF colour) { state->textColour = colour; }
void GUI_DC::SetBkColor(COLORREF colour) { state->bkColour = colour; }
void GUI_DC::SetBkMode(int mode) { state->bkMode = mode; }

GUI_Font* GUI_DC::SelectFont(GUI_Font* font) {
  GUI_Font* previous = state->font;
  state->font = font;
  return previous;
}

void GUI_DC::DrawText(const std::string& text, const CRect& rect, UINT format) {
  QPainter& p = *state->painter;
  p.save();
  if (state->font) p.setFont(state->font->font);
  const QRect r = detail::ToQRect(rect);
  if (state->bkMode == OPAQUE) p.fillRect(r, detail::ToQColor(state->bkColour));
  p.setPen(detail::ToQColor(state->textColour));
  int flags = 0;
  if (format & DT_CENTER)
    flags |= Qt::AlignHCenter;
  else if (format & DT_RIGHT)
    flags |= Qt::AlignRight;
  else
    flags |= Qt::AlignLeft;
  flags |= (format & DT_VCENTER) ? Qt::AlignVCenter : Qt::AlignTop;
  if (format & DT_SINGLELINE)
    flags |= Qt::TextSingleLine;
  else
    flags |= Qt::TextWordWrap;
  QString s = detail::ToQString(text);
  if (!(format & DT_NOPREFIX)) flags |= Qt::TextShowMnemonic;
  if (format & DT_END_ELLIPSIS) s = p.fontMetrics().elidedText(s, Qt::ElideRight, r.width());
  if (!(format & DT_NOCLIP)) p.setClipRect(r, Qt::IntersectClip);
  p.drawText(r, flags, s);
  p.restore();
}

CSize GUI_DC::GetTextExtent(const std::string& text) const {
  QFontMetrics fm = state->font ? QFontMetrics(state->font->font) : state->painter->fontMetrics();
  return CSize(fm.horizontalAdvance(detail::ToQString(text)), fm.height());
}

}  // namespace EditorCore
