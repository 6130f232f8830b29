#include "graph/GUI_GraphCtrl.h"

#include <EditorCore/Color.h>
#include <EditorCore/GUI_BackBuffer.h>
#include <EditorCore/GUI_DC.h>
#include <EditorCore/GUI_ThemeManager.h>
#include <EditorToolkit/EditorKernel.h>
#include <EditorToolkit/KeyManager.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace Tarvel {

using EditorCore::COLORREF;
using EditorCore::CPoint;
using EditorCore::CRect;
using EditorCore::GUI_BackBuffer;
using EditorCore::GUI_RulerCtrl;

namespace {

constexpr int kBackgroundColourIndex = 161;
constexpr int kArrowCursorIndex = 15;
constexpr int kValuesCursorIndex = 18;
constexpr int kFramesCursorIndex = 17;
constexpr int kBothCursorIndex = 2;
constexpr std::uint8_t kDragNone = 0;
constexpr std::uint8_t kDragRubberBand = 1;
constexpr std::uint8_t kDragValues = 2;
constexpr std::uint8_t kDragFrames = 3;
constexpr std::uint8_t kDragBoth = 4;
constexpr float kNoCurrentFrame = -1.0e11f;
// A press picks a key closer than this in both directions, in pixels.
constexpr int kHitDistance = 10;
constexpr COLORREF kMajorLine = EditorCore::RGB(100, 100, 100);
constexpr COLORREF kMinorLine = EditorCore::RGB(150, 150, 150);
constexpr COLORREF kZeroLine = EditorCore::RGB(0, 0, 0);
constexpr COLORREF kSelectionMarker = EditorCore::RGB(200, 150, 0);
constexpr COLORREF kCrossHair = EditorCore::RGB(30, 30, 30);
constexpr COLORREF kTimeCursor = EditorCore::RGB(220, 220, 220);
constexpr int kCrossHairMarker = 3;
constexpr EditorCore::UINT kMarkerVisible = 1u;
constexpr EditorCore::UINT kMarkerSolid = 2u;

COLORREF ScaleColour(COLORREF colour, float factor) {
  auto channel = [factor](int byte) { return std::min(255, static_cast<int>(static_cast<float>(byte) * factor)); };
  return EditorCore::RGB(channel(EditorCore::GetRValue(colour)), channel(EditorCore::GetGValue(colour)),
                         channel(EditorCore::GetBValue(colour)));
}

COLORREF Lighter(COLORREF colour) {
  auto channel = [](int byte) { return std::min(255, static_cast<int>(byte * 1.1)); };
  return EditorCore::RGB(channel(EditorCore::GetRValue(colour)), channel(EditorCore::GetGValue(colour)),
                         channel(EditorCore::GetBValue(colour)));
}

// Rounds towards minus infinity, so that pixels left of the origin belong to the graduation
// before it (and a style that hides values below the minimum hides them too).
int FloorDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// One ruler's graduations as lines across the view. line(i) draws the line at pixel i along
// the ruler. The pen state (major or minor colour) carries over from ruler to ruler.
template <typename DrawLine>
void ScanGraduations(GUI_BackBuffer& buffer, const GUI_RulerCtrl& ruler, int length, bool& majorPen, DrawLine line) {
  int step = 1;
  int major = 1;
  int offset = 0;
  ruler.GetGraduationDisplayInfo(step, major, offset);
  step = std::max(1, step);
  major = std::max(1, major);
  const double unit = ruler.GetUnitValue();
  const bool minorAllowed = ruler.GetMinUnitValue() < unit;
  const EditorCore::UINT style = ruler.GetRulerStyle();
  const double minimum = ruler.GetMinValue();
  for (int i = 0; i < length;) {
    const int p = offset + i;
    const double value = unit * FloorDiv(p, major);
    if ((style & GUI_RulerCtrl::StyleNothingBelowMin) && minimum > value) {
      ++i;
      continue;
    }
    if ((style & GUI_RulerCtrl::StyleNothingAboveMin) && minimum < value) break;
    if (p % major == 0) {
      if (!majorPen) {
        buffer.SetPen(kMajorLine, 1, EditorCore::PS_SOLID);
        majorPen = true;
      }
      if (value == 0.0) {
        buffer.SetPen(kZeroLine, 1, EditorCore::PS_SOLID);
        line(i);
        buffer.SetPen(kMajorLine, 1, EditorCore::PS_SOLID);
      } else {
        line(i);
      }
      i += step;
    } else if (minorAllowed && step > 8 && p % step == 0) {
      if (majorPen) {
        buffer.SetPen(kMinorLine, 1, EditorCore::PS_SOLID);
        majorPen = false;
      }
      line(i);
      i += step;
    } else {
      ++i;
    }
  }
}

const EditorCore::GUI_RulerMarker* FindMarker(const GUI_RulerCtrl& ruler, int id) {
  for (int i = 0; i < ruler.GetMarkerCount(); ++i) {
    const EditorCore::GUI_RulerMarker* marker = ruler.GetMarkerAt(i);
    if (marker && marker->id == id) return marker;
  }
  return nullptr;
}

// Rounds to the nearest whole number; exact halves go down.
double Whole(double x) {
  const double f = std::floor(x);
  return x - f > 0.5 ? f + 1.0 : f;
}

void SetMarkerPen(GUI_BackBuffer& buffer, const EditorCore::GUI_RulerMarker& marker) {
  buffer.SetPen(marker.color, 1, (marker.flags & kMarkerSolid) ? EditorCore::PS_SOLID : EditorCore::PS_DOT);
}

}  // namespace

