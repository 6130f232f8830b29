#include <EditorCore/GUI_BackBuffer.h>

#include <EditorCore/GUI_DC.h>

#include "DCState.h"
#include "Handles.h"
#include "QtConvert.h"

#include <QImage>
#include <QPainter>

#include <immintrin.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>

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
  // Drawing writes inside it only: the image, or the part SetClipRect keeps.
  CRect clip;
  std::uint64_t imageId = 0;
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
    if (clip == CRect(0, 0, width, height)) {
      painter->setClipping(false);
    } else {
      painter->setClipRect(ToQRect(clip));
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
    if (x < clip.left || x >= clip.right) return;
    int y0 = std::max(top, clip.top);
    const int y1 = std::min(top + count, clip.bottom);
    std::uint32_t* p = px + static_cast<std::ptrdiff_t>(y0) * stride + x;
    for (; y0 < y1; ++y0, p += stride) *p = penPixel;
  }
  void HSpan(int y, int left, int count) {
    if (y < clip.top || y >= clip.bottom) return;
    const int x0 = std::max(left, clip.left);
    const int x1 = std::min(left + count, clip.right);
    if (x1 > x0)
      std::fill(px + static_cast<std::ptrdiff_t>(y) * stride + x0, px + static_cast<std::ptrdiff_t>(y) * stride + x1,
                penPixel);
  }

  // One segment as spans across its major axis, both end points included. Only the part
  // within the clip is walked; a dotted pen counts the pixels outside it all the same, so that
  // the dots fall where an unclipped segment puts them.
  void Segment(int x0, int y0, int x1, int y1) {
    const int w = std::max(1, penWidth);
    const int half = w / 2;
    const int dx = x1 - x0;
    const int dy = y1 - y0;
    const bool alongX = std::abs(dx) >= std::abs(dy);
    if (alongX && dx == 0) {
      if (!Dashed()) {
        for (int i = 0; i < w; ++i) HSpan(y0 - half + i, x0 - half, w);
      }
      return;
    }
    if ((alongX && x0 > x1) || (!alongX && y0 > y1)) {
      std::swap(x0, x1);
      std::swap(y0, y1);
    }
    const int dashEnd = dashCounter + (alongX ? x1 - x0 : y1 - y0) + 1;
    if (penStyle != PS_DOT && (dx == 0 || dy == 0)) {
      // A solid line along an axis is a block of w spans.
      for (int i = 0; i < w; ++i) {
        if (alongX)
          HSpan(y0 - half + i, x0, x1 - x0 + 1);
        else
          VSpan(x0 - half + i, y0, y1 - y0 + 1);
      }
      return;
    }
    if (alongX) {
      const std::int64_t slope = (static_cast<std::int64_t>(y1 - y0) << 16) / (x1 - x0);
      const int xs = std::max(x0, clip.left - w);
      const int xe = std::min(x1, clip.right + w);
      if (penStyle == PS_DOT) dashCounter += std::max(0, xs - x0);
      for (int x = xs; x <= xe; ++x) {
        const int y = y0 + static_cast<int>((slope * (x - x0) + 0x8000) >> 16);
        if (!Dashed()) VSpan(x, y - half, w);
      }
    } else {
      const std::int64_t slope = (static_cast<std::int64_t>(x1 - x0) << 16) / (y1 - y0);
      const int ys = std::max(y0, clip.top - w);
      const int ye = std::min(y1, clip.bottom + w);
      if (penStyle == PS_DOT) dashCounter += std::max(0, ys - y0);
      for (int y = ys; y <= ye; ++y) {
        const int x = x0 + static_cast<int>((slope * (y - y0) + 0x8000) >> 16);
        if (!Dashed()) HSpan(y, x - half, w);
      }
    }
    if (penStyle == PS_DOT) dashCounter = dashEnd;
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
    s->imageId = state->imageId;
  } else {
    // Rows lie an odd number of cache lines apart: a column drawn downwards then spreads over
    // every set of the caches, where rows 7680 bytes apart (1920 pixels) would share an
    // eighth of them.
    constexpr int kLineWords = 16;
    int stride = (width + kLineWords - 1) / kLineWords * kLineWords;
    if ((stride / kLineWords) % 2 == 0) stride += kLineWords;
    const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height) * 4;
    void* pixels = std::aligned_alloc(kLineWords * 4, bytes);
    if (!pixels) return false;
    s->image = QImage(
        static_cast<uchar*>(pixels), width, height, static_cast<qsizetype>(stride) * 4,
        QImage::Format_ARGB32_Premultiplied, [](void* owned) { std::free(owned); }, pixels);
    if (s->image.isNull()) {
      std::free(pixels);
      return false;
    }
    s->image.fill(0);
    static std::atomic<std::uint64_t> lastImageId{0};
    s->imageId = ++lastImageId;
  }
  s->px = reinterpret_cast<std::uint32_t*>(s->image.bits());
  s->stride = static_cast<int>(s->image.bytesPerLine() / 4);
  s->width = width;
  s->height = height;
  s->rect = CRect(0, 0, width, height);
  s->clip = s->rect;
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
int GUI_BackBuffer::GetStride() const { return state ? state->stride : 0; }
std::uint64_t GUI_BackBuffer::GetImageId() const { return state ? state->imageId : 0; }

