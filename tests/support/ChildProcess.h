#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

namespace TestSupport {

// Runs `body` in a forked child and reports how it ended: its exit status, or kTimedOut
// when it was still running after `timeout` (it is then killed), or kSignalled when a
// signal ended it. Keeps a test that would hang or crash from taking the suite with it.
class ChildProcess {
 public:
  static constexpr int kTimedOut = -1;
  static constexpr int kSignalled = -2;

  static int Run(const std::function<int()>& body, std::chrono::milliseconds timeout) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return kTimedOut;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : kSignalled;
  }

  // Starts `body` in a child, kills it with SIGKILL after `delay`, and waits for it.
  // True when the kill landed before the child finished.
  static bool KillAfter(const std::function<void()>& body, std::chrono::microseconds delay) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      body();
      ::_exit(0);
    }
    std::this_thread::sleep_for(delay);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status);
  }
};

}  // namespace TestSupport
