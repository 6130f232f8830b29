#include "graph/GUI_CurvePanelDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_BackBuffer.h"
#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "curves/ClipEditCore.h"
#include "curves/TangentShaper.h"
#include "graph/GUI_DopeSheetCtrl.h"
#include "graph/GUI_DopeSheetLabels.h"
#include "graph/GUI_GraphCtrl.h"
#include "objects/PreviewObjects.h"
#include "objects/PreviewPlayback.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

constexpr int kRulerThickness = 30;

struct SpeedItem {
  UINT command;
  float speed;
  const char* text;
};

// In menu order; the separator stands between the backward and the forward speeds.
constexpr SpeedItem kSpeeds[] = {
    {Ids::kCmdBackwards2x, -2.0f, "Backwards  2x"},   {Ids::kCmdBackwards1x, -1.0f, "Backwards  1x"},
    {Ids::kCmdBackwardsHalf, -0.5f, "Backwards .5x"}, {Ids::kCmdForwardsHalf, 0.5f, "Forwards  .5x"},
    {Ids::kCmdForwards1x, 1.0f, "Forwards   1x"},     {Ids::kCmdForwards2x, 2.0f, "Forwards   2x"},
};

GUI_Icon* ModuleIcon(UINT id) { return ModuleResources::LoadIcon(id); }

}  // namespace

GUI_CurvePanelDialog::GUI_CurvePanelDialog(ClipEditCore& editCore, PreviewObjects& previewObjects,
                                           PreviewPlayback& previewPlayback)
    : core(editCore),
      objects(previewObjects),
      playback(previewPlayback),
      horizontalRuler(std::make_unique<GUI_RulerCtrl>()),
      verticalRuler(std::make_unique<GUI_RulerCtrl>()),
      graph(std::make_unique<GUI_GraphCtrl>(editCore.GetSelection())),
      dopeSheet(editCore),
      dopeSheetCtrl(std::make_unique<GUI_DopeSheetCtrl>(dopeSheet, editCore)),
      dopeSheetLabels(std::make_unique<GUI_DopeSheetLabels>(dopeSheet, *dopeSheetCtrl)) {
  graph->SetCurveEdits([this](const CurveInfo& curve) { return core.Edited(&curve); },
                       [this](CurveInfo& curve) { core.Revert(&curve); });
}

GUI_CurvePanelDialog::~GUI_CurvePanelDialog() {
  // The graph and the dope sheet read the rulers while they live.
  dopeSheetLabels.reset();
  dopeSheetCtrl.reset();
  graph.reset();
}

bool GUI_CurvePanelDialog::Create(GUI_Wnd* parent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::Create(Ids::kTplCurvePanel, parent);
}

void GUI_CurvePanelDialog::DoDataExchange() {
  const std::pair<UINT, GUI_Wnd*> bound[] = {
      {Ids::kCtlSnapBox, &snapBox},
      {Ids::kCtlValuesModeBox, &valuesModeBox},
      {Ids::kCtlFramesModeBox, &framesModeBox},
      {Ids::kCtlFalloffBeforeEdit, &falloffBeforeEdit},
      {Ids::kCtlFalloffBox, &falloffBox},
      {Ids::kCtlFalloffAfterEdit, &falloffAfterEdit},
      {Ids::kCtlKeyLabel, &keyLabel},
      {Ids::kCtlKeyEdit, &keyEdit},
      {Ids::kCtlValueLabel, &valueLabel},
      {Ids::kCtlValueEdit, &valueEdit},
      {Ids::kCtlPreviousKeyButton, &previousKeyButton},
      {Ids::kCtlPlayButton, &playButton},
      {Ids::kCtlRecordButton, &recordButton},
      {Ids::kCtlNextKeyButton, &nextKeyButton},
      {Ids::kCtlLoopBox, &loopBox},
      {Ids::kCtlObjectCombo, &objectCombo},
      {Ids::kCtlFitButton, &fitButton},
      {Ids::kCtlAutoRecordBox, &autoRecordBox},
      {Ids::kCtlFrameRateLabel, &frameRateLabel},
      {Ids::kCtlTangentsButton, &tangentsButton},
      {Ids::kCtlDopeSheetBox, &dopeSheetBox},
  };
  for (const auto& [id, control] : bound) {
    if (!BindControl(id, *control)) EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: curve panel lacks %u", id);
  }
}

