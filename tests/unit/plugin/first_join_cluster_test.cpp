// The first-join welcome on a cluster: two sandbox servers, each a process of its own with
// its own folder, share one MariaDB database. A player greeted on one is not new on the
// other. Live mode, so that the servers' clocks and the database's answers run in real
// time, as on a real cluster. The storage is driven only by the game's callbacks, once
// a second here, so opening a MySQL connection takes some seconds: the greeting's delay
// leaves the answer time to come.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>

#include "store_test_helpers.hpp"
#include "temporary_folder.hpp"

namespace Bellwright {
namespace {

std::string ClusterConfig(const Storage::StorageSettings& database) {
  return R"({"Bellwright": {
  "WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server",
    "DelaySeconds": 12, "Message": "Welcome back {0}",
    "FirstJoinMessage": "First time on the cluster, {0}"},
  "Storage": {"Type": "MySQL", "Host": ")" +
         database.host + R"(", "Port": )" + std::to_string(database.port) + R"(, "User": ")" +
         database.user + R"(", "Password": ")" + database.password + R"(", "Database": ")" +
         database.database + R"("}}})";
}

// Runs a live server in `folder` that reads `lines` from its console, each after the
// pause before it, then runs for `settle` seconds more and stops: its jsonl transcript.
std::string RunServer(const std::filesystem::path& folder, const std::string& config,
                      const std::string& console) {
  const std::filesystem::path plugin_folder = folder / "ArkApi/Plugins/BellwrightEx";
  std::filesystem::create_directories(plugin_folder);
  std::ofstream(plugin_folder / "config.json") << config;
  const std::string command = "(" + console + ") | " + BELLWRIGHT_SANDBOX_EXE + " --dir '" +
                              folder.string() + "' --transcript jsonl";
  std::string transcript;
  FILE* const pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return transcript;
  char buffer[4096];
  for (std::size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    transcript.append(buffer, read);
  }
  ::pclose(pipe);
  return transcript;
}

bool Says(const std::string& transcript, const std::string& to, const std::string& text) {
  return transcript.find(R"("to":")" + to + R"(","color":[0,0,0,1],"text":")" + text + "\"") !=
         std::string::npos;
}

TEST(FirstJoinClusterTest, APlayerGreetedOnOneServerIsNotNewOnAnother) {
  auto database = Storage::Testing::FreshMySqlDatabase();
  if (auto* failure = std::get_if<std::string>(&database)) FAIL() << *failure;
  const std::string config = ClusterConfig(std::get<Storage::StorageSettings>(database));
  const Storage::Testing::TemporaryFolder first_server("bellwright-cluster-a");
  const Storage::Testing::TemporaryFolder second_server("bellwright-cluster-b");

  const std::string first =
      RunServer(first_server.Path(), config, "sleep 1.5; echo 'join A1 Alice'; sleep 15");
  EXPECT_TRUE(Says(first, "A1", "First time on the cluster, Alice")) << first;

  // Bob, new to both, shows that the answers came before the greetings here too.
  const std::string second = RunServer(second_server.Path(), config,
                                       "sleep 1.5; echo 'join A1 Alice'; echo 'join B1 Bob'; "
                                       "sleep 15");
  EXPECT_TRUE(Says(second, "A1", "Welcome back Alice")) << second;
  EXPECT_TRUE(Says(second, "B1", "First time on the cluster, Bob")) << second;
  for (const std::string& transcript : {first, second}) {
    EXPECT_EQ(transcript.find("host_error"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("does not work"), std::string::npos) << transcript;
  }
}

}  // namespace
}  // namespace Bellwright
