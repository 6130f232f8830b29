#pragma once

#include <EditorCore/Color.h>
#include <EditorCore/Geometry.h>
#include <EditorCore/WinTypes.h>

#include <cstdint>
#include <memory>
#include <string>

namespace EditorCore {

class GUI_DC;
namespace detail {
struct BackBufferState;
}

// An off-screen 32-bit image drawn into and then presented to a window in one blit.
// Contract:
// 1. Create allocates an image the size of the rectangle; coordinates of every drawing call
//    are relative to the rectangle's top-left corner. All calls before Create do nothing. A
//    buffer created again at the same size keeps its image, pixels as they were, so that a
//    window painting every pixel at each paint does not take and clear a new one each time.
// 2. Lines, polylines, rectangles and fills are written straight into the pixels, without
//    antialiasing: a line with a pen of width w covers w pixels across it, starting w/2
//    before it; both end points are drawn. Dotted pens draw 2 pixels on, 2 off.
// 3. Text, icons and bitmaps go through the platform's painter into the same image.
// 4. SetClipRect confines every drawing call after it to a rectangle of the image, until
//    ClearClipRect or Create; a window that keeps its picture draws again only what changed.
//    GetImageId names the image: it stays while Create keeps the image and changes with
//    every image Create makes.
// 5. Present(wholeBuffer, blend) copies the image to the drawing context it was created on,
//    at the rectangle: the whole image, or only the context's clip box when wholeBuffer is
//    false; opaque, or blended by alpha when blend is true. It does nothing off-screen.
class GUI_BackBuffer {
 public:
  GUI_BackBuffer();
  ~GUI_BackBuffer();
  GUI_BackBuffer(const GUI_BackBuffer&) = delete;
  GUI_BackBuffer& operator=(const GUI_BackBuffer&) = delete;

  bool Create(GUI_DC& dc, const CRect& rect);
  // An image with no window behind it (tests, benchmarks, pictures).
  bool CreateOffscreen(int width, int height);
  bool IsCreated() const;
  int GetWidth() const;
  int GetHeight() const;
  std::uint64_t GetImageId() const;

  void SetClipRect(const CRect& rect);
  void ClearClipRect();
  CRect GetClipRect() const;

  void Fill(COLORREF colour);
  void FillRect(const CRect& rect, COLORREF colour);
  void FillHGradient(const CRect& rect, COLORREF left, COLORREF right);
  void SetPen(COLORREF colour, int width = 1, int style = PS_SOLID);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const CPoint* points, int count);
  void DrawRectangle(const CRect& rect);
  // One vertical span per pixel column, in one colour: column firstColumn + i gets rows
  // tops[i] to bottoms[i], both included (none when top > bottom), within area and the clip.
  // A dense curve is drawn this way, one span per column however many points fall in it.
  // Callers on two threads may fill columns of their own each, the clip staying as it is.
  void FillColumnSpans(int firstColumn, const int* tops, const int* bottoms, int count, COLORREF colour,
                       const CRect& area);
  // The same with a second span per column drawn over the first in innerColour (a line over
  // its casing), in one pass down each column: no pixel is written twice.
  void FillColumnSpans(int firstColumn, const int* tops, const int* bottoms, int count, COLORREF colour,
                       const CRect& area, const int* innerTops, const int* innerBottoms, COLORREF innerColour);
  void DrawIcon(GUI_Icon* icon, int x, int y, int size = 18);
  void DrawBitmap(GUI_Bitmap* bitmap, const CRect& rect);
  void DrawBitmap(GUI_Bitmap* bitmap, int x, int y);
  void SetTextColor(COLORREF colour);
  void SetBkMode(int mode);
  GUI_Font* SelectFont(GUI_Font* font);
  void DrawText(const std::string& text, const CRect& rect, UINT format);
  void Present(bool wholeBuffer = true, bool blend = false);

  // The colour of one pixel, or 0xFFFFFFFF outside the image.
  COLORREF GetPixel(int x, int y) const;
  // The pixels as premultiplied 0xAARRGGBB words, rows GetStride() words apart.
  const std::uint32_t* GetBits() const;
  // At least GetWidth(); rows lie an odd number of cache lines apart.
  int GetStride() const;
  bool SavePng(const std::string& path) const;

 private:
  std::unique_ptr<detail::BackBufferState> state;
};

}  // namespace EditorCore
