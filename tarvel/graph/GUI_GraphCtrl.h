#pragma once

#include <EditorCore/GUI_RulerCtrl.h>
#include <EditorCore/GUI_Wnd.h>
#include <EditorCore/Geometry.h>
#include <EditorToolkit/Curve2.h>
#include <EditorToolkit/EditablePoint.h>

#include <array>
#include <cstdint>
#include <vector>

#include "curves/CurveInfo.h"

namespace EditorCore {
class GUI_BackBuffer;
class GUI_DC;
}  // namespace EditorCore

namespace Tarvel {

// The curve graph: the editable curves of the page's selected channels drawn against a
// horizontal ruler in frames and a vertical ruler in values. What callers may rely on:
// 1. The control never owns the CurveInfo records in aCurves; the curve set does. Removing
//    entries or destroying the control leaves the records alive.
// 2. A frame f lies at column px(f) (the horizontal ruler's ValueToPixel) and a value v at
//    row H - py(v) (the vertical ruler counts pixels upwards from its bottom edge).
// 3. Painting happens only through invalidation, into one back buffer presented once, in
//    five layers: background and selection band, grid and ruler markers, curves, key points,
//    overlays. Paint draws the same layers into any buffer (tests, pictures).
// 4. Filtered curves are skipped by drawing and by every query that hands out a curve.
// 5. The column buffer survives between paints and is reallocated only when the width
//    changes.
// 6. Every notification to the parent is followed by an invalidation of the control.
// 7. A left-button gesture on a key starts the panel's edit mode (values or frames; Shift
//    moves both). Frame moves back up the selected curves at the press; a release that
//    leaves two keys of a curve on one frame restores that curve's backup.
class GUI_GraphCtrl : public EditorCore::GUI_Wnd {
 public:
  // Codes sent to the parent with NotifyParent.
  // A left-button gesture other than a rubber band has ended: record the edit, write back.
  static constexpr int GraphNotify_CurveChanged = 2074;
  // A press landed on a key: record the state before the edit.
  static constexpr int GraphNotify_CurveWillChange = 2075;
  static constexpr int GraphNotify_SelectionChanged = 2076;
  static constexpr int GraphNotify_CurrentFrame = 2077;
  static constexpr int GraphNotify_CurrentValue = 2078;
  static constexpr int GraphNotify_ClearFrame = 2079;
  static constexpr int GraphNotify_ClearValue = 2080;
  static constexpr int GraphNotify_DisableFrame = 2081;
  static constexpr int GraphNotify_DisableValue = 2082;
  static constexpr int GraphNotify_EnableFrame = 2083;
  static constexpr int GraphNotify_EnableValue = 2084;

  GUI_GraphCtrl() = default;
  ~GUI_GraphCtrl() override;

  // A visible child window with an empty rectangle (the panel lays it out); takes the client
  // rectangle. False when the window cannot be made.
  bool Create(EditorCore::GUI_Wnd* parent, EditorCore::UINT id);
  // Keeps the two rulers (owned by the panel) and sets their units and markers: markers 1 and
  // 2 of the horizontal ruler bound the selected keys, marker 3 of both is the current key's
  // cross-hair, marker 4 of the horizontal ruler is the time cursor. Call once.
  void AttachRulers(EditorCore::GUI_RulerCtrl* horizontal, EditorCore::GUI_RulerCtrl* vertical);

  int GetCurveCount() const;
  // Curves that are shown and hold the point selection.
  int GetSelectedCurveCount() const;
  // Null when index is out of range or the curve is filtered.
  EditorToolkit::Curve2* GetCurveAt(int index) const;
  const EditorCore::CRect& GetCurvesBounds() const { return oCurvesBounds; }
  bool HasSelectionRange() const { return fSelectionBegin != -1.0f; }
  void ClearSelectionRange();
  // Removes count entries from first on; later entries move down. The range is clamped.
  void RemoveCurves(int first, int count);
  // Removes every entry of the channel.
  void RemoveChannelCurves(std::uint32_t channelKey);
  void ClearCurves();

  // oCurvesBounds = union of the boxes of the curves that are not filtered, (0, 0, 0, 0) when
  // there is none.
  void ComputeCurvesBounds();
  // Fits both rulers to the curves, with 10 frames and 20 values of margin in all.
  void FitAll();

