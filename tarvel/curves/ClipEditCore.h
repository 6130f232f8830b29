#pragma once

#include <cstdint>
#include <string>

#include "EditorToolkit/Curve2.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Scene.h"
#include "EngineCore/SceneObject.h"
#include "EngineCore/String.h"
#include "curves/ClipUndoHistory.h"
#include "curves/CurveSelection.h"
#include "curves/CurveSet.h"

namespace Tarvel {

// Everything one open clip page edits, without a window: the clip with its editable curves,
// their write-back into the clip, the undo history, the curves shown and selected with the
// selection range, the one time cursor, and the point clipboard the pages share. The page,
// its lists, its curve panel and its graph read and change the clip only through it.
//
// What callers may rely on:
// 1. The core holds one reference to its clip from AttachClip to DetachClip (or its end).
//    Curve records live from the load of their channel to its removal or reload, or to
//    DetachClip; removing a channel drops its curves from the selection first and turns
//    their undo snapshots stale.
// 2. Every edit of a curve is written back into the clip by the operation that made it;
//    an edit that moves both ends of the clip's key-frame range tells every module (3526).
// 3. The time cursor is a frame as a float; views show it, they do not keep their own.
// 4. Operations report whether they changed anything; the caller redraws what shows it.
class ClipEditCore {
 public:
  ClipEditCore() = default;
  ~ClipEditCore();
  ClipEditCore(const ClipEditCore&) = delete;
  ClipEditCore& operator=(const ClipEditCore&) = delete;

  // Takes a reference to the clip and builds its curves, the previous clip (if any) let go
  // first. False when the clip is the current one already.
  bool AttachClip(EngineCore::AnimClip* newClip);
  // Destroys every curve, then releases the clip.
  void DetachClip();
  EngineCore::AnimClip* GetClip() const { return clip; }
  void SetScene(EngineCore::Scene* newScene) { scene = newScene; }
  EngineCore::Scene* GetScene() const { return scene; }
  // The scene's edition manager, or null without a scene.
  EngineCore::SceneEditionManager* GetSceneSelection() const;
  // The point clipboard shared by every page; not owned.
  void SetClipboard(EditorToolkit::Curve2* shared) { clipboard = shared; }
  EditorToolkit::Curve2* GetClipboard() const { return clipboard; }

  // (Re)creates a channel's curves from its tracks.
  const CurveSet::Curves& BuildChannelCurves(std::uint32_t channelKey, const EngineCore::AnimChannel& channel);
  // Every channel's curves again, in the clip's channel order.
  void RebuildAllCurves();
  // Drops a channel's curves: out of the selection, their snapshots stale, then destroyed.
  void RemoveChannelCurves(std::uint32_t channelKey);
  void DestroyAllCurves();
  // The channel's curves, or null when the key is not in the set.
  const CurveSet::Curves* GetChannelCurves(std::uint32_t channelKey) const;
  const CurveSet& GetCurveSet() const { return curveSet; }

  // Shows a channel's curves after those already shown; false when it has none loaded.
  bool ShowChannel(std::uint32_t channelKey);
  // What the rows of a channel's curves show: its name, or its key as "0x%x" when it has none.
  std::string GetChannelLabel(std::uint32_t channelKey) const;
  CurveSelection& GetSelection() { return selection; }
  const CurveSelection& GetSelection() const { return selection; }

  float GetTimeCursor() const { return timeCursor; }
  // True when the cursor moved.
  bool SetTimeCursor(float frame);
  // The frame the point operations key at: the time cursor, never below 0.
  float GetCursorFrame() const { return timeCursor < 0.0f ? 0.0f : timeCursor; }
  // Rounding to a whole frame: exact halves go down.
  static float WholeFrame(float frame);

  // False, and nothing changes, when the set has no entry for the key.
  bool WriteBackChannel(std::uint32_t channelKey);
  // Every channel in ascending key order, then the key-frame range check.
  void WriteBackAllChannels();
  // Recomputes the clip's key-frame range; when both ends moved, tells every module and
  // returns true.
  bool CheckKeyFrameRange();

  void RecordCurve(CurveInfo* curve, const EngineCore::String& label);
  // What every tool does before it changes a curve: a curve never recorded is recorded under
  // the tool's label, and the step moves on.
  void RecordBefore(CurveInfo* curve, const EngineCore::String& label);
  // Snapshots of the selected curves of the rows.
  void RecordStep(const EngineCore::String& label, bool bOnlyUnrecorded);
  // What every point operation and tool ends with: the key-frame range check, then the undo
  // step under its label.
  void CloseOperation(const char* label);
  // Both write back every channel they restore; false when there was nothing to do.
  bool Undo();
  bool Redo();
  const ClipUndoHistory& GetUndoHistory() const { return undoHistory; }

  // The latest key before a frame on the curves the user works on (the selected rows when
  // the graph has selected curves, else every row), never earlier than the clip's first key
  // frame; 0 without a clip.
  float GetPreviousKeyFrame(float frame) const;
  // The earliest key after a frame, never later than the clip's last key frame.
  float GetNextKeyFrame(float frame) const;

  // Whether an object carries a controller that holds the clip (its key there in clipKey).
  bool IsAnimatedByClip(const EngineCore::SceneObject* object, std::uint32_t* clipKey = nullptr) const;
  // The channel an object's controller plays; 0 for none.
  static std::uint32_t GetObjectChannel(const EngineCore::SceneObject* object);

 private:
  std::vector<const CurveInfo*> SteppingCurves() const;

  // The page's clip; the core holds one reference.
  EngineCore::AnimClip* clip = nullptr;
  EngineCore::Scene* scene = nullptr;
  EditorToolkit::Curve2* clipboard = nullptr;
  CurveSet curveSet;
  ClipUndoHistory undoHistory;
  CurveSelection selection;
  float timeCursor = 0.0f;
};

}  // namespace Tarvel
