#pragma once

#include <cstdint>

// Values and handle types shared by the windowing layer. Numbers are those of the platform
// the module was written for, so that the module's constants read the same here.
namespace EditorCore {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = long;
using UINT = unsigned int;

// Opaque handles. Icons, bitmaps, cursors and fonts handed out by the theme or the resource
// context are shared: callers never free them (DisableIcon results excepted).
class GUI_Icon;
class GUI_Bitmap;
class GUI_Cursor;
class GUI_Font;
class GUI_ToolBar;

// Window styles.
constexpr UINT WS_CHILD = 0x40000000;
constexpr UINT WS_VISIBLE = 0x10000000;
constexpr UINT WS_DISABLED = 0x08000000;
constexpr UINT WS_BORDER = 0x00800000;

// Window messages the layer passes around.
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_USER = 0x0400;

// Mouse modifier flags of the button and move handlers.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;

// Virtual key codes; letters and digits are their upper-case ASCII values.
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_F1 = 0x70;

// Dialog end codes.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Show commands accepted by ShowWindow(int).
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DOT = 2;
// Background modes for text.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
// Text formats of DrawText.
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

}  // namespace EditorCore
