#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace Tarvel {

// A second thread that the graph keeps for its paints and its editor's moves: starting a
// thread at every paint would cost more than a small paint draws. What callers may rely on:
// 1. Start runs task on the worker while the caller goes on, and returns true; false when no
//    worker thread could be started, and then task does not run.
// 2. Wait returns once the task started last has finished; at once when none is running.
// 3. One task at a time: Start waits for the one before to finish.
// 4. The thread starts with the first task and stops with the worker. A worker whose thread
//    could not start stays without one.
// 5. Waking a sleeping thread costs tens of microseconds, as much as a small task: after a
//    task the worker looks for the next one for kSpin before it sleeps (a paint follows a
//    move at once), and Wait looks for the end of the task for as long before it sleeps.
class HelperThread {
 public:
  HelperThread() = default;
  ~HelperThread();
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;

  bool Start(std::function<void()> task);
  void Wait();

  static constexpr std::chrono::microseconds kSpin{1000};

 private:
  void Serve();
  // Until done() or kSpin has passed; whether done() came true.
  template <typename Done>
  static bool SpinUntil(const Done& done);

  std::mutex mutex;
  std::condition_variable changed;
  std::function<void()> pending;
  // Changed under the mutex, read without it while spinning.
  std::atomic<bool> posted{false};
  std::atomic<bool> busy{false};
  bool stopping = false;
  bool failed = false;
  std::thread thread;
};

}  // namespace Tarvel
