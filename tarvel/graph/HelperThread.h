#pragma once

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
class HelperThread {
 public:
  HelperThread() = default;
  ~HelperThread();
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;

  bool Start(std::function<void()> task);
  void Wait();

 private:
  void Serve();

  std::mutex mutex;
  std::condition_variable changed;
  std::function<void()> pending;
  bool busy = false;
  bool stopping = false;
  bool failed = false;
  std::thread thread;
};

}  // namespace Tarvel
