// What only a database server brings: a server that goes away and comes back, one that
// refuses the store, and one that does not answer.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

#include "latency_proxy.hpp"
#include "mariadb_server.hpp"
#include "silent_listener.hpp"
#include "storage/opt_out_store.hpp"
#include "store_test_helpers.hpp"

namespace Bellwright::Storage::Testing {
namespace {

class MySqlStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::variant<StorageSettings, std::string> database = FreshMySqlDatabase();
    if (auto* failure = std::get_if<std::string>(&database)) FAIL() << *failure;
    settings_ = std::get<StorageSettings>(database);
    std::string failure;
    server_ = SharedMariaDbServer(failure);
  }

  DrivenStore StartStore(ReportLog& log) { return DrivenStore(settings_, log); }

  std::string StorageName() const {
    return "MySQL " + settings_.user + "@127.0.0.1:" + std::to_string(settings_.port) + "/" +
           settings_.database;
  }

  StorageSettings settings_;
  MariaDbServer* server_ = nullptr;
};

bool ReportedWithin(DrivenStore& store, const ReportLog& log, std::size_t count) {
  return store.TurnUntil([&] { return log.Count() >= count; });
}

TEST_F(MySqlStoreTest, ChoicesMadeWhileTheServerIsAwayAreWrittenWhenItIsBack) {
  ReportLog log;
  DrivenStore store = StartStore(log);
  store.Toggle("before");
  store.Toggle("flipped-back");
  ASSERT_TRUE(store.Settle());

  server_->Kill();
  store.Toggle("meanwhile");
  store.Toggle("flipped-back");
  ASSERT_TRUE(ReportedWithin(store, log, 1)) << "no failure reported";
  EXPECT_TRUE(store.IsOptedOut("meanwhile"));
  store.TurnFor(10 * QuickOptions().retry_interval);  // several retries
  ASSERT_EQ(log.Count(), 1u) << log.Text();
  EXPECT_EQ(log.Lines()[0].severity, Severity::kError);
  EXPECT_NE(log.Lines()[0].text.find(StorageName()), std::string::npos) << log.Text();

  ASSERT_EQ(server_->Restart(), std::nullopt);
  ASSERT_TRUE(ReportedWithin(store, log, 2)) << "no recovery reported";
  EXPECT_TRUE(store.Settle());
  ASSERT_EQ(log.Count(), 2u) << log.Text();
  EXPECT_EQ(log.Lines()[1].severity, Severity::kInfo);
  EXPECT_NE(log.Lines()[1].text.find(StorageName()), std::string::npos) << log.Text();

  DrivenStore reopened = StartStore(log);
  EXPECT_TRUE(reopened.AskAndSettle("before"));
  EXPECT_TRUE(reopened.AskAndSettle("meanwhile"));
  EXPECT_FALSE(reopened.AskAndSettle("flipped-back"));
  EXPECT_EQ(log.Count(), 2u) << log.Text();
}

// Servers close idle connections (wait_timeout, eight hours by default); that is no
// failure to tell an administrator about, twice a day, on a quiet server.
TEST_F(MySqlStoreTest, AConnectionTheServerClosedIsReplacedSilently) {
  ReportLog log;
  DrivenStore store = StartStore(log);
  store.Toggle("first");
  ASSERT_TRUE(store.Settle());
  ASSERT_EQ(server_->DropClientConnections(), std::nullopt);
  store.Toggle("second");
  EXPECT_TRUE(store.Settle());
  EXPECT_EQ(log.Count(), 0u) << log.Text();
  EXPECT_TRUE(StartStore(log).AskAndSettle("second"));
}