void GUI_CurvePanelDialog::CreateViews() {
  if (!horizontalRuler->Create(this, Ids::kCtlFrameRuler) || !verticalRuler->Create(this, Ids::kCtlValueRuler) ||
      !graph->Create(this, Ids::kCtlGraph) || !dopeSheetCtrl->Create(this, Ids::kCtlDopeSheet) ||
      !dopeSheetLabels->Create(this, Ids::kCtlDopeSheetLabels)) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the curve panel could not make its graph and rulers");
  }
  dopeSheetCtrl->AttachRuler(horizontalRuler.get());
  dopeSheetCtrl->SetRowSource([this] { GetDopeSheet(); });
  dopeSheetCtrl->SetNotifier([this](int code) { OnDopeSheetNotify(code); });
  dopeSheetLabels->SetNotifier([this](int code) { OnDopeSheetNotify(code); });
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
  snapBox.SetIcon(ModuleIcon(Ids::kIconSnap));
  valuesModeBox.SetIcon(ModuleIcon(Ids::kIconValuesMode));
  framesModeBox.SetIcon(ModuleIcon(Ids::kIconFramesMode));
  falloffBox.SetIcon(ModuleIcon(Ids::kIconFalloff));
  loopBox.SetIcon(ModuleIcon(Ids::kIconLoop));
  autoRecordBox.SetIcon(ModuleIcon(Ids::kIconAutoRecord));
  previousKeyButton.SetIcon(ModuleIcon(Ids::kIconPreviousKey), false);
  playButton.SetIcon(GUI_ThemeManager::GetIcon(Ids::kThemeIconPlay), false);
  recordButton.SetIcon(ModuleIcon(Ids::kIconRecord), false);
  nextKeyButton.SetIcon(GUI_ThemeManager::GetIcon(Ids::kThemeIconNextKey), false);
  fitButton.SetIcon(ModuleIcon(Ids::kIconFit), false);
  tangentsButton.SetIcon(ModuleIcon(Ids::kIconTangents), false);
  dopeSheetBox.SetIcon(ModuleIcon(Ids::kIconDopeSheet));
  // Most controls are icons alone: each says what it is, and its key where it has one.
  const std::pair<GUI_Wnd*, const char*> tips[] = {
      {&snapBox, "Snap values while dragging"},
      {&valuesModeBox, "Values mode: drag keys up and down (Shift: in time too)"},
      {&framesModeBox, "Frames mode: drag keys in time (Shift: in value too)"},
      {&falloffBox, "Falloff: the keys beside a drag follow it"},
      {&falloffBeforeEdit, "Falloff before the selection, in frames"},
      {&falloffAfterEdit, "Falloff after the selection, in frames"},
      {&keyLabel, "Frame of the current key"},
      {&keyEdit, "Frame of the current key (Enter applies, Esc restores)"},
      {&valueLabel, "Value of the current key"},
      {&valueEdit, "Value of the current key (Enter applies, Esc restores)"},
      {&previousKeyButton, "Previous key"},
      {&playButton, "Play or stop the preview (hold for the speed)"},
      {&recordButton, "Record a key at the time cursor"},
      {&nextKeyButton, "Next key"},
      {&loopBox, "Loop the preview"},
      {&objectCombo, "Objects the preview moves"},
      {&fitButton, "Fit all curves (Home); F frames the selected keys"},
      {&autoRecordBox, "Record keys automatically"},
      {&frameRateLabel, "The clip's frame rate: keys lie on its whole frames, and 1x plays it in real time"},
      {&tangentsButton, "Tangent type of the selected keys of smooth curves (keys 1 to 6, or a right click on a key)"},
      {&dopeSheetBox, "Dope sheet: every channel's keys over time, moved in blocks (D switches)"},
  };
  for (const auto& [control, tip] : tips) control->SetToolTip(ModuleText::Translate(tip));
  dopeSheetCtrl->SetToolTip(ModuleText::Translate(
      "Click or drag across marks to select keys; drag a selected mark to move them in time (Shift: add)"));
  graph->SetToolTip(ModuleText::Translate(
      "Drag a key to move it; drag a selected smooth key's handle to turn its tangent (Shift: that side alone, "
      "breaking it)"));
  SetValuesMode();
  snapBox.Check(true);
  loopBox.Check(playback.bLoop);
  falloffBox.Check(true);
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
  falloffBox.Check(graph->GetEditor().bFalloff);
  graph->GetEditor().iEditMode = GraphEditor::kDragValues;
  // Each box can act only in its own mode.
  keyEdit.SetReadOnly(true);
  valueEdit.SetReadOnly(false);
}

void GUI_CurvePanelDialog::SetFramesMode() {
  valuesModeBox.Check(false);
  framesModeBox.Check(true);
  falloffBeforeEdit.EnableWindow(false);
  // Only the box shows no falloff: the graph keeps its setting for the values mode.
  falloffBox.Check(false);
  falloffBox.EnableWindow(false);
  falloffAfterEdit.EnableWindow(false);
  graph->GetEditor().iEditMode = GraphEditor::kDragFrames;
  keyEdit.SetReadOnly(false);
  valueEdit.SetReadOnly(true);
}