void GUI_BackBuffer::SetClipRect(const CRect& rect) {
  if (!state) return;
  const int left = std::clamp(rect.left, 0, state->width);
  const int top = std::clamp(rect.top, 0, state->height);
  state->clip =
      CRect(left, top, std::clamp(rect.right, left, state->width), std::clamp(rect.bottom, top, state->height));
}

void GUI_BackBuffer::ClearClipRect() {
  if (state) SetClipRect(CRect(0, 0, state->width, state->height));
}

CRect GUI_BackBuffer::GetClipRect() const { return state ? state->clip : CRect(); }

void GUI_BackBuffer::Fill(COLORREF colour) {
  if (!state) return;
  state->Raw();
  FillRect(CRect(0, 0, state->width, state->height), colour);
}

void GUI_BackBuffer::FillRect(const CRect& rect, COLORREF colour) {
  if (!state) return;
  state->Raw();
  const CRect& clip = state->clip;
  const int x0 = std::max(rect.left, clip.left);
  const int x1 = std::min(rect.right, clip.right);
  const int y0 = std::max(rect.top, clip.top);
  const int y1 = std::min(rect.bottom, clip.bottom);
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
  const CRect& clip = state->clip;
  const int x0 = std::max(rect.left, clip.left);
  const int x1 = std::min(rect.right, clip.right);
  const int y0 = std::max(rect.top, clip.top);
  const int y1 = std::min(rect.bottom, clip.bottom);
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

namespace {

// Columns drawn together row by row, one wide store per row.
constexpr int kRowColumns = 8;

// The spans of FillColumnSpans, with the rows it may draw.
struct ColumnSpans {
  const int* tops;
  const int* bottoms;
  const int* innerTops;  // null without inner spans
  const int* innerBottoms;
  std::uint32_t pixel;
  std::uint32_t innerPixel;
  int firstRow;
  int lastRow;
};

bool HasWideVectors() {
  static const bool wide = __builtin_cpu_supports("avx2");
  return wide;
}

__attribute__((target("avx2"))) inline __m256i LoadLanes(const int* values) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values));
}

__attribute__((target("avx2"))) inline int SumOf(__m256i v) {
  __m128i m = _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  m = _mm_add_epi32(m, _mm_shuffle_epi32(m, 0x4E));
  return _mm_cvtsi128_si32(_mm_add_epi32(m, _mm_shuffle_epi32(m, 0xB1)));
}

__attribute__((target("avx2"))) inline int LowestOf(__m256i v) {
  __m128i m = _mm_min_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  m = _mm_min_epi32(m, _mm_shuffle_epi32(m, 0x4E));
  return _mm_cvtsi128_si32(_mm_min_epi32(m, _mm_shuffle_epi32(m, 0xB1)));
}

__attribute__((target("avx2"))) inline int HighestOf(__m256i v) {
  __m128i m = _mm_max_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  m = _mm_max_epi32(m, _mm_shuffle_epi32(m, 0x4E));
  return _mm_cvtsi128_si32(_mm_max_epi32(m, _mm_shuffle_epi32(m, 0xB1)));
}

// Draws the spans of kRowColumns columns from `at`, whose first pixel of row 0 is `line`, row
// by row: a flat curve's pixels lie side by side in a row, and a row of them is one load, two
// blends and one store instead of a store per pixel down each column. False, drawing nothing,
// when the spans cover under a quarter of the rows they reach together (a steep stretch), which
// column by column draws faster.
__attribute__((target("avx2"))) bool FillColumnsByRows(std::uint32_t* line, int stride, const ColumnSpans& spans,
                                                       std::size_t at) {
  const __m256i tops = LoadLanes(spans.tops + at);
  const __m256i bottoms = LoadLanes(spans.bottoms + at);
  // Without inner spans, spans below and above every row, which cover none.
  const bool inner = spans.innerTops != nullptr;
  constexpr int kBeyond = std::numeric_limits<int>::max() / 2;
  const __m256i innerTops = inner ? LoadLanes(spans.innerTops + at) : _mm256_set1_epi32(kBeyond);
  const __m256i innerBottoms = inner ? LoadLanes(spans.innerBottoms + at) : _mm256_set1_epi32(-kBeyond);
  const int top = std::max(spans.firstRow, std::min(LowestOf(tops), LowestOf(innerTops)));
  const int bottom = std::min(spans.lastRow, std::max(HighestOf(bottoms), HighestOf(innerBottoms)));
  if (top > bottom) return true;
  const __m256i clippedTops = _mm256_max_epi32(tops, _mm256_set1_epi32(top));
  const __m256i clippedBottoms = _mm256_min_epi32(bottoms, _mm256_set1_epi32(bottom));
  const __m256i rows = _mm256_sub_epi32(clippedBottoms, clippedTops);
  const int drawn = SumOf(_mm256_max_epi32(_mm256_add_epi32(rows, _mm256_set1_epi32(1)), _mm256_setzero_si256()));
  if ((bottom - top + 1) * kRowColumns > 4 * drawn) return false;
  const __m256i colour = _mm256_set1_epi32(static_cast<int>(spans.pixel));
  const __m256i innerColour = _mm256_set1_epi32(static_cast<int>(spans.innerPixel));
  std::uint32_t* p = line + static_cast<std::ptrdiff_t>(top) * stride;
  for (int y = top; y <= bottom; ++y, p += stride) {
    const __m256i row = _mm256_set1_epi32(y);
    const __m256i outside = _mm256_or_si256(_mm256_cmpgt_epi32(tops, row), _mm256_cmpgt_epi32(row, bottoms));
    const __m256i innerOutside =
        _mm256_or_si256(_mm256_cmpgt_epi32(innerTops, row), _mm256_cmpgt_epi32(row, innerBottoms));
    __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    pixels = _mm256_blendv_epi8(colour, pixels, outside);
    pixels = _mm256_blendv_epi8(innerColour, pixels, innerOutside);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), pixels);
  }
  return true;
}

}  // namespace

