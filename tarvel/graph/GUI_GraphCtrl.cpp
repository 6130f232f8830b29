#include "graph/GUI_GraphCtrl.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_set>
#include <utility>

#include "EditorCore/Color.h"
#include "EditorCore/GUI_BackBuffer.h"
#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EditorToolkit/EditorKernel.h"
#include "EditorToolkit/KeyManager.h"
#include "EngineCore/Log.h"
#include "graph/ColourContrast.h"
#include "graph/KeyHandles.h"
#include "graph/PixelMap.h"
#include "resources/KeyBindings.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleText.h"
#include "tools/KeyTools.h"

namespace Tarvel {

using EditorCore::COLORREF;
using EditorCore::CPoint;
using EditorCore::CRect;
using EditorCore::GUI_BackBuffer;
using EditorCore::GUI_RulerCtrl;

namespace {

COLORREF ScaleColour(COLORREF colour, float factor) {
  auto channel = [factor](int byte) { return std::min(255, static_cast<int>(static_cast<float>(byte) * factor)); };
  return EditorCore::RGB(channel(EditorCore::GetRValue(colour)), channel(EditorCore::GetGValue(colour)),
                         channel(EditorCore::GetBValue(colour)));
}

// Minor grid lines closer than this would hatch the view.
constexpr int kMinorSpacing = 8;

// One ruler's graduations as lines across the view, on the ruler's own ticks. line(i) draws
// the line at pixel i along the ruler. The pen state (major or minor colour) carries over
// from ruler to ruler.
template <typename DrawLine>
void ScanGraduations(GUI_BackBuffer& buffer, const GUI_RulerCtrl& ruler, int length, bool& majorPen, DrawLine line) {
  for (const EditorCore::GUI_RulerGraduation& graduation : ruler.GetGraduations(length, kMinorSpacing)) {
    if (graduation.major != majorPen) {
      buffer.SetPen(graduation.major ? Ids::kColourMajorLine : Ids::kColourMinorLine, 1, EditorCore::PS_SOLID);
      majorPen = graduation.major;
    }
    if (graduation.major && graduation.value == 0.0) {
      buffer.SetPen(Ids::kColourZeroLine, 1, EditorCore::PS_SOLID);
      line(graduation.pixel);
      buffer.SetPen(Ids::kColourMajorLine, 1, EditorCore::PS_SOLID);
    } else {
      line(graduation.pixel);
    }
  }
}

// Runs paint once per area, with the buffer clipped to it.
template <typename Paint>
void InEachArea(GUI_BackBuffer& buffer, const std::vector<CRect>& areas, Paint&& paint) {
  for (const CRect& area : areas) {
    buffer.SetClipRect(area);
    paint();
  }
  buffer.ClearClipRect();
}

const EditorCore::GUI_RulerMarker* FindMarker(const GUI_RulerCtrl& ruler, int id) {
  for (int i = 0; i < ruler.GetMarkerCount(); ++i) {
    const EditorCore::GUI_RulerMarker* marker = ruler.GetMarkerAt(i);
    if (marker && marker->id == id) return marker;
  }
  return nullptr;
}

void SetMarkerPen(GUI_BackBuffer& buffer, const EditorCore::GUI_RulerMarker& marker) {
  buffer.SetPen(marker.color, 1, (marker.flags & Ids::kMarkerSolid) ? EditorCore::PS_SOLID : EditorCore::PS_DOT);
}

}  // namespace

GUI_GraphCtrl::GUI_GraphCtrl(CurveSelection& shownCurves) : curves(shownCurves), editor(shownCurves, *this) {}

GUI_GraphCtrl::~GUI_GraphCtrl() = default;

bool GUI_GraphCtrl::Create(EditorCore::GUI_Wnd* parent, EditorCore::UINT id) {
  if (!CreateChild(parent, id, CRect(), EditorCore::WS_CHILD | EditorCore::WS_VISIBLE)) return false;
  SetWindowText("GUI_GraphCtrl");
  SetCursor(EditorCore::GUI_ThemeManager::GetCursor(Ids::kThemeCursorArrow));
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
  bool ready = true;
  for (int id : {Ids::kMarkerSelectionBegin, Ids::kMarkerSelectionEnd, Ids::kMarkerCrossHair, Ids::kMarkerTimeCursor}) {
    ready = pHRuler->AddMarker(id) && ready;
  }
  ready = pVRuler->AddMarker(Ids::kMarkerCrossHair) && ready;
  ready = pHRuler->SetMarkerColor(Ids::kMarkerSelectionBegin, Ids::kColourSelectionMarker) && ready;
  ready = pHRuler->SetMarkerColor(Ids::kMarkerSelectionEnd, Ids::kColourSelectionMarker) && ready;
  ready = pHRuler->SetMarkerColor(Ids::kMarkerCrossHair, Ids::kColourCrossHair) && ready;
  ready = pHRuler->SetMarkerColor(Ids::kMarkerTimeCursor, Ids::kColourTimeCursor) && ready;
  ready = pVRuler->SetMarkerColor(Ids::kMarkerCrossHair, Ids::kColourCrossHair) && ready;
  ready = pHRuler->ShowMarker(Ids::kMarkerSelectionBegin, false) && ready;
  ready = pHRuler->ShowMarker(Ids::kMarkerSelectionEnd, false) && ready;
  ready = pHRuler->ShowMarker(Ids::kMarkerCrossHair, false) && ready;
  // The time cursor is always shown, as a solid line.
  ready = pHRuler->SetMarkerAttributes(Ids::kMarkerTimeCursor, Ids::kMarkerVisible | Ids::kMarkerSolid, 0) && ready;
  ready = pVRuler->ShowMarker(Ids::kMarkerCrossHair, false) && ready;
  if (!ready) EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the graph's rulers refused their markers");
}

void GUI_GraphCtrl::ComputeCurvesBounds() {
  bool first = true;
  oCurvesBounds = CRect();
  for (CurveInfo* info : curves.GetCurves()) {
    if (info->bFiltered) continue;
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
  FitBox(oCurvesBounds.left, oCurvesBounds.right, oCurvesBounds.top, oCurvesBounds.bottom);
}

void GUI_GraphCtrl::FrameSelection() {
  double box[2][2] = {{0.0, 0.0}, {0.0, 0.0}};
  bool found = false;
  auto take = [&](const EditorToolkit::EditablePoint& point) {
    const double at[2] = {point.x, point.y};
    for (int axis = 0; axis < 2; ++axis) {
      box[axis][0] = found ? std::min(box[axis][0], at[axis]) : at[axis];
      box[axis][1] = found ? std::max(box[axis][1], at[axis]) : at[axis];
    }
    found = true;
  };
  // The selected keys of the selected curves; without any, the selected curves whole.
  for (const bool keysOnly : {true, false}) {
    for (const CurveInfo* info : curves.GetCurves()) {
      if (info->bFiltered || !info->bSelected) continue;
      for (std::uint32_t i = 0; i < info->pCurve->GetPointCount(); ++i) {
        const EditorToolkit::EditablePoint& point = *info->pCurve->GetPointAt(i);
        if (!keysOnly || point.bSelected) take(point);
      }
    }
    if (found) break;
  }
  if (!found) {
    FitAll();
    return;
  }
  FitBox(box[0][0], box[0][1], box[1][0], box[1][1]);
}

void GUI_GraphCtrl::FitBox(double firstFrame, double lastFrame, double lowest, double highest) {
  // A margin of five frames and ten values on each side, so that keys on the edges stay clear
  // of them.
  if (pHRuler) pHRuler->Fit((firstFrame + lastFrame) * 0.5, (lastFrame - firstFrame) + 10.0);
  if (pVRuler) pVRuler->Fit((lowest + highest) * 0.5, (highest - lowest) + 20.0);
}

bool GUI_GraphCtrl::CanMap() const { return pHRuler && pVRuler; }

double GUI_GraphCtrl::FrameAtColumn(int x) const { return pHRuler ? pHRuler->PixelToValue(x) : 0.0; }

double GUI_GraphCtrl::ValueAtRow(int y) const { return pVRuler ? pVRuler->PixelToValue(ClientHeight() - y) : 0.0; }

int GUI_GraphCtrl::ColumnOfFrame(double frame) const { return pHRuler ? pHRuler->ValueToPixel(frame) : 0; }

int GUI_GraphCtrl::RowOfValue(double value) const {
  return ClientHeight() - (pVRuler ? pVRuler->ValueToPixel(value) : 0);
}

double GUI_GraphCtrl::GetValueUnit() const { return pVRuler ? pVRuler->GetUnitValue() : 1.0; }

void GUI_GraphCtrl::ShowSelectionMarkers(bool shown, float begin, float end) {
  if (!pHRuler) return;
  if (shown) {
    pHRuler->SetMarkerPosition(Ids::kMarkerSelectionBegin, begin, true);
    pHRuler->SetMarkerPosition(Ids::kMarkerSelectionEnd, end, true);
  }
  pHRuler->ShowMarker(Ids::kMarkerSelectionBegin, shown);
  pHRuler->ShowMarker(Ids::kMarkerSelectionEnd, shown);
}

void GUI_GraphCtrl::ShowCrossHair(bool shown) {
  if (pHRuler) pHRuler->ShowMarker(Ids::kMarkerCrossHair, shown);
  if (pVRuler) pVRuler->ShowMarker(Ids::kMarkerCrossHair, shown);
}

void GUI_GraphCtrl::PlaceCrossHair(float frame, float value) {
  if (pHRuler) pHRuler->SetMarkerPosition(Ids::kMarkerCrossHair, frame, true);
  if (pVRuler) pVRuler->SetMarkerPosition(Ids::kMarkerCrossHair, value, true);
}

void GUI_GraphCtrl::Notify(int code) {
  NotifyParent(code);
  Invalidate();
}

int GUI_GraphCtrl::ClientHeight() const {
  CRect client;
  GetClientRect(client);
  return client.Height();
}

void GUI_GraphCtrl::SetDragCursor() {
  int index = Ids::kThemeCursorArrow;
  switch (editor.iDragState) {
    case GraphEditor::kDragValues: index = Ids::kThemeCursorValues; break;
    case GraphEditor::kDragFrames: index = Ids::kThemeCursorFrames; break;
    case GraphEditor::kDragBoth: index = Ids::kThemeCursorBoth; break;
    default: break;
  }
  SetCursor(EditorCore::GUI_ThemeManager::GetCursor(index));
}

void GUI_GraphCtrl::OnLButtonDown(EditorCore::UINT flags, CPoint point) {
  CRect client;
  GetClientRect(client);
  if (client.PtInRect(point)) {
    SetCapture();
    const bool control = (flags & EditorCore::MK_CONTROL) != 0 || GUI_Wnd::IsKeyDown(EditorCore::VK_CONTROL);
    const bool shift = EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->ShiftKeyPressed();
    editor.Press(point, control, shift);
    SetDragCursor();
    Invalidate();
  }
  SetFocus();
}

void GUI_GraphCtrl::OnMouseMove(EditorCore::UINT, CPoint point) {
  if (bPanning || !HasCapture()) return;
  const std::uint8_t before = editor.iDragState;
  editor.Move(point, EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->ShiftKeyPressed());
  if (editor.iDragState != before) SetDragCursor();
  Invalidate();
}

void GUI_GraphCtrl::OnLButtonUp(EditorCore::UINT, CPoint point) {
  CRect client;
  GetClientRect(client);
  editor.Release(point, client.PtInRect(point));
  if (HasCapture()) ReleaseCapture();
  SetCursor(EditorCore::GUI_ThemeManager::GetCursor(Ids::kThemeCursorArrow));
  Invalidate();
  SetFocus();
}

void GUI_GraphCtrl::OnMButtonDown(EditorCore::UINT, CPoint point) {
  CRect client;
  GetClientRect(client);
  if (client.PtInRect(point)) {
    editor.StopGesture();
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

void GUI_GraphCtrl::AppendTangentTypes(EditorCore::GUI_Menu& menu, EditorCore::UINT firstCommand, bool withKeys) {
  for (int type = 0; type < EngineCore::kTangentTypeCount; ++type) {
    const std::string text =
        ModuleText::Translate(KeyTools::TangentTypeName(static_cast<EngineCore::TangentType>(type)));
    const EditorCore::UINT command = firstCommand + static_cast<EditorCore::UINT>(type);
    menu.AppendMenu(EditorCore::MF_STRING, command, withKeys ? text + KeyBindings::MenuSuffix(command) : text);
  }
}

void GUI_GraphCtrl::OnRButtonDown(EditorCore::UINT, CPoint point) {
  SetFocus();
  if (bPanning || HasCapture() || !editor.PickForMenu(point)) return;
  Invalidate();
  keyMenu = std::make_unique<EditorCore::GUI_Menu>();
  if (!keyMenu->CreatePopupMenu()) return;
  AppendTangentTypes(*keyMenu, Ids::kCmdSelectionTangents, true);
  ClientToScreen(point);
  keyMenu->TrackPopupMenu(EditorCore::TPM_RIGHTBUTTON, point.x, point.y, this);
}

bool GUI_GraphCtrl::OnCommand(EditorCore::UINT id) {
  GUI_Wnd* panel = GetParent();
  return panel && panel->OnCommand(id);
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

bool GUI_GraphCtrl::OnEraseBkgnd(EditorCore::GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  // Without a buffer nothing is drawn this time, and the erase still counts as done. The
  // buffer keeps the last picture, so that a drag draws again only what it changed.
  if (backBuffer.Create(dc, client)) {
    PaintChanges(backBuffer, client.Width(), client.Height());
    backBuffer.Present(true, false);
  }
  return true;
}

bool GUI_GraphCtrl::PaintChanges(GUI_BackBuffer& buffer, int width, int height) {
  if (!pHRuler || !pVRuler) {
    Paint(buffer, width, height);
    painted = Picture();
    return false;
  }
  Picture now = Capture(buffer, width, height);
  std::vector<CRect> areas;
  const bool partial = FindChanges(now, areas);
  if (partial) {
    PaintAreas(buffer, width, height, areas);
  } else {
    Paint(buffer, width, height);
  }
  painted = std::move(now);
  return partial;
}

GUI_GraphCtrl::Picture GUI_GraphCtrl::Capture(const GUI_BackBuffer& buffer, int width, int height) const {
  Picture now;
  Scene& scene = now.scene;
  scene.imageId = buffer.GetImageId();
  scene.width = width;
  scene.height = height;
  scene.frames = PixelMap(*pHRuler);
  scene.values = PixelMap(*pVRuler);
  scene.grounds = {EditorCore::GUI_ThemeManager::GetColor(Ids::kThemeGraphBackground),
                   EditorCore::GUI_ThemeManager::GetColor(Ids::kThemeGraphSelection)};
  scene.selectionBand = SelectionBand();
  scene.frameGrid = pHRuler->GetGraduations(width, kMinorSpacing);
  scene.valueGrid = pVRuler->GetGraduations(height, kMinorSpacing);
  for (int i = 0; i < pHRuler->GetMarkerCount(); ++i) {
    if (const EditorCore::GUI_RulerMarker* marker = pHRuler->GetMarkerAt(i)) scene.frameMarkers.push_back(*marker);
  }
  for (int i = 0; i < pVRuler->GetMarkerCount(); ++i) {
    const EditorCore::GUI_RulerMarker* marker = pVRuler->GetMarkerAt(i);
    if (!marker) continue;
    scene.valueMarkers.push_back(*marker);
    if (marker->id != Ids::kMarkerCrossHair) continue;
    scene.valueMarkers.back().position = 0.0;
    if (marker->flags & Ids::kMarkerVisible)
      now.crossHairRow = height - std::max(0, pVRuler->ValueToPixel(marker->position));
  }
  scene.keyOutline = KeyOutline();
  for (const CurveInfo* info : curves.GetCurves()) {
    if (!info || info->bFiltered || !info->pCurve || info->pCurve->GetPointCount() == 0) continue;
    const EditorToolkit::Curve2& curve = *info->pCurve;
    scene.shown.push_back({&curve, info, curve.GetId(), curve.GetSelectionRevision(), info->bSelected, curve.GetColor(),
                           curve.GetSelectionColor()});
    now.revisions.push_back(curve.GetRevision());
    now.sleeveColumns.push_back(SleeveColumns(*info, width));
  }
  scene.rubberBandShown = HasCapture() && editor.iDragState == GraphEditor::kDragRubberBand;
  if (scene.rubberBandShown) scene.rubberBand = editor.oRubberBand;
  now.currentKeyBox = CurrentKeyBox(height);
  return now;
}

bool GUI_GraphCtrl::FindChanges(const Picture& now, std::vector<CRect>& areas) const {
  const Scene& scene = now.scene;
  const Scene& before = painted.scene;
  // The selection band and the frame markers may have moved, as they follow a frame drag;
  // anything else repaints the whole graph.
  bool sameMarkers = scene.frameMarkers.size() == before.frameMarkers.size();
  for (std::size_t i = 0; sameMarkers && i < scene.frameMarkers.size(); ++i) {
    EditorCore::GUI_RulerMarker placed = before.frameMarkers[i];
    placed.position = scene.frameMarkers[i].position;
    sameMarkers = placed == scene.frameMarkers[i];
  }
  if (!sameMarkers) return false;
  {
    Scene moved = before;
    moved.selectionBand = scene.selectionBand;
    moved.frameMarkers = scene.frameMarkers;
    if (!(scene == moved)) return false;
  }
  if (scene.selectionBand != before.selectionBand) {
    // Both bands whole, ramps included: a ramp's gradient follows its band.
    BandColumns was;
    BandColumns is;
    const bool wasShown = FindBandColumns(before.selectionBand, scene.width, was);
    const bool isShown = FindBandColumns(scene.selectionBand, scene.width, is);
    if (wasShown || isShown) {
      const int left = std::min(wasShown ? was.rampLeft : is.rampLeft, isShown ? is.rampLeft : was.rampLeft);
      const int right = std::max(wasShown ? was.rampRight : is.rampRight, isShown ? is.rampRight : was.rampRight);
      if (left < right) areas.emplace_back(left, 0, right, scene.height);
    }
  }
  for (std::size_t i = 0; i < scene.frameMarkers.size(); ++i) {
    if (scene.frameMarkers[i].position == before.frameMarkers[i].position) continue;
    // A marker is a line one column wide, at its old place and at its new one.
    for (const double position : {before.frameMarkers[i].position, scene.frameMarkers[i].position}) {
      const int x = std::max(0, pHRuler->ValueToPixel(position));
      if (x < scene.width) areas.emplace_back(x, 0, x + 1, scene.height);
    }
  }
  int first = std::numeric_limits<int>::max();
  int last = std::numeric_limits<int>::min();
  for (std::size_t i = 0; i < scene.shown.size(); ++i) {
    // A sleeve that grew or shrank is drawn again where it was and where it is.
    if (i < painted.sleeveColumns.size() && now.sleeveColumns[i] != painted.sleeveColumns[i]) {
      for (const auto& [left, right] : {painted.sleeveColumns[i], now.sleeveColumns[i]}) {
        if (left <= right) areas.emplace_back(std::max(0, left), 0, std::min(scene.width, right + 1), scene.height);
      }
    }
    if (now.revisions[i] == painted.revisions[i]) continue;
    const auto edit = keyEdits.find(scene.shown[i].curve);
    if (edit == keyEdits.end()) return false;
    const CurveTrace::KeyEdit& moved = edit->second;
    if (moved.curveId != scene.shown[i].id || moved.before != painted.revisions[i] || moved.after != now.revisions[i]) {
      return false;
    }
    // A rotation's curves change up to its track's keys around the edit.
    float firstFrame = moved.firstFrame;
    float lastFrame = moved.lastFrame;
    if (const CurveInfo* info = scene.shown[i].info) {
      CurveTrace::ReachTrackKeys(CurveTrace::ShapedBy(*scene.shown[i].curve, info), firstFrame, lastFrame);
    }
    first = std::min(first, scene.frames.Pixel(firstFrame));
    last = std::max(last, scene.frames.Pixel(lastFrame));
  }
  // The pens and key boxes of the moved keys reach this many columns beside them.
  constexpr int kReach = CurveTrace::kWidestPen;
  // The moved columns, whole.
  const CRect moved = first <= last ? CRect(first - kReach, 0, last + kReach + 1, scene.height) : CRect();
  if (!moved.IsRectEmpty()) areas.push_back(moved);
  if (now.crossHairRow != painted.crossHairRow) {
    // Each row alone, beside the moved columns: a narrow strip meets few of the curves'
    // column bands.
    for (const int row : {painted.crossHairRow, now.crossHairRow}) {
      if (row < 0) continue;
      if (moved.IsRectEmpty()) {
        areas.emplace_back(0, row, scene.width, row + 1);
        continue;
      }
      if (moved.left > 0) areas.emplace_back(0, row, moved.left, row + 1);
      if (moved.right < scene.width) areas.emplace_back(moved.right, row, scene.width, row + 1);
    }
  }
  if (now.currentKeyBox != painted.currentKeyBox) {
    for (const CRect& box : {painted.currentKeyBox, now.currentKeyBox}) {
      if (!box.IsRectEmpty()) areas.push_back(box);
    }
  }
  MergeColumnAreas(areas, scene.height);
  return true;
}

void GUI_GraphCtrl::MergeColumnAreas(std::vector<CRect>& areas, int height) {
  // A frame drag moves every selected curve's sleeve: hundreds of column ranges, mostly
  // overlapping, that each layer would otherwise visit one by one.
  const auto whole = [height](const CRect& area) { return area.top <= 0 && area.bottom >= height; };
  const auto split = std::stable_partition(areas.begin(), areas.end(), [&whole](const CRect& a) { return !whole(a); });
  std::sort(split, areas.end(), [](const CRect& a, const CRect& b) { return a.left < b.left; });
  auto merged = split;
  for (auto area = split; area != areas.end(); ++area) {
    if (merged != split && area->left <= (merged - 1)->right) {
      (merged - 1)->right = std::max((merged - 1)->right, area->right);
    } else {
      *merged++ = *area;
    }
  }
  areas.erase(merged, areas.end());
}

int GUI_GraphCtrl::KeyOutline() const {
  int step = 1;
  int major = 1;
  int offset = 0;
  pHRuler->GetGraduationDisplayInfo(step, major, offset);
  const double unit = pHRuler->GetUnitValue();
  // Outlines grow by a pixel while the frames are far enough apart for them not to merge.
  return (unit < 10.0 || (unit == 10.0 && step >= 8)) ? 3 : 2;
}

CRect GUI_GraphCtrl::CurrentKeyBox(int height) const {
  const EditorToolkit::EditablePoint* current = editor.CurrentPoint();
  if (!current || !pHRuler || !pVRuler) return CRect();
  const EditorCore::GUI_RulerMarker* crossHair = FindMarker(*pHRuler, Ids::kMarkerCrossHair);
  if (!crossHair || !(crossHair->flags & Ids::kMarkerVisible)) return CRect();
  const int x = pHRuler->ValueToPixel(current->x);
  const int y = height - pVRuler->ValueToPixel(current->y);
  return CRect(x - 3, y - 3, x + 3, y + 3);
}

void GUI_GraphCtrl::Paint(GUI_BackBuffer& buffer, int width, int height) {
  PaintAreas(buffer, width, height, {CRect(0, 0, width, height)});
}

void GUI_GraphCtrl::PaintAreas(GUI_BackBuffer& buffer, int width, int height, const std::vector<CRect>& areas) {
  // Each area gets every layer in order; where areas overlap, a layer draws the same pixels
  // again, before the next layer. The curves' layer draws the ground under them.
  PaintCurves(buffer, width, height, areas);
  PaintPoints(buffer, width, height, areas);
  InEachArea(buffer, areas, [&] { PaintOverlays(buffer, height); });
}

void GUI_GraphCtrl::PaintGround(GUI_BackBuffer& buffer, int width, int height, const std::vector<CRect>& areas) const {
  InEachArea(buffer, areas, [&] {
    PaintBackground(buffer, width, height);
    PaintGrid(buffer, width, height);
  });
}

std::array<float, 4> GUI_GraphCtrl::SelectionBand() const {
  return {curves.fSelectionBegin, curves.fSelectionEnd, editor.bFalloff ? editor.fFalloffBefore : 0.0f,
          editor.bFalloff ? editor.fFalloffAfter : 0.0f};
}

bool GUI_GraphCtrl::FindBandColumns(const std::array<float, 4>& band, int width, BandColumns& columns) const {
  const auto [begin, end, before, after] = band;
  if (!pHRuler || begin < 0.0f || end < 0.0f) return false;
  auto px = [this, width](double frame) { return std::clamp(pHRuler->ValueToPixel(frame), 0, width); };
  // A single selected frame would be a hairline; it gets one frame on each side.
  const bool single = begin == end;
  columns.left = px(single ? begin - 1.0 : begin);
  columns.right = px(single ? end + 1.0 : end);
  columns.rampLeft = before > 0.0f ? px(begin - before) : columns.left;
  columns.rampRight = after > 0.0f ? px(end + after) : columns.right;
  return true;
}

void GUI_GraphCtrl::PaintBackground(GUI_BackBuffer& buffer, int width, int height) const {
  const COLORREF base = EditorCore::GUI_ThemeManager::GetColor(Ids::kThemeGraphBackground);
  const COLORREF light = EditorCore::GUI_ThemeManager::GetColor(Ids::kThemeGraphSelection);
  const std::array<float, 4> band = SelectionBand();
  BandColumns columns;
  if (!FindBandColumns(band, width, columns)) {
    buffer.Fill(base);
    return;
  }
  const auto [begin, end, before, after] = band;
  auto px = [this, width](double frame) { return std::clamp(pHRuler->ValueToPixel(frame), 0, width); };
  // The ground where the band and its ramps leave it, so that each pixel is written once.
  buffer.FillRect(CRect(0, 0, std::min(columns.left, columns.rampLeft), height), base);
  buffer.FillRect(CRect(std::max(columns.right, columns.rampRight), 0, width, height), base);
  if (before > 0.0f) buffer.FillHGradient(CRect(columns.rampLeft, 0, px(begin), height), base, light);
  if (after > 0.0f) buffer.FillHGradient(CRect(px(end), 0, columns.rampRight, height), light, base);
  buffer.FillRect(CRect(columns.left, 0, columns.right, height), light);
}

void GUI_GraphCtrl::PaintGrid(GUI_BackBuffer& buffer, int width, int height) const {
  if (!pHRuler || !pVRuler) return;
  buffer.SetPen(Ids::kColourMajorLine, 1, EditorCore::PS_SOLID);
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
    if (!marker || !(marker->flags & Ids::kMarkerVisible)) continue;
    SetMarkerPen(buffer, *marker);
    const int x = std::max(0, pHRuler->ValueToPixel(marker->position));
    buffer.MoveTo(x, 1);
    buffer.LineTo(x, height - 1);
  }
  for (int i = 0; i < pVRuler->GetMarkerCount(); ++i) {
    const EditorCore::GUI_RulerMarker* marker = pVRuler->GetMarkerAt(i);
    if (!marker || !(marker->flags & Ids::kMarkerVisible)) continue;
    SetMarkerPen(buffer, *marker);
    const int y = height - std::max(0, pVRuler->ValueToPixel(marker->position));
    buffer.MoveTo(1, y);
    buffer.LineTo(width - 1, y);
  }
}

void GUI_GraphCtrl::PaintCurves(GUI_BackBuffer& buffer, int width, int height, const std::vector<CRect>& areas) {
  if (!pHRuler || !pVRuler || width <= 0) return;
  const COLORREF ground = EditorCore::GUI_ThemeManager::GetColor(Ids::kThemeGraphBackground);
  const COLORREF band = EditorCore::GUI_ThemeManager::GetColor(Ids::kThemeGraphSelection);
  strokes.clear();
  // A colour too close to the grounds is drawn on a dark casing. Curves share a few colours:
  // each one's contrast is worked out once.
  std::vector<std::pair<COLORREF, bool>> casedColours;
  auto isCased = [&](COLORREF colour) {
    for (const auto& [known, cased] : casedColours) {
      if (known == colour) return cased;
    }
    const bool cased =
        std::min(ColourContrast::Ratio(colour, ground), ColourContrast::Ratio(colour, band)) < Ids::kCurveContrast;
    casedColours.emplace_back(colour, cased);
    return cased;
  };
  // Selected curves go last so that they lie on top.
  for (const bool selectedPass : {false, true}) {
    for (const CurveInfo* info : curves.GetCurves()) {
      if (!info || info->bFiltered || info->bSelected != selectedPass) continue;
      if (!info->pCurve || info->pCurve->GetPointCount() == 0) continue;
      const COLORREF colour = info->bSelected ? info->pCurve->GetSelectionColor() : info->pCurve->GetColor();
      strokes.push_back({info->pCurve.get(), info, colour, isCased(colour), nullptr, nullptr, nullptr});
    }
  }
  // Traces are kept for the curves drawn only.
  std::unordered_set<const EditorToolkit::Curve2*> drawn;
  for (const Stroke& stroke : strokes) drawn.insert(stroke.curve);
  std::erase_if(traces, [&drawn](const auto& entry) { return !drawn.count(entry.first); });
  for (Stroke& stroke : strokes) stroke.trace = &traces[stroke.curve];
  strokeOf.clear();
  for (const Stroke& stroke : strokes) strokeOf[stroke.info] = &stroke;

  PaintGround(buffer, width, height, areas);
  TraceStrokes(width, height);
  FillStrokes(buffer, width, areas);
  keyEdits.clear();
}

void GUI_GraphCtrl::TraceStrokes(int width, int height) {
  const PixelMap frames(*pHRuler);
  const PixelMap values(*pVRuler);
  for (Stroke& stroke : strokes) {
    stroke.casing = nullptr;
    stroke.line = nullptr;
    const CurveTrace::Shapers shapers = CurveTrace::ShapedBy(*stroke.curve, stroke.info);
    CurveTrace::Edits edits{};
    for (std::size_t c = 0; c < edits.size(); ++c) {
      const auto edit = shapers[c] ? keyEdits.find(shapers[c]) : keyEdits.end();
      edits[c] = edit == keyEdits.end() ? nullptr : &edit->second;
    }
    if (!stroke.trace->Trace(*stroke.curve, frames, values, 0, width, edits, stroke.info)) continue;
    if (stroke.cased) stroke.casing = &stroke.trace->Spans(4, height);
    stroke.line = &stroke.trace->Spans(2, height);
  }
}

void GUI_GraphCtrl::NoteKeyEdit(const EditorToolkit::Curve2& curve, std::uint64_t before, float firstFrame,
                                float lastFrame) {
  const CurveTrace::KeyEdit edit{curve.GetId(), before, curve.GetRevision(), firstFrame, lastFrame};
  const auto [known, added] = keyEdits.try_emplace(&curve, edit);
  if (added) return;
  CurveTrace::KeyEdit& pending = known->second;
  if (pending.curveId == edit.curveId && pending.after == before) {
    // The edits follow each other: together they changed the union of their frames.
    pending.after = edit.after;
    pending.firstFrame = std::min(pending.firstFrame, firstFrame);
    pending.lastFrame = std::max(pending.lastFrame, lastFrame);
  } else {
    pending = edit;
  }
}

void GUI_GraphCtrl::FillStrokes(GUI_BackBuffer& buffer, int width, const std::vector<CRect>& areas) {
  // A band of columns at a time, every stroke in order: a band's pixels stay in the cache while
  // all the curves cross it.
  constexpr int kBand = CurveTrace::kBandColumns;
  // Rows of an area below which drawing hidden strokes costs less than finding them: the
  // cross-hair's rows are drawn again in strips of one.
  constexpr int kRowsWorthALook = 32;
  for (const CRect& whole : areas) {
    const CRect area(std::max(whole.left, 0), whole.top, std::min(whole.right, width), whole.bottom);
    for (int band = area.left / kBand * kBand; band < area.right; band += kBand) {
      const std::size_t index = static_cast<std::size_t>(band / kBand);
      const std::size_t at = static_cast<std::size_t>(band);
      const int count = std::min(kBand, width - band);
      if (area.Height() >= kRowsWorthALook) {
        FindHiddenStrokes(index, at, count);
      } else {
        hidden.assign(strokes.size(), 0);
      }
      for (std::size_t s = 0; s < strokes.size(); ++s) {
        const Stroke& stroke = strokes[s];
        const CurveTrace::SpanList* line = stroke.line;
        if (!line || hidden[s]) continue;
        const CurveTrace::SpanList* casing = stroke.casing;
        if (casing && casing->Reaches(index, area.top, area.bottom)) {
          buffer.FillColumnSpans(band, casing->tops.data() + at, casing->bottoms.data() + at, count,
                                 Ids::kColourCurveCasing, area, line->tops.data() + at, line->bottoms.data() + at,
                                 stroke.colour);
        } else if (line->Reaches(index, area.top, area.bottom)) {
          buffer.FillColumnSpans(band, line->tops.data() + at, line->bottoms.data() + at, count, stroke.colour, area);
        }
      }
    }
  }
}

void GUI_GraphCtrl::FindHiddenStrokes(std::size_t band, std::size_t at, int count) {
  hidden.assign(strokes.size(), 0);
  // A table at most half full, its entries of other bands told apart by their generation.
  std::size_t size = 64;
  while (size < 2 * strokes.size()) size *= 2;
  if (bandRows.size() != size) {
    bandRows.assign(size, BandRows());
    bandGeneration = 0;
  }
  if (++bandGeneration == 0) {
    std::fill(bandRows.begin(), bandRows.end(), BandRows());
    bandGeneration = 1;
  }
  const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(int);
  auto outer = [this](std::size_t s) { return strokes[s].casing ? strokes[s].casing : strokes[s].line; };
  for (std::size_t s = strokes.size(); s-- > 0;) {
    const CurveTrace::SpanList* spans = outer(s);
    if (!spans) continue;
    // Strokes that span the same rows have the same first and last row in the band.
    const std::uint64_t rows = (std::uint64_t{static_cast<std::uint32_t>(spans->bandTops[band])} << 32) |
                               static_cast<std::uint32_t>(spans->bandBottoms[band]);
    std::size_t slot = static_cast<std::size_t>((rows * 0x9E3779B97F4A7C15ull) >> 40) & (size - 1);
    while (bandRows[slot].generation == bandGeneration && bandRows[slot].rows != rows) slot = (slot + 1) & (size - 1);
    BandRows& entry = bandRows[slot];
    if (entry.generation != bandGeneration) {
      entry = {rows, static_cast<std::uint32_t>(s), bandGeneration};
      continue;
    }
    const CurveTrace::SpanList* later = outer(entry.stroke);
    hidden[s] = std::memcmp(spans->tops.data() + at, later->tops.data() + at, bytes) == 0 &&
                std::memcmp(spans->bottoms.data() + at, later->bottoms.data() + at, bytes) == 0;
  }
}

void GUI_GraphCtrl::PaintPoints(GUI_BackBuffer& buffer, int width, int height, const std::vector<CRect>& areas) const {
  if (!pHRuler || !pVRuler) return;
  const int outline = KeyOutline();
  const PixelMap column(*pHRuler);
  const PixelMap row(*pVRuler);
  buffer.SetPen(0, 1, EditorCore::PS_SOLID);
  for (const CurveInfo* info : curves.GetCurves()) {
    if (!info || info->bFiltered || !info->pCurve || info->pCurve->GetPointCount() == 0) continue;
    const EditorToolkit::Curve2& curve = *info->pCurve;
    int first = 0;
    int last = 0;
    bool dense = false;
    if (!KeysInView(curve, width, first, last, dense)) continue;
    const int count = static_cast<int>(curve.GetPointCount());
    if (dense) {
      if (info->bSelected) PaintDenseSelection(buffer, *info, first, last, areas);
      continue;
    }
    const COLORREF colour = curve.GetColor();
    if (info->bSelected) buffer.SetPen(Ids::kColourSelectedKey, 1, EditorCore::PS_SOLID);
    for (const CRect& clip : areas) {
      buffer.SetClipRect(clip);
      // Of those, the keys whose boxes reach into the area.
      const int clipFirst =
          std::max(first, curve.SearchPreviousPoint(static_cast<float>(column.ValueAt(clip.left - 4.0))));
      const int clipLast =
          std::min(last, curve.SearchPreviousPoint(static_cast<float>(column.ValueAt(clip.right + 4.0))) + 1);
      for (int k = clipFirst; k <= clipLast; ++k) {
        const EditorToolkit::EditablePoint& point = *curve.GetPointAt(static_cast<std::uint32_t>(k));
        // Covered keys are skipped: a moving block has passed over them.
        if (point.bHidden) continue;
        const int x = column.Pixel(point.x);
        if (x < 0 || x > width) continue;
        const int q = row.Pixel(point.y);
        if (q < 0 || q > height) continue;
        const int y = height - q;
        if (y + outline < clip.top || y - outline >= clip.bottom) continue;
        if (!info->bSelected) {
          buffer.FillRect(CRect(x - 2, y - 2, x + 2, y + 2), colour);
          continue;
        }
        buffer.FillRect(CRect(x - 2, y - 2, x + 2, y + 2), ScaleColour(colour, point.weight * point.weight + 0.5f));
        if (point.bSelected) buffer.DrawRectangle(CRect(x - outline, y - outline, x + outline, y + outline));
      }
      if (info->bSelected && KeyHandles::Has(*info)) {
        // A handle reaches a third of the way to the next key: the keys beside the area's
        // may hold one that reaches into it.
        PaintHandles(buffer, *info, std::max(0, clipFirst - 1), std::min(count - 1, clipLast + 1), height);
      }
    }
  }
  buffer.ClearClipRect();
}

bool GUI_GraphCtrl::KeysInView(const EditorToolkit::Curve2& curve, int width, int& first, int& last,
                               bool& dense) const {
  const int count = static_cast<int>(curve.GetPointCount());
  if (count == 0) return false;
  const PixelMap column(*pHRuler);
  // A curve whose keys all lie in view, as after fitting, needs no search.
  const float left = static_cast<float>(column.ValueAt(-3.0));
  const float right = static_cast<float>(column.ValueAt(width + 3.0));
  first = curve.GetPointAt(0)->x > left ? 0 : std::max(0, curve.SearchPreviousPoint(left));
  last = curve.GetPointAt(static_cast<std::uint32_t>(count - 1))->x <= right
             ? count - 1
             : std::min(count - 1, curve.SearchPreviousPoint(right) + 1);
  const int spread = column.Pixel(curve.GetPointAt(static_cast<std::uint32_t>(last))->x) -
                     column.Pixel(curve.GetPointAt(static_cast<std::uint32_t>(first))->x);
  dense = last > first && spread < (last - first) * kKeyBoxSpacing;
  return true;
}

int GUI_GraphCtrl::SleeveShade(const EditorToolkit::EditablePoint& key) {
  if (key.bHidden) return 0;
  if (key.bSelected) return kShades;
  return std::clamp(static_cast<int>(std::lround((1.0f - key.weight) * kShades)), 0, kShades - 1);
}

bool GUI_GraphCtrl::SleeveKeys(const EditorToolkit::Curve2& curve, int& first, int& last) const {
  const int firstSelected = curve.GetFirstSelectedPointIndex();
  const int lastSelected = curve.GetLastSelectedPointIndex();
  if (firstSelected < 0 || lastSelected < firstSelected) return false;
  const auto [begin, end, before, after] = SelectionBand();
  const float reachFirst = curve.GetPointAt(static_cast<std::uint32_t>(firstSelected))->x - before - 1.0f;
  const float reachLast = curve.GetPointAt(static_cast<std::uint32_t>(lastSelected))->x + after + 1.0f;
  first = std::max(first, curve.SearchPreviousPoint(reachFirst));
  last = std::min(last, curve.SearchPreviousPoint(reachLast) + 1);
  return first <= last;
}

std::pair<int, int> GUI_GraphCtrl::SleeveColumns(const CurveInfo& info, int width) const {
  constexpr std::pair<int, int> kNone{0, -1};
  int first = 0;
  int last = 0;
  bool dense = false;
  if (!info.bSelected || !info.pCurve || !KeysInView(*info.pCurve, width, first, last, dense) || !dense) return kNone;
  const EditorToolkit::Curve2& curve = *info.pCurve;
  if (!SleeveKeys(curve, first, last)) return kNone;
  // The first and the last key with a shade: the sleeve runs halfway to their outer neighbours.
  auto shaded = [&curve](int k) { return SleeveShade(*curve.GetPointAt(static_cast<std::uint32_t>(k))) > 0; };
  int left = first;
  while (left <= last && !shaded(left)) ++left;
  if (left > last) return kNone;
  int right = last;
  while (!shaded(right)) --right;
  const PixelMap column(*pHRuler);
  auto x = [&](int k) {
    const int clamped = std::clamp(k, 0, static_cast<int>(curve.GetPointCount()) - 1);
    return column.Pixel(curve.GetPointAt(static_cast<std::uint32_t>(clamped))->x);
  };
  return {(x(left - 1) + x(left)) / 2, (x(right) + x(right + 1)) / 2};
}

void GUI_GraphCtrl::PaintDenseSelection(GUI_BackBuffer& buffer, const CurveInfo& info, int first, int last,
                                        const std::vector<CRect>& areas) const {
  const EditorToolkit::Curve2& curve = *info.pCurve;
  if (!SleeveKeys(curve, first, last)) return;
  // The sleeve follows the line the curve's stroke drew.
  const auto found = strokeOf.find(&info);
  const Stroke* drawn = found == strokeOf.end() ? nullptr : found->second;
  if (!drawn || !drawn->line) return;
  const CurveTrace::SpanList& line = *drawn->line;
  const int columns = static_cast<int>(line.tops.size());
  const PixelMap column(*pHRuler);
  const COLORREF ground = EditorCore::GUI_ThemeManager::GetColor(Ids::kThemeGraphBackground);
  const int lastKey = static_cast<int>(curve.GetPointCount()) - 1;
  auto x = [&](int k) {
    return column.Pixel(curve.GetPointAt(static_cast<std::uint32_t>(std::clamp(k, 0, lastKey)))->x);
  };
  std::vector<int> tops;
  std::vector<int> bottoms;
  // The fills keep to the area they are given: no clip left by another curve's boxes.
  buffer.ClearClipRect();
  for (const CRect& area : areas) {
    const int left = std::max(area.left, 0);
    const int right = std::min(area.right, columns);
    if (left >= right) continue;
    // A run of keys of one shade: the columns from..to, drawn within the area.
    auto fill = [&](int shade, int from, int to) {
      from = std::max(from, left);
      to = std::min(to, right - 1);
      if (shade == 0 || from > to) return;
      const int count = to - from + 1;
      tops.resize(static_cast<std::size_t>(count));
      bottoms.resize(static_cast<std::size_t>(count));
      for (int i = 0; i < count; ++i) {
        const int top = line.tops[static_cast<std::size_t>(from + i)];
        const int bottom = line.bottoms[static_cast<std::size_t>(from + i)];
        const bool drawnThere = top <= bottom;
        tops[static_cast<std::size_t>(i)] = drawnThere ? top - kSleeveReach : top;
        bottoms[static_cast<std::size_t>(i)] = drawnThere ? bottom + kSleeveReach : bottom;
      }
      const float strength = static_cast<float>(shade) / kShades;
      auto blend = [strength](int a, int b) { return a + static_cast<int>(std::lround((b - a) * strength)); };
      const COLORREF sleeve =
          EditorCore::RGB(blend(EditorCore::GetRValue(ground), EditorCore::GetRValue(Ids::kColourSelectedStretch)),
                          blend(EditorCore::GetGValue(ground), EditorCore::GetGValue(Ids::kColourSelectedStretch)),
                          blend(EditorCore::GetBValue(ground), EditorCore::GetBValue(Ids::kColourSelectedStretch)));
      buffer.FillColumnSpans(from, tops.data(), bottoms.data(), count, sleeve, area, line.tops.data() + from,
                             line.bottoms.data() + from, drawn->colour);
    };
    // Nothing to do in an area whose rows the line passes far from, as a strip of one row is.
    bool reached = false;
    constexpr int kBand = CurveTrace::kBandColumns;
    for (int band = left / kBand; band <= (right - 1) / kBand && !reached; ++band) {
      reached = line.Reaches(static_cast<std::size_t>(band), area.top - kSleeveReach, area.bottom + kSleeveReach);
    }
    if (!reached) continue;
    // The keys whose columns reach the area, and one more on each side.
    const int areaFirst = std::max(first, curve.SearchPreviousPoint(static_cast<float>(column.ValueAt(left))) - 1);
    const int areaLast = std::min(last, curve.SearchPreviousPoint(static_cast<float>(column.ValueAt(right))) + 2);
    int runShade = 0;
    int runFrom = 0;
    int runTo = -1;
    int before = x(areaFirst - 1);
    int at = x(areaFirst);
    for (int k = areaFirst; k <= areaLast; ++k) {
      const int shade = SleeveShade(*curve.GetPointAt(static_cast<std::uint32_t>(k)));
      const int after = x(k + 1);
      const int from = (before + at) / 2;
      const int to = (at + after) / 2;
      before = at;
      at = after;
      if (shade == runShade && from <= runTo + 1) {
        runTo = std::max(runTo, to);
        continue;
      }
      fill(runShade, runFrom, runTo);
      runShade = shade;
      runFrom = from;
      runTo = to;
    }
    fill(runShade, runFrom, runTo);
  }
}

void GUI_GraphCtrl::PaintHandles(GUI_BackBuffer& buffer, const CurveInfo& info, int first, int last, int height) const {
  const EditorToolkit::Curve2& curve = *info.pCurve;
  const PixelMap column(*pHRuler);
  const PixelMap row(*pVRuler);
  const double columnsPerFrame = column.Position(1.0) - column.Position(0.0);
  for (int k = std::max(first, curve.GetFirstSelectedPointIndex());
       k <= std::min(last, curve.GetLastSelectedPointIndex()); ++k) {
    const EditorToolkit::EditablePoint& key = *curve.GetPointAt(static_cast<std::uint32_t>(k));
    if (!key.bSelected || key.bHidden) continue;
    const int x = column.Pixel(key.x);
    const int y = height - row.Pixel(key.y);
    for (const KeyHandles::Side side : {KeyHandles::In, KeyHandles::Out}) {
      const KeyHandles::End end = KeyHandles::Of(info, static_cast<std::uint32_t>(k), side, columnsPerFrame);
      if (!end.shown) continue;
      const int hx = column.Pixel(end.frame);
      const int hy = height - row.Pixel(end.value);
      buffer.MoveTo(x, y);
      buffer.LineTo(hx, hy);
      constexpr int kHalf = KeyHandles::kBoxHalf;
      buffer.FillRect(CRect(hx - kHalf, hy - kHalf, hx + kHalf + 1, hy + kHalf + 1), curve.GetColor());
    }
  }
}

void GUI_GraphCtrl::PaintOverlays(GUI_BackBuffer& buffer, int height) {
  const CRect& band = editor.oRubberBand;
  aRubberBandOutline = {CPoint(band.left, band.top), CPoint(band.right, band.top), CPoint(band.right, band.bottom),
                        CPoint(band.left, band.bottom), CPoint(band.left, band.top)};
  if (HasCapture() && editor.iDragState == GraphEditor::kDragRubberBand) {
    buffer.SetBkMode(EditorCore::TRANSPARENT);
    buffer.SetPen(Ids::kColourRubberBand, 1, EditorCore::PS_DOT);
    buffer.Polyline(aRubberBandOutline.data(), static_cast<int>(aRubberBandOutline.size()));
  }

  const CRect box = CurrentKeyBox(height);
  if (box.IsRectEmpty()) return;
  buffer.SetPen(FindMarker(*pHRuler, Ids::kMarkerCrossHair)->color, 1, EditorCore::PS_SOLID);
  buffer.DrawRectangle(box);
}

}  // namespace Tarvel