void GUI_CurvePanelDialog::ApplyTypedNumber(const GUI_EditBox& box) {
  GraphEditor& editor = graph->GetEditor();
  if (updatingEdits || box.IsReadOnly() || box.IsEmpty() || !editor.CurrentPoint()) return;
  // A typed number is one action: the current key (and the selection with it) moves there.
  core.BeginEdit(&box == &keyEdit ? "TypedFrame" : "TypedValue");
  for (CurveInfo* curve : core.GetSelection().GetCurves()) core.Touch(curve);
  if (&box == &keyEdit) {
    editor.SetTargetFrame(static_cast<float>(keyEdit.GetFloatValue()));
  } else {
    editor.SetTargetValue(static_cast<float>(valueEdit.GetFloatValue()), editor.bFalloff);
  }
  if (core.EndEdit()) NotifyParent(Ids::PanelNotify_ClipChanged);
  ShowCurrentKey();
  graph->Invalidate();
}

void GUI_CurvePanelDialog::ShowCurrentKey() {
  const EditorToolkit::EditablePoint* current = graph->GetEditor().CurrentPoint();
  if (!current) return;
  updatingEdits = true;
  keyEdit.SetFloatValue(current->x);
  valueEdit.SetFloatValue(current->y);
  updatingEdits = false;
}

void GUI_CurvePanelDialog::OnSize(UINT type, int cx, int cy) {
  GUI_Dialog::OnSize(type, cx, cy);
  LayOut(cx, cy);
}

int GUI_CurvePanelDialog::ToolbarRows(int cx) { return cx >= kNarrowWidth ? 1 : (cx >= kTwoRowWidth ? 2 : 3); }

void GUI_CurvePanelDialog::LayOut(int cx, int cy) {
  // The playback group takes a second row on a narrow panel, and the falloff group a row of
  // its own on a narrower one, so that no control leaves the panel.
  const int rows = ToolbarRows(cx);
  const int r = rows > 1 ? 30 * (rows - 1) : 0;
  const int t = 30 * rows;
  const int f = rows == 3 ? -360 : 0;
  const int fy = rows == 3 ? 30 : 0;
  snapBox.MoveWindow(CRect(0, 0, 29, 30));
  valuesModeBox.MoveWindow(CRect(33, 0, 63, 30));
  framesModeBox.MoveWindow(CRect(66, 0, 96, 30));
  // The Key and Value boxes hold a number such as -12345.678 whole.
  keyLabel.MoveWindow(CRect(101, 5, 131, 25));
  keyEdit.MoveWindow(CRect(134, 5, 218, 25));
  valueLabel.MoveWindow(CRect(223, 5, 263, 25));
  valueEdit.MoveWindow(CRect(266, 5, 350, 25));
  falloffBeforeEdit.MoveWindow(CRect(f + 360, fy + 5, f + 392, fy + 25));
  falloffBox.MoveWindow(CRect(f + 395, fy, f + 425, fy + 30));
  falloffAfterEdit.MoveWindow(CRect(f + 428, fy + 5, f + 460, fy + 25));
  tangentsButton.MoveWindow(CRect(f + 465, fy, f + 495, fy + 30));
  dopeSheetBox.MoveWindow(CRect(f + 498, fy, f + 528, fy + 30));
  // The object choice is wide enough for " - All animated objects".
  const int p = cx - kComboWidth - 3;
  frameRateLabel.MoveWindow(CRect(p - 256, r + 5, p - 202, r + 25));
  previousKeyButton.MoveWindow(CRect(p - 198, r, p - 168, r + 30));
  autoRecordBox.MoveWindow(CRect(p - 165, r, p - 135, r + 30));
  playButton.MoveWindow(CRect(p - 132, r, p - 102, r + 30));
  nextKeyButton.MoveWindow(CRect(p - 99, r, p - 69, r + 30));
  recordButton.MoveWindow(CRect(p - 66, r, p - 36, r + 30));
  loopBox.MoveWindow(CRect(p - 33, r, p - 3, r + 30));
  objectCombo.MoveWindow(CRect(p, r + 5, cx - 3, r + 130));
  const int v = dopeSheetShown ? std::min(kDopeSheetLabelWidth, cx / 3) : std::max(kRulerThickness, valueRulerWidth);
  horizontalRuler->MoveWindow(CRect(v, cy - kRulerThickness, cx, cy));
  if (dopeSheetShown) {
    dopeSheetLabels->MoveWindow(CRect(0, t, v, cy - kRulerThickness));
    dopeSheetCtrl->MoveWindow(CRect(v, t + 1, cx - 1, cy - kRulerThickness));
  } else {
    verticalRuler->MoveWindow(CRect(0, t, v, cy - kRulerThickness));
    graph->MoveWindow(CRect(v, t + 1, cx - 1, cy - kRulerThickness));
  }
  fitButton.MoveWindow(CRect(0, cy - kRulerThickness, v, cy));
}