TEST_F(MySqlStoreTest, AStoreStartedWhileTheServerIsAwayCatchesUpWithoutUndoingToggles) {
  ReportLog log;
  {
    DrivenStore earlier = StartStore(log);
    earlier.Toggle("stored");
    earlier.Toggle("stored-then-flipped");
    ASSERT_TRUE(earlier.Settle());
  }
  server_->Kill();
  DrivenStore store = StartStore(log);
  store.Ask("stored");
  store.Ask("stored-then-flipped");
  ASSERT_TRUE(ReportedWithin(store, log, 1));
  // Unanswered yet, so this player's toggle starts from "in": two toggles leave them in.
  store.Toggle("stored-then-flipped");
  store.Toggle("stored-then-flipped");
  store.Toggle("new");

  ASSERT_EQ(server_->Restart(), std::nullopt);
  ASSERT_TRUE(store.TurnUntil([&] { return store.Memory().IsOptedOut("stored", {}, {}); }))
      << "the stored choices are read once the server is back";
  EXPECT_TRUE(store.Settle());
  EXPECT_FALSE(store.IsOptedOut("stored-then-flipped"));
  EXPECT_TRUE(store.IsOptedOut("new"));

  DrivenStore reopened = StartStore(log);
  EXPECT_TRUE(reopened.AskAndSettle("stored"));
  EXPECT_FALSE(reopened.AskAndSettle("stored-then-flipped"));
  EXPECT_TRUE(reopened.AskAndSettle("new"));
  EXPECT_EQ(log.Count(), 2u) << log.Text();
}

TEST_F(MySqlStoreTest, AServerThatRefusesTheStoreIsReportedOnceWithItsReason) {
  struct Refusal {
    const char* name;
    void (*breaks)(StorageSettings&);
    const char* cause;
  };
  const Refusal refusals[] = {
      {"wrong password", [](StorageSettings& s) { s.password = "wrong"; }, "Access denied"},
      {"unknown database", [](StorageSettings& s) { s.database = "no_such_db"; },
       "to database 'no_such_db'"},
      {"nothing listening", [](StorageSettings& s) { s.port = 1; }, "Can't connect"},
      {"unknown host", [](StorageSettings& s) { s.host = "no-such-host.invalid"; },
       "could not be resolved"},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.name);
    StorageSettings settings = settings_;
    refusal.breaks(settings);
    ReportLog log;
    DrivenStore store(settings, log);
    EXPECT_TRUE(store.Toggle("player"));
    ASSERT_TRUE(ReportedWithin(store, log, 1));
    store.TurnFor(5 * QuickOptions().retry_interval);
    ASSERT_EQ(log.Count(), 1u) << log.Text();
    const std::string line = log.Lines()[0].text;
    EXPECT_NE(line.find(DescribeStorage(settings)), std::string::npos) << line;
    EXPECT_NE(line.find(refusal.cause), std::string::npos) << line;
    EXPECT_EQ(line.find(settings.password), std::string::npos) << "no password in logs";
  }
}

TEST_F(MySqlStoreTest, AnAccountWithoutCreateRightsUsesTheTableAnAdministratorMade) {
  const std::string table = "`" + settings_.database + "`.bellwright_timed_message_opt_out";
  const std::string account = "'bellwright_rw'@'127.0.0.1'";
  for (const std::string& statement :
       {"CREATE TABLE " + table +
            " (player_key VARBINARY(255) NOT NULL PRIMARY KEY, opted_out TINYINT NOT NULL)",
        "CREATE USER " + account + " IDENTIFIED BY 'rw-password'",
        "GRANT SELECT, INSERT, UPDATE ON " + table + " TO " + account}) {
    ASSERT_EQ(server_->ExecuteAsRoot(statement), std::nullopt) << statement;
  }
  StorageSettings restricted = settings_;
  restricted.user = "bellwright_rw";
  restricted.password = "rw-password";
  ReportLog log;
  {
    DrivenStore store(restricted, log);
    store.Toggle("player");
    ASSERT_TRUE(store.Settle());
  }
  EXPECT_TRUE(DrivenStore(restricted, log).AskAndSettle("player"));
  // Made before greeted players were kept, the account cannot make their table: the
  // choices work, each store says why in one warning, and nobody is greeted as new.
  ASSERT_EQ(log.Count(), 2u) << log.Text();
  for (const ReportedLine& line : log.Lines()) {
    EXPECT_EQ(line.severity, Severity::kWarning);
    EXPECT_NE(line.text.find("bellwright_greeted_players"), std::string::npos) << line.text;
  }
  DrivenStore store(restricted, log);
  store.Greeted().Ask("newcomer");
  ASSERT_TRUE(store.Settle());
  EXPECT_EQ(store.Greeted().Greet("newcomer"), SeenMemory::Greeted::kBefore);
  ASSERT_TRUE(store.Settle());
  // Once an administrator makes it, it is used.
  const std::string greeted = "`" + settings_.database + "`.bellwright_greeted_players";
  for (const std::string& statement :
       {"CREATE TABLE " + greeted + " (player_key VARBINARY(255) NOT NULL PRIMARY KEY)",
        "GRANT SELECT, INSERT ON " + greeted + " TO " + account}) {
    ASSERT_EQ(server_->ExecuteAsRoot(statement), std::nullopt) << statement;
  }
  ReportLog quiet;
  DrivenStore granted(restricted, quiet);
  granted.Greeted().Ask("newcomer");
  ASSERT_TRUE(granted.Settle());
  EXPECT_EQ(granted.Greeted().Greet("newcomer"), SeenMemory::Greeted::kNever);
  ASSERT_TRUE(granted.Settle());
  EXPECT_EQ(quiet.Count(), 0u) << quiet.Text();
}

