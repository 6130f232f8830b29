#include "curves/ClipUndoHistory.h"

namespace Tarvel {

void ClipUndoHistory::RecordCurve(CurveInfo* curve, const EngineCore::String& label) {
  if (snapshots_.IsFull()) snapshots_.PopBack();
  if (!curve || !curve->bSelected) return;
  auto snapshot = std::make_unique<UndoSnapshot>();
  snapshot->step = step_;
  snapshot->curve = curve;
  snapshot->points = curve->pCurve->GetCurve();
  snapshot->label = label;
  snapshots_.PushFront(std::move(snapshot));
  ++curve->iHistoryCount;
}

void ClipUndoHistory::RecordStep(const EngineCore::String& label, bool bOnlyUnrecorded, const TrackRows* rows) {
  if (!rows || rows->GetRowCount() == 0) return;
  if (!bOnlyUnrecorded) {
    while (!snapshots_.IsEmpty() && snapshots_.Front()->step >= step_) snapshots_.PopFront();
  }
  // The row count is read again after each row: recording must not outrun a list that
  // changes under it.
  for (int row = 0; row < rows->GetRowCount(); ++row) {
    CurveInfo* curve = rows->GetRowCurve(row);
    if (!curve) continue;
    if (snapshots_.IsFull()) break;
    if (bOnlyUnrecorded && curve->iHistoryCount != 0) continue;
    RecordCurve(curve, label);
  }
  ++step_;
}

void ClipUndoHistory::Restore(UndoSnapshot& snapshot, const RestoredCallback& restored) {
  CurveInfo& curve = *snapshot.curve;
  curve.pCurve->SetCurve(snapshot.points);
  --curve.iHistoryCount;
  if (restored) restored(curve);
}

bool ClipUndoHistory::Undo(const RestoredCallback& restored) {
  if (snapshots_.IsEmpty() || step_ == 0) return false;
  --step_;
  const std::uint32_t target = step_ - 1;
  for (std::size_t i = 0; i < snapshots_.GetCount(); ++i) {
    UndoSnapshot& snapshot = *snapshots_[i];
    if (snapshot.step == target && !snapshot.stale) Restore(snapshot, restored);
  }
  return true;
}

bool ClipUndoHistory::Redo(const RestoredCallback& restored) {
  if (snapshots_.IsEmpty() || snapshots_.Front()->step == step_ - 1) return false;
  for (std::size_t i = 0; i < snapshots_.GetCount(); ++i) {
    UndoSnapshot& snapshot = *snapshots_[i];
    if (snapshot.step > step_) continue;
    if (snapshot.step < step_) break;
    if (!snapshot.stale) Restore(snapshot, restored);
  }
  ++step_;
  return true;
}

void ClipUndoHistory::MarkStale(std::uint32_t channelKey) {
  for (std::size_t i = 0; i < snapshots_.GetCount(); ++i) {
    UndoSnapshot& snapshot = *snapshots_[i];
    if (snapshot.stale || snapshot.curve->iChannelKey != channelKey) continue;
    // The curve is about to be destroyed: forget it rather than keep a dangling pointer.
    snapshot.stale = true;
    snapshot.curve = nullptr;
  }
}

}  // namespace Tarvel