bool GUI_CurvePanelDialog::OnEraseBkgnd(GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  const int rows = ToolbarRows(client.Width());
  dc.FillSolidRect(client, GUI_ThemeManager::GetColor(Ids::kThemeBackground));
  GUI_BackBuffer buffer;
  if (buffer.Create(dc, CRect(0, 0, client.Width(), 30 * rows))) {
    buffer.DrawBitmap(GUI_ThemeManager::GetBitmap(Ids::kThemeBottomBand), CRect(0, 0, client.Width(), 30));
    for (int row = 1; row < rows; ++row) {
      buffer.DrawBitmap(GUI_ThemeManager::GetBitmap(Ids::kThemeBottomBand),
                        CRect(0, 30 * row, client.Width(), 30 * row + 30));
    }
    buffer.SetPen(GUI_ThemeManager::GetColor(Ids::kThemeSeparatorColour), 1, PS_SOLID);
    for (int x : {98, 355}) {
      buffer.MoveTo(x, 1);
      buffer.LineTo(x, 29);
    }
    buffer.Present(false, false);
  }
  return true;
}

void GUI_CurvePanelDialog::InvalidateViews() {
  ShowFrameRate();
  horizontalRuler->Invalidate();
  verticalRuler->Invalidate();
  graph->Invalidate();
  dopeSheetCtrl->Invalidate();
  dopeSheetLabels->Invalidate();
  Invalidate();
}

void GUI_CurvePanelDialog::ShowFrameRate() {
  const EngineCore::AnimClip* clip = core.GetClip();
  const float rate = clip ? clip->GetFrameRate() : EngineCore::AnimClip::kDefaultFrameRate;
  char text[32];
  std::snprintf(text, sizeof text, rate == std::round(rate) ? "%.0f fps" : "%.3g fps", rate);
  if (frameRateLabel.GetWindowText() != text) frameRateLabel.SetWindowText(text);
}

void GUI_CurvePanelDialog::RedrawViews(const CRect* rect) {
  ShowFrameRate();
  horizontalRuler->RedrawWindow();
  if (dopeSheetShown) {
    dopeSheetCtrl->RedrawWindow();
    dopeSheetLabels->RedrawWindow();
    return;
  }
  verticalRuler->RedrawWindow();
  graph->RedrawWindow(rect);
}

void GUI_CurvePanelDialog::SetTimeCursor(float frame) {
  core.SetTimeCursor(frame);
  horizontalRuler->SetMarkerPosition(Ids::kMarkerTimeCursor, frame, true);
  RedrawViews();
}

void GUI_CurvePanelDialog::GoToFrame(float frame) {
  SetTimeCursor(frame);
  playback.ApplyFrame(core.GetTimeCursor());
}

bool GUI_CurvePanelDialog::OnCommand(UINT id) {
  GraphEditor& editor = graph->GetEditor();
  switch (id) {
    case Ids::kCtlSnapBox: editor.bSnap = snapBox.IsChecked(); return true;
    case Ids::kCtlValuesModeBox: SetValuesMode(); return true;
    case Ids::kCtlFramesModeBox: SetFramesMode(); return true;
    case Ids::kCtlFalloffBox:
      editor.SetFalloff(falloffBox.IsChecked());
      graph->Invalidate();
      return true;
    case Ids::kCtlFitButton: FitAll(); return true;
    case Ids::kCtlDopeSheetBox:
      ShowDopeSheet(dopeSheetBox.IsChecked());
      NotifyParent(Ids::PanelNotify_ViewChanged);
      return true;
    case Ids::kCtlTangentsButton: ShowTangentsMenu(); return true;
    case Ids::kCtlPreviousKeyButton:
    case Ids::kCtlNextKeyButton:
      // The key is sought from where playback leaves the cursor.
      StopPlayback();
      GoToFrame(id == Ids::kCtlNextKeyButton ? core.GetNextKeyFrame(core.GetTimeCursor())
                                             : core.GetPreviousKeyFrame(core.GetTimeCursor()));
      return true;
    default:
      if (OnPreviewCommand(id) || GUI_Dialog::OnCommand(id)) return true;
      // The graph's key menu and the dope sheet's menu hold the page's commands.
      return ((id >= Ids::kCmdSelectionTangents && id < Ids::kCmdSelectionTangents + EngineCore::kTangentTypeCount) ||
              id == Ids::kCmdCopyPoints || id == Ids::kCmdPastePoints || id == Ids::kCmdRemovePoints ||
              id == Ids::kCmdDuplicateKeys || id == Ids::kCmdScaleKeysInTime) &&
             GetParent() && GetParent()->OnCommand(id);
  }
}

