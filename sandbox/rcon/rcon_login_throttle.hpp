#pragma once

#include <chrono>
#include <map>
#include <string>

namespace Sandbox {

// Refuses an address for a while after repeated failed RCON logins from it, so that
// a password cannot be guessed at network speed.
class RconLoginThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  RconLoginThrottle(int failures_before_lockout, Clock::duration lockout);

  bool IsLockedOut(const std::string& address, Clock::time_point now) const;
  void RecordFailure(const std::string& address, Clock::time_point now);
  void RecordSuccess(const std::string& address);

 private:
  struct Record {
    int failures = 0;
    Clock::time_point last_failure;
    Clock::time_point locked_until;
  };

  void ForgetExpired(Clock::time_point now);

  int failures_before_lockout_;
  Clock::duration lockout_;
  std::map<std::string, Record> records_;
};

}  // namespace Sandbox
