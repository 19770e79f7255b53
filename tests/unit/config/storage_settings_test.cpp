#include "config/storage_settings.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "config/config_text.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

bool HasFindingAt(const Report& report, const std::string& pointer) {
  for (const Finding& finding : report.findings) {
    if (finding.pointer == pointer) {
      return true;
    }
  }
  return false;
}

// Whether the plug-in reads the value at `pointer`: a value of the wrong type there is
// reported then, and only then.
bool StorageReads(json document, const std::string& pointer) {
  document[json::json_pointer(pointer)] = json::array();
  return HasFindingAt(ReadConfigText(document.dump()).report, pointer);
}

// The storage is read only for a set opt-out command, and its server keys only for a
// MySQL server: a value the plug-in never reads is not reported as wrong.
TEST(OptOutChecks, TheStorageIsReadOnlyWhenItIsUsed) {
  const struct {
    const char* document;
    const char* pointer;
    bool read;
  } cases[] = {
      {R"({"Bellwright": {"Storage": {"Type": "MySQL"}}})", "/Bellwright/Storage/Type", false},
      {R"({"Bellwright": {"Storage": {}}, "TimedMessages": {"OptOutCommand": ""}})",
       "/Bellwright/Storage", false},
      {R"({"Bellwright": {"Storage": {}}, "TimedMessages": {"OptOutCommand": 5}})",
       "/Bellwright/Storage", false},
      {R"({"Bellwright": {"Storage": {}}, "TimedMessages": {"OptOutCommand": "/ads"}})",
       "/Bellwright/Storage", true},
      {R"({"Bellwright": {"Storage": {"Port": 1}}, "TimedMessages": {"OptOutCommand": "/ads"}})",
       "/Bellwright/Storage/Port", false},
      {R"({"Bellwright": {"Storage": {"Type": 5, "Port": 1}}, "TimedMessages": {"OptOutCommand": "/ads"}})",
       "/Bellwright/Storage/Port", false},
      {R"({"Bellwright": {"Storage": {"Type": "MySQL", "Port": 1}}, "TimedMessages": {"OptOutCommand": "/ads"}})",
       "/Bellwright/Storage/Port", true},
      {R"({"Bellwright": {"Storage": {"Type": "SQLite"}}, "TimedMessages": {"OptOutCommand": "/ads"}})",
       "/Bellwright/Storage/Type", true},
      {R"({"Bellwright": {}})", "/Bellwright/ClientChatSenderName", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StorageReads(json::parse(c.document), c.pointer), c.read)
        << c.document << " " << c.pointer;
  }
}

TEST(OptOutChecks, APortIsCheckedOnlyWhereItCounts) {
  const struct {
    const char* port;
    bool reported;
  } cases[] = {
      {"1", false},   {"65535", false},   {"3306.9", true}, {"0", true},
      {"-5", true},   {"65536", true},    {"1e300", true},  {"18446744073709551615", true},
      {"true", true}, {"\"3306\"", true}, {"null", true},
  };
  for (const auto& c : cases) {
    const std::string text =
        std::string(R"({"Bellwright": {"Storage": {"Type": "MySQL", "Database": "d", "Port": )") +
        c.port + R"(}}, "TimedMessages": {"OptOutCommand": "/ads"}})";
    const Report report = ReadConfigText(text).report;
    EXPECT_EQ(HasFindingAt(report, "/Bellwright/Storage/Port"), c.reported) << c.port;
    EXPECT_LE(report.findings.size(), 1U) << c.port;
  }
}

}  // namespace
}  // namespace Bellwright::ConfigCheck

namespace Bellwright::ConfigCheck {
namespace {

// The port is read as a number only: true is no port, and the default is used.
TEST(OptOutChecks, APortThatIsNotANumberIsTheDefault) {
  const ConfigText read = ReadConfigText(
      R"({"Bellwright": {"Storage": {"Type": "MySQL", "Database": "d", "Port": true}},
          "TimedMessages": {"OptOutCommand": "/ads"}})");
  ASSERT_TRUE(read.settings.storage.storage.has_value());
  EXPECT_EQ(read.settings.storage.storage->port, 3306U);
  ASSERT_EQ(read.report.findings.size(), 1U);
  EXPECT_EQ(read.report.findings[0].message,
            "is a boolean, not a whole number: it is ignored, so the port 3306 is used");
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
