#include <EditorCore/GUI_BackBuffer.h>

#include <EditorCore/GUI_DC.h>

#include "DCState.h"
#include "Handles.h"
#include "QtConvert.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace EditorCore {

namespace detail {
struct BackBufferState {
  QImage image;
  std::uint32_t* px = nullptr;
  int stride = 0;  // in pixels
  int width = 0;
  int height = 0;
  std::unique_ptr<QPainter> painter;
  std::unique_ptr<GUI_DC> dc;  // over painter, for text, icons and bitmaps
  GUI_DC* target = nullptr;
  CRect rect;
  std::uint32_t penPixel = 0xFF000000u;
  int penWidth = 1;
  int penStyle = PS_SOLID;
  int dashCounter = 0;
  CPoint current;
  COLORREF textColour = 0;
  int bkMode = TRANSPARENT;
  GUI_Font* font = nullptr;

  // The painter for what the rasteriser does not draw; made when first needed.
  GUI_DC& Painted() {
    if (!painter) {
      painter = std::make_unique<QPainter>(&image);
      dc = MakeDC(painter.get(), CRect(0, 0, width, height));
    }
    dc->SetTextColor(textColour);
    dc->SetBkMode(bkMode);
    dc->SelectFont(font);
    return *dc;
  }
  // Raw pixel access: the painter must have finished what it drew.
  void Raw() {
    if (painter) {
      dc.reset();
      painter->end();
      painter.reset();
    }
  }

  bool Dashed() { return penStyle == PS_DOT && ((dashCounter++ >> 1) & 1) != 0; }

  void VSpan(int x, int top, int count) {
    if (x < 0 || x >= width) return;
    int y0 = std::max(top, 0);
    const int y1 = std::min(top + count, height);
    std::uint32_t* p = px + static_cast<std::ptrdiff_t>(y0) * stride + x;
    for (; y0 < y1; ++y0, p += stride) *p = penPixel;
  }
  void HSpan(int y, int left, int count) {
    if (y < 0 || y >= height) return;
    const int x0 = std::max(left, 0);
    const int x1 = std::min(left + count, width);
    if (x1 > x0)
      std::fill(px + static_cast<std::ptrdiff_t>(y) * stride + x0, px + static_cast<std::ptrdiff_t>(y) * stride + x1,
                penPixel);
  }

  // One segment as spans across its major axis, both end points included.
  void Segment(int x0, int y0, int x1, int y1) {
    const int w = std::max(1, penWidth);
    const int half = w / 2;
    const int dx = x1 - x0;
    const int dy = y1 - y0;
    if (std::abs(dx) >= std::abs(dy)) {
      if (dx == 0) {
        if (!Dashed()) {
          for (int i = 0; i < w; ++i) HSpan(y0 - half + i, x0 - half, w);
        }
        return;
      }
      if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
      }
      const std::int64_t slope = (static_cast<std::int64_t>(y1 - y0) << 16) / (x1 - x0);
      const int xs = std::max(x0, -w);
      const int xe = std::min(x1, width + w);
      if (penStyle == PS_DOT) dashCounter += std::max(0, xs - x0);
      for (int x = xs; x <= xe; ++x) {
        const int y = y0 + static_cast<int>((slope * (x - x0) + 0x8000) >> 16);
        if (!Dashed()) VSpan(x, y - half, w);
      }
    } else {
      if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
      }
      const std::int64_t slope = (static_cast<std::int64_t>(x1 - x0) << 16) / (y1 - y0);
      const int ys = std::max(y0, -w);
      const int ye = std::min(y1, height + w);
      if (penStyle == PS_DOT) dashCounter += std::max(0, ys - y0);
      for (int y = ys; y <= ye; ++y) {
        const int x = x0 + static_cast<int>((slope * (y - y0) + 0x8000) >> 16);
        if (!Dashed()) HSpan(y, x - half, w);
      }
    }
  }
};
}  // namespace detail

GUI_BackBuffer::GUI_BackBuffer() = default;
GUI_BackBuffer::~GUI_BackBuffer() = default;

