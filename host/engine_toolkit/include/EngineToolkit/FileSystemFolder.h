#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EngineCore/String.h"

namespace EngineToolkit {

// A folder of resource files, listed when it is asked for: the names of its files of the
// folder's extensions, without extension, each once (walk.gltf and walk.bvh are the one
// resource "walk"), in name order.
class FileSystemFolder {
 public:
  explicit FileSystemFolder(std::vector<std::string> names) : names_(std::move(names)) {}

  std::uint32_t GetFileCount() const { return static_cast<std::uint32_t>(names_.size()); }
  // False when the index is past the last file.
  bool GetFileName(std::uint32_t index, EngineCore::String& name) const;

 private:
  std::vector<std::string> names_;
};

}  // namespace EngineToolkit
