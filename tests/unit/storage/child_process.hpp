#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace Bellwright::Storage::Testing {

// Debian's "nobody": an account that file permissions apply to, unlike root.
inline constexpr uid_t kUnprivilegedId = 65534;

enum class Privileges { kKeep, kDropRoot };

// Runs `body` in a forked child. Its exit status is 0 when none of its assertions
// failed; their messages appear in the test's output. Start it before this process
// starts threads of its own.
class ChildProcess {
 public:
  ChildProcess(const std::function<void()>& body, Privileges privileges) : pid_(fork()) {
    if (pid_ != 0) return;
    if (privileges == Privileges::kDropRoot && geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(kUnprivilegedId) != 0 ||
         setuid(kUnprivilegedId) != 0)) {
      _exit(3);
    }
    body();
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  ~ChildProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    Wait();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  int Wait() {
    int status = 0;
    const bool waited = pid_ > 0 && waitpid(pid_, &status, 0) == pid_;
    pid_ = -1;
    if (!waited) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_;
};

}  // namespace Bellwright::Storage::Testing
