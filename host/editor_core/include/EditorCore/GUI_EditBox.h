#pragma once

#include <EditorCore/GUI_Wnd.h>

#include <string>

namespace EditorCore {

// A one-line edit. Notifications to the parent (payload.value holds the float value):
// NotifyValueChanged whenever the text changes, by the user or by a call; NotifyEnter when
// Enter is pressed in it, NotifyEscape when Escape is; NotifyLeave when the user leaves it
// after changing its text (the focus goes elsewhere). Enter and Escape are consumed when
// the parent's OnNotify returns true; otherwise they go on to the dialog (OK / Cancel).
class GUI_EditBox : public GUI_Wnd {
 public:
  static constexpr int NotifyValueChanged = 2026;
  static constexpr int NotifyEnter = 2027;
  static constexpr int NotifyEscape = 2028;
  static constexpr int NotifyLeave = 2029;

  bool Create(GUI_Wnd* parent, const CRect& rect, UINT id, UINT style = WS_CHILD | WS_VISIBLE);

  // Only numbers with at most `decimals` decimals can be typed; when nonNegative is true the
  // minus sign is refused too. SetFloatValue then writes exactly `decimals` decimals.
  void SetTypeAsFloat(int decimals, bool nonNegative);
  bool IsFloat() const { return isFloat; }
  // GetFloatValue and SetFloatValue never go below this.
  void SetMinBoundary(double minimum);
  void SetFloatValue(double value);
  // The text as a number (0 when it is not one), raised to the minimum boundary if set.
  double GetFloatValue() const;
  void SetEmpty();
  bool IsEmpty() const;
  // A read-only box shows its text and lets it be selected, never changed by typing.
  void SetReadOnly(bool readOnly);
  bool IsReadOnly() const;

  bool PreTranslateMessage(const GUI_Msg& msg) override;

 protected:
  void OnAttach() override;

 private:
  void ApplyValidator();
  bool isFloat = false;
  int decimals = 0;
  bool nonNegative = false;
  bool hasMinimum = false;
  double minimum = 0.0;
};

}  // namespace EditorCore
