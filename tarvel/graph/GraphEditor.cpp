#include "graph/GraphEditor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "EngineCore/AnimCurve.h"
#include "curves/CurveEvaluation.h"
#include "curves/TangentShaper.h"
#include "graph/KeyHandles.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

using EditorCore::CPoint;
using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;

namespace {

// Rounds to the nearest whole number; exact halves go down.
double Whole(double x) {
  const double f = std::floor(x);
  return x - f > 0.5 ? f + 1.0 : f;
}

}  // namespace

bool GraphEditor::IsEditing(const CurveInfo* info) {
  return info && info->pCurve && !info->bFiltered && info->bSelected && info->pCurve->GetSelectPointsCount() != 0;
}

GraphEditor::Hit GraphEditor::HitHandle(CPoint point) const {
  const double columnsPerFrame = 1.0 / (view.FrameAtColumn(1) - view.FrameAtColumn(0));
  for (CurveInfo* info : curves.GetCurves()) {
    if (!IsEditing(info) || !KeyHandles::Has(*info)) continue;
    const Curve2& curve = *info->pCurve;
    for (auto i = static_cast<std::uint32_t>(curve.GetFirstSelectedPointIndex());
         static_cast<int>(i) <= curve.GetLastSelectedPointIndex(); ++i) {
      if (!curve.GetPointAt(i)->bSelected) continue;
      for (const KeyHandles::Side side : {KeyHandles::In, KeyHandles::Out}) {
        const KeyHandles::End end = KeyHandles::Of(*info, i, side, columnsPerFrame);
        if (end.shown && std::abs(point.x - view.ColumnOfFrame(end.frame)) <= KeyHandles::kBoxHalf + 2 &&
            std::abs(point.y - view.RowOfValue(end.value)) <= KeyHandles::kBoxHalf + 2) {
          return {info, i, side};
        }
      }
    }
  }
  return {};
}

GraphEditor::Hit GraphEditor::HitTest(CPoint point) const {
  if (!view.CanMap()) return {};
  // Handles lie over their keys' neighbourhood: they are picked first.
  if (const Hit handle = HitHandle(point); handle.curve) return handle;
  const float frame = static_cast<float>(view.FrameAtColumn(point.x));
  for (CurveInfo* info : curves.GetCurves()) {
    if (info->bFiltered) continue;
    const Curve2& curve = *info->pCurve;
    const int nearest = curve.SearchNearestPoint(frame);
    if (nearest < 0) continue;
    const std::uint32_t index = std::min(static_cast<std::uint32_t>(nearest), curve.GetPointCount() - 1);
    const EditablePoint& key = *curve.GetPointAt(index);
    if (std::abs(point.x - view.ColumnOfFrame(key.x)) < Ids::kGraphHitPixels &&
        std::abs(point.y - view.RowOfValue(key.y)) < Ids::kGraphHitPixels) {
      return {info, index};
    }
  }
  return {};
}

void GraphEditor::Press(CPoint point, bool bControl, bool bShift) {
  iDragState = iEditMode;
  bMoved = false;
  bLetGoOnClick = false;
  oRubberBand = EditorCore::CRect(point.x, point.y, point.x, point.y);
  const Hit hit = HitTest(point);
  // A click on the key picked before this press that moves nothing lets it go.
  const bool wasCurrent = hit.curve && hit.curve == pCurrentCurve && hit.index == iCurrentIndex;
  pCurrentCurve = nullptr;
  fCurrentPointX = kNoCurrentFrame;

  if (hit.handle != 0) {
    iDragState = kDragHandle;
    iHandleSide = hit.handle;
    bHandleBreaks = bShift;
    pCurrentCurve = hit.curve;
    iCurrentIndex = hit.index;
    PlaceCrossHair();
    view.Notify(Ids::GraphNotify_CurrentFrame);
    view.Notify(Ids::GraphNotify_CurrentValue);
  } else if (hit.curve) {
    PressKey(hit, wasCurrent, bControl);
  } else {
    DeleteCoveredKeys();
    iDragState = kDragRubberBand;
    curves.ClearSelectionRange();
  }

  if (bShift && (iDragState == kDragValues || iDragState == kDragFrames)) iDragState = kDragBoth;
  // Told once the gesture's reach is known.
  if (pCurrentCurve) view.Notify(Ids::GraphNotify_CurveWillChange);
  view.ShowCrossHair(IsMoving());
  if (const EditablePoint* current = CurrentPoint()) fCurrentPointX = current->x;

  bPressed = true;
  // Keys whose tangents follow their neighbours: a gesture changes no type, so they are found
  // once (a rotation's are made when the gesture ends).
  followingCurves.clear();
  for (const CurveInfo* info : curves.GetCurves()) {
    if (IsEditing(info) && !CurveEvaluation::FollowsTrack(*info) && TangentShaper::HasMadeKeys(*info->pCurve)) {
      followingCurves.push_back(info);
    }
  }
  bMovesFrames = iDragState == kDragFrames || iDragState == kDragBoth;
}

