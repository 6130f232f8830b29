#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <string>

namespace EditorCore {

// A push button. Pressing it sends NotifyPressed to the parent's OnNotify; releasing it over
// the button (a click) sends its id to the parent's OnCommand.
class GUI_PushButton : public GUI_Wnd {
 public:
  static constexpr int NotifyPressed = 2038;

  bool Create(GUI_Wnd* parent, const CRect& rect, UINT id, const std::string& text = {},
              UINT style = WS_CHILD | WS_VISIBLE);
  // Shows the icon (instead of the text when it has one); border false draws a flat button.
  void SetIcon(GUI_Icon* icon, bool border = true);
  GUI_Icon* GetIcon() const { return icon; }

 protected:
  void OnAttach() override;

 private:
  GUI_Icon* icon = nullptr;
};

}  // namespace EditorCore
