#include "rcon/rcon_login_throttle.hpp"

#include <algorithm>

namespace Sandbox {

RconLoginThrottle::RconLoginThrottle(int failures_before_lockout, Clock::duration lockout)
    : failures_before_lockout_(std::max(1, failures_before_lockout)), lockout_(lockout) {}

bool RconLoginThrottle::IsLockedOut(const std::string& address, Clock::time_point now) const {
  const auto found = records_.find(address);
  return found != records_.end() && now < found->second.locked_until;
}

void RconLoginThrottle::RecordFailure(const std::string& address, Clock::time_point now) {
  ForgetExpired(now);
  const auto [found, added] = records_.try_emplace(address);
  Record& record = found->second;
  if (added) {
    record.queued_until = now + lockout_;
    expiries_.push_back({record.queued_until, address});
  }
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
  // Its entries in the expiry queue find no record, or a newer one, and are skipped.
  records_.erase(address);
}

// A lockout begins at a failure, so an address matters until its last failure has
// expired. The queue is looked at from its front only: an address that failed again
// is queued anew at the back, at worst one lockout later than it could be forgotten.
void RconLoginThrottle::ForgetExpired(Clock::time_point now) {
  while (!expiries_.empty() && now > expiries_.front().after) {
    Expiry expiry = std::move(expiries_.front());
    expiries_.pop_front();
    const auto found = records_.find(expiry.address);
    // An entry left by an address that logged in since.
    if (found == records_.end() || found->second.queued_until != expiry.after) {
      continue;
    }
    Record& record = found->second;
    if (now - record.last_failure > lockout_) {
      records_.erase(found);
      continue;
    }
    record.queued_until = record.last_failure + lockout_;
    expiry.after = record.queued_until;
    expiries_.push_back(std::move(expiry));
  }
}

}  // namespace Sandbox