void GraphEditor::SelectAll(bool select) {
  for (CurveInfo* info : curves.GetCurves()) {
    const bool chosen = select && !info->bFiltered && info->pCurve->GetPointCount() > 0;
    info->pCurve->SelectAllPoints(chosen);
    info->bSelected = chosen;
  }
  curves.ClearSelectionRange();
  UpdateSelectionRange();
  ComputeWeights();
  view.Notify(Ids::GraphNotify_SelectionChanged);
}

bool GraphEditor::PickForMenu(CPoint point) {
  if (iDragState != kDragNone && bPressed) return false;
  const Hit hit = HitTest(point);
  if (!hit.curve) return false;
  PressKey(hit, false, false);
  return true;
}

const EditablePoint* GraphEditor::CurrentPoint() const {
  if (!pCurrentCurve) return nullptr;
  // Read only: reading the key is no change of its curve.
  const Curve2& curve = *pCurrentCurve->pCurve;
  return iCurrentIndex < curve.GetPointCount() ? curve.GetPointAt(iCurrentIndex) : nullptr;
}

std::uint32_t GraphEditor::SelectedBefore(const Curve2& curve, std::uint32_t index) {
  std::uint32_t count = 0;
  for (auto i = static_cast<std::uint32_t>(std::max(curve.GetFirstSelectedPointIndex(), 0)); i < index; ++i) {
    if (curve.GetPointAt(i)->bSelected) ++count;
  }
  return count;
}

std::uint32_t GraphEditor::NthSelected(const Curve2& curve, std::uint32_t rank) {
  const auto count = curve.GetPointCount();
  for (auto i = static_cast<std::uint32_t>(std::max(curve.GetFirstSelectedPointIndex(), 0)); i < count; ++i) {
    if (!curve.GetPointAt(i)->bSelected) continue;
    if (rank == 0) return i;
    --rank;
  }
  return count;
}

void GraphEditor::PressKey(const Hit& hit, bool wasCurrent, bool bControl) {
  const EditablePoint* key = hit.curve->pCurve->GetPointAt(hit.index);
  // A press on a key already selected keeps the selection, so that all of it can be dragged.
  if (!key->bSelected) {
    if (!bControl) {
      for (CurveInfo* info : curves.GetCurves()) {
        if (info->bFiltered) continue;
        info->pCurve->SelectAllPoints(false);
        info->bSelected = false;
      }
    }
    hit.curve->bSelected = true;
    hit.curve->pCurve->SelectPointAt(hit.index, true);
    view.Notify(Ids::GraphNotify_SelectionChanged);
    curves.ClearSelectionRange();
    UpdateSelectionRange();
  }
  // The pressed key is the one a drag moves, even when it was picked already.
  bLetGoOnClick = wasCurrent;
  pCurrentCurve = hit.curve;
  iCurrentIndex = hit.index;
  fCurrentPointX = key->x;
  PlaceCrossHair();
  view.Notify(Ids::GraphNotify_CurrentFrame);
  view.Notify(Ids::GraphNotify_CurrentValue);
  ComputeWeights();
}

