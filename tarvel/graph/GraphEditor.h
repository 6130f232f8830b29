#pragma once

#include <cstdint>
#include <vector>

#include "EditorCore/Geometry.h"
#include "EditorToolkit/EditablePoint.h"
#include "curves/CurveInfo.h"
#include "curves/CurveSelection.h"
#include "graph/GraphView.h"

namespace Tarvel {

// Editing curves in the graph, without the window: picking keys, rubber-band selection,
// moving the selected keys in value, in frame or both, snapping, the falloff that drags
// neighbouring keys along, and taking back a move that lands two keys on one frame. The
// graph control hands it the left-button gesture and paints what it holds. What callers may
// rely on:
// 1. A curve takes part in editing when it is shown, not filtered, selected and has selected
//    keys; filtered curves are never hit, selected or moved.
// 2. A press on a key starts the edit mode (iEditMode: 2 values, 3 frames; Shift makes it 4,
//    both) on the selection, and the key becomes the current key; a click on the current key
//    that moves nothing lets it go. A press elsewhere starts a rubber band and deletes the
//    keys a moved block covered.
// 3. Keys moved in frame land on whole frames; moved values snap to a tenth of the value
//    graduation while bSnap is set. No key moves before frame 0 or past the last frame a
//    clip can hold (AnimCurve::kMaxKeyFrame).
// 4. A release of a gesture that moved frames (at the press, or once Shift widened a value
//    drag) that leaves a selected key on the frame of another key of its curve has the view
//    take the gesture back on that curve (TakeBack: the curve as the gesture's action found
//    it), even when Shift was let go before it. Only a release that ends a press of this
//    graph looks for collisions; nothing else keeps an earlier state of a curve.
// 5. The view hears every GraphNotify_ code in the order the gesture produces them. The
//    curves change only between a CurveWillChange and the CurveChanged after it, and the
//    CurveChanged of a release comes after any collision was taken back. A value drag that
//    Shift turns into a move of frames too hears CurveWillChange again first, since from
//    then on GestureReach reaches every key.
// 6. A move reports to the view, per curve it changed, the frames whose keys it moved or
//    covered or uncovered (NoteKeyEdit), so that the view redraws those alone.
// 7. A press on a handle of a selected key (KeyHandles; handles are picked before keys) turns
//    the key's tangent towards the pointer: both sides along one line (the key becomes Free),
//    or, when the press held Shift or the key is Broken, the dragged side alone (the key is
//    Broken then). Nothing else moves.
class GraphEditor {
 public:
  static constexpr std::uint8_t kDragNone = 0;
  static constexpr std::uint8_t kDragRubberBand = 1;
  static constexpr std::uint8_t kDragValues = 2;
  static constexpr std::uint8_t kDragFrames = 3;
  static constexpr std::uint8_t kDragBoth = 4;
  // A selected key's tangent handle (KeyHandles), of the current key.
  static constexpr std::uint8_t kDragHandle = 5;
  // fCurrentPointX without a current key.
  static constexpr float kNoCurrentFrame = -1.0e11f;

  GraphEditor(CurveSelection& shownCurves, GraphView& graphView) : curves(shownCurves), view(graphView) {}

  // The left-button gesture, in client pixels.
  void Press(EditorCore::CPoint point, bool bControl, bool bShift);
  void Move(EditorCore::CPoint point, bool bShift);
  void Release(EditorCore::CPoint point, bool bInside);
  // A right-button press: the key (or handle's key) under the pointer joins nothing but is
  // picked as a left press would pick it, without a drag, so that a menu can act on it; false
  // when no key is there.
  bool PickForMenu(EditorCore::CPoint point);
  // Select All: every key of the shown curves (those the filters leave), the curves selected
  // with them; or, deselecting, none. The view hears SelectionChanged.
  void SelectAll(bool select);

  // Moves the selected keys so that the current key lands on frame (only while a frame move
  // is in progress or was the last gesture), then puts the cross-hair on the current key.
  void SetTargetFrame(float frame);
  // Moves the selected keys (and, with useFalloff, their neighbours by weight) so that the
  // current key takes value; acts during a value move or in the values edit mode.
  void SetTargetValue(float value, bool useFalloff);
  // What the gesture in progress may change of a curve: its values of the keys first..last
  // while a pressed key's drag only moves values (nothing when first > last), else every
  // key.
  struct Reach {
    bool valuesOnly = false;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
  };
  Reach GestureReach(const CurveInfo& info) const;
  // Falloff weight of every key of the editing curves: 0 follows the selection, 1 stays.
  void ComputeWeights();
  // Widens the selection range to the selected keys and shows it on the frame ruler.
  // Returns 0 when nothing is selected, 1 for a single key frame of a single curve, more
  // otherwise. Outside a move the first selected key becomes the current key.
  int UpdateSelectionRange();
  // Selects the keys of the shown curves that lie inside oRubberBand.
  void SelectInRubberBand();
  // Sets the keys between the first and last selected key to fTargetY, or with useFalloff
  // moves them and their neighbours by weight towards it.
  void ApplyValueMove(bool useFalloff);
  // Shifts the selected keys so that the current key lands on fTargetX. A curve whose keys
  // would go before frame 0 or past the last frame a clip can hold stays where it is.
  void ApplyFrameMove();
  void SetFalloff(bool on);
  void SetFalloffBefore(float frames);
  void SetFalloffAfter(float frames);
  // The curves were rebuilt or removed: the current key's curve may be gone, so there is no
  // current key and the panel's edits show nothing.
  void ForgetCurrentPoint();
  // The current key's point as it stands now; null without a current key.
  const EditorToolkit::EditablePoint* CurrentPoint() const;
  // The middle button took over: no left-button gesture is in progress.
  void StopGesture() { iDragState = kDragNone; }
  bool IsMoving() const { return iDragState == kDragValues || iDragState == kDragFrames || iDragState == kDragBoth; }

