// The curve panel's preview: playing the page's clip on the chosen scene objects through
// their animation controllers, posing them at the time cursor, and recording keys.

#include <chrono>
#include <cmath>
#include <thread>

#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_ModuleManager.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Scene.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "graph/GUI_GraphCtrl.h"
#include "module/AnimClipDialog.h"
#include "module/ModuleText.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

constexpr UINT kSpeedMenuTimer = 1;
constexpr UINT kRecordTimer = 2;
constexpr UINT kStepTimer = 3;
constexpr UINT kHoldMilliseconds = 400;
constexpr UINT kViewerModule = 0x10000000u;
constexpr UINT kViewerRedraw = 2324;
constexpr UINT kPoseApplied = 2228;
constexpr std::uint32_t kAllObjectTypes = 0x7FFFFFFF;
constexpr int kPlayIcon = 22;
constexpr int kStopIcon = 23;

struct SpeedItem {
  UINT command;
  float speed;
  const char* text;
};

// In menu order; the separator stands between the backward and the forward speeds.
constexpr SpeedItem kSpeeds[] = {
    {16695, -2.0f, "Backwards  2x"}, {16696, -1.0f, "Backwards  1x"}, {16697, -0.5f, "Backwards .5x"},
    {16700, 0.5f, "Forwards  .5x"},  {16699, 1.0f, "Forwards   1x"},  {16698, 2.0f, "Forwards   2x"},
};

GUI_Module* FindViewer() {
  GUI_MainFrame* frame = GUI_MainFrame::GetMainFrame();
  return frame ? frame->GetModuleManager()->GetModuleWithID(kViewerModule) : nullptr;
}

void SendToViewer(GUI_Module* viewer, UINT message, WPARAM wParam) {
  GUI_MainFrame* frame = GUI_MainFrame::GetMainFrame();
  if (frame && viewer) frame->GetModuleManager()->SendFrameworkMessage(viewer, message, wParam, 0);
}

}  // namespace

bool GUI_CurvePanelDialog::IsAnimatedByClip(const EngineCore::SceneObject* object, std::uint32_t* clipKey) const {
  const EngineCore::AnimController* controller = object ? object->GetController() : nullptr;
  if (!controller || !(object->GetTypeFlags() & EngineCore::SceneObject::TypeAnimated) || !page->GetClip()) {
    return false;
  }
  std::uint32_t key = 0;
  if (!controller->FindClip(page->GetClip(), key)) return false;
  if (clipKey) *clipKey = key;
  return true;
}

void GUI_CurvePanelDialog::BuildTargets() {
  if (objectCombo.IsWindow() && objectCombo.GetCurSel() == 0 && page->scene && page->scene->GetEditionManager()) {
    chosenObjects.clear();
    page->scene->SearchAllObjects(kAllObjectTypes, chosenObjects);
  }
}

void GUI_CurvePanelDialog::BuildRange() {
  if (graph->fSelectionBegin >= 0.0f && graph->fSelectionEnd >= 0.0f) {
    playBegin = graph->fSelectionBegin;
    playEnd = graph->fSelectionEnd;
  } else if (page->GetClip()) {
    playBegin = static_cast<float>(page->GetClip()->GetFirstKeyFrame());
    playEnd = static_cast<float>(page->GetClip()->GetLastKeyFrame());
  }
}

void GUI_CurvePanelDialog::SetPlayIcon(int themeIcon) {
  playButton.ShowWindow(false);
  playButton.SetIcon(GUI_ThemeManager::GetIcon(themeIcon), false);
  playButton.ShowWindow(true);
}

void GUI_CurvePanelDialog::StartPlayback() {
  if (!objectCombo.IsWindow()) return;
  playing = true;
  SetPlayIcon(kStopIcon);
  BuildRange();
  BuildTargets();
  const bool loop = loopBox.IsChecked();
  const std::uint32_t mode = speed < 0.0f ? (loop ? 3u : 1u) : (loop ? 2u : 0u);
  for (EngineCore::SceneObject* object : chosenObjects) {
    std::uint32_t clipKey = 0;
    if (!IsAnimatedByClip(object, &clipKey)) continue;
    EngineCore::AnimController& controller = *object->GetController();
    controller.Reinit();
    controller.ChangeClip(0, clipKey);
    controller.ChangePlaybackKeyFrameBegin(0, static_cast<std::uint32_t>(playBegin));
    controller.ChangePlaybackKeyFrameEnd(0, static_cast<std::uint32_t>(playEnd));
    controller.ChangePlaybackLevel(0, 1.0f);
    controller.ChangePlaybackSpeed(0, std::abs(speed) * 60.0f);
    controller.SetPlaybackFrame(0, speed < 0.0f ? playEnd : playBegin);
    controller.ChangePlaybackMode(0, mode);
  }
  stepTimer.Reset();
  elapsed = 0.0f;
  viewerModule = FindViewer();
  if (viewerModule) SetTimer(kStepTimer, 1);
}

void GUI_CurvePanelDialog::StopPlayback() {
  if (!playing) return;
  playing = false;
  SetPlayIcon(kPlayIcon);
  KillTimer(kStepTimer);
  RedrawViews();
}

