// The store's behaviour that does not depend on which database keeps the choices,
// run against a real SQLite file and a real MariaDB server.
#include "storage/opt_out_store.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "store_test_helpers.hpp"
#include "temporary_folder.hpp"

namespace Bellwright::Storage::Testing {
namespace {

enum class Backend { kSqlite, kMySql };

// Keeps the parameter's bytes out of the test names CTest lists.
void PrintTo(Backend backend, std::ostream* out) {
  *out << (backend == Backend::kSqlite ? "SQLite" : "MariaDB");
}

class OptOutStoreTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    if (GetParam() == Backend::kSqlite) {
      settings_.sqlite_path = (folder_.Path() / "bellwright.sqlite").string();
      return;
    }
    std::variant<StorageSettings, std::string> database = FreshMySqlDatabase();
    if (auto* failure = std::get_if<std::string>(&database)) FAIL() << *failure;
    settings_ = std::get<StorageSettings>(database);
  }

  // A healthy storage has nothing to tell the administrator.
  void TearDown() override { EXPECT_EQ(log_.Count(), 0u) << log_.Text(); }

  std::unique_ptr<OptOutStore> StartStore() {
    return OptOutStore::Start(settings_, log_.Sink(), QuickOptions());
  }

  TemporaryFolder folder_;
  StorageSettings settings_;
  ReportLog log_;
};

TEST_P(OptOutStoreTest, ChoicesLastAcrossStopAndStartByteForByte) {
  // Player keys reach the database only as bound parameters: text that would break or
  // rewrite a statement built by concatenation is just a key here.
  const std::vector<std::string> keys = {
      "00020c5b7e1d4a2f8e3b6a9d1c4f7e20",
      "'; DROP TABLE bellwright_timed_message_opt_out; --",
      "quote\" back\\slash % _ ?",
      "\xc3\xbcmlaut-\xc3\x9f-\xe6\x97\xa5",
      "",
      std::string(kMaxStoredKeyBytes, 'k'),
      "mixed",
  };
  {
    auto store = StartStore();
    for (const std::string& key : keys) EXPECT_TRUE(store->Toggle(key)) << key;
    EXPECT_TRUE(store->Toggle("back-in-later"));
  }
  {
    auto store = StartStore();
    for (const std::string& key : keys) EXPECT_TRUE(store->IsOptedOut(key)) << key;
    EXPECT_FALSE(store->IsOptedOut("MIXED"));
    EXPECT_FALSE(store->IsOptedOut("never-toggled"));
    // Opting back in must be remembered as well, not only opting out.
    EXPECT_FALSE(store->Toggle("back-in-later"));
  }
  auto store = StartStore();
  EXPECT_FALSE(store->IsOptedOut("back-in-later"));
  EXPECT_TRUE(store->IsOptedOut(keys.front()));
}

TEST_P(OptOutStoreTest, StopWritesEverythingQueued) {
  constexpr int kPlayers = 1200;  // more than one write batch
  {
    auto store = StartStore();
    for (int i = 0; i < kPlayers; ++i) store->Toggle("player-" + std::to_string(i));
    store->Stop();
    store->Stop();
  }
  auto store = StartStore();
  int remembered = 0;
  for (int i = 0; i < kPlayers; ++i) remembered += store->IsOptedOut("player-" + std::to_string(i));
  EXPECT_EQ(remembered, kPlayers);
}

TEST_P(OptOutStoreTest, AnotherServersChoiceArrivesWithRefresh) {
  auto here = StartStore();
  auto there = StartStore();
  EXPECT_TRUE(there->Toggle("traveller"));
  ASSERT_TRUE(there->WaitUntilIdle(10s));
  EXPECT_FALSE(here->IsOptedOut("traveller")) << "read before the other server's choice";

  here->Refresh("traveller");
  EXPECT_TRUE(Eventually([&] { return here->IsOptedOut("traveller"); }));

  EXPECT_FALSE(there->Toggle("traveller"));
  ASSERT_TRUE(there->WaitUntilIdle(10s));
  here->Refresh("traveller");
  EXPECT_TRUE(Eventually([&] { return !here->IsOptedOut("traveller"); }));
}

TEST_P(OptOutStoreTest, ARefreshNeverUndoesAChoiceMadeHere) {
  constexpr int kPlayers = 30;
  {
    auto store = StartStore();
    for (int i = 0; i < kPlayers; ++i) store->Toggle("p" + std::to_string(i));
  }
  auto store = StartStore();
  // The refresh reads the old stored state while the toggle races it to the database.
  for (int i = 0; i < kPlayers; ++i) {
    const std::string key = "p" + std::to_string(i);
    ASSERT_TRUE(store->IsOptedOut(key));
    store->Refresh(key);
    EXPECT_FALSE(store->Toggle(key));
  }
  ASSERT_TRUE(store->WaitUntilIdle(10s));
  for (int i = 0; i < kPlayers; ++i) EXPECT_FALSE(store->IsOptedOut("p" + std::to_string(i))) << i;
  store->Stop();
  auto reopened = StartStore();
  for (int i = 0; i < kPlayers; ++i) EXPECT_FALSE(reopened->IsOptedOut("p" + std::to_string(i)));
}

INSTANTIATE_TEST_SUITE_P(Databases, OptOutStoreTest,
                         ::testing::Values(Backend::kSqlite, Backend::kMySql),
                         [](const ::testing::TestParamInfo<Backend>& info) {
                           return info.param == Backend::kSqlite ? "SQLite" : "MariaDB";
                         });

}  // namespace
}  // namespace Bellwright::Storage::Testing
