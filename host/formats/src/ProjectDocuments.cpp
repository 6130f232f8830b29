#include "ProjectDocuments.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ClipFolder.h"
#include "EngineToolkit/FileSystem.h"
#include "GltfDocumentReader.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;

// Past this many entries a project walk stops: a save must not crawl a home folder.
constexpr std::size_t kMaxEntries = 200'000;

struct KnownDocument {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  ProjectDocuments::BufferUris uris;

  bool Matches(const struct stat& info) const {
    return device == info.st_dev && inode == info.st_ino && size == info.st_size &&
           modified.tv_sec == info.st_mtim.tv_sec && modified.tv_nsec == info.st_mtim.tv_nsec;
  }
};

std::mutex knownMutex;
std::map<fs::path, KnownDocument> known;

bool IsDocument(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
  return extension == ".gltf" || extension == ".glb";
}

fs::path ProjectOf(const fs::path& document) {
  std::error_code ec;
  const fs::path folder = fs::weakly_canonical(document, ec).parent_path();
  const std::string clips =
      EngineToolkit::FileSystem::GetInstance().GetFolderPath(EngineToolkit::FileSystem::AnimClipFolder);
  if (!clips.empty()) {
    const fs::path clipFolder = fs::weakly_canonical(clips, ec);
    const fs::path inside = folder.lexically_relative(clipFolder);
    if (!inside.empty() && *inside.begin() != "..") return clipFolder.parent_path();
  }
  return folder;
}

// The buffer files a document names, as other readers resolve them: relative to its folder.
std::vector<fs::path> FilesNamedBy(const fs::path& document, const ProjectDocuments::BufferUris& uris) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& [index, uri] : uris) {
    std::string decoded;
    if (!ClipFolder::DecodePercent(uri, decoded) || decoded.empty() || decoded.find(':') != std::string::npos) {
      continue;
    }
    const fs::path named(decoded);
    files.push_back(fs::weakly_canonical(named.is_absolute() ? named : document.parent_path() / named, ec));
  }
  return files;
}

}  // namespace

bool ProjectDocuments::ListBufferUris(const fs::path& document, BufferUris& uris) {
  std::error_code ec;
  const fs::path path = fs::weakly_canonical(document, ec);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  {
    std::lock_guard<std::mutex> guard(knownMutex);
    const auto it = known.find(path);
    if (it != known.end() && it->second.Matches(info)) {
      uris = it->second.uris;
      return true;
    }
  }
  if (!GltfDocumentReader::ListBufferUris(path.string(), uris)) return false;
  std::lock_guard<std::mutex> guard(knownMutex);
  known[path] = {info.st_dev, info.st_ino, info.st_size, info.st_mtim, uris};
  return true;
}

void ProjectDocuments::Remember(const fs::path& document, const BufferUris& uris) {
  std::error_code ec;
  const fs::path path = fs::weakly_canonical(document, ec);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return;
  std::lock_guard<std::mutex> guard(knownMutex);
  known[path] = {info.st_dev, info.st_ino, info.st_size, info.st_mtim, uris};
}

bool ProjectDocuments::NameFile(const fs::path& document, const fs::path& file) {
  std::error_code ec;
  const fs::path self = fs::weakly_canonical(document, ec);
  const fs::path wanted = fs::weakly_canonical(file, ec);
  std::size_t entries = 0;
  const auto options = fs::directory_options::skip_permission_denied;
  for (fs::recursive_directory_iterator it(ProjectOf(document), options, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (++entries > kMaxEntries) break;
    const fs::path& path = it->path();
    const bool hidden = path.filename().string().rfind('.', 0) == 0;
    if (it->is_directory(ec)) {
      if (hidden || it->is_symlink(ec)) it.disable_recursion_pending();
      continue;
    }
    if (hidden || !IsDocument(path)) continue;
    const fs::path other = fs::weakly_canonical(path, ec);
    BufferUris uris;
    if (other == self || !ListBufferUris(other, uris)) continue;
    const std::vector<fs::path> files = FilesNamedBy(other, uris);
    if (std::find(files.begin(), files.end(), wanted) != files.end()) return true;
  }
  return false;
}

}  // namespace Formats