GUI_GraphCtrl::~GUI_GraphCtrl() { delete[] pColumnPoints; }

bool GUI_GraphCtrl::Create(EditorCore::GUI_Wnd* parent, EditorCore::UINT id) {
  if (!CreateChild(parent, id, CRect(), EditorCore::WS_CHILD | EditorCore::WS_VISIBLE)) return false;
  SetWindowText("GUI_GraphCtrl");
  SetCursor(EditorCore::GUI_ThemeManager::GetCursor(kArrowCursorIndex));
  GetClientRect(oClientRect);
  return true;
}

void GUI_GraphCtrl::AttachRulers(GUI_RulerCtrl* horizontal, GUI_RulerCtrl* vertical) {
  assert(horizontal && vertical && "AttachRulers needs both rulers: create them before the graph's rulers are set");
  pHRuler = horizontal;
  pVRuler = vertical;
  if (!pHRuler || !pVRuler) return;

  pHRuler->SetMinUnitValue(1.0);
  pVRuler->SetMinUnitValue(0.1);
  pHRuler->SetMinValue(0.0, -5.0);

  for (int id = 1; id <= 4; ++id) pHRuler->AddMarker(id);
  pVRuler->AddMarker(kCrossHairMarker);

  pHRuler->SetMarkerColor(1, kSelectionMarker);
  pHRuler->SetMarkerColor(2, kSelectionMarker);
  pHRuler->SetMarkerColor(3, kCrossHair);
  pHRuler->SetMarkerColor(4, kTimeCursor);
  pVRuler->SetMarkerColor(kCrossHairMarker, kCrossHair);

  pHRuler->ShowMarker(1, false);
  pHRuler->ShowMarker(2, false);
  pHRuler->ShowMarker(3, false);
  // The time cursor is always shown, as a solid line.
  pHRuler->SetMarkerAttributes(4, kMarkerVisible | kMarkerSolid, 0);
  pVRuler->ShowMarker(kCrossHairMarker, false);
}

int GUI_GraphCtrl::GetCurveCount() const { return static_cast<int>(aCurves.size()); }

int GUI_GraphCtrl::GetSelectedCurveCount() const {
  return static_cast<int>(std::count_if(aCurves.begin(), aCurves.end(), [](const CurveInfo* info) {
    return info && !info->bFiltered && info->bSelected;
  }));
}

EditorToolkit::Curve2* GUI_GraphCtrl::GetCurveAt(int index) const {
  if (index < 0 || index >= GetCurveCount()) return nullptr;
  const CurveInfo* info = aCurves[static_cast<std::size_t>(index)];
  if (!info || info->bFiltered) return nullptr;
  return info->pCurve.get();
}

void GUI_GraphCtrl::ClearSelectionRange() {
  fSelectionBegin = -1.0f;
  fSelectionEnd = -1.0f;
}

void GUI_GraphCtrl::RemoveCurves(int first, int count) {
  const int size = GetCurveCount();
  if (count <= 0 || first >= size) return;
  const int from = std::max(0, first);
  const int to = std::min(size, first + count);
  if (to <= from) return;
  aCurves.erase(aCurves.begin() + from, aCurves.begin() + to);
}

void GUI_GraphCtrl::RemoveChannelCurves(std::uint32_t channelKey) {
  std::erase_if(aCurves, [channelKey](const CurveInfo* info) { return info && info->iChannelKey == channelKey; });
}

void GUI_GraphCtrl::ClearCurves() { aCurves.clear(); }

void GUI_GraphCtrl::ComputeCurvesBounds() {
  bool first = true;
  oCurvesBounds = CRect();
  for (CurveInfo* info : aCurves) {
    if (!info || info->bFiltered || !info->pCurve) continue;
    info->pCurve->ComputeBoundingBox();
    const CRect& box = info->pCurve->GetBoundingBox();
    if (first) {
      oCurvesBounds = box;
      first = false;
      continue;
    }
    // Widened side by side: a flat curve has an empty box that still counts.
    oCurvesBounds.left = std::min(oCurvesBounds.left, box.left);
    oCurvesBounds.top = std::min(oCurvesBounds.top, box.top);
    oCurvesBounds.right = std::max(oCurvesBounds.right, box.right);
    oCurvesBounds.bottom = std::max(oCurvesBounds.bottom, box.bottom);
  }
}