// The cluster's tables need rights of their own. Without them the choices work and one
// line says why messages for every server are neither sent nor received; tables an
// administrator made, with every right but DELETE, carry the messages, and one warning
// says that old ones stay.
TEST_F(MySqlStoreTest, AnAccountWithoutRightsOnTheClustersTablesKeepsItsChoices) {
  const std::string database = "`" + settings_.database + "`.";
  const std::string account = "'bellwright_nc'@'127.0.0.1'";
  for (const std::string& statement :
       {"CREATE TABLE " + database +
            "bellwright_timed_message_opt_out (player_key VARBINARY(255) NOT NULL PRIMARY KEY, "
            "opted_out TINYINT NOT NULL)",
        "CREATE TABLE " + database +
            "bellwright_greeted_players (player_key VARBINARY(255) NOT NULL PRIMARY KEY)",
        "CREATE USER " + account + " IDENTIFIED BY 'nc-password'",
        "GRANT SELECT, INSERT, UPDATE ON " + database + "bellwright_timed_message_opt_out TO " +
            account,
        "GRANT SELECT, INSERT ON " + database + "bellwright_greeted_players TO " + account}) {
    ASSERT_EQ(server_->ExecuteAsRoot(statement), std::nullopt) << statement;
  }
  StorageSettings restricted = settings_;
  restricted.user = "bellwright_nc";
  restricted.password = "nc-password";
  restricted.cluster = true;
  const StoreOptions options = [] {
    StoreOptions quick = QuickOptions();
    quick.cluster_prune_interval = 0ms;
    return quick;
  }();
  ReportLog log;
  {
    DrivenStore store(restricted, log, ClusterIdentity{"center", "Center"}, options);
    store.Toggle("player");
    ASSERT_TRUE(store.Settle());
    ASSERT_TRUE(store.Store().ClusterProblem().has_value());
    ASSERT_EQ(log.Count(), 1U) << log.Text();
    EXPECT_EQ(log.Lines()[0].severity, Severity::kError);
    EXPECT_NE(log.Lines()[0].text.find("cluster's tables"), std::string::npos) << log.Text();
  }
  EXPECT_TRUE(DrivenStore(restricted, log).AskAndSettle("player"));

  // The tables as the reference gives them, less the right to delete.
  StorageSettings owner = settings_;
  owner.cluster = true;
  DrivenStore maker(owner, log, ClusterIdentity{"maker", "Maker"}, options);
  ASSERT_TRUE(maker.Settle());
  for (const char* table : {"bellwright_cluster_messages", "bellwright_cluster_servers"}) {
    ASSERT_EQ(server_->ExecuteAsRoot("GRANT SELECT, INSERT, UPDATE ON " + database + table +
                                     " TO " + account),
              std::nullopt);
  }
  ASSERT_EQ(server_->ExecuteAsRoot("INSERT INTO " + database +
                                   "bellwright_cluster_messages (sent_ms, origin_key, "
                                   "origin_name, instance, post_number, body) VALUES (0, "
                                   "'old', 'Old', 1, 1, 'long ago')"),
            std::nullopt);
  ReportLog granted;
  DrivenStore store(restricted, granted, ClusterIdentity{"center", "Center"}, options);
  ASSERT_TRUE(store.Settle());
  EXPECT_FALSE(store.Store().ClusterProblem().has_value());
  ASSERT_EQ(store.Cluster().Post("to every server", std::chrono::steady_clock::now()),
            ClusterMemory::PostResult::kQueued);
  ASSERT_TRUE(store.TurnUntil([&] { return granted.Count() == 1; })) << "no warning";
  EXPECT_EQ(granted.Lines()[0].severity, Severity::kWarning);
  EXPECT_NE(granted.Lines()[0].text.find("DELETE"), std::string::npos) << granted.Text();
  ASSERT_TRUE(maker.TurnUntil([&] {
    const auto arrived = maker.Cluster().TakeArrived();
    return !arrived.empty() && arrived.back().body == "to every server";
  }));
  store.TurnFor(200ms);
  EXPECT_EQ(granted.Count(), 1U) << granted.Text();
}

