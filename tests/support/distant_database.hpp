#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <variant>

#include "latency_proxy.hpp"
#include "mariadb_server.hpp"
#include "store_test_helpers.hpp"

namespace Bellwright::Testing {

// A database of its own on the tests' MariaDB server, as a cluster's servers reach one:
// across a network (the latency proxy, holding every packet `one_way` in each direction)
// and by a host name: "LOCALHOST", the hosts file's loopback entry, so that the name is
// looked up and the connection goes over TCP ("localhost" itself would mean the local
// socket to the client library).
class DistantDatabase {
 public:
  static std::variant<std::unique_ptr<DistantDatabase>, std::string> Make(
      std::chrono::milliseconds one_way) {
    auto fresh = Storage::Testing::FreshMySqlDatabase();
    if (auto* failure = std::get_if<std::string>(&fresh)) return *failure;
    std::string failure;
    Storage::Testing::MariaDbServer* server = Storage::Testing::SharedMariaDbServer(failure);
    return std::unique_ptr<DistantDatabase>(
        new DistantDatabase(server, std::get<Storage::StorageSettings>(fresh), one_way));
  }

  // What a server's configuration names.
  const Storage::StorageSettings& Settings() const { return settings_; }
  // Whether the table holds this player's opt-out, asked of the server directly.
  bool Stored(const std::string& key) const {
    return server_->FirstValueAsRoot("SELECT opted_out FROM " + Table("timed_message_opt_out") +
                                     " WHERE player_key = '" + key + "'") == "1";
  }
  // Whether the table of greeted players holds this player.
  bool Greeted(const std::string& key) const {
    return server_->FirstValueAsRoot("SELECT COUNT(*) FROM " + Table("greeted_players") +
                                     " WHERE player_key = '" + key + "'") == "1";
  }

 private:
  DistantDatabase(Storage::Testing::MariaDbServer* server, Storage::StorageSettings settings,
                  std::chrono::milliseconds one_way)
      : server_(server),
        proxy_("127.0.0.1", static_cast<unsigned short>(settings.port), one_way),
        schema_(settings.database),
        settings_(std::move(settings)) {
    settings_.host = "LOCALHOST";
    settings_.port = proxy_.Port();
  }

  std::string Table(const std::string& name) const {
    return "`" + schema_ + "`.bellwright_" + name;
  }

  Storage::Testing::MariaDbServer* server_;
  LatencyProxy proxy_;
  std::string schema_;
  Storage::StorageSettings settings_;
};

}  // namespace Bellwright::Testing
