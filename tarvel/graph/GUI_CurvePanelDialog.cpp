#include "graph/GUI_CurvePanelDialog.h"

#include <algorithm>
#include <cmath>

#include "EditorCore/GUI_BackBuffer.h"
#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_ModuleManager.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "graph/GUI_GraphCtrl.h"
#include "module/AnimClipDialog.h"
#include "module/ModuleExports.h"
#include "module/ModuleText.h"
#include "resources/ModuleResources.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

constexpr UINT kSnapBox = 1029;
constexpr UINT kValuesModeBox = 1030;
constexpr UINT kFramesModeBox = 1028;
constexpr UINT kFalloffBeforeEdit = 1042;
constexpr UINT kFalloffBox = 1048;
constexpr UINT kFalloffAfterEdit = 1046;
constexpr UINT kKeyLabel = 1043;
constexpr UINT kKeyEdit = 1044;
constexpr UINT kValueLabel = 1047;
constexpr UINT kValueEdit = 1049;
constexpr UINT kPreviousKeyButton = 1059;
constexpr UINT kPlayButton = 1021;
constexpr UINT kRecordButton = 1062;
constexpr UINT kNextKeyButton = 1060;
constexpr UINT kLoopBox = 1025;
constexpr UINT kObjectCombo = 1023;
constexpr UINT kFitButton = 1037;
constexpr UINT kAutoRecordBox = 1026;
constexpr int kTimeCursor = 4;
constexpr int kRulerThickness = 30;

GUI_Icon* ModuleIcon(UINT id) { return LoadIconInModule(static_cast<unsigned short>(id)); }

CRect At(int left, int top, int right, int bottom) { return CRect(left, top, right, bottom); }

}  // namespace

GUI_CurvePanelDialog::GUI_CurvePanelDialog(AnimClipDialog* owner)
    : page(owner),
      horizontalRuler(std::make_unique<GUI_RulerCtrl>()),
      verticalRuler(std::make_unique<GUI_RulerCtrl>()),
      graph(std::make_unique<GUI_GraphCtrl>()) {}

GUI_CurvePanelDialog::~GUI_CurvePanelDialog() {
  speedMenu.reset();
  // The graph reads the rulers while it lives.
  graph.reset();
  horizontalRuler.reset();
  verticalRuler.reset();
}

bool GUI_CurvePanelDialog::Create(GUI_Wnd* parent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::Create(kTemplate, parent);
}

float GUI_CurvePanelDialog::WholeFrame(float frame) {
  const float floor = std::floor(frame);
  return frame - floor > 0.5f ? floor + 1.0f : floor;
}

void GUI_CurvePanelDialog::DoDataExchange() {
  BindControl(kSnapBox, snapBox);
  BindControl(kValuesModeBox, valuesModeBox);
  BindControl(kFramesModeBox, framesModeBox);
  BindControl(kFalloffBeforeEdit, falloffBeforeEdit);
  BindControl(kFalloffBox, falloffBox);
  BindControl(kFalloffAfterEdit, falloffAfterEdit);
  BindControl(kKeyLabel, keyLabel);
  BindControl(kKeyEdit, keyEdit);
  BindControl(kValueLabel, valueLabel);
  BindControl(kValueEdit, valueEdit);
  BindControl(kPreviousKeyButton, previousKeyButton);
  BindControl(kPlayButton, playButton);
  BindControl(kRecordButton, recordButton);
  BindControl(kNextKeyButton, nextKeyButton);
  BindControl(kLoopBox, loopBox);
  BindControl(kObjectCombo, objectCombo);
  BindControl(kFitButton, fitButton);
  BindControl(kAutoRecordBox, autoRecordBox);
}

