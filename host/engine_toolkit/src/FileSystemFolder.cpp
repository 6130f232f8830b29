#include "EngineToolkit/FileSystemFolder.h"

namespace EngineToolkit {

bool FileSystemFolder::GetFileName(std::uint32_t index, EngineCore::String& name) const {
  if (index >= entries_.size()) return false;
  name = EngineCore::String(entries_[index].name);
  return true;
}

std::string FileSystemFolder::GetSharedFile(std::uint32_t index) const {
  return index < entries_.size() ? entries_[index].file : std::string();
}

}  // namespace EngineToolkit
