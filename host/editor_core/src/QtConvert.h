#pragma once

#include <EditorCore/Color.h>
#include <EditorCore/Geometry.h>

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

#include <string>

namespace EditorCore::detail {

inline QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
inline COLORREF FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }
// 0x00RRGGBB pixel word of a colour.
inline std::uint32_t ToPixel(COLORREF c) {
  return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(c)) << 8) | static_cast<std::uint32_t>(GetBValue(c));
}
inline QRect ToQRect(const CRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
inline CRect FromQRect(const QRect& r) { return CRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height()); }
inline QPoint ToQPoint(CPoint p) { return QPoint(p.x, p.y); }
inline CPoint FromQPoint(QPoint p) { return CPoint(p.x(), p.y()); }
inline QString ToQString(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string FromQString(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace EditorCore::detail
