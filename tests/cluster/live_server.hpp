#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace Sandbox::Testing {
class RconTestClient;
}

namespace Bellwright::Testing {

// How a sandbox server is started: the program, and the program that runs it (wine64
// for the Windows build, whose paths then take Wine's form, the root folder as Z:).
struct SandboxCommand {
  std::string sandbox;
  std::string runner;

  // A path as the sandbox sees it.
  std::string PathFor(const std::filesystem::path& path) const;
};

// The sandbox from the environment: BELLWRIGHT_SANDBOX, run through BELLWRIGHT_RUNNER when
// that is set.
SandboxCommand SandboxFromEnvironment();

// A live sandbox server in a process of its own: its console is a pipe the test types
// into, and its jsonl transcript is read as it comes, each event stamped with the moment
// it arrived, so that a test can tell how soon something happened in real time.
class LiveServer {
 public:
  using Clock = std::chrono::steady_clock;
  struct Event {
    Clock::time_point arrived;
    nlohmann::json fields;
  };
  using Match = std::function<bool(const nlohmann::json&)>;

  // With `rcon`, the server listens for RCON clients on a free loopback port.
  enum class Rcon { kOff, kListening };
  LiveServer(const SandboxCommand& command, const std::filesystem::path& folder,
             Rcon rcon = Rcon::kOff);
  // Stops the server as Stop does.
  ~LiveServer();
  LiveServer(const LiveServer&) = delete;
  LiveServer& operator=(const LiveServer&) = delete;

  // A line on the server's console.
  void Type(const std::string& line);
  // The first event that matches, waiting up to `timeout` for it to arrive.
  std::optional<Event> WaitFor(const Match& matches, Clock::duration timeout);
  // What bw.status answers over RCON now; empty when no answer came within 10 s.
  std::string Status();
  // What the server answers a command sent by an RCON client over TCP (a server started
  // with Rcon::kListening); empty when no answer came within 10 s.
  std::string RconCommand(const std::string& command);
  // Ends the console, so the server unloads the plug-in and exits; killed if it has
  // not within 30 s.
  void Stop();
  std::vector<Event> Events() const;

 private:
  void Read(int output);

  pid_t pid_ = -1;
  unsigned short rcon_port_ = 0;
  int rcon_requests_ = 0;
  std::unique_ptr<Sandbox::Testing::RconTestClient> rcon_client_;
  int console_ = -1;
  int status_requests_ = 0;
  std::atomic<bool> exited_{false};
  std::thread reader_;
  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<Event> events_;
};

// A server's folder, `folder`, holding `config` as the plug-in's file.
std::filesystem::path ServerFolder(const std::filesystem::path& folder, const std::string& config);

// The events named `name`.
LiveServer::Match Named(const std::string& name);

}  // namespace Bellwright::Testing
