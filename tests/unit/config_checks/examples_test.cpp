#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
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
  // The single server's and the three of the cluster.
  EXPECT_GE(checked, 4);
}

// One file for the whole cluster: each server's copy differs in its name alone.
TEST(Examples, TheClusterServersDifferInTheirNameAlone) {
  const std::filesystem::path cluster =
      std::filesystem::path(BELLWRIGHT_SOURCE_DIR) / "examples" / "cluster";
  std::optional<nlohmann::json> first;
  for (const char* name : {"Center", "Island", "Scorched"}) {
    std::ifstream file(cluster / name / "ArkApi/Plugins/BellwrightEx/config.json");
    nlohmann::json document = nlohmann::json::parse(file);
    EXPECT_EQ(document["Bellwright"]["ServerName"], name);
    document["Bellwright"].erase("ServerName");
    if (first) {
      EXPECT_EQ(document, *first) << name;
    } else {
      first = std::move(document);
    }
  }
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