bool GUI_BackBuffer::CreateOffscreen(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  auto s = std::make_unique<detail::BackBufferState>();
  if (state && state->width == width && state->height == height) {
    // The image of the same size is kept, pixels as they were; only the drawing state starts again.
    state->Raw();
    s->image = std::move(state->image);
  } else {
    s->image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (s->image.isNull()) return false;
    s->image.fill(0);
  }
  s->px = reinterpret_cast<std::uint32_t*>(s->image.bits());
  s->stride = static_cast<int>(s->image.bytesPerLine() / 4);
  s->width = width;
  s->height = height;
  s->rect = CRect(0, 0, width, height);
  state = std::move(s);
  return true;
}

bool GUI_BackBuffer::Create(GUI_DC& dc, const CRect& rect) {
  if (!CreateOffscreen(rect.Width(), rect.Height())) return false;
  state->target = &dc;
  state->rect = rect;
  return true;
}

bool GUI_BackBuffer::IsCreated() const { return state != nullptr; }
int GUI_BackBuffer::GetWidth() const { return state ? state->width : 0; }
int GUI_BackBuffer::GetHeight() const { return state ? state->height : 0; }

void GUI_BackBuffer::Fill(COLORREF colour) {
  if (!state) return;
  state->Raw();
  FillRect(CRect(0, 0, state->width, state->height), colour);
}

void GUI_BackBuffer::FillRect(const CRect& rect, COLORREF colour) {
  if (!state) return;
  state->Raw();
  const int x0 = std::max(rect.left, 0);
  const int x1 = std::min(rect.right, state->width);
  const int y0 = std::max(rect.top, 0);
  const int y1 = std::min(rect.bottom, state->height);
  if (x1 <= x0 || y1 <= y0) return;
  const std::uint32_t pixel = detail::ToPixel(colour);
  for (int y = y0; y < y1; ++y) {
    std::uint32_t* row = state->px + static_cast<std::ptrdiff_t>(y) * state->stride;
    std::fill(row + x0, row + x1, pixel);
  }
}

void GUI_BackBuffer::FillHGradient(const CRect& rect, COLORREF left, COLORREF right) {
  if (!state) return;
  state->Raw();
  const int x0 = std::max(rect.left, 0);
  const int x1 = std::min(rect.right, state->width);
  const int y0 = std::max(rect.top, 0);
  const int y1 = std::min(rect.bottom, state->height);
  if (x1 <= x0 || y1 <= y0) return;
  // The end colours sit on the rectangle's first and last columns, even when clipped.
  const int span = std::max(1, rect.Width() - 1);
  std::uint32_t* first = state->px + static_cast<std::ptrdiff_t>(y0) * state->stride;
  for (int x = x0; x < x1; ++x) {
    const int t = x - rect.left;
    auto mix = [&](int a, int b) { return a + (b - a) * t / span; };
    first[x] = detail::ToPixel(RGB(mix(GetRValue(left), GetRValue(right)), mix(GetGValue(left), GetGValue(right)),
                                   mix(GetBValue(left), GetBValue(right))));
  }
  for (int y = y0 + 1; y < y1; ++y) {
    std::copy(first + x0, first + x1, state->px + static_cast<std::ptrdiff_t>(y) * state->stride + x0);
  }
}

void GUI_BackBuffer::SetPen(COLORREF colour, int width, int style) {
  if (!state) return;
  state->penPixel = detail::ToPixel(colour);
  state->penWidth = std::max(1, width);
  state->penStyle = style;
  state->dashCounter = 0;
}

void GUI_BackBuffer::MoveTo(int x, int y) {
  if (state) state->current = CPoint(x, y);
}

void GUI_BackBuffer::LineTo(int x, int y) {
  if (!state) return;
  state->Raw();
  state->Segment(state->current.x, state->current.y, x, y);
  state->current = CPoint(x, y);
}

