#pragma once

#include <cstdint>

namespace EngineCore {

// Intrusive reference count. An object starts with one reference, its creator's; Release
// of the last reference deletes it.
class RefCounter {
 public:
  RefCounter() = default;
  RefCounter(const RefCounter&) = delete;
  RefCounter& operator=(const RefCounter&) = delete;

  void AddRef() { ++references_; }
  // Returns the references left; the object is gone when that is 0.
  std::uint32_t Release();
  std::uint32_t GetReferenceCount() const { return references_; }

 protected:
  virtual ~RefCounter() = default;

 private:
  std::uint32_t references_ = 1;
};

}  // namespace EngineCore
