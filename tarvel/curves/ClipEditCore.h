#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EditorToolkit/Curve2.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Scene.h"
#include "EngineCore/SceneObject.h"
#include "EngineCore/String.h"
#include "curves/ChannelData.h"
#include "curves/ChannelDesc.h"
#include "curves/CurveSelection.h"
#include "curves/CurveSet.h"
#include "curves/EditHistory.h"

namespace Tarvel {

// Everything one open clip page edits, without a window: the clip with its editable curves,
// their write-back into the clip, the undo history, the curves shown and selected with the
// selection range, the one time cursor, and the point clipboard the pages share. The page,
// its lists, its curve panel and its graph read and change the clip only through it.
//
// What callers may rely on:
// 1. The core holds one reference to its clip from AttachClip to DetachClip (or its end).
//    Curve records live from the load of their channel to its removal or reload, or to
//    DetachClip; removing a channel drops its curves from the selection first.
// 2. Every action of the user (BeginEdit ... EndEdit, or a channel operation) is written
//    back into the clip when it ends and is one undo step; the axes of a track it changed end
//    it with their points on the same frames, as the track's keys in the clip; an action that moves both ends of
//    the clip's key-frame range tells every module (3526). The clip is marked modified
//    exactly while the state shown is not the one its file holds.
// 3. The time cursor is a frame as a float; views show it, they do not keep their own.
// 4. Operations report whether they changed anything; the caller redraws what shows it.
// 5. Edits stay within what a clip file can hold: an action that would put a key past
//    AnimCurve::kMaxKeyFrame, or more than AnimClip::kMaxKeys keys in the clip, is taken
//    back whole when it ends, records nothing and is told to the refusal sink.
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
  // The clip's contents were read again from its file: every curve is built anew and the
  // history starts over, since its steps were made on what the clip held before.
  void ReloadClip();
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
  // The same for each of the channels.
  void WriteBackChannels(const std::vector<std::uint32_t>& keys);
  // Every channel in ascending key order, then the key-frame range check.
  void WriteBackAllChannels();
  // Recomputes the clip's key-frame range; when both ends moved, tells every module and
  // returns true.
  bool CheckKeyFrameRange();

  // An action of the user, as one undo step. BeginEdit opens it; Touch says that a curve is
  // about to change (its points now are its state before the action; a curve touched twice
  // keeps its first state); EndEdit compares every touched curve with that state, writes the
  // channels that changed back into the clip, checks the key-frame range and records the
  // changes as one step. An action that changed nothing writes nothing and records nothing:
  // EndEdit then returns false.
  void BeginEdit(const char* label);
  // Touch hands out the curve as the action may change it: the only way to change a curve's
  // points (null without an action in progress).
  EditorToolkit::Curve2* Touch(CurveInfo* curve);
  // Says that of this curve only the values of the points first..last may change, which then
  // alone are kept as its state before: a value drag over a long take keeps only the keys it
  // moves. The curve must keep its frames, its tangents and its count until it is touched whole (which
  // turns the kept part into the whole state before) or the action ends. Touched twice, the
  // part grows to cover both ranges. Null when the range holds no point of a curve the action
  // has not touched.
  EditorToolkit::Curve2* TouchValues(CurveInfo* curve, std::uint32_t first, std::uint32_t last);
  // The writable curve of a curve the action in progress touched; null for any other.
  EditorToolkit::Curve2* Edited(const CurveInfo* curve) const;
  // Every selected row, as the tools change them.
  void TouchSelectedRows();
  // Puts a curve touched by the action in progress back to its state before the action (a
  // gesture takes back what it did to it); false, and nothing changes, for a curve the action
  // did not touch.
  bool Revert(CurveInfo* curve);
  bool EndEdit();
  // Who tells the user why an action was taken back (rule 5); without one, only the log.
  void SetRefusalSink(std::function<void(const std::string&)> sink) { refusalSink = std::move(sink); }
  bool IsEditing() const { return pending != nullptr; }
  // Bytes the action in progress keeps of its curves' states before (0 without one).
  std::size_t GetPendingBytes() const;

  // The channel operations, each one undo step that marks the clip modified. CreateChannel
  // adds a channel with the chosen tracks at the end of the clip and returns its key (0 when
  // the clip refuses the name). EditChannel renames the channel and gives it the chosen
  // tracks, tracks that stay keeping their keys; it returns the channel's key afterwards, or
  // 0 when the clip refuses the name (nothing changes then).
  std::uint32_t CreateChannel(const ChannelDesc& desc);
  bool RemoveChannels(const std::vector<std::uint32_t>& channelKeys);
  std::uint32_t EditChannel(std::uint32_t channelKey, const ChannelDesc& desc);

  // Gives the clip another frame rate (a positive finite number of frames per second) as one
  // undo step. With keepTimes every key keeps its time: its frame is scaled by the ratio of
  // the rates, and a curve whose keys do not all land on whole frames then (within a
  // thousandth of a frame) is sampled on every whole frame of the new rate over its keys'
  // span and thinned again within tolerance. Without, every key keeps its frame number and
  // the clip plays faster or slower. False, and nothing changes, for the same rate, a rate
  // refused, or an edit in progress.
  bool ChangeFrameRate(float rate, bool keepTimes, float tolerance);
  // Gives tracks (channel key, track type) an interpolation (Curve2::Linear, Step or Cubic), as
  // one undo step that keeps every key: from linear to cubic each key's sides point along its
  // segments (type Linear), so that the track plays as it did (a rotation nearly so, its keys
  // leaving along their spherical blends and given one sign after another: a spline of
  // quaternions is not their spherical blend); from a step to cubic the keys are Auto
  // Clamped; leaving cubic drops the tangents. False, and nothing changes, when no track of
  // them changes or an edit is in progress.
  using TrackKey = std::pair<std::uint32_t, std::uint32_t>;
  bool ChangeInterpolation(const std::vector<TrackKey>& tracks, std::uint32_t how);

