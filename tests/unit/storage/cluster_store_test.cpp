// The messages every server of a cluster delivers, and the servers' reports, kept in a
// real SQLite file and in a real MariaDB database: each server of the test is a store of
// its own with its own memory, as each game server is.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "distant_database.hpp"
#include "latency_proxy.hpp"
#include "storage/cluster_memory.hpp"
#include "storage/opt_out_store.hpp"
#include "store_test_helpers.hpp"
#include "temporary_folder.hpp"

namespace Bellwright::Storage::Testing {
namespace {

enum class Backend { kSqlite, kMySql };

void PrintTo(Backend backend, std::ostream* out) {
  *out << (backend == Backend::kSqlite ? "SQLite" : "MariaDB");
}

// Quick rounds, so that a test sees many of them within moments.
StoreOptions ClusterOptions() {
  StoreOptions options = QuickOptions();
  options.cluster_fetch_interval = 20ms;
  options.cluster_presence_interval = 50ms;
  options.cluster_reread_window = 300ms;
  options.cluster_prune_interval = 0ms;
  return options;
}

// One game server: its store, and what has arrived there so far.
class ClusterServer {
 public:
  ClusterServer(const StorageSettings& settings, ReportLog& log, const std::string& name,
                const StoreOptions& options)
      : store_(settings, log, ClusterIdentity{Folded(name), name}, options) {}

  void Turn() {
    store_.Turn();
    for (ArrivedMessage& message : store_.Cluster().TakeArrived()) {
      arrived_.push_back(std::move(message));
    }
  }
  void Post(const std::string& body) {
    ASSERT_EQ(store_.Cluster().Post(body, std::chrono::steady_clock::now()),
              ClusterMemory::PostResult::kQueued);
  }
  std::vector<std::string> Bodies() const {
    std::vector<std::string> bodies;
    for (const ArrivedMessage& message : arrived_) bodies.push_back(message.body);
    return bodies;
  }
  const std::vector<ArrivedMessage>& Arrived() const { return arrived_; }
  // Whether the store asked to be driven at the next frame, as the plug-in asks the host.
  bool WantsFrame() {
    return store_.Store().HasWorkForNextFrame(store_.Memory(), store_.Greeted(), store_.Cluster());
  }
  DrivenStore& Driven() { return store_; }
  ClusterMemory& Memory() { return store_.Cluster(); }

 private:
  static std::string Folded(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
  }

  DrivenStore store_;
  std::vector<ArrivedMessage> arrived_;
};

// Turns every server in turn, a millisecond apart, until `done` holds or `timeout` passes.
bool TurnAll(const std::vector<ClusterServer*>& servers, const std::function<bool()>& done,
             std::chrono::milliseconds timeout = 10s) {
  return Eventually(
      [&] {
        for (ClusterServer* server : servers) server->Turn();
        return done();
      },
      timeout);
}

void TurnAllFor(const std::vector<ClusterServer*>& servers, std::chrono::milliseconds duration) {
  TurnAll(
      servers, [] { return false; }, duration);
}

class ClusterStoreTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    if (GetParam() == Backend::kSqlite) {
      settings_.sqlite_path = (folder_.Path() / "bellwright.sqlite").string();
    } else {
      std::variant<StorageSettings, std::string> database = FreshMySqlDatabase();
      if (auto* failure = std::get_if<std::string>(&database)) FAIL() << *failure;
      settings_ = std::get<StorageSettings>(database);
      std::string failure;
      server_ = SharedMariaDbServer(failure);
    }
    settings_.cluster = true;
  }

  std::unique_ptr<ClusterServer> Start(const std::string& name,
                                       const StoreOptions& options = ClusterOptions()) {
    return std::make_unique<ClusterServer>(settings_, log_, name, options);
  }

