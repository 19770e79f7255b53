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

  DrivenStore StartStore() { return DrivenStore(settings_, log_); }

  TemporaryFolder folder_;
  StorageSettings settings_;
  ReportLog log_;
};

TEST_P(OptOutStoreTest, ChoicesLastAcrossStopAndStartByteForByte) {
  // Player keys reach the database only as bound parameters or hexadecimal literals:
  // text that would break or rewrite a statement built by concatenation is just a key.
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
    DrivenStore store = StartStore();
    for (const std::string& key : keys) EXPECT_TRUE(store.Toggle(key)) << key;
    EXPECT_TRUE(store.Toggle("back-in-later"));
    ASSERT_TRUE(store.Settle());
  }
  {
    DrivenStore store = StartStore();
    for (const std::string& key : keys) store.Ask(key);
    store.Ask("MIXED");
    store.Ask("never-toggled");
    store.Ask("back-in-later");
    ASSERT_TRUE(store.Settle());
    for (const std::string& key : keys) EXPECT_TRUE(store.IsOptedOut(key)) << key;
    EXPECT_FALSE(store.IsOptedOut("MIXED"));
    EXPECT_FALSE(store.IsOptedOut("never-toggled"));
    // Opting back in must be remembered as well, not only opting out.
    EXPECT_FALSE(store.Toggle("back-in-later"));
    ASSERT_TRUE(store.Settle());
  }
  DrivenStore store = StartStore();
  EXPECT_FALSE(store.AskAndSettle("back-in-later"));
  EXPECT_TRUE(store.AskAndSettle(keys.front()));
}

TEST_P(OptOutStoreTest, ManyChoicesAndPlayersGoInBatches) {
  constexpr int kPlayers = 1200;  // more than one batch
  {
    DrivenStore store = StartStore();
    for (int i = 0; i < kPlayers; ++i) store.Toggle("player-" + std::to_string(i));
    ASSERT_TRUE(store.Settle());
  }
  DrivenStore store = StartStore();
  for (int i = 0; i < kPlayers; ++i) store.Ask("player-" + std::to_string(i));
  ASSERT_TRUE(store.Settle());
  int remembered = 0;
  for (int i = 0; i < kPlayers; ++i) remembered += store.IsOptedOut("player-" + std::to_string(i));
  EXPECT_EQ(remembered, kPlayers);
}

TEST_P(OptOutStoreTest, AnotherServersChoiceArrivesWhenThePlayerIsAskedAgain) {
  DrivenStore here = StartStore();
  DrivenStore there = StartStore();
  EXPECT_FALSE(here.AskAndSettle("traveller"));
  EXPECT_TRUE(there.Toggle("traveller"));
  ASSERT_TRUE(there.Settle());
  EXPECT_FALSE(here.IsOptedOut("traveller")) << "read before the other server's choice";
  EXPECT_TRUE(here.AskAndSettle("traveller"));

  EXPECT_FALSE(there.Toggle("traveller"));
  ASSERT_TRUE(there.Settle());
  EXPECT_FALSE(here.AskAndSettle("traveller"));
}

TEST_P(OptOutStoreTest, AQuestionNeverUndoesAChoiceMadeHere) {
  constexpr int kPlayers = 30;
  {
    DrivenStore store = StartStore();
    for (int i = 0; i < kPlayers; ++i) store.Toggle("p" + std::to_string(i));
    ASSERT_TRUE(store.Settle());
  }
  DrivenStore store = StartStore();
  for (int i = 0; i < kPlayers; ++i) ASSERT_TRUE(store.AskAndSettle("p" + std::to_string(i)));
  // The question reads the old stored state while the toggle races it to the database.
  for (int i = 0; i < kPlayers; ++i) {
    const std::string key = "p" + std::to_string(i);
    store.Ask(key);
    store.Turn();
    EXPECT_FALSE(store.Toggle(key));
    store.Turn();
  }
  ASSERT_TRUE(store.Settle());
  for (int i = 0; i < kPlayers; ++i) EXPECT_FALSE(store.IsOptedOut("p" + std::to_string(i))) << i;
  DrivenStore reopened = StartStore();
  for (int i = 0; i < kPlayers; ++i) {
    EXPECT_FALSE(reopened.AskAndSettle("p" + std::to_string(i)));
  }
}

// Two servers on one storage: a player greeted on one is not new on the other, also with
// keys that only bound parameters or hexadecimal literals keep intact; a greeting whose
// answer has not come is not a first one, and is recorded all the same; a reconnect
// before the record is written is not new either.
TEST_P(OptOutStoreTest, APlayerGreetedOnOneServerIsNotNewOnAnother) {
  using Greeted = SeenMemory::Greeted;
  const std::vector<std::string> keys = {
      "greeted-here", "'); DROP TABLE bellwright_greeted_players; --", "\xc3\xbcmlaut"};
  DrivenStore here = StartStore();
  DrivenStore there = StartStore();
  for (const std::string& key : keys) here.Greeted().Ask(key);
  here.Greeted().Ask("answer-not-awaited");
  ASSERT_TRUE(here.Settle());
  EXPECT_EQ(here.Greeted().Greet("never-asked"), Greeted::kUnknown);
  for (const std::string& key : keys) EXPECT_EQ(here.Greeted().Greet(key), Greeted::kNever) << key;
  here.Greeted().Ask(keys.front());
  EXPECT_EQ(here.Greeted().Greet(keys.front()), Greeted::kBefore) << "reconnected, not written";
  ASSERT_TRUE(here.Settle());

  for (const std::string& key : keys) there.Greeted().Ask(key);
  there.Greeted().Ask("never-asked");
  there.Greeted().Ask("new-there");
  ASSERT_TRUE(there.Settle());
  for (const std::string& key : keys)
    EXPECT_EQ(there.Greeted().Greet(key), Greeted::kBefore) << key;
  EXPECT_EQ(there.Greeted().Greet("never-asked"), Greeted::kBefore);
  EXPECT_EQ(there.Greeted().Greet("new-there"), Greeted::kNever);
  // "answer-not-awaited" left before the greeting: still new.
  here.Greeted().Forget("answer-not-awaited");
  there.Greeted().Ask("answer-not-awaited");
  ASSERT_TRUE(there.Settle());
  EXPECT_EQ(there.Greeted().Greet("answer-not-awaited"), Greeted::kNever);
}

// A reload that moves to another storage, or mends the one that failed, takes every
// choice the previous one had not written.
TEST_P(OptOutStoreTest, ChoicesNotWrittenGoToTheNextStorage) {
  StorageSettings broken = settings_;
  if (GetParam() == Backend::kSqlite) {
    broken.sqlite_path = (folder_.Path() / "missing" / "bellwright.sqlite").string();
  } else {
    broken.password = "wrong";
  }
  ReportLog broken_log;
  DrivenStore store(broken, broken_log);
  store.Ask("player");
  store.Toggle("player");
  store.TurnFor(100ms);
  ASSERT_EQ(broken_log.Count(), 1u) << broken_log.Text();
  store.Replace(settings_, log_);
  ASSERT_TRUE(store.Settle());
  EXPECT_TRUE(store.IsOptedOut("player"));
  EXPECT_TRUE(StartStore().AskAndSettle("player"));
}

INSTANTIATE_TEST_SUITE_P(Databases, OptOutStoreTest,
                         ::testing::Values(Backend::kSqlite, Backend::kMySql),
                         [](const ::testing::TestParamInfo<Backend>& info) {
                           return info.param == Backend::kSqlite ? "SQLite" : "MariaDB";
                         });

}  // namespace
}  // namespace Bellwright::Storage::Testing