// The SQL blocks of the reference's section on clusters, a statement each, as an
// administrator would paste them.
std::vector<std::string> ReferenceClusterStatements() {
  std::ifstream file(std::string(BELLWRIGHT_SOURCE_DIR) + "/docs/configuration.md");
  std::vector<std::string> statements;
  std::string line;
  bool in_section = false;
  bool in_block = false;
  std::string statement;
  while (std::getline(file, line)) {
    if (line.starts_with("### ")) in_section = line == "### A cluster on MySQL or MariaDB";
    const std::string code = line.substr(std::min(line.find_first_not_of(' '), line.size()));
    if (!in_section || code.starts_with("```")) {
      in_block = in_section && code == "```sql";
      continue;
    }
    if (!in_block) continue;
    statement += code + " ";
    if (code.ends_with(";")) statements.push_back(std::exchange(statement, {}));
  }
  return statements;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

// What the reference tells an administrator to run is all the store needs: the database
// and an account that may make the tables, or, for an account that may not, the tables
// an administrator makes with the rights each needs.
TEST_F(MySqlStoreTest, TheReferencesDatabaseAndAccountAreAllTheStoreNeeds) {
  const std::vector<std::string> statements = ReferenceClusterStatements();
  ASSERT_EQ(statements.size(), 7U) << "the reference's two SQL blocks";
  const std::string suffix = "_" + settings_.database;
  StorageSettings documented = settings_;
  documented.user = "cluster" + suffix;
  documented.password = "change-me";
  const auto run = [&](const std::string& statement, const std::string& database) {
    std::string sql =
        Replaced(statement, "'bellwright'@'10.0.0.%'", "'" + documented.user + "'@'127.0.0.1'");
    sql = Replaced(sql, "bellwright.", database + ".");
    return server_->ExecuteAsRoot(
        Replaced(sql, "DATABASE bellwright ", "DATABASE " + database + " "));
  };
  for (const auto& [first, last, database] :
       {std::tuple{0U, 3U, "made" + suffix}, std::tuple{3U, 7U, "given" + suffix}}) {
    SCOPED_TRACE(database);
    if (first > 0) {
      ASSERT_EQ(server_->ExecuteAsRoot("CREATE DATABASE " + database), std::nullopt);
    }
    for (unsigned index = first; index < last; ++index) {
      ASSERT_EQ(run(statements[index], database), std::nullopt) << statements[index];
    }
    documented.database = database;
    ReportLog log;
    DrivenStore store(documented, log);
    store.Toggle("player");
    store.Greeted().Ask("player");
    ASSERT_TRUE(store.Settle());
    EXPECT_EQ(store.Greeted().Greet("player"), SeenMemory::Greeted::kNever);
    store.Toggle("player");  // written over the stored row
    ASSERT_TRUE(store.Settle());
    EXPECT_FALSE(DrivenStore(documented, log).AskAndSettle("player"));
    EXPECT_EQ(log.Count(), 0U) << log.Text();
  }
}

// The system's addresses for a name, in its order (what the store tries, in turn).
std::vector<std::string> AddressesOf(const char* name) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  std::vector<std::string> addresses;
  if (getaddrinfo(name, nullptr, &hints, &found) != 0) return addresses;
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    char text[INET6_ADDRSTRLEN] = {};
    getnameinfo(entry->ai_addr, entry->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST);
    addresses.emplace_back(text);
  }
  freeaddrinfo(found);
  return addresses;
}

