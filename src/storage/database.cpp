#include "storage/database.hpp"

#include "storage/mysql_database.hpp"
#include "storage/sqlite_database.hpp"

namespace Bellwright::Storage {

#ifdef BELLWRIGHT_WITHOUT_MYSQL

namespace {

// A build without a MySQL/MariaDB client (the mingw-w64 Windows build): every
// operation fails at once with the reason, which the store names in the log.
class MissingMySqlClient final : public Database {
 public:
  std::optional<Outcome> BeginOpen() override { return Refusal(); }
  std::optional<Outcome> BeginRead(std::span<const std::string>) override { return Refusal(); }
  std::optional<Outcome> BeginWrite(std::span<const StoredChoice>) override { return Refusal(); }
  std::optional<Outcome> BeginReadGreeted(std::span<const std::string>) override {
    return Refusal();
  }
  std::optional<Outcome> BeginRecordGreeted(std::span<const std::string>) override {
    return Refusal();
  }
  std::optional<Outcome> Continue() override { return Refusal(); }
  void Close() override {}
  bool IsOpen() const override { return false; }

 private:
  static Outcome Refusal() {
    return FailedWith(
        "this build of the plug-in has no MySQL/MariaDB client; use \"Type\": \"SQLite\" or a "
        "build with MySQL support");
  }
};

}  // namespace

std::unique_ptr<Database> MakeDatabase(const StorageSettings& settings,
                                       const StoreOptions& /*options*/) {
  if (settings.kind == StorageSettings::Kind::kSqlite) {
    return std::make_unique<SqliteDatabase>(settings.sqlite_path);
  }
  return std::make_unique<MissingMySqlClient>();
}

#else

std::unique_ptr<Database> MakeDatabase(const StorageSettings& settings,
                                       const StoreOptions& options) {
  if (settings.kind == StorageSettings::Kind::kSqlite) {
    return std::make_unique<SqliteDatabase>(settings.sqlite_path);
  }
  return std::make_unique<MySqlDatabase>(settings, options);
}

#endif

}  // namespace Bellwright::Storage