bool GUI_CurvePanelDialog::OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload& payload, LRESULT& result) {
  GraphEditor& editor = graph->GetEditor();
  if (header.hwndFrom == graph.get()) {
    OnGraphNotify(header.code);
    return true;
  }
  if (header.code == GUI_PushButton::NotifyPressed) {
    // A button held long enough shows its menu: the play button's speed menu.
    if (header.hwndFrom == &recordButton) StartTimer(Ids::kTimerRecord, Ids::kHoldMilliseconds);
    if (header.hwndFrom == &playButton) pressOpenedSpeedMenu = false;
    if (header.hwndFrom == &playButton && !playback.playing) StartTimer(Ids::kTimerSpeedMenu, Ids::kHoldMilliseconds);
    if (header.hwndFrom == &recordButton || header.hwndFrom == &playButton) return true;
  }
  if (header.hwndFrom == &objectCombo && header.code == GUI_ComboBox::NotifySelChange) {
    if (objects.Choose(objectCombo.GetCurSel())) NotifyParent(Ids::PanelNotify_ObjectChosen);
    return true;
  }
  if (header.code == GUI_EditBox::NotifyValueChanged) {
    if (header.hwndFrom == &falloffBeforeEdit)
      editor.SetFalloffBefore(static_cast<float>(falloffBeforeEdit.GetFloatValue()));
    if (header.hwndFrom == &falloffAfterEdit)
      editor.SetFalloffAfter(static_cast<float>(falloffAfterEdit.GetFloatValue()));
    graph->Invalidate();
    return true;
  }
  // The key and value boxes act when the user confirms a number: Enter, or leaving the box.
  if ((header.hwndFrom == &keyEdit || header.hwndFrom == &valueEdit) &&
      (header.code == GUI_EditBox::NotifyEnter || header.code == GUI_EditBox::NotifyLeave)) {
    ApplyTypedNumber(header.hwndFrom == &keyEdit ? keyEdit : valueEdit);
    return true;
  }
  if ((header.hwndFrom == &keyEdit || header.hwndFrom == &valueEdit) && header.code == GUI_EditBox::NotifyEscape) {
    ShowCurrentKey();
    return true;
  }
  if ((header.hwndFrom == horizontalRuler.get() || header.hwndFrom == verticalRuler.get()) &&
      (header.code == GUI_RulerCtrl::NotifyMarkerMoved || header.code == GUI_RulerCtrl::NotifyViewMoved)) {
    OnRulerMoved();
    return true;
  }
  if (header.hwndFrom == verticalRuler.get() && header.code == GUI_RulerCtrl::NotifyLabelsNeedRoom) {
    // Told while the ruler paints: the panel lays out once the paint is over.
    if (std::max(kRulerThickness, static_cast<int>(payload.distance)) != std::max(kRulerThickness, valueRulerWidth)) {
      valueRulerWidth = static_cast<int>(payload.distance);
      SetTimer(Ids::kTimerLayOut, 0);
    }
    return true;
  }
  return GUI_Dialog::OnNotify(header, payload, result);
}

void GUI_CurvePanelDialog::OnGraphNotify(int code) {
  // The edits show the current key; the panel's own writes are not edits of the user.
  updatingEdits = true;
  switch (code) {
    case Ids::GraphNotify_CurveChanged:
      if (core.EndEdit()) NotifyParent(Ids::PanelNotify_ClipChanged);
      break;
    case Ids::GraphNotify_CurveWillChange: {
      // The gesture is one action; the curves it may change are the shown ones, and of a
      // value drag's curves only the keys it moves. Told again while it lasts, it reaches
      // further within the same action.
      if (!core.IsEditing()) core.BeginEdit("Drag");
      const GraphEditor& editor = graph->GetEditor();
      for (CurveInfo* curve : core.GetSelection().GetCurves()) {
        const GraphEditor::Reach reach = editor.GestureReach(*curve);
        // Keys whose tangents follow the moved ones change their tangents too.
        if (!reach.valuesOnly || (reach.first <= reach.last && TangentShaper::HasMadeKeys(*curve->pCurve))) {
          core.Touch(curve);
        } else if (reach.first <= reach.last) {
          core.TouchValues(curve, reach.first, reach.last);
        }
      }
      break;
    }
    case Ids::GraphNotify_SelectionChanged:
      NotifyParent(Ids::PanelNotify_SelectionChanged);
      InvalidateViews();
      break;
    case Ids::GraphNotify_CurrentFrame: {
      const EditorToolkit::EditablePoint* current = graph->GetEditor().CurrentPoint();
      keyEdit.SetFloatValue(current ? current->x : 0.0);
      keyEdit.EnableWindow(true);
      break;
    }
    case Ids::GraphNotify_CurrentValue: {
      const EditorToolkit::EditablePoint* current = graph->GetEditor().CurrentPoint();
      valueEdit.SetFloatValue(current ? current->y : 0.0);
      valueEdit.EnableWindow(true);
      break;
    }
    case Ids::GraphNotify_ClearFrame: keyEdit.SetEmpty(); break;
    case Ids::GraphNotify_ClearValue: valueEdit.SetEmpty(); break;
    case Ids::GraphNotify_DisableFrame:
      keyEdit.SetEmpty();
      keyEdit.EnableWindow(false);
      break;
    case Ids::GraphNotify_DisableValue:
      valueEdit.SetEmpty();
      valueEdit.EnableWindow(false);
      break;
    case Ids::GraphNotify_EnableFrame: keyEdit.EnableWindow(true); break;
    case Ids::GraphNotify_EnableValue: valueEdit.EnableWindow(true); break;
    default: break;
  }
  updatingEdits = false;
}

