#include "storage/cluster_memory.hpp"

#include <algorithm>
#include <random>
#include <utility>

namespace Bellwright::Storage {
namespace {

// Positive and never 0, so that it fits the tables' signed column and 0 can mean none.
std::int64_t NewInstance() {
  std::random_device entropy;
  std::mt19937_64 generator((static_cast<std::uint64_t>(entropy()) << 32U) ^ entropy());
  constexpr std::uint64_t kPositive = 0x7fffffffffffffffULL;
  return static_cast<std::int64_t>(generator() & kPositive) | 1;
}

std::chrono::milliseconds Since(std::chrono::steady_clock::time_point then,
                                std::chrono::steady_clock::time_point now) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(now - then);
}

}  // namespace

ClusterMemory::ClusterMemory(ClusterIdentity identity)
    : identity_(std::move(identity)), instance_(NewInstance()) {}

ClusterMemory::PostResult ClusterMemory::Post(std::string body, Clock::time_point now) {
  if (!InCluster()) return PostResult::kNotInCluster;
  if (body.size() > kMaxClusterBodyBytes) return PostResult::kTooLong;
  posts_.push_back({++last_post_number_, std::move(body), now});
  return PostResult::kQueued;
}

std::vector<ArrivedMessage> ClusterMemory::TakeArrived() {
  return std::exchange(arrived_, {});
}

std::vector<ServerSeen> ClusterMemory::ServersSeen(Clock::time_point now,
                                                   std::chrono::milliseconds within) const {
  std::vector<ServerSeen> seen;
  if (!reported_) return seen;
  const std::chrono::milliseconds read_ago = Since(servers_read_, now);
  for (const ServerPresenceRow& row : servers_) {
    const std::chrono::milliseconds since = std::chrono::milliseconds(row.age_ms) + read_ago;
    if (row.key == identity_.key || since > within) continue;
    seen.push_back({row.name, row.players, since});
  }
  std::sort(seen.begin(), seen.end(),
            [](const ServerSeen& a, const ServerSeen& b) { return a.name < b.name; });
  return seen;
}

bool ClusterMemory::TakeSharedNameNotice() {
  if (!shared_name_seen_ || shared_name_told_) return false;
  shared_name_told_ = true;
  return true;
}

ClusterPost ClusterMemory::FirstPost(Clock::time_point now) const {
  const WaitingPost& first = posts_.front();
  return {first.number, first.body, std::max<std::int64_t>(0, Since(first.queued, now).count())};
}

void ClusterMemory::MarkPosted(std::int64_t number) {
  if (!posts_.empty() && posts_.front().number == number) posts_.pop_front();
}

std::size_t ClusterMemory::DropPostsOlderThan(std::chrono::milliseconds lifetime,
                                              Clock::time_point now) {
  std::size_t dropped = 0;
  while (!posts_.empty() && Since(posts_.front().queued, now) > lifetime) {
    posts_.pop_front();
    ++dropped;
  }
  return dropped;
}

void ClusterMemory::Join(const ClusterJoinRow& row, const std::string& database) {
  const std::int64_t known = std::max(row.delivered.value_or(0), row.expired);
  if (database == joined_database_) {
    cursor_ = std::max(cursor_, known);
  } else {
    joined_database_ = database;
    cursor_ = known;
    handled_.clear();
    newest_at_join_ = row.newest;
  }
  std::erase_if(handled_, [this](const auto& entry) { return entry.first <= cursor_; });
}

FetchRequest ClusterMemory::NextFetch() const {
  FetchRequest request{cursor_, {}};
  request.handled.reserve(handled_.size());
  for (const auto& [id, first_read] : handled_) request.handled.push_back(id);
  return request;
}

void ClusterMemory::Fetched(std::span<const ClusterMessageRow> rows,
                            std::chrono::milliseconds lifetime,
                            std::chrono::milliseconds reread_window, Clock::time_point now) {
  for (const ClusterMessageRow& row : rows) {
    if (IsHandled(row.id)) continue;
    handled_.emplace(row.id, now);
    if (Arrives(row, lifetime)) {
      arrived_.push_back({row.id, row.origin_name,
                          std::chrono::milliseconds(std::max<std::int64_t>(0, row.age_ms)),
                          row.body});
    }
  }
  MoveCursor(reread_window, now);
}

bool ClusterMemory::IsHandled(std::int64_t id) const {
  return id <= cursor_ || handled_.contains(id);
}

bool ClusterMemory::Arrives(const ClusterMessageRow& row,
                            std::chrono::milliseconds lifetime) const {
  if (row.instance == instance_) return false;  // delivered here when it was sent
  if (row.origin_key == identity_.key && row.id <= newest_at_join_) return false;
  return row.age_ms <= lifetime.count();
}

// Past every message first read longer ago than the window: any message numbered below
// one of those has been committed by now, or never will be.
void ClusterMemory::MoveCursor(std::chrono::milliseconds reread_window, Clock::time_point now) {
  for (auto entry = handled_.begin(); entry != handled_.end();) {
    if (Since(entry->second, now) < reread_window) {
      ++entry;
      continue;
    }
    cursor_ = std::max(cursor_, entry->first);
    entry = handled_.erase(entry);
  }
  std::erase_if(handled_, [this](const auto& entry) { return entry.first <= cursor_; });
}

PresenceReport ClusterMemory::NextPresence() const {
  return {instance_, players_, Delivered()};
}

void ClusterMemory::PresenceRead(std::vector<ServerPresenceRow> rows, Clock::time_point now) {
  // Before this run's first report the row may still be an earlier run's; after it,
  // another instance there means another server writes under this name.
  if (reported_) {
    for (const ServerPresenceRow& row : rows) {
      if (row.key == identity_.key && row.instance != instance_) shared_name_seen_ = true;
    }
  }
  servers_ = std::move(rows);
  servers_read_ = now;
  reported_ = true;
}

std::int64_t ClusterMemory::Delivered() const {
  return handled_.empty() ? cursor_ : std::max(cursor_, handled_.rbegin()->first);
}

}  // namespace Bellwright::Storage