void GUI_CurvePanelDialog::CreateViews() {
  horizontalRuler->Create(this, 1);
  verticalRuler->Create(this, 1);
  graph->Create(this, 1);
  horizontalRuler->SetMinValue(-10.0, 0.0);
  horizontalRuler->SetPixelPerUnit(10);
  verticalRuler->SetPixelPerUnit(10);
  verticalRuler->CenterOnValue(0.0);
  horizontalRuler->SetRulerStyle(horizontalRuler->GetRulerStyle() | GUI_RulerCtrl::StyleNothingBelowMin);
  verticalRuler->SetRulerStyle(0x22);
  graph->AttachRulers(horizontalRuler.get(), verticalRuler.get());
}

bool GUI_CurvePanelDialog::OnInitDialog() {
  CreateViews();
  GUI_Dialog::OnInitDialog();
  if (GUI_MainFrame* mainFrame = GUI_MainFrame::GetMainFrame()) {
    viewerModule = mainFrame->GetModuleManager()->GetModuleWithID(0x10000000u);
  }

  snapBox.SetIcon(ModuleIcon(1029));
  valuesModeBox.SetIcon(ModuleIcon(1028));
  framesModeBox.SetIcon(ModuleIcon(1027));
  falloffBox.SetIcon(ModuleIcon(1032));
  loopBox.SetIcon(ModuleIcon(1037));
  autoRecordBox.SetIcon(ModuleIcon(1035));
  previousKeyButton.SetIcon(ModuleIcon(1038), false);
  playButton.SetIcon(GUI_ThemeManager::GetIcon(22), false);
  recordButton.SetIcon(ModuleIcon(1041), false);
  nextKeyButton.SetIcon(GUI_ThemeManager::GetIcon(25), false);
  fitButton.SetIcon(ModuleIcon(1040), false);
  SetValuesMode();
  snapBox.Check(true);
  loopBox.Check(true);
  falloffBox.Check(true);
  autoRecordBox.Check(false);
  UpdateRecordingControls();

  for (GUI_EditBox* edit : {&falloffBeforeEdit, &falloffAfterEdit}) {
    edit->SetTypeAsFloat(0, true);
    edit->SetMinBoundary(0.0);
    edit->SetFloatValue(0.0);
  }
  keyLabel.SetWindowText(ModuleText::Translate("Key"));
  keyEdit.SetTypeAsFloat(0, false);
  keyEdit.SetEmpty();
  keyEdit.EnableWindow(false);
  valueLabel.SetWindowText(ModuleText::Translate("Value"));
  valueEdit.SetTypeAsFloat(2, false);
  valueEdit.SetEmpty();
  valueEdit.EnableWindow(false);

  CRect client;
  GetClientRect(client);
  MoveWindow(0, 0, client.Width(), client.Height());
  FillObjectList();
  return true;
}

void GUI_CurvePanelDialog::SetValuesMode() {
  valuesModeBox.Check(true);
  framesModeBox.Check(false);
  falloffBeforeEdit.EnableWindow(true);
  falloffBox.EnableWindow(true);
  falloffAfterEdit.EnableWindow(true);
  falloffBox.Check(graph->bFalloff);
  graph->iEditMode = 2;
}

void GUI_CurvePanelDialog::SetFramesMode() {
  valuesModeBox.Check(false);
  framesModeBox.Check(true);
  falloffBeforeEdit.EnableWindow(false);
  // Only the box shows no falloff: the graph keeps its setting for the values mode.
  falloffBox.Check(false);
  falloffBox.EnableWindow(false);
  falloffAfterEdit.EnableWindow(false);
  graph->iEditMode = 3;
}

void GUI_CurvePanelDialog::OnSize(UINT type, int cx, int cy) {
  GUI_Dialog::OnSize(type, cx, cy);
  LayOut(cx, cy);
}

