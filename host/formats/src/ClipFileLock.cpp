#include "ClipFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "EngineCore/Log.h"

namespace Formats {

ClipFileLock::ClipFileLock(const std::string& documentPath) {
  const std::filesystem::path folder = std::filesystem::path(documentPath).parent_path();
  folder_ = folder.empty() ? "." : folder.string();
}

ClipFileLock::~ClipFileLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool ClipFileLock::Acquire(std::string& message) {
  if (fd_ >= 0) return true;
  const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder that cannot be opened fails the file work that follows with its own message.
  if (fd < 0) return true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kWaitSeconds);
  auto pause = std::chrono::microseconds(200);
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      static std::atomic<bool> told{false};
      if (!told.exchange(true)) {
        EngineCore::Log::Write(EngineCore::Log::Warning, "%s: clip files are worked on without a lock: %s",
                               folder_.c_str(), std::strerror(errno));
      }
      ::close(fd);
      return true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ::close(fd);
      message =
          "another program has kept the folder " + folder_ + " locked for " + std::to_string(kWaitSeconds) + " seconds";
      return false;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(20000));
  }
  fd_ = fd;
  return true;
}

}  // namespace Formats