  std::string Table(const std::string& name) const {
    if (GetParam() == Backend::kSqlite) return "bellwright_" + name;
    return "`" + settings_.database + "`.bellwright_" + name;
  }
  std::string NowMs() const {
    return GetParam() == Backend::kSqlite
               ? "CAST((julianday('now') - 2440587.5) * 86400000.0 AS INTEGER)"
               : "(TIMESTAMPDIFF(MICROSECOND, '1970-01-01 00:00:00', UTC_TIMESTAMP(6)) DIV 1000)";
  }
  // A statement run on the database directly, as another program would.
  void Execute(const std::string& sql) {
    if (GetParam() == Backend::kMySql) {
      ASSERT_EQ(server_->ExecuteAsRoot(sql), std::nullopt) << sql;
      return;
    }
    sqlite3* connection = nullptr;
    ASSERT_EQ(sqlite3_open(settings_.sqlite_path.c_str(), &connection), SQLITE_OK);
    sqlite3_busy_timeout(connection, 2000);
    char* error = nullptr;
    const int result = sqlite3_exec(connection, sql.c_str(), nullptr, nullptr, &error);
    const std::string cause = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(connection);
    ASSERT_EQ(result, SQLITE_OK) << sql << ": " << cause;
  }
  std::string Value(const std::string& sql) {
    if (GetParam() == Backend::kMySql) return server_->FirstValueAsRoot(sql).value_or("");
    sqlite3* connection = nullptr;
    sqlite3_open(settings_.sqlite_path.c_str(), &connection);
    std::string value;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr) {
      value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    sqlite3_close(connection);
    return value;
  }
  // A message another program wrote, numbered and dated as given.
  void InsertMessage(std::int64_t id, const std::string& age_ms, const std::string& body) {
    Execute("INSERT INTO " + Table("cluster_messages") +
            " (id, sent_ms, origin_key, origin_name, instance, post_number, body) VALUES (" +
            std::to_string(id) + ", " + NowMs() + " - " + age_ms + ", 'zulu', 'Zulu', 77, " +
            std::to_string(id) + ", '" + body + "')");
  }

  TemporaryFolder folder_;
  StorageSettings settings_;
  MariaDbServer* server_ = nullptr;
  ReportLog log_;
};

// Whatever a message holds, it is a value: quotes and a statement of its own, backslashes,
// a NUL, text beyond ASCII, nothing at all, and the largest body there is, every byte
// value in it.
TEST_P(ClusterStoreTest, AMessageReachesEveryOtherServerOnceByteForByte) {
  std::string every_byte;
  while (every_byte.size() < kMaxClusterBodyBytes)
    every_byte += static_cast<char>(every_byte.size());
  const std::vector<std::string> bodies = {
      "Restart in 5 minutes",
      "'); DROP TABLE bellwright_cluster_messages; --",
      R"(back\slash \' \" "double" 'single' % _ ? \0 \n)",
      std::string("before\0after", 12),
      "\xf0\x9f\x94\x94 \xc3\xbc\xc3\x9f \xe6\x97\xa5\xe6\x9c\xac",
      "",
      every_byte,
  };
  auto alpha = Start("Alpha");
  auto bravo = Start("Bravo");
  auto charlie = Start("Charlie");
  const std::vector<ClusterServer*> all = {alpha.get(), bravo.get(), charlie.get()};
  for (ClusterServer* server : all) ASSERT_TRUE(server->Driven().Settle()) << "joined";
  for (const std::string& body : bodies) alpha->Post(body);
  EXPECT_EQ(alpha->Memory().Post(every_byte + "!", std::chrono::steady_clock::now()),
            ClusterMemory::PostResult::kTooLong);
  ASSERT_TRUE(TurnAll(all,
                      [&] {
                        return bravo->Arrived().size() >= bodies.size() &&
                               charlie->Arrived().size() >= bodies.size();
                      }))
      << bravo->Arrived().size() << " and " << charlie->Arrived().size() << " arrived";
  TurnAllFor(all, 500ms);  // many more reads: nothing comes twice

  for (ClusterServer* server : {bravo.get(), charlie.get()}) {
    ASSERT_EQ(server->Bodies(), bodies);
    for (const ArrivedMessage& message : server->Arrived()) {
      EXPECT_EQ(message.origin_name, "Alpha");
      EXPECT_LT(message.age, 10s);
    }
  }
  EXPECT_TRUE(alpha->Arrived().empty()) << "the sender delivers its own messages at once";
  EXPECT_EQ(log_.Count(), 0U) << log_.Text();
}