void GUI_CurvePanelDialog::OnRulerMoved() {
  // While playing the controllers move the cursor, not the user.
  if (playback.playing) return;
  const float marker = static_cast<float>(horizontalRuler->GetMarkerPosition(Ids::kMarkerTimeCursor));
  const float cursor = core.GetTimeCursor();
  if (marker == cursor) {
    graph->Invalidate();
    return;
  }
  // Only the columns between the old and the new cursor need painting again.
  CRect graphClient;
  graph->GetClientRect(graphClient);
  const int from = horizontalRuler->ValueToPixel(std::min(marker, cursor)) - 1;
  const int to = horizontalRuler->ValueToPixel(std::max(marker, cursor)) + 1;
  const CRect area(std::max(from, 0), 0, std::min(to + 1, graphClient.right), graphClient.bottom);
  horizontalRuler->SetMarkerPosition(Ids::kMarkerTimeCursor, ClipEditCore::WholeFrame(marker), false);
  RedrawViews(&area);
  core.SetTimeCursor(static_cast<float>(horizontalRuler->GetMarkerPosition(Ids::kMarkerTimeCursor)));
  playback.ApplyFrame(core.GetTimeCursor());
}

bool GUI_CurvePanelDialog::ZoomRuler(GUI_RulerCtrl& ruler, double anchor, double factor) {
  const double scale = ruler.GetScale() * factor;
  if (!(scale >= kMinimumScale && scale <= kMaximumScale)) return false;
  ruler.ZoomOnValue(anchor, scale);
  return true;
}

bool GUI_CurvePanelDialog::OnMouseWheel(UINT, short delta, CPoint screenPoint) {
  SetFocus();
  // Each notch towards the user zooms in by the same factor as one away zooms out, about the
  // value under the pointer, which stays where it is.
  const double factor = delta < 0 ? kWheelZoomFactor : 1.0 / kWheelZoomFactor;
  auto inside = [&screenPoint](const GUI_Wnd& window, CRect& rect) {
    window.GetWindowRect(rect);
    return screenPoint.x >= rect.left && screenPoint.x <= rect.right && screenPoint.y >= rect.top &&
           screenPoint.y <= rect.bottom;
  };
  CRect rect;
  bool zoomed = false;
  if (inside(*horizontalRuler, rect)) {
    zoomed = ZoomRuler(*horizontalRuler, horizontalRuler->PixelToValue(screenPoint.x - rect.left), factor);
  } else if (inside(*verticalRuler, rect)) {
    zoomed = ZoomRuler(*verticalRuler, verticalRuler->PixelToValue(rect.bottom - screenPoint.y), factor);
  } else if (dopeSheetShown && inside(*dopeSheetCtrl, rect)) {
    zoomed = ZoomRuler(*horizontalRuler, horizontalRuler->PixelToValue(screenPoint.x - rect.left), factor);
  } else if (inside(*graph, rect)) {
    const double frame = horizontalRuler->PixelToValue(screenPoint.x - rect.left);
    const double value = verticalRuler->PixelToValue(rect.bottom - screenPoint.y);
    zoomed = ZoomRuler(*horizontalRuler, frame, factor);
    zoomed = ZoomRuler(*verticalRuler, value, factor) || zoomed;
  }
  if (zoomed) InvalidateViews();
  return true;
}

void GUI_CurvePanelDialog::FitAll() {
  if (dopeSheetShown) {
    FitDopeSheet(false);
    return;
  }
  graph->FitAll();
  InvalidateViews();
}

