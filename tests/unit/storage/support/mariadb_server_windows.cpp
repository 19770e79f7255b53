// The Windows side of MariaDbServer: each call goes to the Linux helper that runs the
// server (mariadb_helper.cpp), one JSON line there and one back.
#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h, which must come before windows.h.
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "mariadb_server.hpp"

namespace Bellwright::Storage::Testing {
namespace {

using nlohmann::json;

bool SendLine(SOCKET connection, const std::string& line) {
  const std::string text = line + "\n";
  return send(connection, text.data(), static_cast<int>(text.size()), 0) ==
         static_cast<int>(text.size());
}

std::string ReceiveLine(SOCKET connection) {
  std::string line;
  char byte = 0;
  while (recv(connection, &byte, 1, 0) == 1 && byte != '\n') line += byte;
  return line;
}

// The helper, a Linux program that Wine runs as it is, given the port to call back on.
bool StartHelper(unsigned short port, std::string& failure) {
  const char* helper = std::getenv("BELLWRIGHT_MARIADB_HELPER");
  if (helper == nullptr) {
    failure = "BELLWRIGHT_MARIADB_HELPER names no helper to run the MariaDB server";
    return false;
  }
  const std::string command = std::string(helper) + " " + std::to_string(port);
  std::wstring wide(command.begin(), command.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    failure = "cannot start " + std::string(helper);
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

std::variant<std::unique_ptr<MariaDbServer>, std::string> MariaDbServer::Launch() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 1) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(listener);
    return std::string("cannot listen for the MariaDB helper");
  }
  std::string failure;
  if (!StartHelper(ntohs(address.sin_port), failure)) {
    closesocket(listener);
    return failure;
  }
  // The helper starts the server before it answers; a minute is plenty for both.
  fd_set waiting;
  FD_ZERO(&waiting);
  FD_SET(listener, &waiting);
  timeval patience{60, 0};
  const SOCKET helper = select(0, &waiting, nullptr, nullptr, &patience) == 1
                            ? accept(listener, nullptr, nullptr)
                            : INVALID_SOCKET;
  closesocket(listener);
  if (helper == INVALID_SOCKET) return std::string("the MariaDB helper did not call back");
  const json started = json::parse(ReceiveLine(helper), nullptr, false);
  if (!started.value("ok", false)) {
    closesocket(helper);
    return "the MariaDB helper could not start the server: " + started.value("text", "");
  }
  std::unique_ptr<MariaDbServer> server(new MariaDbServer());
  server->helper_ = helper;
  server->port_ = started.value("port", 0U);
  return server;
}

MariaDbServer::~MariaDbServer() {
  // The helper stops the server when the connection ends.
  closesocket(static_cast<SOCKET>(helper_));
}

std::string MariaDbServer::Call(const std::string& request) const {
  const auto connection = static_cast<SOCKET>(helper_);
  if (!SendLine(connection, request)) return R"({"ok": false, "text": "the helper is gone"})";
  return ReceiveLine(connection);
}

namespace {

std::optional<std::string> FailureIn(const std::string& answer) {
  const json parsed = json::parse(answer, nullptr, false);
  if (parsed.is_object() && parsed.value("ok", false)) return std::nullopt;
  return parsed.is_object() ? parsed.value("text", "failed") : "no answer from the helper";
}

}  // namespace

void MariaDbServer::Kill() {
  Call(json{{"call", "kill"}}.dump());
}

std::optional<std::string> MariaDbServer::Restart() {
  return FailureIn(Call(json{{"call", "restart"}}.dump()));
}

void MariaDbServer::Freeze(bool frozen) {
  Call(json{{"call", "freeze"}, {"frozen", frozen}}.dump());
}

std::optional<StorageSettings> MariaDbServer::CreateDatabase(std::string_view name) {
  const json answer =
      json::parse(Call(json{{"call", "create"}, {"name", name}}.dump()), nullptr, false);
  if (!answer.is_object() || !answer.value("ok", false)) return std::nullopt;
  StorageSettings settings;
  settings.kind = StorageSettings::Kind::kMySql;
  settings.host = answer.value("host", "");
  settings.port = answer.value("port", 0U);
  settings.user = answer.value("user", "");
  settings.password = answer.value("password", "");
  settings.database = answer.value("database", "");
  return settings;
}

std::optional<std::string> MariaDbServer::DropClientConnections() {
  return FailureIn(Call(json{{"call", "drop"}}.dump()));
}

std::optional<std::string> MariaDbServer::ExecuteAsRoot(const std::string& sql) const {
  return FailureIn(Call(json{{"call", "execute"}, {"sql", sql}}.dump()));
}

std::optional<std::string> MariaDbServer::FirstValueAsRoot(const std::string& sql) const {
  const json answer =
      json::parse(Call(json{{"call", "first_value"}, {"sql", sql}}.dump()), nullptr, false);
  if (!answer.is_object() || !answer.value("ok", false)) return std::nullopt;
  return answer.value("text", "");
}

}  // namespace Bellwright::Storage::Testing
