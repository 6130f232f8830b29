#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <string>

namespace EditorCore {

// A radio button; the radio buttons of one parent window form one group. A click checks it,
// unchecks the others and sends its id to the parent's OnCommand.
class GUI_RadioButton : public GUI_Wnd {
 public:
  bool Create(GUI_Wnd* parent, const CRect& rect, UINT id, const std::string& text = {},
              UINT style = WS_CHILD | WS_VISIBLE);
  void Check(bool checked);
  bool IsChecked() const;

 protected:
  void OnAttach() override;
};

}  // namespace EditorCore
