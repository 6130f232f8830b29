#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EngineCore/String.h"

namespace EngineToolkit {

// A folder of resource files, listed when it is asked for: the names of the resources its
// files of the folder's extensions hold (a file's name without extension, unless the folder's
// lister says otherwise), each once (walk.gltf and walk.bvh are the one resource "walk"), in
// name order.
class FileSystemFolder {
 public:
  struct Entry {
    std::string name;
    // The file's name without extension when the file holds several resources; else empty.
    std::string file;
  };

  explicit FileSystemFolder(std::vector<Entry> entries) : entries_(std::move(entries)) {}

  std::uint32_t GetFileCount() const { return static_cast<std::uint32_t>(entries_.size()); }
  // False when the index is past the last file.
  bool GetFileName(std::uint32_t index, EngineCore::String& name) const;
  // The file that holds the resource of that index with others (see Entry); empty for a
  // file of one resource and past the last.
  std::string GetSharedFile(std::uint32_t index) const;

 private:
  std::vector<Entry> entries_;
};

}  // namespace EngineToolkit
