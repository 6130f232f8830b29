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

void FileSystem::SetFolderLister(std::uint32_t folder, Lister lister) { listers_[folder] = std::move(lister); }

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
  const auto lister = listers_.find(folder);
  std::vector<FileSystemFolder::Entry> entries;
  for (const auto& entry : std::filesystem::directory_iterator(it->second, ec)) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool wanted = listed == extensions_.end() ||
                        std::find(listed->second.begin(), listed->second.end(), extension) != listed->second.end();
    if (!wanted || !entry.is_regular_file(ec)) continue;
    const std::string stem = entry.path().stem().string();
    std::vector<std::string> names =
        lister != listers_.end() && lister->second ? lister->second(entry.path().string()) : std::vector{stem};
    const std::string file = names.size() > 1 ? stem : std::string();
    for (std::string& name : names) entries.push_back({std::move(name), file});
  }
  auto byName = [](const FileSystemFolder::Entry& a, const FileSystemFolder::Entry& b) { return a.name < b.name; };
  std::stable_sort(entries.begin(), entries.end(), byName);
  entries.erase(
      std::unique(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name == b.name; }),
      entries.end());
  return std::make_unique<FileSystemFolder>(std::move(entries));
}

}  // namespace EngineToolkit
