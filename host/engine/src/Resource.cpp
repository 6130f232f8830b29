#include "EngineCore/Resource.h"

#include "EngineCore/Log.h"

namespace EngineCore {

bool Resource::Save() {
  if (!storage_) {
    Log::Write(Log::Error, "resource '%s' has no file to be saved to", name_.c_str());
    return false;
  }
  if (!storage_->Save(*this)) return false;
  modified_ = false;
  return true;
}

}  // namespace EngineCore
