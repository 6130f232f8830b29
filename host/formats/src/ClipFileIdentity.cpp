#include "ClipFileIdentity.h"

#include <sys/stat.h>

#include <filesystem>

#include "ClipFolder.h"

namespace Formats {

bool ClipFileIdentity::Stamp::operator==(const Stamp& other) const {
  return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

ClipFileIdentity::Stamp ClipFileIdentity::StampOf(const std::string& path) {
  Stamp stamp;
  stamp.path = path;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modified = info.st_mtim;
  return stamp;
}

ClipFileIdentity ClipFileIdentity::Capture(const std::string& documentPath,
                                           const std::vector<std::string>& bufferUris) {
  ClipFileIdentity identity;
  identity.stamps_.push_back(StampOf(documentPath));
  const std::filesystem::path folder = std::filesystem::path(documentPath).parent_path();
  for (const std::string& uri : bufferUris) {
    std::filesystem::path relative;
    std::string reason;
    if (uri.rfind("data:", 0) == 0 || !ClipFolder::ResolveUri(uri, relative, reason)) continue;
    identity.stamps_.push_back(StampOf((folder / relative).string()));
  }
  return identity;
}

bool ClipFileIdentity::Matches() const {
  for (const Stamp& stamp : stamps_) {
    if (!(StampOf(stamp.path) == stamp)) return false;
  }
  return true;
}

}  // namespace Formats
