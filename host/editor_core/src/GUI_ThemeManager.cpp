#include <EditorCore/GUI_ThemeManager.h>

#include "Handles.h"
#include "QtConvert.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <map>
#include <memory>

namespace EditorCore {

namespace {

struct ThemeCache {
  std::map<int, std::unique_ptr<GUI_Icon>> icons;
  std::map<int, std::unique_ptr<GUI_Bitmap>> bitmaps;
  std::map<int, std::unique_ptr<GUI_Cursor>> cursors;
  std::map<std::pair<int, int>, std::unique_ptr<GUI_Font>> fonts;
};

ThemeCache& Cache() {
  static ThemeCache cache;
  return cache;
}

// Glyphs of the theme icons the editor uses; other indices get a plain mark.
void DrawGlyph(QPainter& p, int index) {
  const QColor light(220, 220, 220);
  const QColor accent(90, 170, 240);
  p.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(light, 2.0);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  switch (index) {
    case 0:  // create
      p.drawLine(QPointF(9, 3), QPointF(9, 15));
      p.drawLine(QPointF(3, 9), QPointF(15, 9));
      break;
    case 1:  // save
    case 2:  // save all
      p.drawRect(QRectF(3, 3, 12, 12));
      p.fillRect(QRectF(6, 3, 6, 4), light);
      if (index == 2) p.drawLine(QPointF(1, 5), QPointF(1, 17));
      break;
    case 7:  // copy
      p.drawRect(QRectF(3, 3, 8, 10));
      p.drawRect(QRectF(7, 6, 8, 10));
      break;
    case 8:  // paste
      p.drawRect(QRectF(4, 4, 10, 12));
      p.fillRect(QRectF(7, 2, 4, 3), light);
      break;
    case 9:   // remove
    case 14:  // close
    case 15:  // close all
      p.setPen(QPen(index == 9 ? QColor(230, 90, 80) : light, 2.0));
      p.drawLine(QPointF(4, 4), QPointF(14, 14));
      p.drawLine(QPointF(14, 4), QPointF(4, 14));
      if (index == 15) p.drawRect(QRectF(1.5, 1.5, 15, 15));
      break;
    case 19:   // open
    case 307:  // open, large
      p.setBrush(QColor(200, 160, 80));
      p.setPen(Qt::NoPen);
      p.drawRect(QRectF(2, 5, 14, 10));
      p.drawRect(QRectF(2, 3, 6, 3));
      break;
    case 22: {  // play
      QPainterPath path;
      path.moveTo(5, 3);
      path.lineTo(15, 9);
      path.lineTo(5, 15);
      path.closeSubpath();
      p.fillPath(path, QColor(110, 200, 110));
      break;
    }
    case 23:  // stop
      p.fillRect(QRectF(4, 4, 10, 10), QColor(220, 110, 90));
      break;
    case 25: {  // next key
      QPainterPath path;
      path.moveTo(4, 3);
      path.lineTo(12, 9);
      path.lineTo(4, 15);
      path.closeSubpath();
      p.fillPath(path, light);
      p.fillRect(QRectF(12, 3, 2, 12), light);
      break;
    }
    case 113:  // scale
      p.drawLine(QPointF(3, 9), QPointF(15, 9));
      p.drawLine(QPointF(3, 9), QPointF(6, 6));
      p.drawLine(QPointF(3, 9), QPointF(6, 12));
      p.drawLine(QPointF(15, 9), QPointF(12, 6));
      p.drawLine(QPointF(15, 9), QPointF(12, 12));
      break;
    case 172:  // edit
      p.setPen(QPen(accent, 3.0, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(4, 14), QPointF(14, 4));
      break;
    default: {
      const QColor mark = QColor::fromHsv((index * 47) % 360, 120, 220);
      p.setBrush(mark);
      p.setPen(Qt::NoPen);
      p.drawEllipse(QRectF(4, 4, 10, 10));
      break;
    }
  }
}

}  // namespace

COLORREF GUI_ThemeManager::GetColor(int index) {
  switch (index) {
    case 10: return RGB(45, 45, 48);     // window background
    case 11: return RGB(110, 110, 110);  // disabled glyphs
    case 72: return RGB(37, 37, 38);     // list background
    case 73: return RGB(62, 95, 138);    // highlighted row
    case 74: return RGB(220, 220, 220);  // list text
    case 75:
      return RGB(52, 52, 54);  // disabled list background
    // A light graph ground, and a faint blue band over it: the module's curve colours are
    // mostly dark and read best on light.
    case 161: return RGB(240, 240, 240);  // graph background
    case 162: return RGB(228, 232, 240);  // graph selection band
    default: {
      // Neutral greys from the index, so that every index is a usable dark-theme colour.
      const int g = 40 + (index * 37) % 120;
      return RGB(g, g, g + 4 > 255 ? 255 : g + 4);
    }
  }
}

GUI_Icon* GUI_ThemeManager::GetIcon(int index) {
  // No theme icon has a negative index: callers pass -1 for none.
  if (index < 0) return nullptr;
  auto& icons = Cache().icons;
  if (const auto it = icons.find(index); it != icons.end()) return it->second.get();
  QImage image(18, 18, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    DrawGlyph(p, index);
  }
  auto icon = std::make_unique<GUI_Icon>();
  icon->pixmap = QPixmap::fromImage(image);
  GUI_Icon* result = icon.get();
  icons[index] = std::move(icon);
  return result;
}

GUI_Bitmap* GUI_ThemeManager::GetBitmap(int index) {
  auto& bitmaps = Cache().bitmaps;
  if (const auto it = bitmaps.find(index); it != bitmaps.end()) return it->second.get();
  QImage image(32, 32, QImage::Format_RGB32);
  {
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 0, 32);
    const QColor base = detail::ToQColor(GetColor(index == 101 ? 72 : 10));
    gradient.setColorAt(0.0, base.lighter(115));
    gradient.setColorAt(1.0, base);
    p.fillRect(image.rect(), gradient);
  }
  auto bitmap = std::make_unique<GUI_Bitmap>();
  bitmap->pixmap = QPixmap::fromImage(image);
  GUI_Bitmap* result = bitmap.get();
  bitmaps[index] = std::move(bitmap);
  return result;
}

GUI_Cursor* GUI_ThemeManager::GetCursor(int index) {
  auto& cursors = Cache().cursors;
  if (const auto it = cursors.find(index); it != cursors.end()) return it->second.get();
  Qt::CursorShape shape = Qt::ArrowCursor;
  switch (index) {
    case 2: shape = Qt::SizeAllCursor; break;
    case 17: shape = Qt::SizeHorCursor; break;
    case 18: shape = Qt::SizeVerCursor; break;
    case 20: shape = Qt::PointingHandCursor; break;
    case 21: shape = Qt::ClosedHandCursor; break;
    default: break;
  }
  auto cursor = std::make_unique<GUI_Cursor>();
  cursor->cursor = QCursor(shape);
  GUI_Cursor* result = cursor.get();
  cursors[index] = std::move(cursor);
  return result;
}

GUI_Font* GUI_ThemeManager::GetFont(int family, int style) {
  auto& fonts = Cache().fonts;
  const auto key = std::make_pair(family, style);
  if (const auto it = fonts.find(key); it != fonts.end()) return it->second.get();
  auto font = std::make_unique<GUI_Font>();
  font->font = QFont("DejaVu Sans", family == 1 ? 8 : 9);
  font->font.setItalic(style == 1);
  font->font.setBold(style == 2);
  GUI_Font* result = font.get();
  fonts[key] = std::move(font);
  return result;
}

GUI_Icon* GUI_ThemeManager::DisableIcon(GUI_Icon* icon, COLORREF colour) {
  if (!icon) return nullptr;
  QImage image = icon->pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  const int r = GetRValue(colour);
  const int g = GetGValue(colour);
  const int b = GetBValue(colour);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = row[x];
      // Brightness of the original shades the tint, so the shape stays readable.
      const int lum = (qRed(p) * 30 + qGreen(p) * 59 + qBlue(p) * 11) / 100;
      const int shade = 128 + lum / 2;
      row[x] = qRgba(r * shade / 255, g * shade / 255, b * shade / 255, qAlpha(p));
    }
  }
  auto* disabled = new GUI_Icon;
  disabled->pixmap = QPixmap::fromImage(image);
  return disabled;
}

void GUI_ThemeManager::DestroyIcon(GUI_Icon* icon) { delete icon; }

}  // namespace EditorCore
