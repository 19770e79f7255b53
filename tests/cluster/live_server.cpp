#include "live_server.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "rcon_test_client.hpp"

namespace Bellwright::Testing {

std::string SandboxCommand::PathFor(const std::filesystem::path& path) const {
  if (std::filesystem::path(sandbox).extension() != ".exe") return path.string();
  std::string windows = "Z:" + path.string();
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
}

namespace {

constexpr const char* kRconPassword = "cluster-test";

// A loopback port nobody listens on now.
unsigned short FreePort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (probe < 0 || bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    throw std::runtime_error("no free port");
  }
  close(probe);
  return ntohs(address.sin_port);
}

}  // namespace

SandboxCommand SandboxFromEnvironment() {
  const char* sandbox = std::getenv("BELLWRIGHT_SANDBOX");
  const char* runner = std::getenv("BELLWRIGHT_RUNNER");
  return {sandbox != nullptr ? sandbox : "", runner != nullptr ? runner : ""};
}

LiveServer::LiveServer(const SandboxCommand& command, const std::filesystem::path& folder,
                       Rcon rcon) {
  std::vector<std::string> arguments;
  if (!command.runner.empty()) arguments.push_back(command.runner);
  for (const std::string& own : {command.sandbox, std::string("--dir"), command.PathFor(folder),
                                 std::string("--transcript"), std::string("jsonl")}) {
    arguments.push_back(own);
  }
  if (rcon == Rcon::kListening) {
    rcon_port_ = FreePort();
    for (const std::string& own : {std::string("--rcon-port"), std::to_string(rcon_port_),
                                   std::string("--rcon-password"), std::string(kRconPassword)}) {
      arguments.push_back(own);
    }
  }
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  // Closed on exec, so that another server started later does not hold this one's console
  // open: its end is what stops this one.
  int input[2];
  int output[2];
  if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot create pipes");
  }
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("cannot start the sandbox");
  if (pid_ == 0) {
    dup2(input[0], STDIN_FILENO);
    dup2(output[1], STDOUT_FILENO);
    for (const int end : {input[0], input[1], output[0], output[1]}) close(end);
    execvp(argv[0], argv.data());
    std::perror(("exec " + arguments[0]).c_str());
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  console_ = input[1];
  reader_ = std::thread([this, end = output[0]] { Read(end); });
}

LiveServer::~LiveServer() {
  Stop();
}

void LiveServer::Type(const std::string& line) {
  const std::string text = line + "\n";
  for (std::size_t written = 0; written < text.size();) {
    const ssize_t count = write(console_, text.data() + written, text.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    written += static_cast<std::size_t>(count);
  }
}

std::optional<LiveServer::Event> LiveServer::WaitFor(const Match& matches,
                                                     Clock::duration timeout) {
  std::unique_lock lock(mutex_);
  std::size_t looked_at = 0;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    for (; looked_at < events_.size(); ++looked_at) {
      if (matches(events_[looked_at].fields)) return events_[looked_at];
    }
    if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout &&
        looked_at == events_.size()) {
      return std::nullopt;
    }
  }
}

std::string LiveServer::Status() {
  // The console's RCON requests count 1, 2, 3 … within the run.
  const int request = ++status_requests_;
  Type("rcon bw.status");
  const auto reply = WaitFor(
      [request](const nlohmann::json& event) {
        return event.value("event", "") == "rcon_reply" && event.value("id", 0) == request;
      },
      std::chrono::seconds(10));
  return reply ? reply->fields.value("text", "") : "";
}

std::string LiveServer::RconCommand(const std::string& command) {
  // The listener may not be up yet just after the start.
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline) {
    try {
      if (!rcon_client_) {
        rcon_client_ = std::make_unique<Sandbox::Testing::RconTestClient>(rcon_port_,
                                                                          std::chrono::seconds(10));
        if (!rcon_client_->Login(kRconPassword)) throw std::runtime_error("login refused");
      }
      const auto reply = rcon_client_->Run(++rcon_requests_ + 1, command);
      if (reply) return reply->body;
    } catch (const std::exception&) {
      // Connected too early, or the connection ended: a new one.
    }
    rcon_client_.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "";
}

void LiveServer::Stop() {
  rcon_client_.reset();
  if (console_ >= 0) {
    close(console_);
    console_ = -1;
  }
  if (pid_ > 0) {
    int status = 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
    while (waitpid(pid_, &status, WNOHANG) != pid_) {
      if (Clock::now() >= deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
  }
  // A Wine server may hold the pipe open after the sandbox is gone: the sandbox's end
  // ends the reading.
  exited_ = true;
  if (reader_.joinable()) reader_.join();
}

std::vector<LiveServer::Event> LiveServer::Events() const {
  const std::lock_guard lock(mutex_);
  return events_;
}

void LiveServer::Read(int output) {
  std::string pending;
  char buffer[4096];
  for (;;) {
    pollfd ready{output, POLLIN, 0};
    const int polled = poll(&ready, 1, 100);
    if (polled == 0 && exited_) break;
    if (polled <= 0) continue;
    const ssize_t count = read(output, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    const Clock::time_point now = Clock::now();
    pending.append(buffer, static_cast<std::size_t>(count));
    for (std::size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      nlohmann::json fields = nlohmann::json::parse(line, nullptr, false);
      if (fields.is_discarded()) continue;
      const std::lock_guard lock(mutex_);
      events_.push_back({now, std::move(fields)});
    }
    arrived_.notify_all();
  }
  close(output);
}

std::filesystem::path ServerFolder(const std::filesystem::path& folder, const std::string& config) {
  const std::filesystem::path plugin_folder = folder / "ArkApi/Plugins/BellwrightEx";
  std::filesystem::create_directories(plugin_folder);
  std::ofstream(plugin_folder / "config.json") << config;
  return folder;
}

LiveServer::Match Named(const std::string& name) {
  return [name](const nlohmann::json& event) { return event.value("event", "") == name; };
}

}  // namespace Bellwright::Testing
