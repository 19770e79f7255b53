// What only an SQLite file brings: several processes on one file, and the ways a
// file or its folder can fail.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "child_process.hpp"
#include "storage/opt_out_store.hpp"
#include "store_test_helpers.hpp"
#include "temporary_folder.hpp"

namespace Bellwright::Storage::Testing {
namespace {

namespace fs = std::filesystem;

StorageSettings SqliteAt(const fs::path& path) {
  StorageSettings settings;
  settings.sqlite_path = path.string();
  return settings;
}

void ToggleRange(DrivenStore& store, const std::string& prefix, int count) {
  for (int i = 0; i < count; ++i) {
    store.Toggle(prefix + std::to_string(i));
    store.Turn();
    // Many small transactions, so the two processes' writes interleave.
    if (i % 10 == 0) ::usleep(1000);
  }
  EXPECT_TRUE(store.Settle());
}

TEST(SqliteStoreTest, TwoProcessesShareOneFileAtOnce) {
  TemporaryFolder folder;
  const StorageSettings settings = SqliteAt(folder.Path() / "bellwright.sqlite");
  constexpr int kPerProcess = 300;
  ChildProcess other_server(
      [&] {
        ReportLog log;
        DrivenStore store(settings, log);
        ToggleRange(store, "child-", kPerProcess);
        EXPECT_EQ(log.Count(), 0u) << log.Text();
      },
      Privileges::kKeep);
  ReportLog log;
  {
    DrivenStore store(settings, log);
    ToggleRange(store, "parent-", kPerProcess);
  }
  EXPECT_EQ(other_server.Wait(), 0);
  EXPECT_EQ(log.Count(), 0u) << log.Text();

  DrivenStore reopened(settings, log);
  for (int i = 0; i < kPerProcess; ++i) {
    reopened.Ask("child-" + std::to_string(i));
    reopened.Ask("parent-" + std::to_string(i));
  }
  ASSERT_TRUE(reopened.Settle());
  int stored = 0;
  for (int i = 0; i < kPerProcess; ++i) {
    stored += reopened.IsOptedOut("child-" + std::to_string(i));
    stored += reopened.IsOptedOut("parent-" + std::to_string(i));
  }
  EXPECT_EQ(stored, 2 * kPerProcess);
}

// A way the file or its folder fails, and how the administrator puts it right.
struct Outage {
  const char* name;
  const char* cause;  // part of the reported line
  // Breaks the storage before the store starts; returns the repair.
  std::function<std::function<void()>(const fs::path& folder, const fs::path& file)> breaks;
};

void WriteGarbage(const fs::path& file) {
  std::mt19937 random(13);
  std::string garbage(4096, '\0');
  for (char& byte : garbage) byte = static_cast<char>(random());
  std::ofstream(file, std::ios::binary) << garbage;
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream stream(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(stream), {}};
}

// Holds the write lock the way another server's long transaction would.
std::function<void()> HoldWriteLock(const fs::path& file) {
  {
    ReportLog log;
    DrivenStore store(SqliteAt(file), log);
    store.Toggle("earlier");
    store.Settle();
  }
  sqlite3* raw = nullptr;
  sqlite3_open(file.c_str(), &raw);
  std::shared_ptr<sqlite3> holder(raw, sqlite3_close);
  EXPECT_EQ(sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK)
      << sqlite3_errmsg(raw);
  return [holder] { sqlite3_exec(holder.get(), "COMMIT", nullptr, nullptr, nullptr); };
}

const Outage kOutages[] = {
    {"missing folder", "unable to open database file",
     [](const fs::path& folder, const fs::path&) {
       return [folder] { fs::create_directory(folder); };
     }},
    {"read-only folder", "unable to open database file",
     [](const fs::path& folder, const fs::path&) {
       fs::create_directory(folder);
       fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
       return [folder] { fs::permissions(folder, fs::perms::owner_all); };
     }},
    {"corrupt file", "file is not a database",
     [](const fs::path& folder, const fs::path& file) {
       fs::create_directory(folder);
       WriteGarbage(file);
       const std::string garbage = ReadBytes(file);
       return [file, garbage] {
         // Nothing may have been written over what the administrator might still rescue.
         EXPECT_EQ(ReadBytes(file), garbage);
         fs::remove(file);
       };
     }},
    {"file locked by another process", "database is locked",
     [](const fs::path& folder, const fs::path& file) {
       fs::create_directory(folder);
       return HoldWriteLock(file);
     }},
};

// Runs in a child process without root's privileges, for which permissions do not count.
void LiveThroughOutage(const Outage& outage, const fs::path& base) {
  const fs::path folder = base / "plugin";
  const fs::path file = folder / "bellwright.sqlite";
  const std::function<void()> repair = outage.breaks(folder, file);
  ReportLog log;
  DrivenStore store(SqliteAt(file), log);
  store.SetPace(kFramePace);
  EXPECT_TRUE(store.Toggle("player"));
  ASSERT_TRUE(store.TurnUntil([&] { return log.Count() >= 1; })) << "no failure reported";
  store.TurnFor(10 * QuickOptions().retry_interval);  // several retries
  ASSERT_EQ(log.Count(), 1u) << log.Text();
  const ReportedLine failure = log.Lines()[0];
  EXPECT_EQ(failure.severity, Severity::kError);
  EXPECT_NE(failure.text.find("SQLite " + file.string()), std::string::npos) << failure.text;
  EXPECT_NE(failure.text.find(outage.cause), std::string::npos) << failure.text;
  EXPECT_TRUE(store.IsOptedOut("player")) << "the choice works in memory meanwhile";
  EXPECT_LT(store.LongestTurn(), kGenerousTurnBound) << "no turn waits for the file";

  repair();
  ASSERT_TRUE(store.Settle()) << log.Text();
  ASSERT_EQ(log.Count(), 2u) << log.Text();
  EXPECT_EQ(log.Lines()[1].severity, Severity::kInfo);
  EXPECT_NE(log.Lines()[1].text.find("SQLite " + file.string()), std::string::npos);

  DrivenStore reopened(SqliteAt(file), log);
  EXPECT_TRUE(reopened.AskAndSettle("player")) << "written after the recovery";
}

// A file made before greeted players were kept: it gains their table at the next open
// and keeps its choices.
TEST(SqliteStoreTest, AFileFromBeforeGreetedPlayersKeepsItsChoices) {
  TemporaryFolder folder;
  const fs::path file = folder.Path() / "bellwright.sqlite";
  sqlite3* old = nullptr;
  ASSERT_EQ(sqlite3_open(file.string().c_str(), &old), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(old,
                         "PRAGMA journal_mode = WAL;"
                         "CREATE TABLE bellwright_timed_message_opt_out ("
                         "player_key TEXT PRIMARY KEY NOT NULL, opted_out INTEGER NOT NULL);"
                         "INSERT INTO bellwright_timed_message_opt_out VALUES ('kept', 1)",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(old);
  ReportLog log;
  DrivenStore store(SqliteAt(file), log);
  EXPECT_TRUE(store.AskAndSettle("kept"));
  store.Greeted().Ask("kept");
  ASSERT_TRUE(store.Settle());
  EXPECT_EQ(store.Greeted().Greet("kept"), SeenMemory::Greeted::kNever);
  ASSERT_TRUE(store.Settle());
  EXPECT_TRUE(DrivenStore(SqliteAt(file), log).AskAndSettle("kept"));
  DrivenStore reopened(SqliteAt(file), log);
  reopened.Greeted().Ask("kept");
  ASSERT_TRUE(reopened.Settle());
  EXPECT_EQ(reopened.Greeted().Greet("kept"), SeenMemory::Greeted::kBefore);
  EXPECT_EQ(log.Count(), 0u) << log.Text();
}

TEST(SqliteStoreTest, OneLineWhenTheFileFailsAndOneWhenItWorksAgain) {
  for (const Outage& outage : kOutages) {
    SCOPED_TRACE(outage.name);
    TemporaryFolder base;
    if (geteuid() == 0) {
      ASSERT_EQ(chown(base.Path().c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    }
    ChildProcess server([&] { LiveThroughOutage(outage, base.Path()); }, Privileges::kDropRoot);
    EXPECT_EQ(server.Wait(), 0);
  }
}

// Deleting the file under a running server must not send later choices into the
// deleted file, silently gone at the next start.
TEST(SqliteStoreTest, ADeletedFileIsMadeAgainWithTheChoicesOfThePlayersHere) {
  TemporaryFolder folder;
  const fs::path file = folder.Path() / "bellwright.sqlite";
  ReportLog log;
  DrivenStore store(SqliteAt(file), log);
  store.Ask("here-before");
  store.Toggle("here-before");
  ASSERT_TRUE(store.Settle());
  for (const int round : {1, 2}) {
    SCOPED_TRACE(round);
    fs::remove(file);
    store.Toggle("toggled-after-" + std::to_string(round));
    ASSERT_TRUE(store.Settle());
    store.TurnFor(20ms);
    ASSERT_EQ(log.Count(), static_cast<std::size_t>(round)) << "said once: " << log.Text();
    EXPECT_EQ(log.Lines().back().severity, Severity::kWarning);
    EXPECT_NE(log.Lines().back().text.find("deleted or replaced"), std::string::npos);
    ASSERT_TRUE(fs::exists(file));
    ReportLog other_log;
    DrivenStore next_start(SqliteAt(file), other_log);
    EXPECT_TRUE(next_start.AskAndSettle("here-before"));
    EXPECT_TRUE(next_start.AskAndSettle("toggled-after-" + std::to_string(round)));
  }
}

}  // namespace
}  // namespace Bellwright::Storage::Testing