  // Moves the selected keys so that the current key lands on frame (only while a frame move
  // is in progress or was the last gesture), then puts the cross-hair on the current key.
  void SetTargetFrame(float frame);
  // Moves the selected keys (and, with useFalloff, their neighbours by weight) so that the
  // current key takes value; acts during a value move or in the values edit mode.
  void SetTargetValue(float value, bool useFalloff);
  // Falloff weight of every key of the editing curves: 0 follows the selection, 1 stays.
  void ComputeWeights();
  // Widens the selection range to the selected keys and shows it on the horizontal ruler.
  // Returns 0 when nothing is selected, 1 for a single key frame of a single curve, more
  // otherwise. Outside a move the first selected key becomes the current key.
  int UpdateSelectionRange();
  // Selects the keys of the shown curves that lie inside oRubberBand.
  void SelectInRubberBand();
  // Sets the keys between the first and last selected key to fTargetY, or with useFalloff
  // moves them and their neighbours by weight towards it.
  void ApplyValueMove(bool useFalloff);
  // Shifts the selected keys so that the current key lands on fTargetX. A curve whose keys
  // would go before frame 0 stays where it is.
  void ApplyFrameMove();
  void SetFalloff(bool on);
  void SetFalloffBefore(float frames);
  void SetFalloffAfter(float frames);

  void OnLButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnMouseMove(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnLButtonUp(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnMButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnMButtonUp(EditorCore::UINT flags, EditorCore::CPoint point) override;

  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  // Draws the five layers into buffer, which covers a client area of width x height.
  void Paint(EditorCore::GUI_BackBuffer& buffer, int width, int height);

  // Shown curves in drawing order; not owned.
  std::vector<CurveInfo*> aCurves;
  // The middle button drags the rulers.
  bool bPanning = false;
  // Moved values snap to a tenth of a graduation.
  bool bSnap = true;
  // Left-button gesture: 0 none, 1 rubber band, 2 values, 3 frames, 4 both.
  std::uint8_t iDragState = 0;
  // Gesture the panel chose for a press on a key: 2 values, 3 frames.
  std::uint8_t iEditMode = 0;
  // Frames of the first and last selected keys; -1 when there is no selection range.
  float fSelectionBegin = -1.0f;
  float fSelectionEnd = -1.0f;
  EditorCore::GUI_RulerCtrl* pHRuler = nullptr;
  EditorCore::GUI_RulerCtrl* pVRuler = nullptr;
  // The key last clicked, shown in the panel's edits.
  EditorToolkit::EditablePoint* pCurrentPoint = nullptr;
  float fTargetX = 0.0f;
  // Frame of the current key when it was picked; -1e11 means none.
  float fCurrentPointX = -1.0e11f;
  float fTargetY = 0.0f;
  // Press point (left, top) and latest pointer position (right, bottom), client pixels.
  EditorCore::CRect oRubberBand;
  // In curve units: left/right frames, top the lowest value, bottom the highest.
  EditorCore::CRect oCurvesBounds;
  // Moving values drags the neighbouring keys with a weight.
  bool bFalloff = true;
  // Falloff widths in frames before the first and after the last selected key.
  float fFalloffBefore = 0.0f;
  float fFalloffAfter = 0.0f;
  EditorCore::CRect oClientRect;
  // One point per pixel column, reused by the curve layer.
  EditorCore::CPoint* pColumnPoints = nullptr;
  // Closed outline of the rubber band, rebuilt at each paint.
  std::array<EditorCore::CPoint, 5> aRubberBandOutline{};
  std::int32_t iColumnPointCount = 0;

 private:
  void Notify(int code);
  // Takes part in editing: shown, holding the selection, with selected keys.
  static bool IsEditing(const CurveInfo* info);
  int ClientHeight() const;
  double FrameAtColumn(int x) const;
  double ValueAtRow(int y) const;
  void SetDragCursor();
  void PlaceCrossHair();
  void DeleteCoveredKeys();
  // After a restore the current key's old address is gone: it becomes the selected key of
  // that curve at the frame where it was picked, if any.
  void RestoreCollidingCurves();

  void PaintBackground(EditorCore::GUI_BackBuffer& buffer, int width, int height) const;
  void PaintGrid(EditorCore::GUI_BackBuffer& buffer, int width, int height) const;
  void PaintCurves(EditorCore::GUI_BackBuffer& buffer, int width, int height);
  void PaintCurve(EditorCore::GUI_BackBuffer& buffer, const CurveInfo& info, int width, int height);
  void PaintPoints(EditorCore::GUI_BackBuffer& buffer, int width, int height) const;
  void PaintOverlays(EditorCore::GUI_BackBuffer& buffer, int height);
};

}  // namespace Tarvel
