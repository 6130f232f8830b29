#include "EngineToolkit/FileSystemFolder.h"

namespace EngineToolkit {

bool FileSystemFolder::GetFileName(std::uint32_t index, EngineCore::String& name) const {
  if (index >= names_.size()) return false;
  name = EngineCore::String(names_[index]);
  return true;
}

}  // namespace EngineToolkit
