#include "EngineCore/Resource.h"

#include "EngineCore/Log.h"

namespace EngineCore {

bool Resource::Save() {
  const std::shared_ptr<ResourceStorage> keep = storage_;
  if (!storage_) {
    Log::Write(Log::Error, "resource '%s' has no file to be saved to", name_.c_str());
    return false;
  }
  if (!storage_->Save(*this)) return false;
  modified_ = false;
  return true;
}

bool Resource::Revert() {
  // The storage may be replaced while it reads: it stays alive until it is done.
  const std::shared_ptr<ResourceStorage> storage = storage_;
  if (!storage || !storage->Revert(*this)) return false;
  modified_ = false;
  ++changes_;
  return true;
}

}  // namespace EngineCore