void GraphEditor::Move(CPoint point, bool bShift) {
  oRubberBand.right = point.x;
  oRubberBand.bottom = point.y;
  if (iDragState == kDragRubberBand) {
    curves.ClearSelectionRange();
    SelectInRubberBand();
    UpdateSelectionRange();
    ComputeWeights();
    return;
  }
  if (iDragState == kDragHandle) {
    // Shift counted at the press only: it chose whether the tangent breaks.
    bMoved = true;
    if (view.CanMap()) DragHandle(point);
    return;
  }
  if (iDragState != kDragBoth && bShift) {
    const bool widens = iDragState == kDragValues;
    iDragState = kDragBoth;
    bMovesFrames = true;
    if (widens) view.Notify(Ids::GraphNotify_CurveWillChange);
  } else if (iDragState == kDragBoth && !bShift) {
    iDragState = iEditMode;
  }
  if (!view.CanMap()) return;
  bMoved = bMoved || IsMoving();
  if (iDragState == kDragValues || iDragState == kDragBoth) {
    double value = view.ValueAtRow(point.y);
    if (bSnap) {
      const double k = 1.0 / (view.GetValueUnit() * 0.1);
      value = Whole(value * k) / k;
    }
    SetTargetValue(static_cast<float>(value), bFalloff);
    view.Notify(Ids::GraphNotify_CurrentValue);
  }
  if (iDragState == kDragFrames || iDragState == kDragBoth) {
    // Keys always land on whole frames, with or without snap.
    SetTargetFrame(static_cast<float>(Whole(view.FrameAtColumn(point.x))));
    view.Notify(Ids::GraphNotify_CurrentFrame);
  }
}

void GraphEditor::Release(CPoint point, bool bInside) {
  // A release that ends no press of this graph (the press fell outside it) is no gesture.
  if (!bPressed) return;
  bPressed = false;
  int selectedFrames = 0;
  if (iDragState == kDragRubberBand) {
    if (bInside) {
      oRubberBand.right = point.x;
      oRubberBand.bottom = point.y;
    }
    curves.ClearSelectionRange();
    SelectInRubberBand();
    selectedFrames = UpdateSelectionRange();
    ComputeWeights();
    view.Notify(Ids::GraphNotify_SelectionChanged);
  } else {
    // What the graph shows after the release is what the clip gets: collisions are taken
    // back first.
    if (bMovesFrames && pCurrentCurve) RestoreCollidingCurves();
    if (bLetGoOnClick && !bMoved) {
      pCurrentCurve = nullptr;
      fCurrentPointX = kNoCurrentFrame;
      view.ShowCrossHair(false);
    }
    view.Notify(Ids::GraphNotify_CurveChanged);
  }

  if (pCurrentCurve) {
    view.Notify(Ids::GraphNotify_EnableValue);
    if (selectedFrames < 2) {
      view.Notify(Ids::GraphNotify_EnableFrame);
      view.Notify(Ids::GraphNotify_CurrentFrame);
      view.Notify(Ids::GraphNotify_CurrentValue);
    } else {
      view.Notify(Ids::GraphNotify_DisableFrame);
      view.Notify(Ids::GraphNotify_ClearValue);
    }
  } else {
    view.Notify(Ids::GraphNotify_ClearFrame);
    view.Notify(Ids::GraphNotify_ClearValue);
    view.Notify(Ids::GraphNotify_DisableFrame);
    const bool editable = selectedFrames > 0 && curves.GetSelectedCurveCount() > 0;
    view.Notify(editable ? Ids::GraphNotify_EnableValue : Ids::GraphNotify_DisableValue);
  }
}

bool GraphEditor::Collides(const Curve2& curve) {
  // Keys stay in frame order, so keys on one frame are neighbours: one look to each side of
  // every selected key, instead of a search of the whole curve for each.
  const int first = curve.GetFirstSelectedPointIndex();
  const int last = curve.GetLastSelectedPointIndex();
  const int count = static_cast<int>(curve.GetPointCount());
  auto frameAt = [&curve](int i) { return curve.GetPointAt(static_cast<std::uint32_t>(i))->x; };
  for (int i = std::max(first, 0); i <= last && i < count; ++i) {
    if (!curve.GetPointAt(static_cast<std::uint32_t>(i))->bSelected) continue;
    const float frame = frameAt(i);
    if ((i > 0 && frameAt(i - 1) == frame) || (i + 1 < count && frameAt(i + 1) == frame)) return true;
  }
  return false;
}

