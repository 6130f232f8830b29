#pragma once

#include <functional>

#include "EditorCore/GUI_BackBuffer.h"
#include "EditorCore/GUI_Wnd.h"
#include "tools/DopeSheet.h"

namespace Tarvel {

class GUI_DopeSheetCtrl;

// The names of the dope sheet's rows, in a column beside its keys and scrolled with them: the
// summary, each channel with a triangle that opens and closes its tracks, the tracks indented.
// A press on a triangle opens or closes the channel; a press on a name selects every key of
// its row (Shift: besides the selection). The notifier hears kNotifyRows when rows opened or
// closed, and the keys control's kNotifySelection. The channels the graph shows are
// highlighted as the channel list highlights them.
class GUI_DopeSheetLabels : public EditorCore::GUI_Wnd {
 public:
  static constexpr int kNotifyRows = 4;
  static constexpr int kTriangleWidth = 16;
  static constexpr int kIndent = 14;

  GUI_DopeSheetLabels(DopeSheet& dopeSheet, GUI_DopeSheetCtrl& keys);

  bool Create(EditorCore::GUI_Wnd* parent, EditorCore::UINT id);
  void SetNotifier(std::function<void(int)> notifier) { notify = std::move(notifier); }
  void Paint(EditorCore::GUI_BackBuffer& buffer, int width, int height);

  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  void OnLButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  bool OnMouseWheel(EditorCore::UINT flags, short delta, EditorCore::CPoint screenPoint) override;
  std::string GetToolTipAt(EditorCore::CPoint point) const override;

 private:
  DopeSheet& sheet;
  GUI_DopeSheetCtrl& keys;
  std::function<void(int)> notify;
  EditorCore::GUI_BackBuffer backBuffer;
};

}  // namespace Tarvel