void GUI_CurvePanelDialog::ShowDopeSheet(bool show) {
  dopeSheetBox.Check(show);
  if (show == dopeSheetShown) return;
  dopeSheetShown = show;
  if (show) GetDopeSheet();
  graph->ShowWindow(!show);
  verticalRuler->ShowWindow(!show);
  dopeSheetCtrl->ShowWindow(show);
  dopeSheetLabels->ShowWindow(show);
  // The graph shows the selection the sheet made.
  if (!show) graph->GetEditor().UpdateSelectionRange();
  CRect client;
  GetClientRect(client);
  LayOut(client.Width(), client.Height());
  InvalidateViews();
}

DopeSheet& GUI_CurvePanelDialog::GetDopeSheet() {
  if (channelSource) dopeSheet.SetChannels(channelSource());
  return dopeSheet;
}

void GUI_CurvePanelDialog::OnDopeSheetNotify(int code) {
  switch (code) {
    case GUI_DopeSheetCtrl::kNotifyClipChanged:
      graph->GetEditor().ForgetCurrentPoint();
      NotifyParent(Ids::PanelNotify_ClipChanged);
      break;
    case GUI_DopeSheetCtrl::kNotifySelection: NotifyParent(Ids::PanelNotify_SelectionChanged); break;
    default: break;
  }
  dopeSheetCtrl->Invalidate();
  dopeSheetLabels->Invalidate();
}

void GUI_CurvePanelDialog::FitDopeSheet(bool selectedOnly) {
  float first = 0.0f;
  float last = 0.0f;
  bool any = false;
  DopeSheet& sheet = GetDopeSheet();
  if (selectedOnly) any = sheet.GetSelectedSpan(first, last);
  if (!any && !sheet.GetRows().empty()) {
    for (const CurveInfo* curve : sheet.GetRows().front().curves) {
      const EditorToolkit::Curve2& points = *curve->pCurve;
      if (points.GetPointCount() == 0) continue;
      const float low = points.GetPointAt(0)->x;
      const float high = points.GetPointAt(points.GetPointCount() - 1)->x;
      first = any ? std::min(first, low) : low;
      last = any ? std::max(last, high) : high;
      any = true;
    }
  }
  if (!any) return;
  // As the graph fits: ten frames of margin in all.
  horizontalRuler->Fit((static_cast<double>(first) + last) / 2.0, static_cast<double>(last) - first + 10.0);
  InvalidateViews();
}

void GUI_CurvePanelDialog::FrameSelection() {
  if (dopeSheetShown) {
    FitDopeSheet(true);
    return;
  }
  graph->FrameSelection();
  InvalidateViews();
}

bool GUI_CurvePanelDialog::PreTranslateMessage(const GUI_Msg& msg) {
  // Keys pressed in the panel are the page's keys, but for those typed into an edit box.
  if (msg.message == WM_KEYDOWN && !dynamic_cast<const GUI_EditBox*>(msg.hwnd) && GetParent() &&
      GetParent()->PreTranslateMessage(msg)) {
    return true;
  }
  return GUI_Dialog::PreTranslateMessage(msg);
}

void GUI_CurvePanelDialog::StartTimer(UINT id, UINT milliseconds) {
  if (!SetTimer(id, milliseconds)) EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: timer %u did not start", id);
}

void GUI_CurvePanelDialog::SetPlayIcon(int themeIcon) {
  playButton.ShowWindow(false);
  playButton.SetIcon(GUI_ThemeManager::GetIcon(themeIcon), false);
  playButton.ShowWindow(true);
}

void GUI_CurvePanelDialog::EnableKeyStepping(bool enable) {
  previousKeyButton.EnableWindow(enable);
  nextKeyButton.EnableWindow(enable);
}

void GUI_CurvePanelDialog::StartPlayback() {
  SetPlayIcon(Ids::kThemeIconStop);
  EnableKeyStepping(false);
  // One step per display refresh: each step is a picture, and a picture more often than the
  // display shows them is work for nothing.
  if (playback.Start()) {
    StartTimer(Ids::kTimerPlayback,
               static_cast<UINT>(std::max(1.0, std::floor(1000.0 / EditorCore::GUI_App::GetDisplayRefreshRate()))));
  }
}

void GUI_CurvePanelDialog::StopPlayback() {
  if (!playback.Stop()) return;
  SetPlayIcon(Ids::kThemeIconPlay);
  EnableKeyStepping(true);
  KillTimer(Ids::kTimerPlayback);
  RedrawViews();
}

void GUI_CurvePanelDialog::UpdateRecordingControls() {
  autoRecordBox.Check(playback.autoRecord);
  recordButton.EnableWindow(!playback.autoRecord);
}