void GraphEditor::RestoreCollidingCurves() {
  for (CurveInfo* info : curves.GetCurves()) {
    if (info->bFiltered || !info->bSelected || !Collides(*info->pCurve)) continue;
    view.TakeBack(*info);
    if (info != pCurrentCurve) continue;
    // The current key is the selected key of that curve at the frame where it was picked.
    pCurrentCurve = nullptr;
    const Curve2& curve = *info->pCurve;
    for (std::uint32_t i = 0; i < curve.GetPointCount() && !pCurrentCurve; ++i) {
      const EditablePoint& key = *curve.GetPointAt(i);
      if (key.bSelected && key.x == fCurrentPointX) {
        pCurrentCurve = info;
        iCurrentIndex = i;
      }
    }
    if (!pCurrentCurve) fCurrentPointX = kNoCurrentFrame;
  }
  curves.ClearSelectionRange();
  UpdateSelectionRange();
  ComputeWeights();
  PlaceCrossHair();
}

void GraphEditor::SetTargetFrame(float frame) {
  if (iDragState == kDragFrames || iDragState == kDragBoth) {
    fTargetX = frame;
    ApplyFrameMove();
  }
  PlaceCrossHair();
}

void GraphEditor::SetTargetValue(float value, bool useFalloff) {
  if (iDragState == kDragValues || iDragState == kDragBoth || iEditMode == kDragValues) {
    fTargetY = value;
    ApplyValueMove(useFalloff);
  }
  PlaceCrossHair();
}

void GraphEditor::ForgetCurrentPoint() {
  if (!pCurrentCurve) return;
  pCurrentCurve = nullptr;
  fCurrentPointX = kNoCurrentFrame;
  view.ShowCrossHair(false);
  view.Notify(Ids::GraphNotify_ClearFrame);
  view.Notify(Ids::GraphNotify_ClearValue);
}

void GraphEditor::PlaceCrossHair() {
  if (const EditablePoint* current = CurrentPoint()) view.PlaceCrossHair(current->x, current->y);
}

void GraphEditor::DeleteCoveredKeys() {
  bool covered = false;
  for (const CurveInfo* info : curves.GetCurves()) {
    for (std::uint32_t i = 0; i < info->pCurve->GetPointCount() && !covered; ++i) {
      covered = info->pCurve->GetPointAt(i)->bHidden;
    }
  }
  if (!covered) return;
  // Keys that a moved block covered go for good once the user clicks elsewhere: an edit.
  view.Notify(Ids::GraphNotify_CurveWillChange);
  for (CurveInfo* info : curves.GetCurves()) {
    Curve2* curve = view.Writable(*info);
    if (!curve) continue;
    for (std::uint32_t i = 0; i < curve->GetPointCount();) {
      if (!std::as_const(*curve).GetPointAt(i)->bHidden || !curve->RemovePointAt(i)) ++i;
    }
  }
  view.Notify(Ids::GraphNotify_CurveChanged);
}

void GraphEditor::ComputeWeights() {
  if (curves.fSelectionBegin == -1.0f || curves.fSelectionEnd == -1.0f) return;
  const float before = bFalloff ? fFalloffBefore + 1.0f : 0.0f;
  const float after = bFalloff ? fFalloffAfter + 1.0f : 0.0f;
  ForEachSelectedBlock([before, after](const CurveInfo&, const Curve2& curve, int first, int last) {
    const int count = static_cast<int>(curve.GetPointCount());
    const float xFirst = curve.GetPointAt(static_cast<std::uint32_t>(first))->x;
    const float xLast = curve.GetPointAt(static_cast<std::uint32_t>(last))->x;
    for (int i = 0; i < count; ++i) {
      const EditablePoint& key = *curve.GetPointAt(static_cast<std::uint32_t>(i));
      if (i < first) {
        const float edge = xFirst - before;
        const float d = (key.x - edge) / before;
        key.weight = (before > 0.0f && key.x >= edge) ? 1.0f - d * d : 1.0f;
      } else if (i <= last) {
        key.weight = key.bSelected ? 0.0f : 1.0f;
      } else {
        const float edge = xLast + after;
        const float d = (edge - key.x) / after;
        key.weight = (after > 0.0f && key.x <= edge) ? 1.0f - d * d : 1.0f;
      }
    }
    curve.NoteWeightsChanged();
  });
}