void GUI_BackBuffer::Polyline(const CPoint* points, int count) {
  if (!state || !points || count < 2) return;
  state->Raw();
  for (int i = 1; i < count; ++i) state->Segment(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
}

void GUI_BackBuffer::DrawRectangle(const CRect& rect) {
  if (!state || rect.IsRectEmpty()) return;
  state->Raw();
  const int r = rect.right - 1;
  const int b = rect.bottom - 1;
  state->Segment(rect.left, rect.top, r, rect.top);
  state->Segment(r, rect.top, r, b);
  state->Segment(r, b, rect.left, b);
  state->Segment(rect.left, b, rect.left, rect.top);
}

void GUI_BackBuffer::FillColumnSpans(int firstColumn, const int* tops, const int* bottoms, int count, COLORREF colour) {
  FillColumnSpans(firstColumn, tops, bottoms, count, colour, nullptr, nullptr);
}

void GUI_BackBuffer::FillColumnSpans(int firstColumn, const int* tops, const int* bottoms, int count, COLORREF colour,
                                     const int* holeTops, const int* holeBottoms) {
  if (!state || !tops || !bottoms) return;
  state->Raw();
  const std::uint32_t pixel = detail::ToPixel(colour);
  const int stride = state->stride;
  const int lastRow = state->height - 1;
  auto fill = [&](int column, int top, int bottom) {
    const int y0 = std::max(top, 0);
    const int y1 = std::min(bottom, lastRow);
    if (y0 > y1) return;
    std::uint32_t* p = state->px + static_cast<std::ptrdiff_t>(y0) * stride + column;
    for (int y = y0; y <= y1; ++y, p += stride) *p = pixel;
  };
  const int begin = std::max(0, -firstColumn);
  const int end = std::min(count, state->width - firstColumn);
  for (int i = begin; i < end; ++i) {
    const int column = firstColumn + i;
    if (holeTops && holeBottoms && holeTops[i] <= holeBottoms[i]) {
      fill(column, tops[i], std::min(bottoms[i], holeTops[i] - 1));
      fill(column, std::max(tops[i], holeBottoms[i] + 1), bottoms[i]);
    } else {
      fill(column, tops[i], bottoms[i]);
    }
  }
}

void GUI_BackBuffer::DrawIcon(GUI_Icon* icon, int x, int y, int size) {
  if (state) state->Painted().DrawIcon(icon, x, y, size);
}

void GUI_BackBuffer::DrawBitmap(GUI_Bitmap* bitmap, const CRect& rect) {
  if (state) state->Painted().DrawBitmap(bitmap, rect);
}

void GUI_BackBuffer::DrawBitmap(GUI_Bitmap* bitmap, int x, int y) {
  if (!state || !bitmap) return;
  state->Painted().DrawBitmap(bitmap, CRect(x, y, x + bitmap->pixmap.width(), y + bitmap->pixmap.height()));
}

void GUI_BackBuffer::SetTextColor(COLORREF colour) {
  if (state) state->textColour = colour;
}

void GUI_BackBuffer::SetBkMode(int mode) {
  if (state) state->bkMode = mode;
}

GUI_Font* GUI_BackBuffer::SelectFont(GUI_Font* font) {
  if (!state) return nullptr;
  GUI_Font* previous = state->font;
  state->font = font;
  return previous;
}

void GUI_BackBuffer::DrawText(const std::string& text, const CRect& rect, UINT format) {
  if (state) state->Painted().DrawText(text, rect, format);
}

void GUI_BackBuffer::Present(bool wholeBuffer, bool blend) {
  if (!state || !state->target) return;
  state->Raw();
  QPainter* p = state->target->State()->painter;
  if (!p) return;
  p->save();
  p->setCompositionMode(blend ? QPainter::CompositionMode_SourceOver : QPainter::CompositionMode_Source);
  const QPoint at(state->rect.left, state->rect.top);
  if (wholeBuffer || !p->hasClipping()) {
    p->drawImage(at, state->image);
  } else {
    const QRect clip = p->clipBoundingRect().toAlignedRect().intersected(detail::ToQRect(state->rect));
    p->drawImage(clip.topLeft(), state->image, clip.translated(-at));
  }
  p->restore();
}

COLORREF GUI_BackBuffer::GetPixel(int x, int y) const {
  if (!state || x < 0 || y < 0 || x >= state->width || y >= state->height) return 0xFFFFFFFFu;
  state->Raw();
  const std::uint32_t p = state->px[static_cast<std::ptrdiff_t>(y) * state->stride + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

const std::uint32_t* GUI_BackBuffer::GetBits() const {
  if (!state) return nullptr;
  state->Raw();
  return state->px;
}

bool GUI_BackBuffer::SavePng(const std::string& path) const {
  if (!state) return false;
  state->Raw();
  return state->image.save(detail::ToQString(path), "PNG");
}

}  // namespace EditorCore
