#include "EngineCore/RefCounter.h"

#include <cassert>

namespace EngineCore {

std::uint32_t RefCounter::Release() {
  assert(references_ > 0 && "Release called on an object without references");
  const std::uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

}  // namespace EngineCore
