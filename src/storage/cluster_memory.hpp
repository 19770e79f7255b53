#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "storage/cluster_rows.hpp"

namespace Bellwright::Storage {

// A message from another server, ready to be delivered here.
struct ArrivedMessage {
  std::int64_t id = 0;
  std::string origin_name;
  // Since it was sent, by the database's clock.
  std::chrono::milliseconds age{0};
  std::string body;
};

// Another server of the cluster, as its last report left it.
struct ServerSeen {
  std::string name;
  int players = 0;
  std::chrono::milliseconds since{0};
};

// The game thread's side of the messages every server of a cluster delivers: what this
// server sends and has not stored yet, what arrived from the others, what was delivered
// (so each message is delivered once here), and the servers seen. Its size follows the
// messages of the last few seconds, never the table.
//
// Why the messages are not simply read "after the last one delivered": the database hands
// out a message's number when the message is written, but another server's message with a
// lower number may be committed a moment later. So a message stays in `handled_` for a
// while (the re-read window) and the ones below it that have not come yet are still
// asked for; only then does the cursor move past them.
class ClusterMemory {
 public:
  using Clock = std::chrono::steady_clock;

  // Not in a cluster: nothing is sent or received.
  ClusterMemory() = default;
  explicit ClusterMemory(ClusterIdentity identity);

  bool InCluster() const { return !identity_.key.empty(); }
  const ClusterIdentity& Identity() const { return identity_; }
  // This run of this server, told apart from an earlier run under the same name and
  // from another server given the same name by mistake.
  std::int64_t Instance() const { return instance_; }
  void SetPlayerCount(int players) { players_ = players; }

  enum class PostResult { kQueued, kNotInCluster, kTooLong };
  // A message for every other server, stored as soon as the storage can.
  PostResult Post(std::string body, Clock::time_point now);
  std::size_t WaitingPosts() const { return posts_.size(); }
  // Messages from other servers to be delivered here, oldest first; each is handed out
  // once.
  std::vector<ArrivedMessage> TakeArrived();
  // The other servers whose last report is at most `within` old.
  std::vector<ServerSeen> ServersSeen(Clock::time_point now,
                                      std::chrono::milliseconds within) const;
  // True once after another server was found reporting under this server's name.
  bool TakeSharedNameNotice();

  // For the store: posts and what came of them.
  bool HasPosts() const { return !posts_.empty(); }
  ClusterPost FirstPost(Clock::time_point now) const;
  void MarkPosted(std::int64_t number);
  // Drops the posts that waited longer than `lifetime`; how many.
  std::size_t DropPostsOlderThan(std::chrono::milliseconds lifetime, Clock::time_point now);

  // For the store: joining, reading and reporting.
  // `database` names the storage: a join to the one this memory knew keeps what it
  // delivered; a join to another starts again from what the table says.
  void Join(const ClusterJoinRow& row, const std::string& database);
  FetchRequest NextFetch() const;
  // Rows read after the request, in order of their ids; those of this run, those this
  // server sent in an earlier run, those older than `lifetime` and those handled already
  // are passed over, the rest arrive.
  void Fetched(std::span<const ClusterMessageRow> rows, std::chrono::milliseconds lifetime,
               std::chrono::milliseconds reread_window, Clock::time_point now);
  PresenceReport NextPresence() const;
  // The servers the table knew just before this server's report was written.
  void PresenceRead(std::vector<ServerPresenceRow> rows, Clock::time_point now);
  // The newest message handled here: what a later run starts after.
  std::int64_t Delivered() const;

 private:
  struct WaitingPost {
    std::int64_t number = 0;
    std::string body;
    Clock::time_point queued;
  };

  bool IsHandled(std::int64_t id) const;
  bool Arrives(const ClusterMessageRow& row, std::chrono::milliseconds lifetime) const;
  void MoveCursor(std::chrono::milliseconds reread_window, Clock::time_point now);

  ClusterIdentity identity_;
  std::int64_t instance_ = 0;
  int players_ = 0;

  std::deque<WaitingPost> posts_;
  std::int64_t last_post_number_ = 0;

  std::string joined_database_;
  // Messages at or below it are not asked for again.
  std::int64_t cursor_ = 0;
  // This server's own messages up to it were sent by an earlier run, which delivered them.
  std::int64_t newest_at_join_ = 0;
  // Messages above the cursor already handled, with when they were first read.
  std::map<std::int64_t, Clock::time_point> handled_;
  std::vector<ArrivedMessage> arrived_;

  std::vector<ServerPresenceRow> servers_;
  Clock::time_point servers_read_;
  bool reported_ = false;
  bool shared_name_seen_ = false;
  bool shared_name_told_ = false;
};

}  // namespace Bellwright::Storage
