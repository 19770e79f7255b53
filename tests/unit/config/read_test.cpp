#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/plugin_folder.hpp"
#include "config/config.hpp"
#include "host_library/server_directory.hpp"

namespace Bellwright {
namespace {

class ConfigReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ =
        std::filesystem::temp_directory_path() /
        ("bellwright-config-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(ConfigFile().parent_path());
    Sandbox::SetServerDirectory(directory_.string());
    WriteConfig(R"({"Bellwright": {"Kept": true}})");
    ASSERT_TRUE(StartConfig());
  }
  void TearDown() override {
    StopConfig();
    std::filesystem::remove_all(directory_);
  }

  [[nodiscard]] std::filesystem::path ConfigFile() const {
    return directory_ / Bellwright::kPluginFolder / Bellwright::kConfigFileName;
  }
  void WriteConfig(const std::string& bytes) const {
    std::ofstream(ConfigFile(), std::ios::binary) << bytes;
  }

  std::filesystem::path directory_;
};

TEST_F(ConfigReadTest, AFailedReadLeavesThePreviousDocumentExactlyAsItWas) {
  const nlohmann::json before = ConfigDocument();
  struct Case {
    const char* name;
    const char* bytes;  // null: no file at all
  };
  const Case cases[] = {
      {"missing", nullptr},
      {"empty", ""},
      {"breaks off part-way", R"({"Bellwright": {"A": 1}, "TimedMessages": {"Enabled": tr)"},
      {"comment", "// note\n{}"},
      {"malformed", "{\"a\" 1}"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(ConfigFile());
    if (c.bytes != nullptr) WriteConfig(c.bytes);
    const ConfigRead read = ReadConfigFile();
    EXPECT_FALSE(read.config.has_value()) << c.name;
    EXPECT_FALSE(read.failure.empty()) << c.name;
    EXPECT_FALSE(StartConfig()) << c.name;
    EXPECT_EQ(ConfigDocument(), before) << c.name;
  }
}

TEST_F(ConfigReadTest, MissingFileNamesTheCause) {
  std::filesystem::remove(ConfigFile());
  // The full path: the administrator must see where the plug-in looked.
  EXPECT_EQ(ReadConfigFile().failure, "Can't open config.json: " + ConfigFile().string());
}

TEST_F(ConfigReadTest, ReadsByteOrderMarkAndIgnoresTrailingTextAndRepeatedKeysTakeTheLast) {
  WriteConfig("\xEF\xBB\xBF{\"A\": 1, \"A\": 2} trailing words");
  ASSERT_TRUE(StartConfig());
  EXPECT_EQ(ConfigDocument(), (nlohmann::json{{"A", 2}}));
}

TEST_F(ConfigReadTest, StopLeavesNoDocumentBehind) {
  StopConfig();
  EXPECT_TRUE(ConfigDocument().is_null());
}

}  // namespace
}  // namespace Bellwright
