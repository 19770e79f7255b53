#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
    ReplaceConfigDocument({{"Bellwright", {{"Kept", true}}}});
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  [[nodiscard]] std::filesystem::path ConfigFile() const {
    return directory_ / "ArkApi/Plugins/BellwrightEx/config.json";
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
    EXPECT_ANY_THROW(ReadConfig()) << c.name;
    EXPECT_EQ(ConfigDocument(), before) << c.name;
  }
}

TEST_F(ConfigReadTest, MissingFileNamesTheCause) {
  try {
    ReadConfig();
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Can't open config.json");
  }
}

TEST_F(ConfigReadTest, ReadsByteOrderMarkAndIgnoresTrailingTextAndRepeatedKeysTakeTheLast) {
  WriteConfig("\xEF\xBB\xBF{\"A\": 1, \"A\": 2} trailing words");
  ReadConfig();
  EXPECT_EQ(ConfigDocument(), (nlohmann::json{{"A", 2}}));
}

}  // namespace
}  // namespace Bellwright