  // Moved values snap to a tenth of a graduation.
  bool bSnap = true;
  // Left-button gesture: 0 none, 1 rubber band, 2 values, 3 frames, 4 both.
  std::uint8_t iDragState = kDragNone;
  // Gesture the panel chose for a press on a key: 2 values, 3 frames.
  std::uint8_t iEditMode = kDragNone;
  // The key last clicked, shown in the panel's edits: its curve, and its index there, which a
  // frame move keeps on the same key.
  CurveInfo* pCurrentCurve = nullptr;
  std::uint32_t iCurrentIndex = 0;
  float fTargetX = 0.0f;
  // Frame of the current key when it was picked.
  float fCurrentPointX = kNoCurrentFrame;
  float fTargetY = 0.0f;
  // Press point (left, top) and latest pointer position (right, bottom), client pixels.
  EditorCore::CRect oRubberBand;
  // Moving values drags the neighbouring keys with a weight.
  bool bFalloff = true;
  // The gesture moved keys; a press on the key picked before it lets that key go on a click.
  bool bMoved = false;
  // A press started the gesture that a release ends.
  bool bPressed = false;
  // The gesture may move frames: its release takes it back on the curves where keys collide.
  bool bMovesFrames = false;
  bool bLetGoOnClick = false;
  // Falloff widths in frames before the first and after the last selected key.
  float fFalloffBefore = 0.0f;
  float fFalloffAfter = 0.0f;

 private:
  struct Hit {
    CurveInfo* curve = nullptr;
    std::uint32_t index = 0;
    // The handle hit (KeyHandles::Side), or 0 for the key itself.
    int handle = 0;
  };
  Hit HitHandle(EditorCore::CPoint point) const;
  // Turns the current key's tangent so that the dragged handle points at the pointer.
  void DragHandle(EditorCore::CPoint point);
  // The curves of the gesture with keys whose tangents follow their neighbours (not a
  // rotation's), which a move reshapes.
  std::vector<const CurveInfo*> followingCurves;
  bool Follows(const CurveInfo* info) const;
  // The handle a kDragHandle gesture drags, and whether it moves its side alone.
  int iHandleSide = 0;
  bool bHandleBreaks = false;
  Hit HitTest(EditorCore::CPoint point) const;
  // A press on a key: it joins (Ctrl) or replaces the selection and becomes the current key;
  // wasCurrent when it was the current key already.
  void PressKey(const Hit& hit, bool wasCurrent, bool bControl);
  // How many selected keys lie before index, and the index of the selected key with that many
  // before it (the count of points when there is none).
  static std::uint32_t SelectedBefore(const EditorToolkit::Curve2& curve, std::uint32_t index);
  static std::uint32_t NthSelected(const EditorToolkit::Curve2& curve, std::uint32_t rank);
  static bool IsEditing(const CurveInfo* info);
  // Calls edit(curve, first, last) for every editing curve, first and last being the indices
  // of its first and last selected key.
  template <typename Edit>
  void ForEachSelectedBlock(Edit edit) {
    for (CurveInfo* info : curves.GetCurves()) {
      if (!IsEditing(info)) continue;
      const EditorToolkit::Curve2& curve = *info->pCurve;
      const int first = curve.GetFirstSelectedPointIndex();
      const int last = curve.GetLastSelectedPointIndex();
      if (first <= last) edit(*info, curve, first, last);
    }
  }
  // The keys low..high of a curve that a value move changes, and the curve's revision before.
  struct Run {
    CurveInfo* info = nullptr;
    std::uint64_t before = 0;
    int low = 0;
    int high = 0;
  };
  // The keys a value move changes on a curve whose selected keys run from first to last.
  Run ValueRun(const EditorToolkit::Curve2& curve, int first, int last, bool useFalloff) const;
  // Visits every key of the runs, then tells the view what each run changed.
  template <typename Visit>
  void MoveRuns(const std::vector<Run>& runs, const Visit& visit);
  void PlaceCrossHair();
  void DeleteCoveredKeys();
  // After a take-back the current key's old address is gone: it becomes the selected key of
  // that curve at the frame where it was picked, if any.
  void RestoreCollidingCurves();
  static bool Collides(const EditorToolkit::Curve2& curve);
  // Covered keys are the unselected ones inside a moved block; they show again once the
  // block has left them, unless they still share a frame with a visible neighbour. Widens
  // low..high to the frames of the keys whose cover changed.
  static void UpdateCoveredKeys(EditorToolkit::Curve2& curve, float& low, float& high);

  CurveSelection& curves;
  GraphView& view;
};

}  // namespace Tarvel