// A server that was down delivers, once back, the messages it missed while they are fresh,
// never one it delivered before, and nothing older than a message's lifetime; a server
// back under its name never delivers its own earlier messages again.
TEST_P(ClusterStoreTest, AServerBackFromDowntimeDeliversWhatIsStillFreshOnce) {
  StoreOptions options = ClusterOptions();
  options.cluster_lifetime = 2s;
  auto alpha = Start("Alpha", options);
  auto bravo = Start("Bravo", options);
  alpha->Post("before the stop");
  ASSERT_TRUE(TurnAll({alpha.get(), bravo.get()}, [&] { return bravo->Arrived().size() == 1; }));
  TurnAllFor({alpha.get(), bravo.get()}, 200ms);  // the report says what was delivered
  bravo.reset();

  alpha->Post("while down, fresh");
  TurnAllFor({alpha.get()}, 100ms);
  bravo = Start("Bravo", options);
  ASSERT_TRUE(TurnAll({alpha.get(), bravo.get()}, [&] { return bravo->Arrived().size() == 1; }));
  TurnAllFor({alpha.get(), bravo.get()}, 300ms);
  EXPECT_EQ(bravo->Bodies(), std::vector<std::string>{"while down, fresh"});
  bravo.reset();

  alpha->Post("while down, too old");
  TurnAllFor({alpha.get()}, options.cluster_lifetime + 500ms);
  alpha->Post("after the lifetime");
  TurnAllFor({alpha.get()}, 100ms);
  bravo = Start("Bravo", options);
  ASSERT_TRUE(TurnAll({alpha.get(), bravo.get()}, [&] { return bravo->Arrived().size() == 1; }));
  alpha.reset();
  alpha = Start("ALPHA", options);  // the same name, another run
  TurnAllFor({alpha.get(), bravo.get()}, 500ms);
  EXPECT_EQ(bravo->Bodies(), std::vector<std::string>{"after the lifetime"});
  EXPECT_TRUE(alpha->Arrived().empty());
  EXPECT_EQ(log_.Count(), 0U) << log_.Text();
}

// Each server sees the others that reported within a message's lifetime, with their
// players; two servers given one name both deliver, and are told about it.
TEST_P(ClusterStoreTest, ServersSeeEachOtherAndTwoUnderOneNameAreTold) {
  StoreOptions options = ClusterOptions();
  options.cluster_lifetime = 1s;
  auto alpha = Start("Alpha", options);
  auto bravo = Start("Bravo", options);
  auto twin = Start("BRAVO", options);
  alpha->Memory().SetPlayerCount(3);
  bravo->Memory().SetPlayerCount(5);
  twin->Memory().SetPlayerCount(5);
  const std::vector<ClusterServer*> all = {alpha.get(), bravo.get(), twin.get()};
  ASSERT_TRUE(TurnAll(all, [&] { return log_.Count() > 0; })) << "the shared name is not told";
  alpha->Post("to both");
  ASSERT_TRUE(TurnAll(all, [&] { return bravo->Arrived().size() + twin->Arrived().size() == 2; }));
  TurnAllFor(all, 200ms);
  EXPECT_EQ(bravo->Bodies(), std::vector<std::string>{"to both"});
  EXPECT_EQ(twin->Bodies(), std::vector<std::string>{"to both"});
  for (const ReportedLine& line : log_.Lines()) {
    EXPECT_EQ(line.severity, Severity::kWarning);
    EXPECT_NE(line.text.find("ServerName"), std::string::npos) << line.text;
  }

  const auto now = std::chrono::steady_clock::now();
  const std::vector<ServerSeen> seen = alpha->Memory().ServersSeen(now, options.cluster_lifetime);
  ASSERT_EQ(seen.size(), 1U) << "the others, under one name";
  EXPECT_EQ(seen[0].players, 5);
  const std::vector<ServerSeen> from_bravo =
      bravo->Memory().ServersSeen(now, options.cluster_lifetime);
  ASSERT_EQ(from_bravo.size(), 1U);
  EXPECT_EQ(from_bravo[0].name, "Alpha");
  EXPECT_EQ(from_bravo[0].players, 3);

  bravo.reset();
  twin.reset();
  TurnAllFor({alpha.get()}, options.cluster_lifetime + 300ms);
  EXPECT_TRUE(alpha->Memory()
                  .ServersSeen(std::chrono::steady_clock::now(), options.cluster_lifetime)
                  .empty());
}

