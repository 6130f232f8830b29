#pragma once

#include <functional>

#include "EngineCore/Timer.h"
#include "objects/PreviewObjects.h"

namespace EditorCore {
class GUI_Module;
}

namespace Tarvel {

class ClipEditCore;

// Playing a clip page's clip on the chosen objects through their animation controllers,
// posing them at single frames, and the settings of both. What callers may rely on:
// 1. The preview plays over the selection range when there is one, else over the clip's
//    key-frame range, forwards or backwards at |speed| times the clip's frame rate, so that
//    1x plays it in real time.
// 2. Each step that moves the cursor and each applied frame move the page's one time cursor
//    and tell the host's viewer module (2324) to redraw, once whatever the number of objects;
//    a step that leaves the cursor where it was tells nobody. An applied frame also tells
//    every module (2228).
// 3. Objects without a controller holding the clip are skipped.
// 4. The cursor advances by the elapsed time at the playback's speed, with or without
//    objects to play on; the objects are posed at the cursor's frame.
// The window timers that drive the steps belong to the curve panel, which steps once per
// display refresh: a step is a picture.
class PreviewPlayback {
 public:
  PreviewPlayback(ClipEditCore& editCore, PreviewObjects& previewObjects) : core(editCore), objects(previewObjects) {}

  // Starts playing; true when steps are to run (the host's viewer module exists).
  bool Start();
  // One step of the elapsed real time. True when the preview reached the end of a range it
  // does not loop: the caller then stops it.
  bool Step();
  // Whether the last step moved the cursor (a clip shorter than a frame, or one held at its
  // end, does not): only then is there anything new to draw.
  bool Moved() const { return moved; }
  // False when it was not playing.
  bool Stop();
  // Poses the targets at a frame (scrubbing, key stepping): the frame under the cursor,
  // never clamped to the selected frames. Ends with one viewer redraw (2324) and one
  // broadcast of the pose (2228), however many targets the clip animates, none included.
  void ApplyFrame(float frame);
  // Seconds since the previous step come from the engine's timer, or from this clock when
  // one is given (tests drive time with it).
  void SetStepClock(std::function<float()> clock) { stepClock = std::move(clock); }

  // -2, -1, -0.5, 0.5, 1 or 2: the sign is the direction.
  float speed = 1.0f;
  bool playing = false;
  bool bLoop = true;
  // A key is added at the time cursor whenever a pose is applied anywhere (2228).
  bool autoRecord = false;
  float playBegin = 0.0f;
  float playEnd = 0.0f;
  // Seconds of the last step.
  float elapsed = 0.0f;
  // Where the playback is: the time cursor while it plays.
  float playFrame = 0.0f;
  bool moved = false;

 private:
  void BuildRange();
  // The clip's rate, in key frames per second.
  float FramesPerSecond() const;
  // The frame `seconds` after `frame`, wrapped into the range when looping, else held at its
  // ends.
  float Advance(float frame, float seconds) const;

  ClipEditCore& core;
  PreviewObjects& objects;
  EngineCore::Timer stepTimer;
  std::function<float()> stepClock;
  // The host module told to redraw after each step, as last looked up.
  EditorCore::GUI_Module* viewerModule = nullptr;
};

}  // namespace Tarvel