void GUI_BackBuffer::FillColumnSpans(int firstColumn, const int* tops, const int* bottoms, int count, COLORREF colour,
                                     const CRect& area) {
  FillColumnSpans(firstColumn, tops, bottoms, count, colour, area, nullptr, nullptr, colour);
}

void GUI_BackBuffer::FillColumnSpans(int firstColumn, const int* tops, const int* bottoms, int count, COLORREF colour,
                                     const CRect& area, const int* innerTops, const int* innerBottoms,
                                     COLORREF innerColour) {
  if (!state || !tops || !bottoms) return;
  state->Raw();
  const std::uint32_t pixel = detail::ToPixel(colour);
  const std::uint32_t innerPixel = detail::ToPixel(innerColour);
  const bool inner = innerTops && innerBottoms;
  const int stride = state->stride;
  const CRect clip(std::max(area.left, state->clip.left), std::max(area.top, state->clip.top),
                   std::min(area.right, state->clip.right), std::min(area.bottom, state->clip.bottom));
  const int lastRow = clip.bottom - 1;
  const int begin = std::max(0, clip.left - firstColumn);
  const int end = std::min(count, clip.right - firstColumn);
  if (clip.bottom - clip.top == 1) {
    // One row, as a line across the view is drawn again: its pixels lie side by side, and a
    // column either covers the row or keeps its pixel.
    const int row = clip.top;
    std::uint32_t* line = state->px + static_cast<std::ptrdiff_t>(row) * stride + firstColumn;
    for (int i = begin; i < end; ++i) {
      const bool outer = tops[i] <= row && row <= bottoms[i];
      line[i] = inner && innerTops[i] <= row && row <= innerBottoms[i] ? innerPixel : outer ? pixel : line[i];
    }
    return;
  }
  // Rows top..bottom of a column; those from innerTop to innerBottom take the inner colour.
  auto fill = [&](int column, int top, int bottom, int innerTop, int innerBottom) {
    const int y0 = std::max(top, clip.top);
    const int y1 = std::min(bottom, lastRow);
    if (y0 > y1) return;
    std::uint32_t* p = state->px + static_cast<std::ptrdiff_t>(y0) * stride + column;
    const unsigned innerRows = static_cast<unsigned>(innerBottom - innerTop);
    for (int y = y0; y <= y1; ++y, p += stride) {
      *p = static_cast<unsigned>(y - innerTop) <= innerRows ? innerPixel : pixel;
    }
  };
  auto fillColumn = [&](int i) {
    const int column = firstColumn + i;
    if (!inner || innerTops[i] > innerBottoms[i]) {
      // Above every row, so that no row takes the inner colour.
      fill(column, tops[i], bottoms[i], lastRow + 1, lastRow + 1);
    } else if (tops[i] <= innerTops[i] && innerBottoms[i] <= bottoms[i]) {
      fill(column, tops[i], bottoms[i], innerTops[i], innerBottoms[i]);
    } else {
      // The inner span reaches out of the outer one: each in turn, the inner one on top.
      fill(column, tops[i], std::min(bottoms[i], innerTops[i] - 1), lastRow + 1, lastRow + 1);
      fill(column, std::max(tops[i], innerBottoms[i] + 1), bottoms[i], lastRow + 1, lastRow + 1);
      fill(column, innerTops[i], innerBottoms[i], innerTops[i], innerBottoms[i]);
    }
  };
  const bool wide = HasWideVectors();
  const ColumnSpans spans{tops, bottoms, innerTops, innerBottoms, pixel, innerPixel, clip.top, lastRow};
  for (int i = begin; i < end;) {
    if (wide && end - i >= kRowColumns &&
        FillColumnsByRows(state->px + firstColumn + i, stride, spans, static_cast<std::size_t>(i))) {
      i += kRowColumns;
      continue;
    }
    for (const int stop = wide ? std::min(end, i + kRowColumns) : end; i < stop; ++i) fillColumn(i);
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
