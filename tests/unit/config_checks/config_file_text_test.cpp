#include "config_checks/config_file_text.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "config_checks/report.hpp"

namespace Bellwright::ConfigCheck {
namespace {

namespace fs = std::filesystem;

class ConfigFileTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("bellwright-file-text-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

// Each is refused at once, nothing read: a pipe without a writer, an endless device and
// a huge file would otherwise hold the reader up or exhaust its memory.
TEST_F(ConfigFileTextTest, RefusesWhatIsNotARegularFileOrTooLargeWithItsRealCause) {
  struct Case {
    const char* name;
    // Lays out the case in its own folder; gives the path to read.
    std::function<fs::path(const fs::path&)> make;
    const char* failure;
  };
  const Case cases[] = {
      {"missing", [](const fs::path& in) { return in / "config.json"; },
       "No such file or directory"},
      {"directory",
       [](const fs::path& in) {
         fs::create_directory(in / "config.json");
         return in / "config.json";
       },
       "it is a directory"},
      {"named pipe",
       [](const fs::path& in) {
         EXPECT_EQ(::mkfifo((in / "config.json").c_str(), 0600), 0);
         return in / "config.json";
       },
       "it is a named pipe (FIFO)"},
      {"endless device",
       [](const fs::path& in) {
         fs::create_symlink("/dev/zero", in / "config.json");
         return in / "config.json";
       },
       "it is a character device"},
      {"past the limit",
       [](const fs::path& in) {
         std::ofstream(in / "config.json").put('{');
         fs::resize_file(in / "config.json", kMaxTextBytes + 1);
         return in / "config.json";
       },
       "it is larger than 16 MiB"},
      {"below a file",
       [](const fs::path& in) {
         std::ofstream(in / "file") << "{}";
         return in / "file" / "config.json";
       },
       "Not a directory"},
  };
  for (const Case& c : cases) {
    fs::create_directories(folder_ / c.name);
    const FileText file = ReadConfigFileText(c.make(folder_ / c.name));
    EXPECT_FALSE(file.text.has_value()) << c.name;
    EXPECT_EQ(file.failure, c.failure) << c.name;
  }
}

TEST_F(ConfigFileTextTest, ReadsAFileUpToTheLimitWhole) {
  const fs::path path = folder_ / "config.json";
  std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF{}";
  EXPECT_EQ(ReadConfigFileText(path).text, "\xEF\xBB\xBF{}");
  fs::resize_file(path, kMaxTextBytes);
  const FileText full = ReadConfigFileText(path);
  ASSERT_TRUE(full.text.has_value()) << full.failure;
  EXPECT_EQ(full.text->size(), kMaxTextBytes);
}

// Root reads whatever the permissions say.
TEST_F(ConfigFileTextTest, APermissionRefusedIsNamedAsSuch) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root";
  const fs::path path = folder_ / "config.json";
  std::ofstream(path) << "{}";
  fs::permissions(path, fs::perms::none);
  EXPECT_EQ(ReadConfigFileText(path).failure, "Permission denied");
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