void GUI_GraphCtrl::FitAll() {
  ComputeCurvesBounds();
  const CRect& b = oCurvesBounds;
  if (pHRuler) pHRuler->Fit(b.left + (b.right - b.left) * 0.5, (b.right - b.left) + 10.0);
  if (pVRuler) pVRuler->Fit(b.top + (b.bottom - b.top) * 0.5, (b.bottom - b.top) + 20.0);
}

void GUI_GraphCtrl::Notify(int code) {
  NotifyParent(code);
  Invalidate();
}

bool GUI_GraphCtrl::IsEditing(const CurveInfo* info) {
  return info && info->pCurve && !info->bFiltered && info->bSelected && info->pCurve->GetSelectPointsCount() != 0;
}

int GUI_GraphCtrl::ClientHeight() const {
  CRect client;
  GetClientRect(client);
  return client.Height();
}

double GUI_GraphCtrl::FrameAtColumn(int x) const { return pHRuler ? pHRuler->PixelToValue(x) : 0.0; }

double GUI_GraphCtrl::ValueAtRow(int y) const { return pVRuler ? pVRuler->PixelToValue(ClientHeight() - y) : 0.0; }

void GUI_GraphCtrl::SetDragCursor() {
  int index = kArrowCursorIndex;
  switch (iDragState) {
    case kDragValues: index = kValuesCursorIndex; break;
    case kDragFrames: index = kFramesCursorIndex; break;
    case kDragBoth: index = kBothCursorIndex; break;
    default: break;
  }
  SetCursor(EditorCore::GUI_ThemeManager::GetCursor(index));
}

void GUI_GraphCtrl::PlaceCrossHair() {
  if (!pCurrentPoint) return;
  if (pHRuler) pHRuler->SetMarkerPosition(kCrossHairMarker, pCurrentPoint->x, true);
  if (pVRuler) pVRuler->SetMarkerPosition(kCrossHairMarker, pCurrentPoint->y, true);
}

void GUI_GraphCtrl::DeleteCoveredKeys() {
  for (CurveInfo* info : aCurves) {
    if (!info || !info->pCurve) continue;
    EditorToolkit::Curve2& curve = *info->pCurve;
    for (std::uint32_t i = 0; i < curve.GetPointCount();) {
      if (curve.GetPointAt(i)->bHidden) {
        curve.RemovePointAt(i);
      } else {
        ++i;
      }
    }
  }
}

void GUI_GraphCtrl::OnLButtonDown(EditorCore::UINT flags, CPoint point) {
  CRect client;
  GetClientRect(client);
  if (!client.PtInRect(point)) {
    SetFocus();
    return;
  }
  SetCapture();
  iDragState = iEditMode;
  oRubberBand = CRect(point.x, point.y, point.x, point.y);
  // The key picked before this press: pressing it again lets it go.
  const EditorToolkit::EditablePoint* previous = pCurrentPoint;
  pCurrentPoint = nullptr;
  fCurrentPointX = kNoCurrentFrame;

  const int height = client.Height();
  CurveInfo* hitCurve = nullptr;
  std::uint32_t hitIndex = 0;
  if (pHRuler && pVRuler) {
    const float frame = static_cast<float>(FrameAtColumn(point.x));
    for (CurveInfo* info : aCurves) {
      if (!info || info->bFiltered || !info->pCurve) continue;
      const EditorToolkit::Curve2& curve = *info->pCurve;
      const int nearest = curve.SearchNearestPoint(frame);
      if (nearest < 0) continue;
      const std::uint32_t index = std::min(static_cast<std::uint32_t>(nearest), curve.GetPointCount() - 1);
      const EditorToolkit::EditablePoint& key = *curve.GetPointAt(index);
      if (std::abs(point.x - pHRuler->ValueToPixel(key.x)) < kHitDistance &&
          std::abs(point.y - (height - pVRuler->ValueToPixel(key.y))) < kHitDistance) {
        hitCurve = info;
        hitIndex = index;
        break;
      }
    }
  }

  if (hitCurve) {
    EditorToolkit::EditablePoint* key = hitCurve->pCurve->GetPointAt(hitIndex);
    // A press on a key already selected keeps the selection, so that all of it can be dragged.
    if (!key->bSelected) {
      const bool keepSelection =
          (flags & EditorCore::MK_CONTROL) != 0 || EditorCore::GUI_Wnd::IsKeyDown(EditorCore::VK_CONTROL);
      if (!keepSelection) {
        for (CurveInfo* info : aCurves) {
          if (!info || info->bFiltered || !info->pCurve) continue;
          info->pCurve->SelectAllPoints(false);
          info->bSelected = false;
        }
      }
      hitCurve->bSelected = true;
      hitCurve->pCurve->SelectPointAt(hitIndex, true);
      Notify(GraphNotify_SelectionChanged);
      ClearSelectionRange();
      UpdateSelectionRange();
    }
    if (key == previous || key == pCurrentPoint) {
      pCurrentPoint = nullptr;
      fCurrentPointX = kNoCurrentFrame;
      Notify(GraphNotify_CurveWillChange);
    } else {
      pCurrentPoint = key;
      fCurrentPointX = key->x;
      PlaceCrossHair();
      Notify(GraphNotify_CurrentFrame);
      Notify(GraphNotify_CurrentValue);
      Notify(GraphNotify_CurveWillChange);
    }
    ComputeWeights();
  } else {
    // Keys that a moved block covered go for good once the user clicks elsewhere.
    DeleteCoveredKeys();
    iDragState = kDragRubberBand;
    ClearSelectionRange();
  }

  if (EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->ShiftKeyPressed() &&
      (iDragState == kDragValues || iDragState == kDragFrames)) {
    iDragState = kDragBoth;
  }
  SetDragCursor();
  const bool moving = iDragState == kDragValues || iDragState == kDragFrames || iDragState == kDragBoth;
  if (pHRuler) pHRuler->ShowMarker(kCrossHairMarker, moving);
  if (pVRuler) pVRuler->ShowMarker(kCrossHairMarker, moving);
  if (pCurrentPoint) fCurrentPointX = pCurrentPoint->x;

  // The release takes a frame move back on a curve whose keys collide.
  if (iDragState == kDragFrames || iDragState == kDragBoth) {
    for (CurveInfo* info : aCurves) {
      if (info) info->Backup(true, "");
    }
  }
  Invalidate();
  SetFocus();
}

