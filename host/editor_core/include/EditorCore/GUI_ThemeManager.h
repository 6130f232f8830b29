#pragma once

#include <EditorCore/Color.h>
#include <EditorCore/WinTypes.h>

namespace EditorCore {

// The host's dark theme. Colours, icons, bitmaps, cursors and fonts by index; every index
// gives something (indices without a dedicated entry get a neutral one), and handles are
// shared: callers never free them, except DisableIcon's results (DestroyIcon).
// Colour indices of note: 11 disabled glyphs, 72 list background, 73 highlighted row,
// 74 list text, 75 disabled list background, 161 graph background, 10 window background.
// Cursor indices: 2 move in both directions, 15 arrow, 17 move horizontally, 18 move vertically.
class GUI_ThemeManager {
 public:
  static COLORREF GetColor(int index);
  // The theme's icon of an index, drawn once; null for a negative index (no icon).
  static GUI_Icon* GetIcon(int index);
  static GUI_Bitmap* GetBitmap(int index);
  static GUI_Cursor* GetCursor(int index);
  // family 0 the normal UI font, 1 the list font; style 0 regular, 1 italic, 2 bold.
  static GUI_Font* GetFont(int family, int style);
  // A grey copy of the icon tinted with colour; the caller frees it with DestroyIcon.
  static GUI_Icon* DisableIcon(GUI_Icon* icon, COLORREF colour);
  static void DestroyIcon(GUI_Icon* icon);
};

}  // namespace EditorCore
