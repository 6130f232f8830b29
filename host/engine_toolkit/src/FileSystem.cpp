#include "EngineToolkit/FileSystem.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace EngineToolkit {

FileSystem& FileSystem::GetInstance() {
  static FileSystem fileSystem;
  return fileSystem;
}

void FileSystem::SetFolderPath(std::uint32_t folder, std::string path) { paths_[folder] = std::move(path); }

void FileSystem::SetFolderExtensions(std::uint32_t folder, std::vector<std::string> extensions) {
  extensions_[folder] = std::move(extensions);
}

std::string FileSystem::GetFolderPath(std::uint32_t folder) const {
  const auto it = paths_.find(folder);
  return it == paths_.end() ? std::string() : it->second;
}

std::unique_ptr<FileSystemFolder> FileSystem::GetFolder(std::uint32_t folder) const {
  const auto it = paths_.find(folder);
  if (it == paths_.end()) return nullptr;
  std::error_code ec;
  if (!std::filesystem::is_directory(it->second, ec)) return nullptr;
  const auto listed = extensions_.find(folder);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(it->second, ec)) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool wanted = listed == extensions_.end() ||
                        std::find(listed->second.begin(), listed->second.end(), extension) != listed->second.end();
    if (wanted && entry.is_regular_file(ec)) names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return std::make_unique<FileSystemFolder>(std::move(names));
}

}  // namespace EngineToolkit
