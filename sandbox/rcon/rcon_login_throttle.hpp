#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <unordered_map>

namespace Sandbox {

// Refuses an address for a while after repeated failed RCON logins from it, so that
// a password cannot be guessed at network speed. Each call costs the same however
// many addresses are remembered: a scan from many addresses must not slow the
// listener down for everyone.
class RconLoginThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  RconLoginThrottle(int failures_before_lockout, Clock::duration lockout);

  bool IsLockedOut(const std::string& address, Clock::time_point now) const;
  void RecordFailure(const std::string& address, Clock::time_point now);
  void RecordSuccess(const std::string& address);

  // Addresses whose failures still count or who are locked out.
  [[nodiscard]] std::size_t RememberedAddresses() const { return records_.size(); }

 private:
  struct Record {
    int failures = 0;
    Clock::time_point last_failure;
    Clock::time_point locked_until;
    Clock::time_point queued_until;  // its one entry in the expiry queue
  };
  // When an address may stop mattering; one entry a remembered address.
  struct Expiry {
    Clock::time_point after;
    std::string address;
  };

  void ForgetExpired(Clock::time_point now);

  int failures_before_lockout_;
  Clock::duration lockout_;
  std::unordered_map<std::string, Record> records_;
  std::deque<Expiry> expiries_;
};

}  // namespace Sandbox
