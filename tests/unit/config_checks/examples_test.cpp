#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/config_text.hpp"

namespace Bellwright::ConfigCheck {
namespace {

TEST(Examples, EveryExampleConfigurationPassesWithoutAFinding) {
  int checked = 0;
  const std::filesystem::path examples = std::filesystem::path(BELLWRIGHT_SOURCE_DIR) / "examples";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(examples)) {
    if (entry.path().extension() != ".json") {
      continue;
    }
    std::ifstream file(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    const Report report = ReadConfigText(text.str()).report;
    for (const Finding& finding : report.findings) {
      ADD_FAILURE() << FormatFinding(entry.path().string(), finding);
    }
    ++checked;
  }
  // The single server's and the MySQL cluster's.
  EXPECT_GE(checked, 2);
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