int GraphEditor::UpdateSelectionRange() {
  const bool moving = IsMoving();
  if (!moving) {
    pCurrentCurve = nullptr;
    fCurrentPointX = kNoCurrentFrame;
  }
  double frames = 0.0;
  ForEachSelectedBlock([this, moving, &frames](CurveInfo& info, const Curve2& curve, int first, int last) {
    // Read only, so that a move's report of what it changed still names the curve's revision.
    const Curve2& keys = curve;
    const float xFirst = keys.GetPointAt(static_cast<std::uint32_t>(first))->x;
    const float xLast = keys.GetPointAt(static_cast<std::uint32_t>(last))->x;
    if (curves.fSelectionBegin == -1.0f || xFirst < curves.fSelectionBegin) curves.fSelectionBegin = xFirst;
    if (curves.fSelectionEnd == -1.0f || xLast > curves.fSelectionEnd) curves.fSelectionEnd = xLast;
    if (!pCurrentCurve && !moving) {
      pCurrentCurve = &info;
      iCurrentIndex = static_cast<std::uint32_t>(first);
      fCurrentPointX = xFirst;
    }
    frames += std::abs(curves.fSelectionEnd - curves.fSelectionBegin) + 1.0;
  });
  const bool shown = curves.fSelectionBegin >= 0.0f && curves.fSelectionEnd >= 0.0f;
  view.ShowSelectionMarkers(shown, curves.fSelectionBegin, curves.fSelectionEnd);
  return static_cast<int>(frames);
}

void GraphEditor::SelectInRubberBand() {
  if (!view.CanMap()) return;
  const EditorCore::CRect& band = oRubberBand;
  const float frameLow = static_cast<float>(view.FrameAtColumn(std::min(band.left, band.right)));
  const float frameHigh = static_cast<float>(view.FrameAtColumn(std::max(band.left, band.right)));
  const float valueLow = static_cast<float>(view.ValueAtRow(std::max(band.top, band.bottom)));
  const float valueHigh = static_cast<float>(view.ValueAtRow(std::min(band.top, band.bottom)));
  auto inBand = [&](const EditablePoint& key) {
    return key.x >= frameLow && key.x <= frameHigh && key.y >= valueLow && key.y <= valueHigh;
  };
  for (CurveInfo* info : curves.GetCurves()) {
    if (info->bFiltered) continue;
    info->bSelected = false;
    const Curve2& curve = *info->pCurve;
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    float y = 0.0f;
    bool selected = false;
    curve.EvaluatePoint(frameLow, y, low);
    if (curve.EvaluatePoint(frameHigh, y, high)) {
      high = std::min(high + 1, curve.GetPointCount() - 1);
      if (low == high) {
        selected = inBand(*curve.GetPointAt(low));
      } else {
        // The curve passes through the band when a key lies in its value range or a segment
        // crosses it from one side to the other.
        for (std::uint32_t k = low + 1; k <= high && !selected; ++k) {
          const float a = curve.GetPointAt(k - 1)->y;
          const float b = curve.GetPointAt(k)->y;
          selected =
              (b >= valueLow && b <= valueHigh) || (a < valueLow && b > valueHigh) || (a > valueHigh && b < valueLow);
        }
      }
    }
    if (selected) {
      info->bSelected = true;
      for (std::uint32_t k = low; k <= high; ++k) curve.SelectPointAt(k, inBand(*curve.GetPointAt(k)));
    } else if (curve.GetSelectPointsCount() != 0) {
      curve.SelectAllPoints(false);
    }
  }
}

void GraphEditor::ApplyValueMove(bool useFalloff) {
  const EditablePoint* current = CurrentPoint();
  if (!current || !curves.HasSelectionRange()) return;
  if (useFalloff && current->y == fTargetY) return;
  const float delta = fTargetY - current->y;
  std::vector<Run> runs;
  ForEachSelectedBlock([this, useFalloff, &runs](CurveInfo& info, const Curve2& curve, int first, int last) {
    runs.push_back(ValueRun(curve, first, last, useFalloff));
    runs.back().info = &info;
  });
  if (!useFalloff) {
    MoveRuns(runs, [target = fTargetY](EditablePoint& key) { key.y = target; });
    return;
  }
  MoveRuns(runs, [delta](EditablePoint& key) {
    if (key.weight < 1.0f) key.y += (1.0f - key.weight) * delta;
  });
}

GraphEditor::Run GraphEditor::ValueRun(const Curve2& curve, int first, int last, bool useFalloff) const {
  // The widths count keys here; the weights already limit the pull to the frames.
  const int low = useFalloff ? std::max(0, first - static_cast<int>(fFalloffBefore)) : first;
  const int high =
      useFalloff ? std::min(static_cast<int>(curve.GetPointCount()) - 1, last + static_cast<int>(fFalloffAfter)) : last;
  return {nullptr, curve.GetRevision(), low, high};
}

