#pragma once

#include <algorithm>

namespace EditorCore {

// Integer point in pixels (or any integer unit the caller chooses).
struct CPoint {
  int x = 0;
  int y = 0;

  constexpr CPoint() = default;
  constexpr CPoint(int xValue, int yValue) : x(xValue), y(yValue) {}

  friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
  int cx = 0;
  int cy = 0;

  constexpr CSize() = default;
  constexpr CSize(int width, int height) : cx(width), cy(height) {}

  friend constexpr bool operator==(const CSize&, const CSize&) = default;
};

// Integer rectangle: left and top are inside, right and bottom one past the last pixel,
// as on the platform the module was written for. Curves reuse it as a box in curve units
// (left/right frames, top the lowest value and bottom the highest).
struct CRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
  constexpr bool PtInRect(CPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  constexpr CPoint TopLeft() const { return {left, top}; }
  constexpr CPoint BottomRight() const { return {right, bottom}; }
  constexpr void OffsetRect(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  // Smallest rectangle holding both; an empty operand does not count.
  constexpr void UnionRect(const CRect& a, const CRect& b) {
    if (a.IsRectEmpty()) {
      *this = b;
      return;
    }
    if (b.IsRectEmpty()) {
      *this = a;
      return;
    }
    left = std::min(a.left, b.left);
    top = std::min(a.top, b.top);
    right = std::max(a.right, b.right);
    bottom = std::max(a.bottom, b.bottom);
  }

  friend constexpr bool operator==(const CRect&, const CRect&) = default;
};

}  // namespace EditorCore
