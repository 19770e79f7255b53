#include "config/server_filter.hpp"

#include "base/unicode.hpp"

namespace Bellwright {

std::string ServerNameKey(const std::string& name) {
  return Unicode::CaseFoldedUtf8(Unicode::Utf8ToUtf16(name));
}

ServerFilter::ServerFilter(const SettingValue& document) {
  const SettingValue name = document.Member("Bellwright").Member("ServerName");
  if (name.IsString()) {
    name_key_ = ServerNameKey(name.Json()->get<std::string>());
  }
}

bool ServerFilter::Has(const SettingValue& item) const {
  const SettingValue servers = item.Member("Servers");
  const std::optional<std::vector<std::string>> names =
      servers.StrictTexts({kError, "it is ignored, so every server has this item", kNumbersOnly});
  if (!names || names->empty()) {
    return true;
  }
  if (name_key_.empty()) {
    servers.AtKey(kWarning,
                  "lists servers, but this server has no \"ServerName\" in the \"Bellwright\" "
                  "section, so it leaves this item out; give each server of the cluster its "
                  "name");
    return false;
  }
  for (const std::string& name : *names) {
    if (ServerNameKey(name) == name_key_) {
      return true;
    }
  }
  return false;
}

}  // namespace Bellwright
