#pragma once

#include <EditorCore/Geometry.h>
#include <EditorCore/WinTypes.h>

namespace EditorCore {

class GUI_Wnd;

// A message offered to PreTranslateMessage before the focused window handles it.
// For WM_KEYDOWN, wParam is the virtual key and lParam the repeat count.
struct GUI_Msg {
  GUI_Wnd* hwnd = nullptr;  // the window the message is addressed to
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  CPoint pt;          // cursor position in screen coordinates when the message was made
  UINT keyFlags = 0;  // WM_KEYDOWN: MK_CONTROL and MK_SHIFT when those keys were held
};

// Header of a control notification: who sends it, its control id and the code.
struct GUI_NotifyHeader {
  GUI_Wnd* hwndFrom = nullptr;
  UINT idFrom = 0;
  int code = 0;
};

// What a notification carries beyond its header. Each sender fills the fields its code
// documents and leaves the others at their defaults.
struct GUI_NotifyPayload {
  long distance = 0;   // splitter: signed distance moved, in pixels
  int item = -1;       // list: row; tab: tab index; ruler: marker id
  int subItem = 0;     // list: column
  UINT oldState = 0;   // list item change: state before
  UINT newState = 0;   // list item change: state after
  UINT changed = 0;    // list item change: LVIF_* bits of what changed
  LPARAM param = 0;    // list: item data of the row
  double value = 0.0;  // ruler: marker position or view start; edit box: its value
  CPoint point;        // pointer position in the sender's client coordinates
};

}  // namespace EditorCore