void GraphEditor::DragHandle(CPoint point) {
  if (!pCurrentCurve || iCurrentIndex >= pCurrentCurve->pCurve->GetPointCount()) return;
  const auto side = static_cast<KeyHandles::Side>(iHandleSide);
  const float slope = KeyHandles::SlopeTowards(*pCurrentCurve->pCurve, iCurrentIndex, side, view.FrameAtColumn(point.x),
                                               view.ValueAtRow(point.y));
  EditorToolkit::KeyTangents tangents;
  if (!KeyHandles::Turned(*pCurrentCurve, iCurrentIndex, side, slope, bHandleBreaks, tangents)) return;
  // A rotation's three curves each hold its track's tangent.
  const bool rotation = CurveEvaluation::FollowsTrack(*pCurrentCurve);
  for (const CurveInfo* info : rotation ? pCurrentCurve->track : CurveInfo::Track{pCurrentCurve, nullptr, nullptr}) {
    Curve2* curve = info ? view.Writable(*info) : nullptr;
    if (!curve || iCurrentIndex >= curve->GetPointCount()) continue;
    const std::uint64_t before = curve->GetRevision();
    curve->SetTangentsAt(iCurrentIndex, tangents);
    // The key's two segments change, out to its neighbours.
    const std::uint32_t last = curve->GetPointCount() - 1;
    const float from = curve->GetPointAt(iCurrentIndex == 0 ? 0 : iCurrentIndex - 1)->x;
    const float to = curve->GetPointAt(std::min(iCurrentIndex + 1, last))->x;
    view.NoteKeyEdit(*curve, before, from, to);
  }
  view.Notify(Ids::GraphNotify_CurrentValue);
}

bool GraphEditor::Follows(const CurveInfo* info) const {
  return std::find(followingCurves.begin(), followingCurves.end(), info) != followingCurves.end();
}

GraphEditor::Reach GraphEditor::GestureReach(const CurveInfo& info) const {
  // A handle's drag changes its key's curve alone.
  if (iDragState == kDragHandle) {
    const bool ownTrack = &info == pCurrentCurve || (pCurrentCurve && CurveEvaluation::FollowsTrack(*pCurrentCurve) &&
                                                     std::find(pCurrentCurve->track.begin(), pCurrentCurve->track.end(),
                                                               &info) != pCurrentCurve->track.end());
    return ownTrack ? Reach{} : Reach{true, 1, 0};
  }
  // Only a pressed key's value drag keeps to values; a press off the keys may drop covered
  // keys of any curve, whatever the mode.
  if (iDragState != kDragValues || !pCurrentCurve) return {};
  Reach reach{true, 1, 0};
  if (!IsEditing(&info)) return reach;
  const Curve2& curve = *info.pCurve;
  const int first = curve.GetFirstSelectedPointIndex();
  const int last = curve.GetLastSelectedPointIndex();
  if (first < 0 || first > last) return reach;
  // A drag moves by falloff or not as the box says at each move: both runs are reached.
  const Run with = ValueRun(curve, first, last, true);
  const Run without = ValueRun(curve, first, last, false);
  reach.first = static_cast<std::uint32_t>(std::min(with.low, without.low));
  reach.last = static_cast<std::uint32_t>(std::max(with.high, without.high));
  return reach;
}

template <typename Visit>
void GraphEditor::MoveRuns(const std::vector<Run>& runs, const Visit& visit) {
  // Keys whose tangents follow their neighbours follow them as they move.
  std::vector<std::pair<float, float>> reshaped(runs.size(), {INFINITY, -INFINITY});
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const Run& run = runs[r];
    if (Curve2* curve = view.Writable(*run.info)) {
      curve->ForEachPoint(static_cast<std::uint32_t>(run.low), static_cast<std::uint32_t>(run.high), visit);
      if (Follows(run.info)) TangentShaper::Reshape(*curve, reshaped[r].first, reshaped[r].second);
    }
  }
  // Tells the view which frames of each curve changed: the run's keys and their neighbours in
  // frame. A key on the frame of a moved one does not bound the change: a track plays the last
  // key of a frame, so the segment before that frame changes too.
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const Run& run = runs[r];
    const Curve2& curve = *run.info->pCurve;
    const int last = static_cast<int>(curve.GetPointCount()) - 1;
    auto frameAt = [&curve](int i) { return curve.GetPointAt(static_cast<std::uint32_t>(i))->x; };
    int before = std::max(run.low - 1, 0);
    while (before > 0 && frameAt(before) >= frameAt(run.low)) --before;
    int after = std::min(run.high + 1, last);
    while (after < last && frameAt(after) <= frameAt(run.high)) ++after;
    view.NoteKeyEdit(curve, run.before, std::min(frameAt(before), reshaped[r].first),
                     std::max(frameAt(after), reshaped[r].second));
  }
}

