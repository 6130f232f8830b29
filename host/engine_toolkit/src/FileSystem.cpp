#include "EngineToolkit/FileSystem.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace EngineToolkit {

namespace {

bool IsClipFile(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".gltf" || ext == ".glb";
}

}  // namespace

FileSystem& FileSystem::GetInstance() {
  static FileSystem fileSystem;
  return fileSystem;
}

void FileSystem::SetFolderPath(std::uint32_t folder, std::string path) { paths_[folder] = std::move(path); }

std::string FileSystem::GetFolderPath(std::uint32_t folder) const {
  const auto it = paths_.find(folder);
  return it == paths_.end() ? std::string() : it->second;
}

std::unique_ptr<FileSystemFolder> FileSystem::GetFolder(std::uint32_t folder) const {
  const auto it = paths_.find(folder);
  if (it == paths_.end()) return nullptr;
  std::error_code ec;
  if (!std::filesystem::is_directory(it->second, ec)) return nullptr;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(it->second, ec)) {
    if (entry.is_regular_file(ec) && IsClipFile(entry.path())) names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return std::make_unique<FileSystemFolder>(std::move(names));
}

}  // namespace EngineToolkit
