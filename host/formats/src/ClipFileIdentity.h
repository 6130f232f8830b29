#pragma once

#include <sys/types.h>

#include <ctime>
#include <string>
#include <vector>

namespace Formats {

// What a clip's files were when the editor last read or wrote them: each file's device,
// inode, size and modification time. Another program that writes, replaces, renames over or
// removes one of them changes at least one of these (a replacement is a new inode, whatever
// time it carries); a change of permissions alone does not count. The check costs one stat
// per file.
class ClipFileIdentity {
 public:
  // The document and the buffer files named by `bufferUris` (data URIs and URIs that name no
  // file of the folder are left out), as they are now.
  static ClipFileIdentity Capture(const std::string& documentPath, const std::vector<std::string>& bufferUris);

  // True while every file is as captured. An identity never captured always matches.
  bool Matches() const;
  bool operator==(const ClipFileIdentity& other) const { return stamps_ == other.stamps_; }

 private:
  struct Stamp {
    std::string path;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const Stamp& other) const;
  };
  static Stamp StampOf(const std::string& path);

  std::vector<Stamp> stamps_;
};

}  // namespace Formats
