#include "objects/PreviewPlayback.h"

#include <algorithm>
#include <cmath>

#include "EngineCore/AnimClip.h"
#include "curves/ClipEditCore.h"
#include "curves/FrameworkMessages.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

void PreviewPlayback::BuildRange() {
  const CurveSelection& selection = core.GetSelection();
  if (selection.fSelectionBegin >= 0.0f && selection.fSelectionEnd >= 0.0f) {
    playBegin = selection.fSelectionBegin;
    playEnd = selection.fSelectionEnd;
  } else if (const EngineCore::AnimClip* clip = core.GetClip()) {
    playBegin = static_cast<float>(clip->GetFirstKeyFrame());
    playEnd = static_cast<float>(clip->GetLastKeyFrame());
  }
}

bool PreviewPlayback::Start() {
  playing = true;
  BuildRange();
  objects.BuildTargets();
  const std::uint32_t mode = speed < 0.0f ? (bLoop ? 3u : 1u) : (bLoop ? 2u : 0u);
  for (EngineCore::SceneObject* object : objects.chosenObjects) {
    std::uint32_t clipKey = 0;
    if (!core.IsAnimatedByClip(object, &clipKey)) continue;
    EngineCore::AnimController& controller = *object->GetController();
    controller.Reinit();
    controller.ChangeClip(0, clipKey);
    controller.ChangePlaybackKeyFrameBegin(0, static_cast<std::uint32_t>(playBegin));
    controller.ChangePlaybackKeyFrameEnd(0, static_cast<std::uint32_t>(playEnd));
    controller.ChangePlaybackLevel(0, 1.0f);
    controller.ChangePlaybackSpeed(0, std::abs(speed) * FramesPerSecond());
    controller.SetPlaybackFrame(0, speed < 0.0f ? playEnd : playBegin);
    controller.ChangePlaybackMode(0, mode);
  }
  playFrame = std::trunc(speed < 0.0f ? playEnd : playBegin);
  moved = false;
  stepTimer.Reset();
  elapsed = 0.0f;
  viewerModule = FrameworkMessages::FindModule(Ids::kViewerModule);
  return viewerModule != nullptr;
}

bool PreviewPlayback::Step() {
  stepTimer.Update();
  const float dt = std::max(stepClock ? stepClock() : stepTimer.GetElapsedSeconds(), 0.0f);
  stepTimer.Reset();
  elapsed = dt;
  const float before = playFrame;
  playFrame = Advance(playFrame, dt);
  moved = playFrame != before;
  const float begin = std::trunc(playBegin);
  const float end = std::trunc(playEnd);
  const bool ended = !bLoop && ((speed > 0.0f && playFrame >= end) || (speed <= 0.0f && playFrame <= begin));
  if (!moved) return ended;
  objects.BuildTargets();
  for (EngineCore::SceneObject* object : objects.chosenObjects) {
    if (!core.IsAnimatedByClip(object)) continue;
    // The controllers show the cursor's frame, so that objects and cursor never drift apart.
    EngineCore::AnimController& controller = *object->GetController();
    controller.SetPlaybackFrame(0, playFrame);
    controller.RunOneFrame(0.0f);
  }
  core.SetTimeCursor(playFrame);
  FrameworkMessages::SendTo(viewerModule, Ids::kMsgViewerRedraw, 0, 0);
  return ended;
}

float PreviewPlayback::FramesPerSecond() const {
  const EngineCore::AnimClip* clip = core.GetClip();
  return clip ? clip->GetFrameRate() : EngineCore::AnimClip::kDefaultFrameRate;
}

float PreviewPlayback::Advance(float frame, float seconds) const {
  const float begin = std::trunc(playBegin);
  const float end = std::trunc(playEnd);
  const float span = end - begin;
  frame += speed * FramesPerSecond() * seconds;
  if (!bLoop || span <= 0.0f) return std::clamp(frame, begin, std::max(begin, end));
  if (frame > end) frame = begin + std::fmod(frame - begin, span);
  if (frame < begin) frame = end - std::fmod(begin - frame, span);
  return frame;
}

bool PreviewPlayback::Stop() {
  if (!playing) return false;
  playing = false;
  return true;
}

void PreviewPlayback::ApplyFrame(float frame) {
  objects.BuildTargets();
  const EngineCore::AnimClip* clip = core.GetClip();
  for (EngineCore::SceneObject* object : objects.chosenObjects) {
    std::uint32_t clipKey = 0;
    if (!clip || !core.IsAnimatedByClip(object, &clipKey)) continue;
    EngineCore::AnimController& controller = *object->GetController();
    controller.Reinit();
    controller.ChangeClip(0, clipKey);
    // The pose is the clip's at the frame under the cursor, whatever frames are selected.
    controller.ChangePlaybackKeyFrameBegin(0, std::min(clip->GetFirstKeyFrame(), static_cast<std::uint32_t>(frame)));
    controller.ChangePlaybackKeyFrameEnd(
        0, std::max(clip->GetLastKeyFrame(), static_cast<std::uint32_t>(std::ceil(frame))));
    controller.ChangePlaybackLevel(0, 1.0f);
    controller.SetPlaybackFrame(0, frame);
    controller.ChangePlaybackMode(0, 0);
    controller.RunOneFrame(0.001f);
  }
  // One redraw and one word of the pose for the whole frame, also when no object took part:
  // auto-record keys on that word.
  FrameworkMessages::SendTo(FrameworkMessages::FindModule(Ids::kViewerModule), Ids::kMsgViewerRedraw, 0, 0);
  FrameworkMessages::Broadcast(Ids::kMsgPoseApplied, reinterpret_cast<EditorCore::WPARAM>(core.GetScene()), 0);
}

}  // namespace Tarvel