void GUI_CurvePanelDialog::LayOut(int cx, int cy) {
  const bool narrow = cx < kNarrowWidth;
  const int r = narrow ? 30 : 0;
  const int t = narrow ? 60 : 30;
  auto place = [](GUI_Wnd& window, const CRect& rect) {
    if (window.IsWindow()) window.MoveWindow(rect);
  };
  place(snapBox, At(0, 0, 29, 30));
  place(valuesModeBox, At(33, 0, 63, 30));
  place(framesModeBox, At(66, 0, 96, 30));
  place(keyLabel, At(99, 5, 129, 25));
  place(keyEdit, At(132, 5, 162, 25));
  place(valueLabel, At(165, 5, 205, 25));
  place(valueEdit, At(208, 5, 250, 25));
  place(falloffBeforeEdit, At(283, 5, 315, 25));
  place(falloffBox, At(318, 0, 348, 30));
  place(falloffAfterEdit, At(351, 5, 383, 25));
  place(previousKeyButton, At(cx - 328, r, cx - 298, r + 30));
  place(autoRecordBox, At(cx - 295, r, cx - 265, r + 30));
  place(playButton, At(cx - 262, r, cx - 232, r + 30));
  place(nextKeyButton, At(cx - 229, r, cx - 199, r + 30));
  place(recordButton, At(cx - 196, r, cx - 166, r + 30));
  place(loopBox, At(cx - 163, r, cx - 133, r + 30));
  place(objectCombo, At(cx - 130, r + 5, cx - 3, r + 130));
  place(*horizontalRuler, At(kRulerThickness, cy - kRulerThickness, cx, cy));
  place(*verticalRuler, At(0, t, kRulerThickness, cy - kRulerThickness));
  place(*graph, At(kRulerThickness, t + 1, cx - 1, cy - kRulerThickness));
  place(fitButton, At(0, cy - kRulerThickness, kRulerThickness, cy));
}

bool GUI_CurvePanelDialog::OnEraseBkgnd(GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  const bool narrow = client.Width() < kNarrowWidth;
  dc.FillSolidRect(client, GUI_ThemeManager::GetColor(10));
  GUI_BackBuffer buffer;
  if (buffer.Create(dc, CRect(0, 0, client.Width(), narrow ? 60 : 30))) {
    buffer.DrawBitmap(GUI_ThemeManager::GetBitmap(101), CRect(0, 0, client.Width(), 30));
    if (narrow) buffer.DrawBitmap(GUI_ThemeManager::GetBitmap(101), CRect(0, 30, client.Width(), 60));
    buffer.SetPen(GUI_ThemeManager::GetColor(1), 1, PS_SOLID);
    for (int x : {102, 265}) {
      buffer.MoveTo(x, 1);
      buffer.LineTo(x, 29);
    }
    buffer.Present(false, false);
  }
  return true;
}

void GUI_CurvePanelDialog::InvalidateViews() {
  horizontalRuler->Invalidate();
  verticalRuler->Invalidate();
  graph->Invalidate();
  Invalidate();
}

void GUI_CurvePanelDialog::RedrawViews(const CRect* rect) {
  horizontalRuler->RedrawWindow();
  verticalRuler->RedrawWindow();
  graph->RedrawWindow(rect);
}

void GUI_CurvePanelDialog::SetTimeCursor(float frame) {
  timeCursor = frame;
  horizontalRuler->SetMarkerPosition(kTimeCursor, frame, true);
  RedrawViews();
}

bool GUI_CurvePanelDialog::OnCommand(UINT id) {
  switch (id) {
    case kSnapBox: graph->bSnap = snapBox.IsChecked(); return true;
    case kValuesModeBox: SetValuesMode(); return true;
    case kFramesModeBox: SetFramesMode(); return true;
    case kFalloffBox:
      graph->SetFalloff(falloffBox.IsChecked());
      graph->Invalidate();
      return true;
    case kFitButton:
      graph->FitAll();
      InvalidateViews();
      return true;
    case kPreviousKeyButton:
      SetTimeCursor(page->GetPreviousKeyFrame(timeCursor));
      ApplyFrame(timeCursor);
      return true;
    case kNextKeyButton:
      SetTimeCursor(page->GetNextKeyFrame(timeCursor));
      ApplyFrame(timeCursor);
      return true;
    default: return OnPreviewCommand(id) || GUI_Dialog::OnCommand(id);
  }
}

