#pragma once

#include <string>

namespace Formats {

// An advisory lock that keeps saves and opens of clips apart, between processes and within
// one: a save holds it from its first look at the disk to its last rename, an open for the
// read of the document and its buffers, so an open never meets a save half done and never
// clears files that a save in flight still needs.
//
// 1. The lock is taken on the clip's folder (flock on the folder itself), so it needs no file
//    of its own and works in a folder the user may only read. Saves and opens of clips of one
//    folder take turns; each holds the lock for as long as its own file work takes.
// 2. A lock held by someone else is waited for, up to kWaitSeconds; then the caller gives up
//    with a message saying another program holds the folder.
// 3. A folder whose file system cannot lock (some network file systems) is worked on
//    without the lock, as before locks existed; the log says so once.
// 4. The lock ends with the object, or with the process however it ends.
class ClipFileLock {
 public:
  static constexpr int kWaitSeconds = 30;

  explicit ClipFileLock(const std::string& documentPath);
  ~ClipFileLock();
  ClipFileLock(const ClipFileLock&) = delete;
  ClipFileLock& operator=(const ClipFileLock&) = delete;

  // Waits for the lock; false, with a message, when it stays taken.
  [[nodiscard]] bool Acquire(std::string& message);

 private:
  std::string folder_;
  int fd_ = -1;
};

}  // namespace Formats