  // One step back or forward; false when there is none. Exact: the curves get back their
  // very points, and the clip its very keys (a channel back at the state its curves were
  // built from gets its keys as they were then; any other is written back from its curves,
  // as it was when the step was made).
  bool Undo();
  bool Redo();
  // Whether the last undo or redo added, removed or renamed channels: the lists change then.
  bool LastStepChangedChannels() const { return lastStepChangedChannels; }
  const EditHistory& GetHistory() const { return history; }
  void SetHistoryBudget(std::size_t bytes) { history.SetBudget(bytes); }

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
  // The clip's rate, and its curves'.
  void SetClipFrameRate(float rate);
  // Before a channel's first write-back, the keys its curves were built from are kept.
  void KeepBuiltKeys(std::uint32_t channelKey);
  // Before a channel's curves are built again: the selection lets go of them, and the
  // channel counts as never written back.
  void ForgetChannelCurves(std::uint32_t channelKey);
  std::vector<const CurveInfo*> SteppingCurves() const;
  // Gives the axes of every track the action touched whole a point on each frame one of
  // them has a point on (at their curve's value there), touching those it changes.
  void ShareKeyFrames();
  // Remakes the tangents of the touched cubic curves' keys whose type makes them.
  void ShapeTangents();
  // The curves of a track: X, Y and Z, or one per morph target.
  std::vector<CurveInfo*> TrackCurves(std::uint32_t channelKey, std::uint32_t trackType) const;
  // The tangents a track's curves get from their keys' types, a list per curve; empty for a
  // curve whose tangents stay.
  static std::vector<EditorToolkit::Curve2::TangentList> MadeTangents(const std::vector<CurveInfo*>& axes);
  static void PutTangents(EditorToolkit::Curve2& curve, const EditorToolkit::Curve2::TangentList& tangents);
  // Why a step would leave the clip beyond what its file can hold; empty when it would not.
  std::string CheckClipLimits(const EditStep& step) const;
  void Refuse(const std::string& why) const;
  // A save since the last change means the state shown now is the file's.
  void NoteSavedState();
  // The clip is modified exactly when the state shown is not the file's.
  void UpdateModified();
  EditStep::ChannelChange CaptureChannel(std::uint32_t channelKey, bool added) const;
  void PutChannel(const EditStep::ChannelChange& change, bool in);
  CurveInfo* FindCurve(const CurveId& id) const;
  void Apply(EditStep& step, bool forward);
  // One step back (undo) or forward (redo) on the history; false when there is none.
  bool MoveInHistory(bool forward);

  // The page's clip; the core holds one reference.
  EngineCore::AnimClip* clip = nullptr;
  EngineCore::Scene* scene = nullptr;
  std::function<void(const std::string&)> refusalSink;
  EditorToolkit::Curve2* clipboard = nullptr;
  CurveSet curveSet;
  EditHistory history;
  CurveSelection selection;
  float timeCursor = 0.0f;
  // The action in progress: each touched curve with its points before it, all of them or
  // those from `offset` on (the others are the curve's now).
  struct Touched {
    CurveInfo* curve = nullptr;
    EditorToolkit::Curve2::PointList points;
    // A cubic curve's tangents before, when its points are kept whole (a part keeps them).
    EditorToolkit::Curve2::TangentList tangents;
    bool whole = true;
    std::uint32_t offset = 0;
    // The curve's count when only a part was kept.
    std::uint32_t count = 0;
  };
  struct PendingEdit {
    std::string label;
    std::vector<Touched> before;
    float rateBefore = 0.0f;
    float rateAfter = 0.0f;
  };
  Touched* FindTouched(const CurveInfo* curve) const;
  // Whether a curve touched in part kept its count, as it promised; logs when it did not.
  static bool KeptPartHolds(const Touched& touched);
  // The points offset..offset + size - 1 of the curve's state before, from its part kept and
  // its points now; false when the kept part no longer holds.
  static bool StateBefore(const Touched& touched, std::uint32_t offset, std::uint32_t size,
                          EditorToolkit::Curve2::PointList& points);
  std::unique_ptr<PendingEdit> pending;
  // Per channel, its tracks and keys when its curves were built (kept at its first
  // write-back; until then the clip holds them), and how many applied steps changed its
  // curves since: a channel back at 0 takes those keys again, bit for bit.
  std::map<std::uint32_t, ChannelData> built;
  // Each channel's rotation keys as its first write-back found them (the clip's own, as a rule),
  // kept until the clip's curves are built anew, through every edit and its undoing: the signs
  // every write-back gives its rotation keys, so that one state of the curves always writes
  // the same bits.
  std::map<std::uint32_t, EngineCore::AnimCurve> rotationSigns;
  std::map<std::uint32_t, int> depth;
  // The state of the history the clip's file holds (see EditHistory on state ids).
  std::uint64_t savedState = 0;
  static constexpr std::uint64_t kNoSavedState = ~std::uint64_t{0};
  bool lastStepChangedChannels = false;
};

}  // namespace Tarvel