// A database named by a host name (the hosts file's loopback entry, written in capitals,
// so that the client library does not take it for its local socket): the system looks it
// up, every address is tried in turn until one takes the connection, and an open that
// finds both tables costs the login and one statement.
TEST_F(MySqlStoreTest, ANameIsLookedUpItsAddressesTriedAndAnOpenIsOneStatement) {
  ReportLog log;
  ASSERT_TRUE(StartStore(log).Settle()) << "the first open makes the tables";
  const std::vector<std::string> addresses = AddressesOf("LOCALHOST");
  ASSERT_FALSE(addresses.empty());
  // Listening on the last address only, so each one before it refuses the connection.
  Bellwright::Testing::LatencyProxy proxy("127.0.0.1", static_cast<unsigned short>(settings_.port),
                                          0ms, addresses.back());
  if (addresses.size() == 1) {
    std::cout << "LOCALHOST has one address here: no refusing address to walk past\n";
  }
  StorageSettings named = settings_;
  named.host = "LOCALHOST";
  named.port = proxy.Port();
  DrivenStore store(named, log);
  ASSERT_TRUE(store.Settle());
  EXPECT_EQ(proxy.ClientTurns(), 2) << "the login and one statement";
  EXPECT_TRUE(store.Toggle("player"));
  ASSERT_TRUE(store.Settle());
  EXPECT_EQ(log.Count(), 0U) << log.Text();
  EXPECT_TRUE(StartStore(log).AskAndSettle("player"));
}

// Whatever the server does, no turn waits for it: the game thread drives the store from
// its callbacks, at most once a frame, and each turn must come back at once.
TEST_F(MySqlStoreTest, NoTurnWaitsForTheServerWhateverItDoes) {
  SilentListener listener;
  ASSERT_NE(listener.Port(), 0u);
  struct Fault {
    const char* name;
    std::function<void(StorageSettings&)> breaks;
    std::function<void()> mends;
  };
  const Fault faults[] = {
      {"accepts and never answers", [&](StorageSettings& s) { s.port = listener.Port(); }, [] {}},
      {"frozen", [&](StorageSettings&) { server_->Freeze(true); }, [&] { server_->Freeze(false); }},
      {"killed", [&](StorageSettings&) { server_->Kill(); },
       [&] { ASSERT_EQ(server_->Restart(), std::nullopt); }},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    ReportLog log;
    DrivenStore store = StartStore(log);
    store.Ask("earlier");
    ASSERT_TRUE(store.Settle()) << "working before the fault";
    StorageSettings settings = settings_;
    fault.breaks(settings);
    // A working connection meets the fault in the middle of its work; a listener that
    // never answers is met by a new one, as after a reload.
    if (settings.port != settings_.port) store.Replace(settings, log);
    store.SetPace(kFramePace);
    store.ResetLongestTurn();
    store.Ask("joined");
    EXPECT_TRUE(store.Toggle("player"));
    // Past the connect and answer deadlines, so that giving up is measured too.
    ASSERT_TRUE(ReportedWithin(store, log, 1)) << log.Text();
    store.TurnFor(QuickOptions().mysql_answer + 200ms);
    EXPECT_TRUE(store.IsOptedOut("player"));
    EXPECT_LT(store.LongestTurn(), kGenerousTurnBound);
    fault.mends();
  }
}

}  // namespace
}  // namespace Bellwright::Storage::Testing
