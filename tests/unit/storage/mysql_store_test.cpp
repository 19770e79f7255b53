// What only a database server brings: a server that goes away and comes back, one that
// refuses the store, and one that does not answer.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <variant>

#include "mariadb_server.hpp"
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

  std::unique_ptr<OptOutStore> StartStore(ReportLog& log) {
    return OptOutStore::Start(settings_, log.Sink(), QuickOptions());
  }

  std::string StorageName() const {
    return "MySQL " + settings_.user + "@127.0.0.1:" + std::to_string(settings_.port) + "/" +
           settings_.database;
  }

  StorageSettings settings_;
  MariaDbServer* server_ = nullptr;
};

TEST_F(MySqlStoreTest, ChoicesMadeWhileTheServerIsAwayAreWrittenWhenItIsBack) {
  ReportLog log;
  auto store = StartStore(log);
  store->Toggle("before");
  store->Toggle("flipped-back");
  ASSERT_TRUE(store->WaitUntilIdle(10s));

  server_->Kill();
  store->Toggle("meanwhile");
  store->Toggle("flipped-back");
  ASSERT_TRUE(Eventually([&] { return log.Count() >= 1; })) << "no failure reported";
  EXPECT_TRUE(store->IsOptedOut("meanwhile"));
  std::this_thread::sleep_for(10 * QuickOptions().retry_interval);  // several retries
  ASSERT_EQ(log.Count(), 1u) << log.Text();
  EXPECT_EQ(log.Lines()[0].severity, Severity::kError);
  EXPECT_NE(log.Lines()[0].text.find(StorageName()), std::string::npos) << log.Text();

  ASSERT_EQ(server_->Restart(), std::nullopt);
  ASSERT_TRUE(Eventually([&] { return log.Count() >= 2; })) << "no recovery reported";
  EXPECT_TRUE(store->WaitUntilIdle(10s));
  store->Stop();
  ASSERT_EQ(log.Count(), 2u) << log.Text();
  EXPECT_EQ(log.Lines()[1].severity, Severity::kInfo);
  EXPECT_NE(log.Lines()[1].text.find(StorageName()), std::string::npos) << log.Text();

  auto reopened = StartStore(log);
  EXPECT_TRUE(reopened->IsOptedOut("before"));
  EXPECT_TRUE(reopened->IsOptedOut("meanwhile"));
  EXPECT_FALSE(reopened->IsOptedOut("flipped-back"));
  EXPECT_EQ(log.Count(), 2u) << log.Text();
}

// Servers close idle connections (wait_timeout, eight hours by default); that is no
// failure to tell an administrator about, twice a day, on a quiet server.
TEST_F(MySqlStoreTest, AConnectionTheServerClosedIsReplacedSilently) {
  ReportLog log;
  auto store = StartStore(log);
  store->Toggle("first");
  ASSERT_TRUE(store->WaitUntilIdle(10s));
  ASSERT_EQ(server_->DropClientConnections(), std::nullopt);
  store->Toggle("second");
  EXPECT_TRUE(store->WaitUntilIdle(10s));
  store->Stop();
  EXPECT_EQ(log.Count(), 0u) << log.Text();
  EXPECT_TRUE(StartStore(log)->IsOptedOut("second"));
}

TEST_F(MySqlStoreTest, AStoreStartedWhileTheServerIsAwayCatchesUpWithoutUndoingToggles) {
  ReportLog log;
  {
    auto earlier = StartStore(log);
    earlier->Toggle("stored");
    earlier->Toggle("stored-then-flipped");
  }
  server_->Kill();
  auto store = StartStore(log);
  EXPECT_EQ(log.Count(), 1u) << log.Text();
  // Unread yet, so this player's toggle starts from "in": two toggles leave them in.
  store->Toggle("stored-then-flipped");
  store->Toggle("stored-then-flipped");
  store->Toggle("new");

  ASSERT_EQ(server_->Restart(), std::nullopt);
  ASSERT_TRUE(Eventually([&] { return store->IsOptedOut("stored"); }))
      << "the stored choices are read once the server is back";
  EXPECT_TRUE(store->WaitUntilIdle(10s));
  EXPECT_FALSE(store->IsOptedOut("stored-then-flipped"));
  EXPECT_TRUE(store->IsOptedOut("new"));
  store->Stop();

  auto reopened = StartStore(log);
  EXPECT_TRUE(reopened->IsOptedOut("stored"));
  EXPECT_FALSE(reopened->IsOptedOut("stored-then-flipped"));
  EXPECT_TRUE(reopened->IsOptedOut("new"));
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
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.name);
    StorageSettings settings = settings_;
    refusal.breaks(settings);
    ReportLog log;
    StoreOptions options = QuickOptions();
    options.stop_budget = 200ms;
    auto store = OptOutStore::Start(settings, log.Sink(), options);
    EXPECT_TRUE(store->Toggle("player"));
    std::this_thread::sleep_for(5 * options.retry_interval);
    ASSERT_GE(log.Count(), 1u);
    const std::string line = log.Lines()[0].text;
    EXPECT_NE(line.find(DescribeStorage(settings)), std::string::npos) << line;
    EXPECT_NE(line.find(refusal.cause), std::string::npos) << line;
    EXPECT_EQ(line.find(settings.password), std::string::npos) << "no password in logs";
    store->Stop();
    EXPECT_EQ(log.Count(), 2u) << "the failure, then what was not written: " << log.Text();
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
    auto store = OptOutStore::Start(restricted, log.Sink(), QuickOptions());
    store->Toggle("player");
  }
  EXPECT_TRUE(OptOutStore::Start(restricted, log.Sink(), QuickOptions())->IsOptedOut("player"));
  EXPECT_EQ(log.Count(), 0u) << log.Text();
}

// Accepts connections and never says a word, like a server that hangs.
class SilentListener {
 public:
  SilentListener() : socket_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(socket_, 4) == 0 &&
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port_ = ntohs(address.sin_port);
    }
  }
  ~SilentListener() { close(socket_); }
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  unsigned Port() const { return port_; }  // 0 when it could not listen

 private:
  int socket_;
  unsigned port_ = 0;
};

TEST(MySqlHangingServerTest, StartWaitsOnlyItsBudgetAndTogglesNeverWait) {
  SilentListener listener;
  ASSERT_NE(listener.Port(), 0u);
  StorageSettings settings;
  settings.kind = StorageSettings::Kind::kMySql;
  settings.host = "127.0.0.1";
  settings.port = listener.Port();
  settings.user = "bellwright";
  settings.database = "bellwright";
  StoreOptions options = QuickOptions();
  options.initial_read_budget = 200ms;
  options.stop_budget = 200ms;
  ReportLog log;

  const auto started = std::chrono::steady_clock::now();
  auto store = OptOutStore::Start(settings, log.Sink(), options);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 900ms);
  EXPECT_TRUE(store->Toggle("player"));
  EXPECT_TRUE(store->IsOptedOut("player"));
  store->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
}

}  // namespace
}  // namespace Bellwright::Storage::Testing
