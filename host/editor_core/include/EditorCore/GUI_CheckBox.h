#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <string>

namespace EditorCore {

// A check box; a click toggles it and sends its id to the parent's OnCommand. With an icon
// it shows the icon instead of its text.
class GUI_CheckBox : public GUI_Wnd {
 public:
  bool Create(GUI_Wnd* parent, const CRect& rect, UINT id, const std::string& text = {},
              UINT style = WS_CHILD | WS_VISIBLE);
  void Check(bool checked);
  bool IsChecked() const;
  void SetIcon(GUI_Icon* icon);

 protected:
  void OnAttach() override;
};

}  // namespace EditorCore