bool GUI_CurvePanelDialog::OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload& payload, LRESULT& result) {
  if (header.hwndFrom == graph.get()) {
    OnGraphNotify(header.code);
    return true;
  }
  if (header.code == GUI_PushButton::NotifyPressed && OnPreviewPressed(header.hwndFrom)) return true;
  if (header.hwndFrom == &objectCombo && header.code == GUI_ComboBox::NotifySelChange) {
    OnObjectChoiceChanged();
    return true;
  }
  if (header.code == GUI_EditBox::NotifyValueChanged) {
    if (header.hwndFrom == &falloffBeforeEdit) {
      graph->SetFalloffBefore(static_cast<float>(falloffBeforeEdit.GetFloatValue()));
      return true;
    }
    if (header.hwndFrom == &falloffAfterEdit) {
      graph->SetFalloffAfter(static_cast<float>(falloffAfterEdit.GetFloatValue()));
      return true;
    }
    if (header.hwndFrom == &keyEdit) {
      if (!updatingEdits) graph->SetTargetFrame(static_cast<float>(keyEdit.GetFloatValue()));
      return true;
    }
    if (header.hwndFrom == &valueEdit) {
      if (!updatingEdits) graph->SetTargetValue(static_cast<float>(valueEdit.GetFloatValue()), graph->bFalloff);
      return true;
    }
  }
  if ((header.hwndFrom == horizontalRuler.get() || header.hwndFrom == verticalRuler.get()) &&
      (header.code == GUI_RulerCtrl::NotifyMarkerMoved || header.code == GUI_RulerCtrl::NotifyViewMoved)) {
    OnRulerMoved();
    return true;
  }
  return GUI_Dialog::OnNotify(header, payload, result);
}

void GUI_CurvePanelDialog::OnGraphNotify(int code) {
  const EditorToolkit::EditablePoint* current = graph->pCurrentPoint;
  // The edits show the current key; the panel's own writes are not edits of the user.
  updatingEdits = true;
  switch (code) {
    case GUI_GraphCtrl::GraphNotify_CurveChanged:
      page->RecordStep("GUI_Message_k_Curve_Changed", false);
      page->WriteBackAllChannels();
      break;
    case GUI_GraphCtrl::GraphNotify_CurveWillChange: page->RecordStep("GUI_Message_k_Curve_WillChange", true); break;
    case GUI_GraphCtrl::GraphNotify_SelectionChanged:
      page->OnGraphSelectionChanged();
      InvalidateViews();
      break;
    case GUI_GraphCtrl::GraphNotify_CurrentFrame:
      keyEdit.SetFloatValue(current ? current->x : 0.0);
      keyEdit.EnableWindow(true);
      break;
    case GUI_GraphCtrl::GraphNotify_CurrentValue:
      valueEdit.SetFloatValue(current ? current->y : 0.0);
      valueEdit.EnableWindow(true);
      break;
    case GUI_GraphCtrl::GraphNotify_ClearFrame: keyEdit.SetEmpty(); break;
    case GUI_GraphCtrl::GraphNotify_ClearValue: valueEdit.SetEmpty(); break;
    case GUI_GraphCtrl::GraphNotify_DisableFrame:
      keyEdit.SetEmpty();
      keyEdit.EnableWindow(false);
      break;
    case GUI_GraphCtrl::GraphNotify_DisableValue:
      valueEdit.SetEmpty();
      valueEdit.EnableWindow(false);
      break;
    case GUI_GraphCtrl::GraphNotify_EnableFrame: keyEdit.EnableWindow(true); break;
    case GUI_GraphCtrl::GraphNotify_EnableValue: valueEdit.EnableWindow(true); break;
    default: break;
  }
  updatingEdits = false;
}