void GraphEditor::UpdateCoveredKeys(Curve2& curve, float& low, float& high) {
  const int first = curve.GetFirstSelectedPointIndex();
  const int last = curve.GetLastSelectedPointIndex();
  const int count = static_cast<int>(curve.GetPointCount());
  for (int i = 0; i < count; ++i) {
    EditablePoint& key = *curve.GetPointAt(static_cast<std::uint32_t>(i));
    const bool inBlock = first <= i && i <= last;
    const bool covered = key.bHidden;
    if (!key.bHidden) {
      if (!key.bSelected && inBlock) key.bHidden = true;
    } else {
      auto sharesFrame = [&](int j) {
        if (j < 0 || j >= count) return false;
        const EditablePoint& other = *curve.GetPointAt(static_cast<std::uint32_t>(j));
        return !other.bHidden && other.x == key.x;
      };
      key.bHidden = sharesFrame(i - 1) || sharesFrame(i + 1) || inBlock;
    }
    if (key.bHidden != covered) {
      low = std::min(low, key.x);
      high = std::max(high, key.x);
    }
  }
}

void GraphEditor::ApplyFrameMove() {
  const EditablePoint* current = CurrentPoint();
  if (!current || fTargetX == current->x || !curves.HasSelectionRange()) return;
  const float delta = fTargetX - current->x;
  // Selected keys move together and keep their order; keys they pass are not selected. The
  // current key stays the same among the selected ones.
  const std::uint32_t rank = SelectedBefore(*pCurrentCurve->pCurve, iCurrentIndex);
  ForEachSelectedBlock([this, delta](CurveInfo& info, const Curve2& keys, int first, int last) {
    const std::uint64_t before = keys.GetRevision();
    const float from = keys.GetPointAt(static_cast<std::uint32_t>(first))->x;
    const float to = keys.GetPointAt(static_cast<std::uint32_t>(last))->x;
    if (from + delta < 0.0f || to + delta > static_cast<float>(EngineCore::AnimCurve::kMaxKeyFrame)) return;
    Curve2* curve = view.Writable(info);
    if (!curve || !curve->MovePointsAt(static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last), delta)) {
      return;
    }
    // The block's old and new places changed, the segments to the keys beside them, and the
    // keys it covered or left.
    float low = std::min(from, from + delta);
    float high = std::max(to, to + delta);
    UpdateCoveredKeys(*curve, low, high);
    if (Follows(&info)) TangentShaper::Reshape(*curve, low, high);
    const int count = static_cast<int>(keys.GetPointCount());
    const int previous =
        std::max(keys.SearchPreviousPoint(std::nextafter(low, -std::numeric_limits<float>::infinity())), 0);
    const int next = std::min(keys.SearchPreviousPoint(high) + 1, count - 1);
    view.NoteKeyEdit(keys, before, std::min(low, keys.GetPointAt(static_cast<std::uint32_t>(previous))->x),
                     std::max(high, keys.GetPointAt(static_cast<std::uint32_t>(next))->x));
  });
  iCurrentIndex = NthSelected(*pCurrentCurve->pCurve, rank);
  curves.ClearSelectionRange();
  UpdateSelectionRange();
}

void GraphEditor::SetFalloff(bool on) {
  bFalloff = on;
  ComputeWeights();
}

void GraphEditor::SetFalloffBefore(float frames) {
  fFalloffBefore = frames;
  ComputeWeights();
}

void GraphEditor::SetFalloffAfter(float frames) {
  fFalloffAfter = frames;
  ComputeWeights();
}

}  // namespace Tarvel
