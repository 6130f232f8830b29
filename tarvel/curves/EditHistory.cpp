#include "curves/EditHistory.h"

namespace Tarvel {

void EditHistory::Push(std::unique_ptr<EditStep> step) {
  while (undone > 0) {
    heldBytes -= steps.back().bytes;
    steps.pop_back();
    --undone;
  }
  step->serial = ++lastSerial;
  const std::size_t bytes = step->GetHeldBytes();
  heldBytes += bytes;
  steps.push_back({std::move(step), bytes});
  while (heldBytes > budget && steps.size() > 1) DropOldest();
}

EditStep* EditHistory::GetStepToUndo() const {
  return steps.size() > undone ? steps[steps.size() - undone - 1].step.get() : nullptr;
}

EditStep* EditHistory::GetStepToRedo() const { return undone > 0 ? steps[steps.size() - undone].step.get() : nullptr; }

void EditHistory::MoveBack() {
  if (steps.size() <= undone) return;
  Recount(steps[steps.size() - undone - 1]);
  ++undone;
}

void EditHistory::MoveForward() {
  if (undone == 0) return;
  Recount(steps[steps.size() - undone]);
  --undone;
}

void EditHistory::Clear() {
  steps.clear();
  undone = 0;
  heldBytes = 0;
  baseState = 0;
}

std::uint64_t EditHistory::GetStateId() const {
  const std::size_t applied = steps.size() - undone;
  return applied == 0 ? baseState : steps[applied - 1].step->serial;
}

void EditHistory::SetBudget(std::size_t bytes) {
  budget = bytes;
  while (heldBytes > budget && steps.size() > 1 && steps.size() > undone) DropOldest();
}

void EditHistory::Recount(Entry& entry) {
  heldBytes -= entry.bytes;
  entry.bytes = entry.step->GetHeldBytes();
  heldBytes += entry.bytes;
}

void EditHistory::DropOldest() {
  heldBytes -= steps.front().bytes;
  baseState = steps.front().step->serial;
  steps.pop_front();
}

}  // namespace Tarvel
