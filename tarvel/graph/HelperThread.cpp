#include "graph/HelperThread.h"

#include <system_error>

#include "EngineCore/Log.h"

namespace Tarvel {

HelperThread::~HelperThread() {
  if (!thread.joinable()) return;
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return !busy; });
    stopping = true;
  }
  changed.notify_all();
  thread.join();
}

bool HelperThread::Start(std::function<void()> task) {
  if (failed) return false;
  if (!thread.joinable()) {
    try {
      thread = std::thread([this] { Serve(); });
    } catch (const std::system_error&) {
      EngineCore::Log::Write(EngineCore::Log::Warning, "Tarvel: the graph works on one core, a thread could not start");
      failed = true;
      return false;
    }
  }
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return !busy; });
    pending = std::move(task);
    busy = true;
  }
  changed.notify_all();
  return true;
}

void HelperThread::Wait() {
  std::unique_lock lock(mutex);
  changed.wait(lock, [this] { return !busy; });
}

void HelperThread::Serve() {
  std::unique_lock lock(mutex);
  for (;;) {
    changed.wait(lock, [this] { return stopping || (busy && pending); });
    if (stopping) return;
    std::function<void()> task = std::move(pending);
    pending = nullptr;
    lock.unlock();
    task();
    lock.lock();
    busy = false;
    changed.notify_all();
  }
}

}  // namespace Tarvel
