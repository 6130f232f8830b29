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

template <typename Done>
bool HelperThread::SpinUntil(const Done& done) {
  const auto deadline = std::chrono::steady_clock::now() + kSpin;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  }
  return true;
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
    posted = true;
  }
  changed.notify_all();
  return true;
}

void HelperThread::Wait() {
  if (SpinUntil([this] { return !busy; })) return;
  std::unique_lock lock(mutex);
  changed.wait(lock, [this] { return !busy; });
}

void HelperThread::Serve() {
  std::unique_lock lock(mutex);
  for (;;) {
    if (!posted && !stopping) {
      lock.unlock();
      SpinUntil([this] { return posted.load(); });
      lock.lock();
    }
    changed.wait(lock, [this] { return stopping || (busy && pending); });
    if (stopping) return;
    std::function<void()> task = std::move(pending);
    pending = nullptr;
    posted = false;
    lock.unlock();
    task();
    lock.lock();
    busy = false;
    changed.notify_all();
  }
}

}  // namespace Tarvel
