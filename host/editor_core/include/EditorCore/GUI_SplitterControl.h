#pragma once

#include <EditorCore/GUI_Wnd.h>

namespace EditorCore {

// A bar the user drags to resize the panes beside it. Style StyleVertical is a vertical bar
// moved left and right, StyleHorizontal a horizontal bar moved up and down. The range
// limits where the bar's left (or top) edge may go, in the parent's client coordinates.
// Releasing a drag sends NotifyMoved to the parent with the signed distance in
// payload.distance (header sender: the splitter); the caller moves the bar itself.
class GUI_SplitterControl : public GUI_Wnd {
 public:
  static constexpr UINT StyleVertical = 1;
  static constexpr UINT StyleHorizontal = 2;
  static constexpr int NotifyMoved = 2034;

  bool Create(GUI_Wnd* parent, UINT splitterStyle, const CRect& rect, UINT id, UINT style = WS_CHILD | WS_VISIBLE);
  void SetRange(int minimum, int maximum);
  int GetRangeMin() const { return rangeMin; }
  int GetRangeMax() const { return rangeMax; }
  UINT GetSplitterStyle() const { return splitterStyle; }
  bool IsDragging() const { return dragging; }

  bool OnEraseBkgnd(GUI_DC& dc) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;

 private:
  int Distance(CPoint point) const;
  UINT splitterStyle = StyleVertical;
  int rangeMin = -1000000;
  int rangeMax = 1000000;
  bool dragging = false;
  CPoint pressPoint;
  int currentDistance = 0;
};

}  // namespace EditorCore
