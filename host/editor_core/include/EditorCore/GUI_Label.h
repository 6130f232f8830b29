#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <string>

namespace EditorCore {

// A static text. Style bit SS_CENTER centres it, SS_RIGHT aligns it right.
class GUI_Label : public GUI_Wnd {
 public:
  static constexpr UINT SS_CENTER = 0x1;
  static constexpr UINT SS_RIGHT = 0x2;

  bool Create(GUI_Wnd* parent, const CRect& rect, UINT id, const std::string& text = {},
              UINT style = WS_CHILD | WS_VISIBLE);
};

}  // namespace EditorCore