void GUI_CurvePanelDialog::PlaybackStep() {
  stepTimer.Update();
  float dt = stepTimer.GetElapsedSeconds();
  // The controllers never advance by less than a millisecond.
  if (dt < 0.001f) {
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>((0.001f - dt) * 1000.0f)));
    dt = 0.001f;
  }
  stepTimer.Reset();
  elapsed = dt;
  BuildTargets();
  bool stop = false;
  for (EngineCore::SceneObject* object : chosenObjects) {
    if (!IsAnimatedByClip(object)) continue;
    EngineCore::AnimController& controller = *object->GetController();
    controller.RunOneFrame(dt);
    timeCursor = controller.GetPlaybackFrame(0);
    SendToViewer(viewerModule, kViewerRedraw, 0);
    if (!loopBox.IsChecked() &&
        ((speed > 0.0f && timeCursor >= playEnd) || (speed <= 0.0f && timeCursor <= playBegin))) {
      stop = true;
    }
  }
  if (stop) StopPlayback();
  horizontalRuler->SetMarkerPosition(4, timeCursor, true);
  RedrawViews();
}

void GUI_CurvePanelDialog::ApplyFrame(float frame) {
  BuildRange();
  BuildTargets();
  EngineCore::AnimClip* clip = page->GetClip();
  for (EngineCore::SceneObject* object : chosenObjects) {
    std::uint32_t clipKey = 0;
    if (!clip || !IsAnimatedByClip(object, &clipKey)) continue;
    EngineCore::AnimController& controller = *object->GetController();
    controller.Reinit();
    controller.ChangeClip(0, clipKey);
    controller.ChangePlaybackKeyFrameBegin(0, clip->GetFirstKeyFrame());
    controller.ChangePlaybackKeyFrameEnd(0, clip->GetLastKeyFrame());
    controller.ChangePlaybackKeyFrameBegin(0, static_cast<std::uint32_t>(playBegin));
    controller.ChangePlaybackKeyFrameEnd(0, static_cast<std::uint32_t>(playEnd));
    controller.ChangePlaybackLevel(0, 1.0f);
    controller.SetPlaybackFrame(0, frame);
    controller.ChangePlaybackMode(0, 0);
    controller.RunOneFrame(0.001f);
    if (GUI_Module* viewer = FindViewer()) SendToViewer(viewer, kViewerRedraw, 0);
    if (GUI_MainFrame* mainFrame = GUI_MainFrame::GetMainFrame()) {
      mainFrame->GetModuleManager()->SendFrameworkMessageToAll(kPoseApplied, reinterpret_cast<WPARAM>(page->scene), 0);
    }
  }
}

void GUI_CurvePanelDialog::UpdateRecordingControls() {
  if (autoRecordBox.IsWindow()) autoRecordBox.Check(autoRecord);
  if (recordButton.IsWindow()) recordButton.EnableWindow(!autoRecord);
}

void GUI_CurvePanelDialog::ShowSpeedMenu() {
  KillTimer(kSpeedMenuTimer);
  speedMenu = std::make_unique<GUI_Menu>();
  speedMenu->CreatePopupMenu();
  for (const SpeedItem& item : kSpeeds) {
    if (item.command == 16700) speedMenu->AppendSeparator();
    speedMenu->AppendMenu(MF_STRING, item.command, ModuleText::Translate(item.text));
  }
  for (const SpeedItem& item : kSpeeds) {
    if (item.speed == speed) speedMenu->CheckMenuRadioItem(16695, 16700, item.command, MF_BYCOMMAND);
  }
  CRect button;
  playButton.GetWindowRect(button);
  speedMenu->TrackPopupMenu(TPM_RIGHTBUTTON, button.left, button.bottom + 5, this);
}

void GUI_CurvePanelDialog::OnTimer(UINT id) {
  switch (id) {
    case kSpeedMenuTimer: ShowSpeedMenu(); break;
    case kRecordTimer: break;
    case kStepTimer: PlaybackStep(); break;
    default: GUI_Dialog::OnTimer(id); break;
  }
}

bool GUI_CurvePanelDialog::OnPreviewCommand(UINT id) {
  if (id == static_cast<UINT>(autoRecordBox.GetDlgCtrlID())) {
    autoRecord = !autoRecord;
    UpdateRecordingControls();
    return true;
  }
  if (id == static_cast<UINT>(recordButton.GetDlgCtrlID())) {
    KillTimer(kRecordTimer);
    autoRecord = false;
    UpdateRecordingControls();
    page->CreatePoint(true);
    return true;
  }
  if (id == static_cast<UINT>(playButton.GetDlgCtrlID())) {
    KillTimer(kSpeedMenuTimer);
    if (playing) {
      StopPlayback();
    } else {
      StartPlayback();
    }
    return true;
  }
  if (id == 16694) {
    autoRecord = !autoRecord;
    return true;
  }
  for (const SpeedItem& item : kSpeeds) {
    if (item.command != id) continue;
    speed = item.speed;
    StartPlayback();
    return true;
  }
  return false;
}

bool GUI_CurvePanelDialog::OnPreviewPressed(const GUI_Wnd* button) {
  if (button == &recordButton) {
    SetTimer(kRecordTimer, kHoldMilliseconds);
    return true;
  }
  if (button == &playButton) {
    if (!playing) SetTimer(kSpeedMenuTimer, kHoldMilliseconds);
    return true;
  }
  return false;
}

}  // namespace Tarvel