void GUI_CurvePanelDialog::FillObjectList() {
  objectCombo.ResetContent();
  if (!objects.Fill()) {
    objectCombo.AddString(ModuleText::Translate("No Scene found..."));
    objectCombo.SetCurSel(PreviewObjects::kAllEntry);
    return;
  }
  objectCombo.SetItemData(objectCombo.AddString(ModuleText::Translate(" - All animated objects")), 0);
  objectCombo.SetItemData(objectCombo.AddString(ModuleText::Translate(" - Scene selection")), 0);
  for (const PreviewObjects::ListedObject& listed : objects.GetListed()) {
    objectCombo.SetItemData(objectCombo.AddString(listed.text), reinterpret_cast<LPARAM>(listed.object));
  }
  objectCombo.SetCurSel(objects.GetCurrentEntry());
  InvalidateViews();
}

void GUI_CurvePanelDialog::ShowObjectChoice() {
  objects.ShowChoice();
  objectCombo.SetCurSel(objects.GetCurrentEntry());
}

void GUI_CurvePanelDialog::ShowSpeedMenu() {
  KillTimer(Ids::kTimerSpeedMenu);
  speedMenu = std::make_unique<GUI_Menu>();
  if (!speedMenu->CreatePopupMenu()) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the speed menu could not be made");
    return;
  }
  for (const SpeedItem& item : kSpeeds) {
    if (item.command == Ids::kCmdForwardsHalf) speedMenu->AppendSeparator();
    speedMenu->AppendMenu(MF_STRING, item.command, ModuleText::Translate(item.text));
  }
  for (const SpeedItem& item : kSpeeds) {
    if (item.speed == playback.speed) {
      speedMenu->CheckMenuRadioItem(Ids::kCmdBackwards2x, Ids::kCmdForwardsHalf, item.command, MF_BYCOMMAND);
    }
  }
  CRect button;
  playButton.GetWindowRect(button);
  pressOpenedSpeedMenu = true;
  speedMenu->TrackPopupMenu(TPM_RIGHTBUTTON, button.left, button.bottom + 5, this);
}

void GUI_CurvePanelDialog::ShowTangentsMenu() {
  tangentsMenu = std::make_unique<GUI_Menu>();
  if (!tangentsMenu->CreatePopupMenu()) return;
  GUI_GraphCtrl::AppendTangentTypes(*tangentsMenu, Ids::kCmdSelectionTangents, true);
  CRect button;
  tangentsButton.GetWindowRect(button);
  tangentsMenu->TrackPopupMenu(TPM_RIGHTBUTTON, button.left, button.bottom + 5, this);
}

void GUI_CurvePanelDialog::OnTimer(UINT id) {
  switch (id) {
    case Ids::kTimerSpeedMenu: ShowSpeedMenu(); break;
    case Ids::kTimerLayOut: {
      KillTimer(Ids::kTimerLayOut);
      CRect client;
      GetClientRect(client);
      LayOut(client.Width(), client.Height());
      RedrawViews();
      break;
    }
    case Ids::kTimerRecord: break;
    case Ids::kTimerPlayback: {
      const bool finished = playback.Step();
      if (playback.Moved()) {
        horizontalRuler->SetMarkerPosition(Ids::kMarkerTimeCursor, core.GetTimeCursor(), true);
        RedrawViews();
      }
      if (finished) StopPlayback();
      break;
    }
    default: GUI_Dialog::OnTimer(id); break;
  }
}

bool GUI_CurvePanelDialog::OnPreviewCommand(UINT id) {
  switch (id) {
    case Ids::kCtlAutoRecordBox:
      playback.autoRecord = !playback.autoRecord;
      UpdateRecordingControls();
      return true;
    case Ids::kCtlRecordButton:
      KillTimer(Ids::kTimerRecord);
      playback.autoRecord = false;
      UpdateRecordingControls();
      NotifyParent(Ids::PanelNotify_RecordKey);
      return true;
    case Ids::kCtlPlayButton:
      KillTimer(Ids::kTimerSpeedMenu);
      if (std::exchange(pressOpenedSpeedMenu, false)) return true;
      if (playback.playing) {
        StopPlayback();
      } else {
        StartPlayback();
      }
      return true;
    case Ids::kCtlLoopBox: playback.bLoop = loopBox.IsChecked(); return true;
    case Ids::kCmdAutoRecord: playback.autoRecord = !playback.autoRecord; return true;
    default: break;
  }
  for (const SpeedItem& item : kSpeeds) {
    if (item.command != id) continue;
    playback.speed = item.speed;
    StartPlayback();
    return true;
  }
  return false;
}

}  // namespace Tarvel
