#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database_timeouts.hpp"
#include "storage/expected.hpp"
#include "storage/storage_settings.hpp"
#include "storage/stored_choice.hpp"

namespace Bellwright::Storage {

// One connection to the table of choices, used by the store's worker thread only.
// Open creates the table when it is missing; every text reaches the database as a
// bound parameter of a prepared statement.
class Database {
 public:
  virtual ~Database() = default;

  virtual std::optional<Failure> Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  virtual Expected<std::vector<StoredChoice>> ReadAll() = 0;
  // A player without a row has not opted out.
  virtual Expected<bool> ReadOne(std::string_view player_key) = 0;
  // All or nothing: one transaction of one upsert per choice.
  virtual std::optional<Failure> Write(std::span<const StoredChoice> choices) = 0;
};

std::unique_ptr<Database> MakeDatabase(const StorageSettings& settings,
                                       const DatabaseTimeouts& timeouts);

// The one table, the same name in both databases.
inline constexpr std::string_view kChoiceTable = "bellwright_timed_message_opt_out";

}  // namespace Bellwright::Storage
