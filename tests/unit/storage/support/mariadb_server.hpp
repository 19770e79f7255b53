#pragma once

#ifndef _WIN32
#include <sys/types.h>
#endif

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "storage/storage_settings.hpp"
#include "temporary_folder.hpp"

namespace Bellwright::Storage::Testing {

// A MariaDB server of its own for a test or a benchmark: a throwaway data directory,
// socket and log in a temporary folder, TCP on a free loopback port. Stopped and
// removed by the destructor, whatever the test's outcome.
//
// A Windows program (under Wine) cannot run the Linux server itself: there, Launch
// starts the Linux helper that BELLWRIGHT_MARIADB_HELPER names (mariadb_helper.cpp),
// which runs a server as this class does on Linux and carries out each call sent to it
// over a loopback connection; the server stops when that connection ends.
class MariaDbServer {
 public:
  // The server, or why it could not be started (with the end of its error log).
  static std::variant<std::unique_ptr<MariaDbServer>, std::string> Launch();
  ~MariaDbServer();
  MariaDbServer(const MariaDbServer&) = delete;
  MariaDbServer& operator=(const MariaDbServer&) = delete;

  // The server going away and coming back on the same data and port.
  void Kill();
  std::optional<std::string> Restart();
  // The server stops answering without closing anything (SIGSTOP), and goes on (SIGCONT).
  void Freeze(bool frozen);

  // A new database and an account that may use it, reached over TCP: what a store
  // is configured with. Empty when the administrative statements failed.
  std::optional<StorageSettings> CreateDatabase(std::string_view name);

  // Closes the store's connections from the server's side, as its idle timeout does.
  std::optional<std::string> DropClientConnections();

  // Runs an administrative statement as root; the server's error when it fails.
  std::optional<std::string> ExecuteAsRoot(const std::string& sql) const;
  // The first value of the first row a query gives as root; nothing when there is none
  // or the query fails.
  std::optional<std::string> FirstValueAsRoot(const std::string& sql) const;

  unsigned Port() const { return port_; }

 private:
  MariaDbServer() = default;
  unsigned port_ = 0;
#ifdef _WIN32
  // One call to the helper and its answer, a JSON object each.
  std::string Call(const std::string& request) const;

  std::uintptr_t helper_ = ~std::uintptr_t{0};  // the connection to the helper (a SOCKET)
#else
  std::optional<std::string> StartProcess();
  std::optional<std::string> AwaitReady();
  std::string ErrorLogTail() const;

  std::unique_ptr<TemporaryFolder> folder_;
  std::filesystem::path data_directory_;
  std::filesystem::path socket_;
  std::filesystem::path error_log_;
  pid_t pid_ = -1;
#endif
};

}  // namespace Bellwright::Storage::Testing
