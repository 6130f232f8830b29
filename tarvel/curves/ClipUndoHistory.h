#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "EngineCore/RingQueue.h"
#include "EngineCore/String.h"
#include "curves/CurveInfo.h"
#include "curves/TrackRows.h"
#include "curves/UndoSnapshot.h"

namespace Tarvel {

// The undo history of one open clip: whole-curve snapshots, each tagged with the step index
// S at which it was taken, in a ring of 8192 (newest at the front).
//
// The snapshots tagged k hold the curves as they were at the k-th recorded state and S is
// one more than the state the page shows: Undo goes back to the snapshots tagged S - 2,
// Redo forward to those tagged S. Only selected curves are ever recorded.
class ClipUndoHistory {
 public:
  static constexpr std::size_t kCapacity = 8192;
  // Called for each snapshot put back into its curve, so the page writes its channel back.
  using RestoredCallback = std::function<void(CurveInfo&)>;

  // Pushes a snapshot of a selected curve; S is unchanged. A full ring drops its oldest
  // snapshot first, even when the curve is then not recorded.
  void RecordCurve(CurveInfo* curve, const EngineCore::String& label);
  // S + 1 without recording anything: the tools advance the step after recording a curve
  // for the first time.
  void AdvanceStep() { ++step_; }
  // Snapshots of the selected curves of the rows, then S + 1. Without rows nothing happens.
  // Unless bOnlyUnrecorded, the redo branch (snapshots tagged S or later) goes first; with
  // it, curves already recorded are passed over.
  void RecordStep(const EngineCore::String& label, bool bOnlyUnrecorded, const TrackRows* rows);
  // Restores the previous step; false when there is nothing to undo.
  bool Undo(const RestoredCallback& restored);
  // Restores the next step; false when there is nothing to redo.
  bool Redo(const RestoredCallback& restored);
  // The channel's curves are going away: their snapshots stay, for the step numbers, but
  // are never restored.
  void MarkStale(std::uint32_t channelKey);

  std::uint32_t GetStep() const { return step_; }
  std::size_t GetSnapshotCount() const { return snapshots_.GetCount(); }
  // Index 0 is the newest.
  const UndoSnapshot& GetSnapshot(std::size_t index) const { return *snapshots_[index]; }

 private:
  static void Restore(UndoSnapshot& snapshot, const RestoredCallback& restored);

  EngineCore::RingQueue<std::unique_ptr<UndoSnapshot>> snapshots_{kCapacity};
  std::uint32_t step_ = 0;
};

}  // namespace Tarvel