void GUI_CurvePanelDialog::OnRulerMoved() {
  // While playing the controllers move the cursor, not the user.
  if (!graph->IsWindow() || playing) return;
  const float marker = static_cast<float>(horizontalRuler->GetMarkerPosition(kTimeCursor));
  if (marker == timeCursor) {
    graph->Invalidate();
    return;
  }
  // Only the columns between the old and the new cursor need painting again.
  CRect graphClient;
  graph->GetClientRect(graphClient);
  const int from = horizontalRuler->ValueToPixel(std::min(marker, timeCursor)) - 1;
  const int to = horizontalRuler->ValueToPixel(std::max(marker, timeCursor)) + 1;
  const CRect area(std::max(from, 0), 0, std::min(to + 1, graphClient.right), graphClient.bottom);
  horizontalRuler->SetMarkerPosition(kTimeCursor, WholeFrame(marker), false);
  RedrawViews(&area);
  timeCursor = static_cast<float>(horizontalRuler->GetMarkerPosition(kTimeCursor));
  ApplyFrame(timeCursor);
}

bool GUI_CurvePanelDialog::ZoomRuler(GUI_RulerCtrl& ruler, double centre, double step) {
  const double scale = ruler.GetScale() + step;
  if (!(scale > 0.1 && scale < 100.0)) return false;
  ruler.ZoomOnValue(centre, scale);
  return true;
}

bool GUI_CurvePanelDialog::OnMouseWheel(UINT, short delta, CPoint screenPoint) {
  SetFocus();
  // Towards the user zooms in by a tenth of the scale, away from the user out by a fifth.
  const double step = delta < 0 ? 0.1 : -0.2;
  auto allowed = [step](const GUI_RulerCtrl& ruler) {
    const double scale = ruler.GetScale() + step;
    return scale > 0.1 && scale < 100.0;
  };
  auto inside = [&screenPoint](const GUI_Wnd& window, CRect& rect) {
    window.GetWindowRect(rect);
    return screenPoint.x >= rect.left && screenPoint.x <= rect.right && screenPoint.y >= rect.top &&
           screenPoint.y <= rect.bottom;
  };
  const CRect bounds = graph->GetCurvesBounds();
  CRect rect;
  bool zoomed = false;
  if (inside(*horizontalRuler, rect)) {
    const double frame = horizontalRuler->PixelToValue(screenPoint.x - rect.left);
    zoomed = ZoomRuler(*horizontalRuler, std::clamp<double>(frame, bounds.left, bounds.right), step);
  } else if (inside(*verticalRuler, rect)) {
    const double value = verticalRuler->PixelToValue(rect.bottom - screenPoint.y);
    zoomed = ZoomRuler(*verticalRuler, std::clamp<double>(value, bounds.top, bounds.bottom), step);
  } else if (inside(*graph, rect) && allowed(*horizontalRuler) && allowed(*verticalRuler)) {
    graph->ComputeCurvesBounds();
    const CRect& box = graph->GetCurvesBounds();
    double frame = horizontalRuler->PixelToValue(screenPoint.x - rect.left);
    double value = verticalRuler->PixelToValue(rect.bottom - screenPoint.y);
    if (frame < box.left || frame > box.right) frame = box.left + (box.right - box.left) / 2;
    if (value < box.top || value > box.bottom) value = box.top + (box.bottom - box.top) / 2;
    zoomed = ZoomRuler(*horizontalRuler, frame, step);
    zoomed = ZoomRuler(*verticalRuler, value, step) || zoomed;
  }
  if (zoomed) InvalidateViews();
  return true;
}

bool GUI_CurvePanelDialog::PreTranslateMessage(const GUI_Msg& msg) {
  // Keys pressed in the panel are the page's keys.
  if (msg.message == WM_KEYDOWN && page->PreTranslateMessage(msg)) return true;
  return GUI_Dialog::PreTranslateMessage(msg);
}

}  // namespace Tarvel
