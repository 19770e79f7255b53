#include "rcon/rcon_login_throttle.hpp"

#include <algorithm>

namespace Sandbox {
namespace {

// Beyond this many remembered addresses, records that no longer matter are dropped,
// so that a scan from many addresses cannot grow the table without bound.
constexpr std::size_t kRecordsBeforeCleanup = 1024;

}  // namespace

RconLoginThrottle::RconLoginThrottle(int failures_before_lockout, Clock::duration lockout)
    : failures_before_lockout_(std::max(1, failures_before_lockout)), lockout_(lockout) {}

bool RconLoginThrottle::IsLockedOut(const std::string& address, Clock::time_point now) const {
  const auto found = records_.find(address);
  return found != records_.end() && now < found->second.locked_until;
}

void RconLoginThrottle::RecordFailure(const std::string& address, Clock::time_point now) {
  if (records_.size() >= kRecordsBeforeCleanup) {
    ForgetExpired(now);
  }
  Record& record = records_[address];
  // Failures spread wider apart than a lockout are typing mistakes, not guessing.
  if (now - record.last_failure > lockout_) {
    record.failures = 0;
  }
  record.last_failure = now;
  if (++record.failures >= failures_before_lockout_) {
    record.failures = 0;
    record.locked_until = now + lockout_;
  }
}

void RconLoginThrottle::RecordSuccess(const std::string& address) {
  records_.erase(address);
}

void RconLoginThrottle::ForgetExpired(Clock::time_point now) {
  std::erase_if(records_, [this, now](const auto& entry) {
    const Record& record = entry.second;
    return now >= record.locked_until && now - record.last_failure > lockout_;
  });
}

}  // namespace Sandbox
