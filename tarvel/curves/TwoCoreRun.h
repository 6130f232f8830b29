#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace Tarvel {

// Work over a list of items, split between the calling thread and a second one when there is
// enough of it. What callers may rely on:
// 1. work(begin, end) is called for items begin..end - 1; every item is in exactly one call,
//    and the calls cover the list in order: the caller's first, the helper's after it.
// 2. The helper takes the items after the one that ends the first half of the weights, when
//    the weights add up to at least minimumWeight and a thread can start; otherwise the
//    caller does all the work in one call.
// 3. Run returns when both calls have returned; what either throws is thrown again by Run.
class TwoCoreRun {
 public:
  static void Run(const std::vector<std::size_t>& weights, std::size_t minimumWeight,
                  const std::function<void(std::size_t, std::size_t)>& work);
  // Where Run splits: the index after the item that ends the first half of the weights, and
  // the weights' total. Callers with a thread of their own split the same way.
  static std::size_t Split(const std::vector<std::size_t>& weights, std::size_t& total);
};

}  // namespace Tarvel
