// The files that keep what the storage had not taken at an unload: whatever is found in
// their place is refused before it can hold the game thread, moved aside rather than
// lost, and servers sharing the folder merge into them instead of replacing them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "host_library/server_directory.hpp"
#include "opt_out/kept_choices_file.hpp"

namespace Bellwright {
namespace {

namespace fs = std::filesystem;
using LocalFile::Durability;

class KeptFilesTest : public ::testing::Test {
 protected:
  KeptFilesTest()
      : server_(fs::temp_directory_path() /
                ("bellwright-kept-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(server_);
    fs::create_directories(Folder());
    Sandbox::SetServerDirectory(server_.string());
  }
  ~KeptFilesTest() override {
    std::error_code ignored;
    fs::remove_all(server_, ignored);
  }

  [[nodiscard]] fs::path Folder() const { return server_ / "ArkApi/Plugins/BellwrightEx"; }
  [[nodiscard]] static fs::path Path(KeptFile file) { return fs::path(KeptFilePath(file)); }
  static void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }

  fs::path server_;
};

// What a start finds in a kept file's place: entries it takes, or a problem it names
// once while moving the thing aside, and never a wait, a crash or an exception.
TEST_F(KeptFilesTest, WhatCannotBeUsedIsNamedAndMovedAsideNeverWaitedFor) {
  struct Case {
    const char* name;
    KeptFile file;
    std::function<void(const fs::path&)> lay_out;
    KeptEntries entries;
    const char* problem;  // a part of it; empty: none
  };
  const std::string deep(200'000, '[');
  const Case cases[] = {
      {"no file", KeptFile::kChoices, [](const fs::path&) {}, {}, ""},
      {"choices",
       KeptFile::kChoices,
       [](const fs::path& at) { Write(at, R"({"a": true, "b": false, "c": 1, "d": [true]})"); },
       {{"a", true}, {"b", false}},
       ""},
      {"greetings",
       KeptFile::kGreetings,
       [](const fs::path& at) { Write(at, R"(["a", 5, ["b"], "c"])"); },
       {{"a", true}, {"c", true}},
       ""},
      {"a directory",
       KeptFile::kChoices,
       [](const fs::path& at) { fs::create_directory(at); },
       {},
       "it is a directory"},
      {"a named pipe",
       KeptFile::kGreetings,
       [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); },
       {},
       "it is a named pipe (FIFO)"},
      {"an endless device",
       KeptFile::kChoices,
       [](const fs::path& at) { fs::create_symlink("/dev/zero", at); },
       {},
       "it is a character device"},
      {"200,000 nested arrays",
       KeptFile::kGreetings,
       [&deep](const fs::path& at) { Write(at, deep); },
       {},
       "nests deeper than 64 levels"},
      {"blanks past the limit",
       KeptFile::kChoices,
       [](const fs::path& at) { Write(at, std::string(kMaxKeptFileBytes + 1, ' ')); },
       {},
       "it is larger than 1 MiB"},
      {"not JSON",
       KeptFile::kChoices,
       [](const fs::path& at) { Write(at, R"({"a": tru)"); },
       {},
       "syntax error"},
      {"the other file's shape",
       KeptFile::kChoices,
       [](const fs::path& at) { Write(at, R"(["a"])"); },
       {},
       "not a JSON object of players' choices"},
      {"a lone value",
       KeptFile::kGreetings,
       [](const fs::path& at) { Write(at, "true"); },
       {},
       "not a JSON array of players' keys"},
  };
  for (const Case& item : cases) {
    SCOPED_TRACE(item.name);
    const fs::path path = Path(item.file);
    item.lay_out(path);
    const KeptRead read = ReadKept(item.file);
    EXPECT_EQ(read.entries, item.entries);
    if (std::string(item.problem).empty()) {
      EXPECT_EQ(read.problem, "");
      fs::remove(path);
      continue;
    }
    EXPECT_NE(read.problem.find(item.problem), std::string::npos) << read.problem;
    EXPECT_NE(read.problem.find(".unreadable"), std::string::npos) << read.problem;
    fs::path aside = path;
    aside += ".unreadable";
    EXPECT_EQ(fs::symlink_status(path).type(), fs::file_type::not_found);
    EXPECT_NE(fs::symlink_status(aside).type(), fs::file_type::not_found);
    EXPECT_EQ(ReadKept(item.file).problem, "") << "named once: it is no longer in the way";
    fs::remove_all(aside);
  }
}

TEST_F(KeptFilesTest, ASecondFileMovedAsideTakesTheNextFreeName) {
  const fs::path path = Path(KeptFile::kChoices);
  fs::path first = path;
  first += ".unreadable";
  Write(first, "kept by the administrator");
  Write(path, "broken");
  EXPECT_NE(ReadKept(KeptFile::kChoices).problem.find(".unreadable-2"), std::string::npos);
  EXPECT_EQ(Read(first), "kept by the administrator");
  fs::path second = path;
  second += ".unreadable-2";
  EXPECT_EQ(Read(second), "broken");
}

// Servers sharing the folder each add what they could not write, and take out only what
// they wrote themselves, as they took it.
TEST_F(KeptFilesTest, ServersSharingTheFolderMergeTheirEntries) {
  struct Case {
    const char* name;
    const char* before;  // the file another server left; null: none
    KeptEntries written;
    KeptEntries add;
    const char* after;  // null: no file
  };
  const Case cases[] = {
      {"a first server keeps its choices", nullptr, {}, {{"a", true}}, "{\n\t\"a\": true\n}\n"},
      {"a second server adds its own",
       R"({"a": true, "b": true})",
       {},
       {{"c", false}},
       "{\n\t\"a\": true,\n\t\"b\": true,\n\t\"c\": false\n}\n"},
      {"its newer choice for the same player wins",
       R"({"a": true})",
       {},
       {{"a", false}},
       "{\n\t\"a\": false\n}\n"},
      {"a server with nothing to keep leaves the file", R"({"a": true})", {}, {}, R"({"a": true})"},
      {"what it wrote goes, what another wrote since stays",
       R"({"a": true, "b": false})",
       {{"a", true}, {"b", true}},
       {},
       "{\n\t\"b\": false\n}\n"},
      {"the last entry gone, the file is gone", R"({"a": true})", {{"a", true}}, {}, nullptr},
  };
  for (const Case& item : cases) {
    SCOPED_TRACE(item.name);
    const fs::path path = Path(KeptFile::kChoices);
    fs::remove(path);
    if (item.before != nullptr) {
      Write(path, item.before);
    }
    const KeptUpdate update =
        UpdateKept(KeptFile::kChoices, item.written, item.add, Durability::kOnDisk);
    EXPECT_EQ(update.failure, "");
    EXPECT_EQ(update.problem, "");
    if (item.after == nullptr) {
      EXPECT_FALSE(fs::exists(path));
    } else {
      EXPECT_EQ(Read(path), item.after);
    }
  }
}

// The file is written under a name of this process's own and renamed: a link or a pipe
// planted there, or a link at the file's own name, is replaced itself, never written
// through or waited for.
TEST_F(KeptFilesTest, NothingIsWrittenThroughALink) {
  const fs::path path = Path(KeptFile::kGreetings);
  const fs::path victim = server_ / "victim.txt";
  Write(victim, "untouched");
  fs::path temporary = path;
  temporary += ".";
  temporary += std::to_string(::getpid()) + ".new";
  fs::create_symlink(victim, temporary);
  ASSERT_EQ(UpdateKept(KeptFile::kGreetings, {}, {{"a", true}}, Durability::kCached).failure, "");
  EXPECT_EQ(Read(victim), "untouched");
  EXPECT_EQ(Read(path), "[\n\t\"a\"\n]\n");
  EXPECT_FALSE(fs::exists(fs::symlink_status(temporary)));

  // A named pipe nobody reads, at the same name, would hold the writer for ever.
  ASSERT_EQ(::mkfifo(temporary.c_str(), 0600), 0);
  ASSERT_EQ(UpdateKept(KeptFile::kGreetings, {}, {{"c", true}}, Durability::kCached).failure, "");
  EXPECT_EQ(Read(path), "[\n\t\"a\",\n\t\"c\"\n]\n");

  fs::remove(path);
  fs::create_symlink(victim, path);
  ASSERT_EQ(UpdateKept(KeptFile::kGreetings, {}, {{"b", true}}, Durability::kCached).failure, "")
      << "the link names a file that is not the kept file's shape: moved aside first";
  EXPECT_EQ(Read(victim), "untouched");
  EXPECT_EQ(fs::symlink_status(path).type(), fs::file_type::regular);
}

// A directory in the way at the unload is moved aside, and the entries are kept all
// the same.
TEST_F(KeptFilesTest, SomethingInTheWayAtTheUnloadIsMovedAsideAndTheEntriesKept) {
  const fs::path path = Path(KeptFile::kChoices);
  fs::create_directory(path);
  Write(path / "inside", "the administrator's");
  const KeptUpdate update = UpdateKept(KeptFile::kChoices, {}, {{"a", true}}, Durability::kOnDisk);
  EXPECT_EQ(update.failure, "");
  EXPECT_NE(update.problem.find("it is a directory"), std::string::npos) << update.problem;
  EXPECT_EQ(Read(path), "{\n\t\"a\": true\n}\n");
  fs::path aside = path;
  aside += ".unreadable";
  EXPECT_EQ(Read(aside / "inside"), "the administrator's");
}

}  // namespace
}  // namespace Bellwright
