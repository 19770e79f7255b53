#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "storage/database.hpp"
#include "storage/host_lookup.hpp"

struct st_mysql;
struct st_mysql_res;

namespace Bellwright::Storage {

// The tables in a MySQL or MariaDB database, through MariaDB Connector/C's non-blocking
// interface: every call of the client library returns at once with what it waits for
// (the socket readable or writable), and the socket is asked with a zero timeout
// whether that has come. A host name is looked up by the system in the background
// first, since the library's own lookup would block, and its addresses are tried in
// turn. An open that finds both tables costs one statement after the login. The database name
// travels in the connect call; player keys travel as hexadecimal literals, which no key can break
// out of. A connection that breaks is not reconnected here: the store opens a new one.
class MySqlDatabase final : public Database {
 public:
  MySqlDatabase(StorageSettings settings, const StoreOptions& options);
  ~MySqlDatabase() override;
  MySqlDatabase(const MySqlDatabase&) = delete;
  MySqlDatabase& operator=(const MySqlDatabase&) = delete;

  std::optional<Outcome> BeginOpen() override;
  std::optional<Outcome> BeginRead(std::span<const std::string> player_keys) override;
  std::optional<Outcome> BeginWrite(std::span<const StoredChoice> choices) override;
  std::optional<Outcome> BeginReadGreeted(std::span<const std::string> player_keys) override;
  std::optional<Outcome> BeginRecordGreeted(std::span<const std::string> player_keys) override;
  std::optional<Failure> GreetedPlayersUnusable() const override { return greeted_unusable_; }
  std::optional<Outcome> BeginJoinCluster(const ClusterIdentity& me,
                                          std::chrono::milliseconds lifetime) override;
  std::optional<Outcome> BeginPost(const ClusterIdentity& me, std::int64_t instance,
                                   const ClusterPost& post) override;
  std::optional<Outcome> BeginFetch(const FetchRequest& request, std::size_t limit) override;
  std::optional<Outcome> BeginPresence(const ClusterIdentity& me, const PresenceReport& report,
                                       std::chrono::milliseconds within) override;
  std::optional<Outcome> BeginPrune(std::int64_t below,
                                    std::chrono::milliseconds older_than) override;
  std::optional<Failure> ClusterUnusable() const override { return cluster_unusable_; }
  std::optional<Outcome> Continue() override;
  void Close() override;
  bool IsOpen() const override { return open_; }

 private:
  // What the library call under way belongs to.
  enum class Phase { kIdle, kLookingUp, kConnecting, kQuerying, kStoringResult, kClosing };
  // What the rows of an operation's statements are, and what a statement without rows
  // tells.
  enum class Reading { kChoices, kGreeted, kJoin, kMessages, kServers, kPost, kPrune };

  std::optional<Outcome> Begin(std::vector<std::string> statements, Reading reading);
  std::optional<Outcome> Advance();
  std::optional<Outcome> AfterLookup();
  std::optional<Outcome> ConnectNext();
  std::optional<Outcome> AfterConnect();
  std::optional<Outcome> AfterQuery();
  std::optional<Outcome> AfterOpeningStatement(std::size_t done);
  std::optional<Outcome> TakeResult();
  void ReadRow(char** values, const unsigned long* lengths);
  std::optional<Outcome> AfterStoringResult();
  std::optional<Outcome> NextStatement();
  int ReadyEvents() const;
  int Resume(int ready);
  void Await(int status);
  Outcome Fail(std::string cause);
  void Abandon();

  StorageSettings settings_;
  StoreOptions options_;
  st_mysql* connection_ = nullptr;
  bool open_ = false;
  std::unique_ptr<HostLookup> lookup_;
  // The addresses of the host, tried in turn until one takes the connection.
  std::vector<std::string> addresses_;
  std::size_t next_address_ = 0;

  Phase phase_ = Phase::kIdle;
  int waiting_for_ = 0;  // the library's MYSQL_WAIT_* bits; 0 once its call has returned
  std::chrono::steady_clock::time_point waiting_since_;
  // The call's results, filled in by the library when it returns.
  st_mysql* connected_ = nullptr;
  int query_status_ = 0;
  st_mysql_res* result_ = nullptr;

  std::vector<std::string> statements_;
  std::size_t next_statement_ = 0;
  // Opening tolerates a CREATE the account may not run, when the table is usable anyway.
  bool opening_ = false;
  std::optional<Failure> create_failure_;
  // An account that may use the choices but not the table of greeted players keeps its
  // choices working; this says why greeted players are not kept. Likewise the cluster's
  // tables.
  std::optional<Failure> greeted_unusable_;
  std::optional<Failure> cluster_unusable_;
  Reading reading_ = Reading::kChoices;
  Outcome outcome_;
};

}  // namespace Bellwright::Storage
