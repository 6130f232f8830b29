#pragma once

#include <EditorCore/Color.h>
#include <EditorCore/GUI_Wnd.h>

#include <string>
#include <vector>

namespace EditorCore {

// One marker of a ruler.
struct GUI_RulerMarker {
  int id = 0;
  double position = 0.0;
  COLORREF color = 0;
  UINT flags = 1;  // bit 0 visible, bit 1 solid line (else dotted)
  friend bool operator==(const GUI_RulerMarker&, const GUI_RulerMarker&) = default;
};

// One graduation of a ruler: where it is drawn, the value it stands for, and whether it is a
// major one (a multiple of the unit value).
struct GUI_RulerGraduation {
  int pixel = 0;
  double value = 0.0;
  bool major = false;
  friend bool operator==(const GUI_RulerGraduation&, const GUI_RulerGraduation&) = default;
};

// A graduated ruler over a value axis. Contract:
// 1. Horizontal rulers count pixels from their left edge, vertical ones (style bit
//    StyleVertical) upwards from their bottom edge. With k = pixelPerUnit * scale,
//    ValueToPixel(v) = round((v - start) * k) and PixelToValue(p) = start + p / k, where
//    start is the value at pixel 0; so ValueToPixel(PixelToValue(p)) == p.
// 2. The unit value (value between major graduations) is the smallest 1, 2 or 5 x 10^n, not
//    below the minimum unit, whose graduations lie at least MinMajorSpacing pixels apart.
//    GetGraduationDisplayInfo gives the pixel step of the minor graduations, the pixels per
//    major graduation and the pixel offset of pixel 0 (start * k, rounded), all rounded;
//    GetGraduations gives each graduation at ValueToPixel of its own value, so that ticks
//    never drift from their values and a grid drawn from the list lies on the ticks.
// 3. SetMinValue(minimum, start): minimum is the lowest value of interest (style bit 0x100
//    draws nothing below it, bit 0x200 nothing above it) and start the view's first value.
// 4. Markers are addressed by id. A new marker is visible and dotted. SetMarkerAttributes
//    (id, set, clear) sets then clears flag bits. SetMarkerPosition's flag asks for a redraw;
//    it never notifies.
// 5. The user drags marker 4 of a horizontal ruler with the left button: each move sets its
//    position (not below the minimum value when bit 0x100 is set) and sends NotifyMarkerMoved
//    (payload.item = 4, payload.value = position). Between StartMove and StopMove the view
//    follows the pointer (polled every 15 ms, or FollowPointer) and each change of the view
//    sends NotifyViewMoved (payload.value = start).
// 6. A resized ruler keeps the values it showed: its start stays and its scale follows the
//    new length, so that a view keeps its range when its window or a pane is resized.
class GUI_RulerCtrl : public GUI_Wnd {
 public:
  static constexpr UINT StyleHorizontal = 0x01;
  static constexpr UINT StyleVertical = 0x02;
  static constexpr UINT StyleLabels = 0x20;
  static constexpr UINT StyleNothingBelowMin = 0x100;
  static constexpr UINT StyleNothingAboveMin = 0x200;
  static constexpr int NotifyMarkerMoved = 2035;
  static constexpr int NotifyViewMoved = 2036;
  // A vertical ruler with labels painted labels that need another thickness than the last it
  // asked for: payload.distance is the thickness, in pixels, that shows each of them whole.
  static constexpr int NotifyLabelsNeedRoom = 2037;
  static constexpr int MinMajorSpacing = 50;

  // A horizontal ruler with labels (style 0x21) until SetRulerStyle says otherwise.
  bool Create(GUI_Wnd* parent, UINT id);
  bool Create(GUI_Wnd* parent, const CRect& rect, UINT id);

  UINT GetRulerStyle() const { return rulerStyle; }
  void SetRulerStyle(UINT style);
  bool IsVertical() const { return (rulerStyle & StyleVertical) != 0; }

  void SetPixelPerUnit(double pixels);
  double GetPixelPerUnit() const { return pixelPerUnit; }
  double GetScale() const { return scale; }
  void SetScale(double newScale);
  double GetUnitValue() const;
  void SetMinUnitValue(double unit);
  double GetMinUnitValue() const { return minUnit; }
  void SetMinValue(double minimum, double start);
  double GetMinValue() const { return minValue; }
  double GetStartValue() const { return start; }
  void GetGraduationDisplayInfo(int& step, int& major, int& offset) const;
  // The graduations on pixels 0..length-1 in increasing pixel order: every multiple of the
  // unit value, and with minorSpacing > 0 every multiple of the minor unit (a fifth of a 1 or
  // 5 unit, half a 2) when the minimum unit is finer than the unit and minor graduations lie
  // more than minorSpacing pixels apart. Values below (style 0x100) or above (0x200) the
  // minimum value are left out.
  std::vector<GUI_RulerGraduation> GetGraduations(int length, int minorSpacing) const;
  // A major graduation's label: the value whole, with as many decimals as the unit has and no
  // exponent ("-3500", "0.25", "1000000").
  std::string FormatLabel(double value) const;
  // The thickness a vertical ruler of that length needs to show the labels in view whole.
  int GetLabelsThickness(int length) const;

  // Sets the scale, keeping value at the pixel it was on.
  void ZoomOnValue(double value, double newScale);
  // Scale so that extent fills the ruler's length, centred on centre. False when the ruler
  // has no length or the extent is not positive.
  bool Fit(double centre, double extent);
  void CenterOnValue(double value);
  int ValueToPixel(double value) const;
  double PixelToValue(int pixel) const;
  // Length along the axis, in pixels.
  int GetLength() const;

  bool AddMarker(int id);
  bool RemoveMarker(int id);
  bool SetMarkerColor(int id, COLORREF color);
  bool ShowMarker(int id, bool show);
  bool SetMarkerAttributes(int id, UINT set, UINT clear);
  bool SetMarkerPosition(int id, double position, bool redraw);
  double GetMarkerPosition(int id) const;
  int GetMarkerCount() const { return static_cast<int>(markers.size()); }
  const GUI_RulerMarker* GetMarkerAt(int index) const;

  // point: where the pointer is, in the caller's client coordinates (used only to tell a
  // caller's own coordinates apart; the ruler tracks the screen position). invert true moves
  // the view against the pointer.
  void StartMove(CPoint point, bool invert);
  void StopMove();
  bool IsMoving() const { return moving; }
  // Applies the pointer's current screen position to the view while moving.
  void FollowPointer();

  bool OnEraseBkgnd(GUI_DC& dc) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnTimer(UINT id) override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  double K() const { return pixelPerUnit * scale; }
  void Anchor();
  GUI_RulerMarker* FindMarker(int id);
  const GUI_RulerMarker* FindMarker(int id) const;
  void DragMarkerTo(CPoint point);
  UINT rulerStyle = StyleHorizontal | StyleLabels;
  double pixelPerUnit = 10.0;
  double scale = 1.0;
  double minUnit = 0.0;
  double minValue = 0.0;
  double start = 0.0;
  std::vector<GUI_RulerMarker> markers;
  // The thickness the labels last asked for (NotifyLabelsNeedRoom).
  int askedThickness = 0;
  // The length of the last size, to keep the range shown across a resize.
  int sizedLength = 0;
  bool moving = false;
  bool invertMove = false;
  CPoint moveAnchor;
  double moveStart = 0.0;
  bool draggingMarker = false;
};

}  // namespace EditorCore
