#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Bellwright::Storage {

// This server in its cluster: the name as the administrator wrote it, and the key it is
// found by (the name folded as names compare), which the caller makes.
struct ClusterIdentity {
  std::string key;
  std::string name;
};

// A message for every server, as the table keeps it: the body is the caller's bytes,
// never read by the storage. The age is measured by the database's own clock, the one
// clock every server shares, whatever their own clocks say.
struct ClusterMessageRow {
  std::int64_t id = 0;
  std::int64_t age_ms = 0;
  std::string origin_key;
  std::string origin_name;
  std::int64_t instance = 0;
  std::string body;
};

// A server's line in the table of servers, as its last report left it.
struct ServerPresenceRow {
  std::string key;
  std::string name;
  std::int64_t instance = 0;
  int players = 0;
  std::int64_t age_ms = 0;
};

// What a server finds when it joins: the last message it delivered before (none for a
// name the table does not know), the newest message older than a message's lifetime,
// and the newest message of all.
struct ClusterJoinRow {
  std::optional<std::int64_t> delivered;
  std::int64_t expired = 0;
  std::int64_t newest = 0;
};

// A message on its way into the table. The number tells a post apart among this
// instance's, so that one sent again after a lost answer is stored once.
struct ClusterPost {
  std::int64_t number = 0;
  std::string body;
  // How long it waited here before the database could take it: it is stored as sent
  // that much earlier.
  std::int64_t waited_ms = 0;
};

// What to ask the table of messages for: those after `after`, but for the ones already
// handled.
struct FetchRequest {
  std::int64_t after = 0;
  std::vector<std::int64_t> handled;
};

// What a server reports about itself at each turn of its presence.
struct PresenceReport {
  std::int64_t instance = 0;
  int players = 0;
  std::int64_t delivered = 0;
};

// The largest body a message for every server may have. Far above what the send commands
// let through (their text is bounded far lower), far below the column's width.
inline constexpr std::size_t kMaxClusterBodyBytes = std::size_t{32} * 1024;

}  // namespace Bellwright::Storage