void GUI_GraphCtrl::OnMouseMove(EditorCore::UINT, CPoint point) {
  if (bPanning || !HasCapture()) return;
  oRubberBand.right = point.x;
  oRubberBand.bottom = point.y;
  if (iDragState == kDragRubberBand) {
    ClearSelectionRange();
    SelectInRubberBand();
    UpdateSelectionRange();
    ComputeWeights();
    Invalidate();
    return;
  }

  const bool shift = EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->ShiftKeyPressed();
  if (iDragState != kDragBoth && shift) {
    iDragState = kDragBoth;
    SetDragCursor();
  } else if (iDragState == kDragBoth && !shift) {
    iDragState = iEditMode;
    SetDragCursor();
  }

  if ((iDragState == kDragValues || iDragState == kDragBoth) && pVRuler) {
    double value = ValueAtRow(point.y);
    if (bSnap) {
      const double k = 1.0 / (pVRuler->GetUnitValue() * 0.1);
      value = Whole(value * k) / k;
    }
    SetTargetValue(static_cast<float>(value), bFalloff);
    Notify(GraphNotify_CurrentValue);
  }
  if ((iDragState == kDragFrames || iDragState == kDragBoth) && pHRuler) {
    // Keys always land on whole frames, with or without snap.
    SetTargetFrame(static_cast<float>(Whole(FrameAtColumn(point.x))));
    Notify(GraphNotify_CurrentFrame);
  }
}

void GUI_GraphCtrl::OnLButtonUp(EditorCore::UINT, CPoint point) {
  CRect client;
  GetClientRect(client);
  int selectedFrames = 0;
  if (iDragState == kDragRubberBand) {
    if (client.PtInRect(point)) {
      oRubberBand.right = point.x;
      oRubberBand.bottom = point.y;
    }
    ClearSelectionRange();
    SelectInRubberBand();
    selectedFrames = UpdateSelectionRange();
    ComputeWeights();
    Notify(GraphNotify_SelectionChanged);
  } else {
    Notify(GraphNotify_CurveChanged);
  }

  if (pCurrentPoint) {
    Notify(GraphNotify_EnableValue);
    if (selectedFrames < 2) {
      Notify(GraphNotify_EnableFrame);
      Notify(GraphNotify_CurrentFrame);
      Notify(GraphNotify_CurrentValue);
    } else {
      Notify(GraphNotify_DisableFrame);
      Notify(GraphNotify_ClearValue);
    }
    if (iDragState == kDragFrames || iDragState == kDragBoth) RestoreCollidingCurves();
  } else {
    Notify(GraphNotify_ClearFrame);
    Notify(GraphNotify_ClearValue);
    Notify(GraphNotify_DisableFrame);
    const bool editable = selectedFrames > 0 && std::any_of(aCurves.begin(), aCurves.end(), [](const CurveInfo* info) {
                            return info && !info->bFiltered && info->bSelected;
                          });
    Notify(editable ? GraphNotify_EnableValue : GraphNotify_DisableValue);
  }

  if (HasCapture()) ReleaseCapture();
  SetCursor(EditorCore::GUI_ThemeManager::GetCursor(kArrowCursorIndex));
  Invalidate();
  SetFocus();
}