// A message numbered below one already read (written first, committed a moment later by
// another server) is still delivered.
TEST_P(ClusterStoreTest, AMessageCommittedLateUnderALowerNumberIsStillDelivered) {
  auto bravo = Start("Bravo");
  ASSERT_TRUE(bravo->Driven().Settle());
  InsertMessage(1000, "0", "numbered 1000");
  ASSERT_TRUE(TurnAll({bravo.get()}, [&] { return bravo->Arrived().size() == 1; }));
  InsertMessage(999, "0", "numbered 999, later");
  ASSERT_TRUE(TurnAll({bravo.get()}, [&] { return bravo->Arrived().size() == 2; }));
  TurnAllFor({bravo.get()}, 200ms);
  EXPECT_EQ(bravo->Bodies(), (std::vector<std::string>{"numbered 1000", "numbered 999, later"}));
  EXPECT_EQ(bravo->Arrived()[0].origin_name, "Zulu");
}

// A server that sends removes the messages older than an hour, but never the newest, so
// that no number is handed out twice.
TEST_P(ClusterStoreTest, OldMessagesAreRemovedButNeverTheNewest) {
  auto alpha = Start("Alpha");
  ASSERT_TRUE(alpha->Driven().Settle());
  for (int id = 1; id <= 3; ++id) InsertMessage(id, "7200000", "two hours old");
  InsertMessage(4, "0", "fresh");
  alpha->Post("now");
  const std::string count = "SELECT COUNT(*) FROM " + Table("cluster_messages");
  ASSERT_TRUE(TurnAll({alpha.get()}, [&] { return Value(count) == "2"; })) << Value(count);
  EXPECT_EQ(Value("SELECT MIN(id) FROM " + Table("cluster_messages")), "4");
  EXPECT_EQ(log_.Count(), 0U) << log_.Text();
}

// Servers driven as the game drives them, in real time: each server's one-second timer (at a
// phase of its own), and a frame, 30 a second, for a server whose store asked for one.
class GamePace {
 public:
  using Clock = std::chrono::steady_clock;

  explicit GamePace(std::vector<ClusterServer*> servers) {
    for (std::size_t i = 0; i < servers.size(); ++i) {
      servers_.push_back({servers[i], static_cast<int>(i * 11 % kFramesPerSecond), true});
    }
  }

  // A callback on one server that drives its store at once (a command that sends).
  void DriveNow(ClusterServer& server) {
    for (Paced& paced : servers_) {
      if (paced.server == &server) Drive(paced);
    }
  }
  // Frames until `done` holds or `limit` passes: how long it took.
  std::optional<Clock::duration> RunUntil(const std::function<bool()>& done,
                                          Clock::duration limit) {
    const Clock::time_point started = Clock::now();
    while (!done()) {
      if (Clock::now() - started >= limit) return std::nullopt;
      next_frame_ = std::max(next_frame_ + kFramePace, Clock::now());
      std::this_thread::sleep_until(next_frame_);
      frame_ = (frame_ + 1) % kFramesPerSecond;
      for (Paced& paced : servers_) {
        if (paced.asked || frame_ == paced.timer_frame) Drive(paced);
      }
    }
    return Clock::now() - started;
  }
  Clock::duration LongestTurn() const { return longest_; }

