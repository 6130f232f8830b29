#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "EngineToolkit/FileSystemFolder.h"

namespace EngineToolkit {

// The project's folders by number. Folder 10 is the folder of animation clips.
class FileSystem {
 public:
  enum FolderId : std::uint32_t { AnimClipFolder = 10 };

  static FileSystem& GetInstance();

  void SetFolderPath(std::uint32_t folder, std::string path);
  // The extensions (lower case, with their dot) of the files a folder lists; a folder
  // without them lists every regular file.
  void SetFolderExtensions(std::uint32_t folder, std::vector<std::string> extensions);
  // The names of the resources a file of the folder holds, given its path; without a
  // lister, a file is one resource named after it (its name without extension).
  using Lister = std::function<std::vector<std::string>(const std::string& path)>;
  void SetFolderLister(std::uint32_t folder, Lister lister);
  std::string GetFolderPath(std::uint32_t folder) const;
  // Lists the folder as it is now on disk; null when it is not set or does not exist.
  std::unique_ptr<FileSystemFolder> GetFolder(std::uint32_t folder) const;

 private:
  FileSystem() = default;
  std::map<std::uint32_t, std::string> paths_;
  std::map<std::uint32_t, std::vector<std::string>> extensions_;
  std::map<std::uint32_t, Lister> listers_;
};

}  // namespace EngineToolkit
