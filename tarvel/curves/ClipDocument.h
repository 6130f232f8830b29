#pragma once

#include <cstdint>

#include "EngineCore/AnimClip.h"
#include "EngineCore/String.h"
#include "curves/ClipUndoHistory.h"
#include "curves/CurveSet.h"
#include "curves/TrackRows.h"

namespace Tarvel {

// The model side of one open clip page: the clip, its editable curves, their write-back
// into the clip and the undo history. It knows no window; the page (AnimClipDialog) derives
// from it and answers the hooks with its lists and its curve panel.
class ClipDocument {
 public:
  // Framework message sent to every module when an edit moved both ends of the clip's
  // key-frame range.
  static constexpr unsigned kKeyFrameRangeChanged = 3526;

  ClipDocument() = default;
  virtual ~ClipDocument();
  ClipDocument(const ClipDocument&) = delete;
  ClipDocument& operator=(const ClipDocument&) = delete;

  // Takes a reference to the clip and builds its curves; the previous clip, if any, is let
  // go first (curves destroyed, reference released).
  void AttachClip(EngineCore::AnimClip* newClip);
  void DetachClip();
  EngineCore::AnimClip* GetClip() const { return clip; }

  // (Re)creates a channel's curves, then lets the page list the channel.
  void BuildChannelCurves(std::uint32_t channelKey, const EngineCore::AnimChannel& channel);
  // Rebuilds every channel's curves in the clip's channel order, under the wait dialog.
  void RebuildAllCurves();
  // Drops a channel's curves: the page's views let go of them first, their undo snapshots
  // turn stale.
  void RemoveChannelCurves(std::uint32_t channelKey);
  void DestroyAllCurves();
  const CurveSet::Curves* GetChannelCurves(std::uint32_t channelKey) const;
  const CurveSet& GetCurveSet() const { return curveSet; }

  void WriteBackChannel(std::uint32_t channelKey);
  // Every channel in ascending key order, then the key-frame range check.
  void WriteBackAllChannels();
  // Recomputes the clip's key-frame range and tells every module when both ends moved.
  void CheckKeyFrameRange();

  void RecordCurve(CurveInfo* curve, const EngineCore::String& label);
  // What every tool does before it changes a curve: a curve never recorded is recorded under
  // the tool's label, and the step moves on.
  void RecordBefore(CurveInfo* curve, const EngineCore::String& label);
  void RecordStep(const EngineCore::String& label, bool bOnlyUnrecorded);
  void Undo();
  void Redo();
  const ClipUndoHistory& GetUndoHistory() const { return undoHistory; }

 protected:
  // Hooks the page answers with its windows; by default there are none.
  virtual void OnChannelCurvesBuilt(const CurveSet::Curves&) {}
  virtual void OnChannelCurvesRemoving(std::uint32_t) {}
  virtual void OnAllCurvesDestroyed() {}
  virtual const TrackRows* GetTrackRows() const { return nullptr; }
  virtual void RedrawCurvePanel() {}
  virtual void ShowPleaseWait(bool) {}

  // The page's clip; the document holds one reference.
  EngineCore::AnimClip* clip = nullptr;

 private:
  CurveSet curveSet;
  ClipUndoHistory undoHistory;
};

}  // namespace Tarvel
