#pragma once

#include <cassert>
#include <cstddef>
#include <utility>
#include <vector>

namespace EngineCore {

// A double-ended queue of fixed capacity over one contiguous block: new items go to the
// front, the oldest sit at the back. Index 0 is the front. The block is taken at the first
// push, so that a queue never used costs nothing.
template <typename T>
class RingQueue {
 public:
  explicit RingQueue(std::size_t capacity) : capacity_(capacity) {}

  std::size_t GetCapacity() const { return capacity_; }
  std::size_t GetCount() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }
  bool IsFull() const { return count_ == capacity_; }

  // The caller makes room first: pushing into a full queue is a misuse.
  void PushFront(T item) {
    assert(!IsFull() && "RingQueue::PushFront on a full queue: PopBack first");
    if (items_.empty()) items_.resize(capacity_);
    head_ = (head_ + items_.size() - 1) % items_.size();
    items_[head_] = std::move(item);
    ++count_;
  }
  T PopFront() {
    assert(!IsEmpty());
    T item = std::move(items_[head_]);
    items_[head_] = T();
    head_ = (head_ + 1) % items_.size();
    --count_;
    return item;
  }
  T PopBack() {
    assert(!IsEmpty());
    const std::size_t back = Slot(count_ - 1);
    T item = std::move(items_[back]);
    items_[back] = T();
    --count_;
    return item;
  }

  T& operator[](std::size_t index) { return items_[Slot(index)]; }
  const T& operator[](std::size_t index) const { return items_[Slot(index)]; }
  T& Front() { return (*this)[0]; }
  T& Back() { return (*this)[count_ - 1]; }

  // Removes every item the predicate accepts, keeping the others in order.
  template <typename Predicate>
  std::size_t RemoveIf(Predicate predicate) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count_; ++i) {
      T& item = (*this)[i];
      if (predicate(item)) continue;
      if (kept != i) (*this)[kept] = std::move(item);
      ++kept;
    }
    const std::size_t removed = count_ - kept;
    for (std::size_t i = kept; i < count_; ++i) (*this)[i] = T();
    count_ = kept;
    return removed;
  }

  void Clear() {
    while (!IsEmpty()) PopBack();
  }

 private:
  std::size_t Slot(std::size_t index) const { return (head_ + index) % items_.size(); }

  std::size_t capacity_;
  std::vector<T> items_;
  std::size_t head_ = 0;
  std::size_t count_ = 0;
};

}  // namespace EngineCore
