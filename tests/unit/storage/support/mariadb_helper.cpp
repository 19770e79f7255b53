// Runs a throwaway MariaDB server for a Windows test program under Wine, which cannot
// start the Linux server itself, and carries out that program's calls on it:
//
//   bellwright_mariadb_helper PORT
//
// connects to 127.0.0.1:PORT (where the program listens), starts the server, says so in
// one JSON line, then answers each request line (a JSON object naming a MariaDbServer
// call) with one JSON line. The server stops when the connection ends, with the program.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <variant>

#include "mariadb_server.hpp"

namespace {

using Bellwright::Storage::StorageSettings;
using Bellwright::Storage::Testing::MariaDbServer;
using nlohmann::json;

json Done(const std::optional<std::string>& failure) {
  return failure ? json{{"ok", false}, {"text", *failure}} : json{{"ok", true}};
}

json Carry(MariaDbServer& server, const json& request) {
  const std::string call = request.value("call", "");
  if (call == "kill") {
    server.Kill();
    return Done(std::nullopt);
  }
  if (call == "restart") return Done(server.Restart());
  if (call == "freeze") {
    server.Freeze(request.value("frozen", true));
    return Done(std::nullopt);
  }
  if (call == "drop") return Done(server.DropClientConnections());
  if (call == "execute") return Done(server.ExecuteAsRoot(request.value("sql", "")));
  if (call == "first_value") {
    const auto value = server.FirstValueAsRoot(request.value("sql", ""));
    return value ? json{{"ok", true}, {"text", *value}} : json{{"ok", false}};
  }
  if (call == "create") {
    const auto settings = server.CreateDatabase(request.value("name", ""));
    if (!settings) return Done("cannot create the database");
    return json{{"ok", true},
                {"host", settings->host},
                {"port", settings->port},
                {"user", settings->user},
                {"password", settings->password},
                {"database", settings->database}};
  }
  return Done("unknown call " + call);
}

bool Send(int connection, const json& answer) {
  const std::string line = answer.dump() + "\n";
  return send(connection, line.data(), line.size(), MSG_NOSIGNAL) ==
         static_cast<ssize_t>(line.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PORT\n", argv[0]);
    return 2;
  }
  const int connection = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(argv[1])));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    std::perror("connect");
    return 1;
  }
  auto launched = MariaDbServer::Launch();
  if (auto* failure = std::get_if<std::string>(&launched)) {
    Send(connection, Done(*failure));
    return 1;
  }
  MariaDbServer& server = *std::get<std::unique_ptr<MariaDbServer>>(launched);
  if (!Send(connection, {{"ok", true}, {"port", server.Port()}})) return 1;
  std::string pending;
  char buffer[4096];
  for (ssize_t count = 0; (count = recv(connection, buffer, sizeof buffer, 0)) > 0;) {
    pending.append(buffer, static_cast<std::size_t>(count));
    for (std::size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      const json request = json::parse(pending.substr(0, end), nullptr, false);
      pending.erase(0, end + 1);
      if (!Send(connection, Carry(server, request))) return 1;
    }
  }
  return 0;
}
