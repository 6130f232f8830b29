#pragma once

#include <EditorCore/Color.h>
#include <EditorCore/Geometry.h>
#include <EditorCore/WinTypes.h>

#include <memory>
#include <string>

namespace EditorCore {

namespace detail {
struct DCState;
}

// A drawing context over a window being painted (or over an image). Rectangles include
// left/top and exclude right/bottom. Lines drawn with a pen of width w cover, across the
// line, the w pixels starting w/2 before it.
class GUI_DC {
 public:
  explicit GUI_DC(std::unique_ptr<detail::DCState> state);
  ~GUI_DC();
  GUI_DC(const GUI_DC&) = delete;
  GUI_DC& operator=(const GUI_DC&) = delete;

  // The area being drawn: the whole client rectangle of the window or image.
  void GetClipBox(CRect& rect) const;

  void FillSolidRect(const CRect& rect, COLORREF colour);
  void FillHGradient(const CRect& rect, COLORREF left, COLORREF right);
  void SetPen(COLORREF colour, int width = 1, int style = PS_SOLID);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const CPoint* points, int count);
  // Outline only, with the current pen.
  void DrawRectangle(const CRect& rect);
  void DrawFocusRect(const CRect& rect);
  // The icon scaled to size x size at (x, y); a null icon draws nothing.
  void DrawIcon(GUI_Icon* icon, int x, int y, int size = 18);
  // The bitmap stretched over the rectangle; a null bitmap draws nothing.
  void DrawBitmap(GUI_Bitmap* bitmap, const CRect& rect);
  void SetTextColor(COLORREF colour);
  void SetBkColor(COLORREF colour);
  void SetBkMode(int mode);
  // Returns the font selected before (null for the default one).
  GUI_Font* SelectFont(GUI_Font* font);
  void DrawText(const std::string& text, const CRect& rect, UINT format);
  // Width and height of a single line of text in the current font.
  CSize GetTextExtent(const std::string& text) const;

  detail::DCState* State() const { return state.get(); }

 private:
  std::unique_ptr<detail::DCState> state;
};

}  // namespace EditorCore
