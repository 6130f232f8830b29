#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Formats/ClipRecovery.h"

namespace TarvelHost {

// Keeps recovery records (Formats::ClipRecovery) of the project's clips with unsaved edits,
// so that a crash loses at most the last two seconds of work.
// 1. Tick looks at every loaded clip. A clip marked as changed is recorded once its edits
//    rest for kQuiet, and at most kLongest after the first edit not yet recorded.
// 2. The record's bytes are taken on the calling (editing) thread, which costs a copy of the
//    keys; a thread of the keeper's own writes them, so an edit never waits for the disk.
//    The latest bytes of a clip replace any still waiting.
// 3. A clip without unsaved edits (saved, reverted, every step undone) loses its record.
//    When one is saved, every other record is written again at once: the save may have
//    rewritten their file too (clips of one file of several animations), and a record older
//    than its file is of no use.
// 4. Stop waits for the writes; with `discard` it removes every record of the project, as
//    a session that ends cleanly does (the user has chosen about each unsaved clip).
// 5. Problems of the writing thread reach the log from the next Tick, on the calling thread.
class RecoveryKeeper {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kQuiet = std::chrono::milliseconds(500);
  static constexpr Clock::duration kLongest = std::chrono::milliseconds(1500);

  RecoveryKeeper();
  ~RecoveryKeeper();
  RecoveryKeeper(const RecoveryKeeper&) = delete;
  RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

  // Keeps the records of this project from now on.
  void Start(const std::string& projectFolder);
  void Stop(bool discard);
  // Null while no project is kept.
  const Formats::ClipRecovery* GetRecovery() const { return recovery_.get(); }

  void Tick(Clock::time_point now = Clock::now());
  // Waits until every record taken so far is on disk.
  void Flush();

 private:
  struct Watched {
    std::uint64_t changes = 0;
    bool waiting = false;  // changes not recorded yet
    bool recorded = false;
    Clock::time_point first;
    Clock::time_point last;
  };
  // A record to write, or to remove when `bytes` is empty.
  struct Job {
    std::string clip;
    std::optional<std::vector<unsigned char>> bytes;
  };

  void Post(std::string clip, std::optional<std::vector<unsigned char>> bytes);
  void Work();

  std::unique_ptr<Formats::ClipRecovery> recovery_;
  std::map<std::string, Watched> watched_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::vector<Job> jobs_;
  bool busy_ = false;
  bool ending_ = false;
  std::vector<std::string> problems_;
  std::thread worker_;
};

}  // namespace TarvelHost
