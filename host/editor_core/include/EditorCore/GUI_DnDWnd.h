#pragma once

#include <EditorCore/Geometry.h>

namespace EditorCore {

class GUI_Wnd;

// The drag-and-drop face of a window: the host asks it whether it takes the items of the
// drag-and-drop manager at a point, hands them over, or asks it for its drop menu.
class GUI_DnDWnd {
 public:
  virtual ~GUI_DnDWnd() = default;
  virtual bool CanDnD(CPoint point);
  virtual void ProcessDnD(CPoint point);
  virtual void ShowDnDMenu(CPoint point);
  virtual GUI_Wnd* GetWnd();
};

}  // namespace EditorCore
