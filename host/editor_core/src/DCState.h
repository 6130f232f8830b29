#pragma once

#include <EditorCore/GUI_DC.h>

#include <QImage>
#include <QPainter>

#include <memory>

namespace EditorCore::detail {

struct DCState {
  QPainter* painter = nullptr;
  CRect bounds;
  COLORREF penColour = 0;
  int penWidth = 1;
  int penStyle = PS_SOLID;
  COLORREF textColour = 0;
  COLORREF bkColour = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  GUI_Font* font = nullptr;
  CPoint current;
};

std::unique_ptr<GUI_DC> MakeDC(QPainter* painter, const CRect& bounds);

}  // namespace EditorCore::detail
