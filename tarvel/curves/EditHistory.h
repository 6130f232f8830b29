#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "curves/EditStep.h"

namespace Tarvel {

// The undo history of a clip page: one step per action that changed something.
//
// 1. Undo and redo move over whole steps; a new step drops the steps that were undone.
// 2. The steps hold at most the budget in bytes: when a new one takes the history past it,
//    the oldest go, never the newest. Recording never stops.
// 3. Every state the page goes through has an id: 0 for the state the clip was opened in,
//    else the serial of the step that led to it. An id outlives its state's steps, so that
//    a state that can no longer be reached is never mistaken for the current one.
// 4. Undo and redo swap a step's points with the curves' own, so its size changes: the
//    history counts a step again each time it moves over it; the next step keeps the budget.
class EditHistory {
 public:
  static constexpr std::size_t kDefaultBudget = std::size_t{256} << 20;

  explicit EditHistory(std::size_t bytes = kDefaultBudget) : budget(bytes) {}

  // Adds an applied step after the current state.
  void Push(std::unique_ptr<EditStep> step);
  // The step that undo takes back, or null; MoveBack then makes it undone.
  EditStep* GetStepToUndo() const;
  EditStep* GetStepToRedo() const;
  // Call after the step was applied: it may hold more or fewer bytes now.
  void MoveBack();
  void MoveForward();
  void Clear();

  std::uint64_t GetStateId() const;
  std::size_t GetStepCount() const { return steps.size(); }
  std::size_t GetUndoneCount() const { return undone; }
  std::size_t GetHeldBytes() const { return heldBytes; }
  void SetBudget(std::size_t bytes);

 private:
  struct Entry {
    std::unique_ptr<EditStep> step;
    // The step's size when the history last counted it.
    std::size_t bytes = 0;
  };

  void DropOldest();
  void Recount(Entry& entry);

  std::size_t budget;
  std::deque<Entry> steps;
  // Steps at the back that were undone.
  std::size_t undone = 0;
  std::size_t heldBytes = 0;
  // Id of the state before the oldest step kept.
  std::uint64_t baseState = 0;
  std::uint64_t lastSerial = 0;
};

}  // namespace Tarvel