void GUI_GraphCtrl::RestoreCollidingCurves() {
  for (CurveInfo* info : aCurves) {
    if (!info || !info->pCurve || info->bFiltered || !info->bSelected) continue;
    EditorToolkit::Curve2& curve = *info->pCurve;
    const std::uint32_t count = curve.GetPointCount();
    bool collides = false;
    for (std::uint32_t i = 0; i < count && !collides; ++i) {
      const EditorToolkit::EditablePoint* key = curve.GetPointAt(i);
      if (!key->bSelected) continue;
      const int first = curve.GetPointIndex(key->x, false);
      if (first < 0) continue;
      for (std::uint32_t j = static_cast<std::uint32_t>(first); j < count; ++j) {
        const EditorToolkit::EditablePoint* other = curve.GetPointAt(j);
        if (other != key && other->x == key->x) {
          collides = true;
          break;
        }
      }
    }
    if (!collides) continue;

    bool ownsCurrent = false;
    for (std::uint32_t i = 0; i < count && !ownsCurrent; ++i) ownsCurrent = curve.GetPointAt(i) == pCurrentPoint;
    info->RestorePrevious();
    if (!ownsCurrent) continue;
    pCurrentPoint = nullptr;
    for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) {
      EditorToolkit::EditablePoint* key = curve.GetPointAt(i);
      if (key->bSelected && key->x == fCurrentPointX) {
        pCurrentPoint = key;
        break;
      }
    }
    if (!pCurrentPoint) fCurrentPointX = kNoCurrentFrame;
  }
  ClearSelectionRange();
  UpdateSelectionRange();
  ComputeWeights();
  PlaceCrossHair();
}

void GUI_GraphCtrl::OnMButtonDown(EditorCore::UINT, CPoint point) {
  CRect client;
  GetClientRect(client);
  if (client.PtInRect(point)) {
    iDragState = kDragNone;
    EditorCore::GUI_Wnd::ShowCursor(false);
    SetCapture();
    CPoint pointer;
    GetCursorPos(pointer);
    ScreenToClient(pointer);
    if (pHRuler) pHRuler->StartMove(pointer, false);
    if (pVRuler) pVRuler->StartMove(pointer, false);
    bPanning = true;
  }
  SetFocus();
}

void GUI_GraphCtrl::OnMButtonUp(EditorCore::UINT, CPoint) {
  if (bPanning) {
    if (HasCapture()) ReleaseCapture();
    EditorCore::GUI_Wnd::ShowCursor(true);
    if (pHRuler) pHRuler->StopMove();
    if (pVRuler) pVRuler->StopMove();
    bPanning = false;
  }
  SetFocus();
}

void GUI_GraphCtrl::SetTargetFrame(float frame) {
  if (iDragState == kDragFrames || iDragState == kDragBoth) {
    fTargetX = frame;
    ApplyFrameMove();
  }
  PlaceCrossHair();
  Invalidate();
}

void GUI_GraphCtrl::SetTargetValue(float value, bool useFalloff) {
  if (iDragState == kDragValues || iDragState == kDragBoth || iEditMode == kDragValues) {
    fTargetY = value;
    ApplyValueMove(useFalloff);
  }
  PlaceCrossHair();
  Invalidate();
}

