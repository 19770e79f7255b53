#pragma once

#include <string>

#include "config/setting_reader.hpp"

// Which items of a file shared by a cluster this server has: an item with a "Servers"
// list belongs to the servers it names (letter case ignored), one without it to every
// server. An item this server does not have is left out as if the file did not hold it.
namespace Bellwright {

class ServerFilter {
 public:
  // This server's name as "ServerName" in the "Bellwright" section gives it; empty when
  // the file gives none (the general reader judges the value).
  explicit ServerFilter(const SettingValue& document);

  // Reads and judges `item`'s "Servers": whether this server has the item.
  [[nodiscard]] bool Has(const SettingValue& item) const;

 private:
  std::string name_key_;  // empty: this server has no name
};

// The key under which names of servers are one whatever their letter case.
std::string ServerNameKey(const std::string& name);

}  // namespace Bellwright