 private:
  static constexpr int kFramesPerSecond = 30;
  struct Paced {
    ClusterServer* server;
    int timer_frame;
    bool asked;
  };

  void Drive(Paced& paced) {
    const Clock::time_point started = Clock::now();
    paced.server->Turn();
    longest_ = std::max(longest_, Clock::now() - started);
    paced.asked = paced.server->WantsFrame();
  }

  std::vector<Paced> servers_;
  Clock::time_point next_frame_ = Clock::now();
  int frame_ = 0;
  Clock::duration longest_{};
};

// Three servers on one database 25 ms away in each direction, named by a host name, at the
// game's pace with the plug-in's own rounds: a message sent on any of them is delivered on
// the two others within 2 s, and no turn waits for the database.
TEST(ClusterPaceTest, AtTheGamesPaceAMessageReachesEveryOtherServerWithinTwoSeconds) {
  auto made = Bellwright::Testing::DistantDatabase::Make(25ms);
  ASSERT_TRUE(std::holds_alternative<std::unique_ptr<Bellwright::Testing::DistantDatabase>>(made))
      << std::get<std::string>(made);
  StorageSettings settings =
      std::get<std::unique_ptr<Bellwright::Testing::DistantDatabase>>(made)->Settings();
  settings.cluster = true;
  ReportLog log;
  std::vector<std::unique_ptr<ClusterServer>> servers;
  for (const char* name : {"Center", "Island", "Scorched"}) {
    servers.push_back(std::make_unique<ClusterServer>(settings, log, name, StoreOptions{}));
  }
  GamePace pace({servers[0].get(), servers[1].get(), servers[2].get()});
  ASSERT_TRUE(pace.RunUntil(
      [&] {
        return std::none_of(servers.begin(), servers.end(),
                            [](const auto& server) { return server->WantsFrame(); });
      },
      10s))
      << "the servers did not join";

  GamePace::Clock::duration slowest{};
  constexpr std::size_t kRounds = 5;
  for (std::size_t round = 0; round < kRounds; ++round) {
    ClusterServer& origin = *servers[round % servers.size()];
    const std::size_t before = servers[(round + 1) % servers.size()]->Arrived().size();
    origin.Post("round " + std::to_string(round));
    pace.DriveNow(origin);
    const auto delivered = pace.RunUntil(
        [&] {
          return std::all_of(servers.begin(), servers.end(), [&](const auto& server) {
            return server.get() == &origin ||
                   (!server->Arrived().empty() &&
                    server->Arrived().back().body == "round " + std::to_string(round));
          });
        },
        5s);
    ASSERT_TRUE(delivered) << "round " << round << " was not delivered everywhere";
    slowest = std::max(slowest, *delivered);
    EXPECT_EQ(servers[(round + 1) % servers.size()]->Arrived().size(), before + 1);
    // Another phase of the timers for the next round.
    pace.RunUntil([] { return false; }, std::chrono::milliseconds(170 + 190 * round));
  }
  EXPECT_LE(slowest, 2s);
  EXPECT_LE(pace.LongestTurn(), kGenerousTurnBound);
  EXPECT_EQ(log.Count(), 0U) << log.Text();
  std::cout << "25 ms each way: the slowest of " << kRounds
            << " messages reached both other servers in "
            << std::chrono::duration<double>(slowest).count() << " s; the longest turn took "
            << std::chrono::duration<double, std::milli>(pace.LongestTurn()).count() << " ms\n";
}

INSTANTIATE_TEST_SUITE_P(Databases, ClusterStoreTest,
                         ::testing::Values(Backend::kSqlite, Backend::kMySql),
                         [](const ::testing::TestParamInfo<Backend>& info) {
                           return info.param == Backend::kSqlite ? "SQLite" : "MariaDB";
                         });

}  // namespace
}  // namespace Bellwright::Storage::Testing