void GUI_GraphCtrl::ComputeWeights() {
  if (fSelectionBegin == -1.0f || fSelectionEnd == -1.0f) return;
  const float before = bFalloff ? fFalloffBefore + 1.0f : 0.0f;
  const float after = bFalloff ? fFalloffAfter + 1.0f : 0.0f;
  for (CurveInfo* info : aCurves) {
    if (!IsEditing(info)) continue;
    EditorToolkit::Curve2& curve = *info->pCurve;
    const int count = static_cast<int>(curve.GetPointCount());
    const int first = curve.GetFirstSelectedPointIndex();
    const int last = curve.GetLastSelectedPointIndex();
    if (count == 0 || first > last) continue;
    const float xFirst = curve.GetPointAt(static_cast<std::uint32_t>(first))->x;
    const float xLast = curve.GetPointAt(static_cast<std::uint32_t>(last))->x;
    for (int i = 0; i < count; ++i) {
      EditorToolkit::EditablePoint& key = *curve.GetPointAt(static_cast<std::uint32_t>(i));
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
  }
}

int GUI_GraphCtrl::UpdateSelectionRange() {
  const bool moving = iDragState == kDragValues || iDragState == kDragFrames || iDragState == kDragBoth;
  if (!moving) {
    pCurrentPoint = nullptr;
    fCurrentPointX = kNoCurrentFrame;
  }
  double frames = 0.0;
  for (CurveInfo* info : aCurves) {
    if (!IsEditing(info)) continue;
    EditorToolkit::Curve2& curve = *info->pCurve;
    const int first = curve.GetFirstSelectedPointIndex();
    const int last = curve.GetLastSelectedPointIndex();
    if (first > last) continue;
    EditorToolkit::EditablePoint* firstKey = curve.GetPointAt(static_cast<std::uint32_t>(first));
    const float xFirst = firstKey->x;
    const float xLast = curve.GetPointAt(static_cast<std::uint32_t>(last))->x;
    if (fSelectionBegin == -1.0f || xFirst < fSelectionBegin) fSelectionBegin = xFirst;
    if (fSelectionEnd == -1.0f || xLast > fSelectionEnd) fSelectionEnd = xLast;
    if (!pCurrentPoint && !moving) {
      pCurrentPoint = firstKey;
      fCurrentPointX = xFirst;
    }
    frames += std::abs(fSelectionEnd - fSelectionBegin) + 1.0;
  }
  if (pHRuler) {
    const bool shown = fSelectionBegin >= 0.0f && fSelectionEnd >= 0.0f;
    if (shown) {
      pHRuler->SetMarkerPosition(1, fSelectionBegin, true);
      pHRuler->SetMarkerPosition(2, fSelectionEnd, true);
    }
    pHRuler->ShowMarker(1, shown);
    pHRuler->ShowMarker(2, shown);
  }
  return static_cast<int>(frames);
}

void GUI_GraphCtrl::SelectInRubberBand() {
  if (!pHRuler || !pVRuler) return;
  const CRect& band = oRubberBand;
  const float frameLow = static_cast<float>(FrameAtColumn(std::min(band.left, band.right)));
  const float frameHigh = static_cast<float>(FrameAtColumn(std::max(band.left, band.right)));
  const float valueLow = static_cast<float>(ValueAtRow(std::max(band.top, band.bottom)));
  const float valueHigh = static_cast<float>(ValueAtRow(std::min(band.top, band.bottom)));
  auto inBand = [&](const EditorToolkit::EditablePoint& key) {
    return key.x >= frameLow && key.x <= frameHigh && key.y >= valueLow && key.y <= valueHigh;
  };
  for (CurveInfo* info : aCurves) {
    if (!info || info->bFiltered || !info->pCurve) continue;
    info->bSelected = false;
    EditorToolkit::Curve2& curve = *info->pCurve;
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

void GUI_GraphCtrl::ApplyValueMove(bool useFalloff) {
  if (!pCurrentPoint) return;
  if (!useFalloff) {
    if (!HasSelectionRange()) return;
    for (CurveInfo* info : aCurves) {
      if (!IsEditing(info)) continue;
      EditorToolkit::Curve2& curve = *info->pCurve;
      const int first = curve.GetFirstSelectedPointIndex();
      const int last = curve.GetLastSelectedPointIndex();
      for (int i = first; i <= last; ++i) curve.GetPointAt(static_cast<std::uint32_t>(i))->y = fTargetY;
    }
    return;
  }
  if (pCurrentPoint->y == fTargetY) return;
  const float delta = fTargetY - pCurrentPoint->y;
  if (!HasSelectionRange()) return;
  for (CurveInfo* info : aCurves) {
    if (!IsEditing(info)) continue;
    EditorToolkit::Curve2& curve = *info->pCurve;
    const int first = curve.GetFirstSelectedPointIndex();
    const int last = curve.GetLastSelectedPointIndex();
    if (first > last) continue;
    // The widths count keys here; the weights already limit the pull to the frames.
    const int low = std::max(0, first - static_cast<int>(fFalloffBefore));
    const int high = std::min(static_cast<int>(curve.GetPointCount()) - 1, last + static_cast<int>(fFalloffAfter));
    for (int i = low; i <= high; ++i) {
      EditorToolkit::EditablePoint& key = *curve.GetPointAt(static_cast<std::uint32_t>(i));
      if (key.weight < 1.0f) key.y += (1.0f - key.weight) * delta;
    }
  }
}

void GUI_GraphCtrl::ApplyFrameMove() {
  if (!pCurrentPoint || fTargetX == pCurrentPoint->x || !HasSelectionRange()) return;
  const float delta = fTargetX - pCurrentPoint->x;
  for (CurveInfo* info : aCurves) {
    if (!IsEditing(info)) continue;
    EditorToolkit::Curve2& curve = *info->pCurve;
    int first = curve.GetFirstSelectedPointIndex();
    int last = curve.GetLastSelectedPointIndex();
    if (first > last) continue;
    if (curve.GetPointAt(static_cast<std::uint32_t>(first))->x + delta < 0.0f) continue;
    const bool moved = curve.MovePointsAt(static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last), delta);
    first = curve.GetFirstSelectedPointIndex();
    last = curve.GetLastSelectedPointIndex();
    if (!moved) continue;
    // Keys inside the moved block are covered; a covered key shows again once the block has
    // left it, unless it still shares its frame with a visible neighbour.
    const int count = static_cast<int>(curve.GetPointCount());
    for (int i = 0; i < count; ++i) {
      EditorToolkit::EditablePoint& key = *curve.GetPointAt(static_cast<std::uint32_t>(i));
      const bool inBlock = first <= i && i <= last;
      if (!key.bHidden) {
        if (!key.bSelected && inBlock) key.bHidden = true;
        continue;
      }
      auto sharesFrame = [&](int j) {
        if (j < 0 || j >= count) return false;
        const EditorToolkit::EditablePoint& other = *curve.GetPointAt(static_cast<std::uint32_t>(j));
        return !other.bHidden && other.x == key.x;
      };
      key.bHidden = sharesFrame(i - 1) || sharesFrame(i + 1) || inBlock;
    }
  }
  ClearSelectionRange();
  UpdateSelectionRange();
}

void GUI_GraphCtrl::SetFalloff(bool on) {
  bFalloff = on;
  ComputeWeights();
}

void GUI_GraphCtrl::SetFalloffBefore(float frames) {
  fFalloffBefore = frames;
  ComputeWeights();
  Invalidate();
}

void GUI_GraphCtrl::SetFalloffAfter(float frames) {
  fFalloffAfter = frames;
  ComputeWeights();
  Invalidate();
}

bool GUI_GraphCtrl::OnEraseBkgnd(EditorCore::GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  GUI_BackBuffer buffer;
  // Without a buffer nothing is drawn this time, and the erase still counts as done.
  if (buffer.Create(dc, client)) {
    Paint(buffer, client.Width(), client.Height());
    buffer.Present(true, false);
  }
  return true;
}

void GUI_GraphCtrl::Paint(GUI_BackBuffer& buffer, int width, int height) {
  PaintBackground(buffer, width, height);
  PaintGrid(buffer, width, height);
  PaintCurves(buffer, width, height);
  PaintPoints(buffer, width, height);
  PaintOverlays(buffer, height);
}

void GUI_GraphCtrl::PaintBackground(GUI_BackBuffer& buffer, int width, int height) const {
  const COLORREF base = EditorCore::GUI_ThemeManager::GetColor(kBackgroundColourIndex);
  const COLORREF light = Lighter(base);
  buffer.Fill(base);
  if (!pHRuler || fSelectionBegin < 0.0f || fSelectionEnd < 0.0f) return;

  auto px = [this](double frame) { return pHRuler->ValueToPixel(frame); };
  if (bFalloff) {
    if (fFalloffBefore > 0.0f) {
      const CRect ramp(std::max(0, px(fSelectionBegin - fFalloffBefore)), 0, std::max(0, px(fSelectionBegin)), height);
      buffer.FillHGradient(ramp, base, light);
    }
    if (fFalloffAfter > 0.0f) {
      const CRect ramp(std::min(width, px(fSelectionEnd)), 0, std::min(width, px(fSelectionEnd + fFalloffAfter)),
                       height);
      buffer.FillHGradient(ramp, light, base);
    }
  }
  // A single selected frame would be a hairline; it gets one frame on each side.
  const bool single = fSelectionBegin == fSelectionEnd;
  const double begin = single ? fSelectionBegin - 1.0 : fSelectionBegin;
  const double end = single ? fSelectionEnd + 1.0 : fSelectionEnd;
  buffer.FillRect(CRect(std::max(0, px(begin)), 0, std::min(width, px(end)), height), light);
}

void GUI_GraphCtrl::PaintGrid(GUI_BackBuffer& buffer, int width, int height) const {
  if (!pHRuler || !pVRuler) return;
  buffer.SetPen(kMajorLine, 1, EditorCore::PS_SOLID);
  bool majorPen = true;
  ScanGraduations(buffer, *pHRuler, width, majorPen, [&](int i) {
    buffer.MoveTo(i, 0);
    buffer.LineTo(i, height);
  });
  ScanGraduations(buffer, *pVRuler, height, majorPen, [&](int r) {
    buffer.MoveTo(0, height - r);
    buffer.LineTo(width, height - r);
  });

  for (int i = 0; i < pHRuler->GetMarkerCount(); ++i) {
    const EditorCore::GUI_RulerMarker* marker = pHRuler->GetMarkerAt(i);
    if (!marker || !(marker->flags & kMarkerVisible)) continue;
    SetMarkerPen(buffer, *marker);
    const int x = std::max(0, pHRuler->ValueToPixel(marker->position));
    buffer.MoveTo(x, 1);
    buffer.LineTo(x, height - 1);
  }
  for (int i = 0; i < pVRuler->GetMarkerCount(); ++i) {
    const EditorCore::GUI_RulerMarker* marker = pVRuler->GetMarkerAt(i);
    if (!marker || !(marker->flags & kMarkerVisible)) continue;
    SetMarkerPen(buffer, *marker);
    const int y = height - std::max(0, pVRuler->ValueToPixel(marker->position));
    buffer.MoveTo(1, y);
    buffer.LineTo(width - 1, y);
  }
}

void GUI_GraphCtrl::PaintCurves(GUI_BackBuffer& buffer, int width, int height) {
  const int columns = std::max(0, width);
  if (iColumnPointCount != columns) {
    delete[] pColumnPoints;
    pColumnPoints = columns > 0 ? new CPoint[static_cast<std::size_t>(columns)] : nullptr;
    iColumnPointCount = columns;
  }
  if (!pHRuler || !pVRuler || !pColumnPoints) return;
  // Selected curves go last so that they lie on top.
  for (const bool selectedPass : {false, true}) {
    for (const CurveInfo* info : aCurves) {
      if (!info || info->bFiltered || info->bSelected != selectedPass) continue;
      if (!info->pCurve || info->pCurve->GetPointCount() == 0) continue;
      PaintCurve(buffer, *info, columns, height);
    }
  }
}

void GUI_GraphCtrl::PaintCurve(GUI_BackBuffer& buffer, const CurveInfo& info, int width, int height) {
  const EditorToolkit::Curve2& curve = *info.pCurve;
  const std::uint32_t count = curve.GetPointCount();
  buffer.SetPen(info.bSelected ? curve.GetSelectionColor() : curve.GetColor(), 2, EditorCore::PS_SOLID);
  const float xFirst = curve.GetPointAt(0)->x;
  const float xLast = curve.GetPointAt(count - 1)->x;
  // No segment known yet: the first evaluation searches, the next ones walk from the hint.
  std::uint32_t segment = std::numeric_limits<std::uint32_t>::max();
  int runStart = 0;
  int lastStored = -1;
  CPoint* points = pColumnPoints;
  for (int i = 0; i < width; ++i) {
    const float x = static_cast<float>(pHRuler->PixelToValue(i));
    if (x < xFirst) {
      runStart = i + 1;
      continue;
    }
    if (x > xLast) break;
    float y = 0.0f;
    if (!curve.EvaluatePoint(x, y, segment)) {
      if (segment < count) break;
      continue;
    }
    const int q = pVRuler->ValueToPixel(y);
    lastStored = i;
    if (q >= 0 && q <= height) {
      points[i] = CPoint(i, height - q);
      continue;
    }
    // Out of view: laid on the edge it left by, and the run ends there, so that two
    // consecutive out-of-view columns never draw a stroke along the edge.
    points[i] = CPoint(i, q < 0 ? height : 0);
    if (i - runStart > 1) buffer.Polyline(points + runStart, i - runStart + 1);
    runStart = i;
  }
  if (lastStored - runStart >= 1) buffer.Polyline(points + runStart, lastStored - runStart + 1);
}

void GUI_GraphCtrl::PaintPoints(GUI_BackBuffer& buffer, int width, int height) const {
  if (!pHRuler || !pVRuler) return;
  int step = 1;
  int major = 1;
  int offset = 0;
  pHRuler->GetGraduationDisplayInfo(step, major, offset);
  const double unit = pHRuler->GetUnitValue();
  // Outlines grow by a pixel while the frames are far enough apart for them not to merge.
  const int outline = (unit < 10.0 || (unit == 10.0 && step >= 8)) ? 3 : 2;
  buffer.SetPen(0, 1, EditorCore::PS_SOLID);
  for (const CurveInfo* info : aCurves) {
    if (!info || info->bFiltered || !info->pCurve) continue;
    const EditorToolkit::Curve2& curve = *info->pCurve;
    const COLORREF colour = curve.GetColor();
    if (info->bSelected) buffer.SetPen(curve.GetSelectionColor(), 1, EditorCore::PS_SOLID);
    for (std::uint32_t k = 0; k < curve.GetPointCount(); ++k) {
      const EditorToolkit::EditablePoint& point = *curve.GetPointAt(k);
      // Covered keys are skipped: a moving block has passed over them.
      if (point.bHidden) continue;
      const int x = pHRuler->ValueToPixel(point.x);
      if (x < 0 || x > width) continue;
      const int q = pVRuler->ValueToPixel(point.y);
      if (q < 0 || q > height) continue;
      const int y = height - q;
      if (!info->bSelected) {
        buffer.FillRect(CRect(x - 2, y - 2, x + 2, y + 2), colour);
        continue;
      }
      buffer.FillRect(CRect(x - 2, y - 2, x + 2, y + 2), ScaleColour(colour, point.weight * point.weight + 0.5f));
      if (point.bSelected) buffer.DrawRectangle(CRect(x - outline, y - outline, x + outline, y + outline));
    }
  }
}

void GUI_GraphCtrl::PaintOverlays(GUI_BackBuffer& buffer, int height) {
  const CRect& band = oRubberBand;
  aRubberBandOutline = {CPoint(band.left, band.top), CPoint(band.right, band.top), CPoint(band.right, band.bottom),
                        CPoint(band.left, band.bottom), CPoint(band.left, band.top)};
  if (HasCapture() && iDragState == 1) {
    buffer.SetBkMode(EditorCore::TRANSPARENT);
    buffer.SetPen(0, 1, EditorCore::PS_DOT);
    buffer.Polyline(aRubberBandOutline.data(), static_cast<int>(aRubberBandOutline.size()));
  }

  if (!pCurrentPoint || !pHRuler || !pVRuler) return;
  const EditorCore::GUI_RulerMarker* crossHair = FindMarker(*pHRuler, kCrossHairMarker);
  if (!crossHair || !(crossHair->flags & kMarkerVisible)) return;
  const int x = pHRuler->ValueToPixel(pCurrentPoint->x);
  const int y = height - pVRuler->ValueToPixel(pCurrentPoint->y);
  buffer.SetPen(crossHair->color, 1, EditorCore::PS_SOLID);
  buffer.DrawRectangle(CRect(x - 3, y - 3, x + 3, y + 3));
}

}  // namespace Tarvel
