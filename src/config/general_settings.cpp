#include "config/general_settings.hpp"

#include "config/settings.hpp"

namespace Bellwright {

const nlohmann::json& BellwrightSection(const nlohmann::json& document) {
  return Settings::SectionOrEmpty(document, "Bellwright");
}

std::string ChatSenderName(const nlohmann::json& document) {
  return Settings::ValueOr<std::string>(BellwrightSection(document), "ClientChatSenderName",
                                        kDefaultChatSenderName);
}

bool HideSuccessMessagesToNonAdmins(const nlohmann::json& document) {
  return Settings::ValueOr<bool>(BellwrightSection(document), "HideSuccessMessagesToNonAdmins",
                                 false);
}

std::string NoPermissionLine(const nlohmann::json& document) {
  return Settings::ValueOr<std::string>(document, "NoPermission", kDefaultNoPermissionLine);
}

std::string CooldownLine(const nlohmann::json& document) {
  return Settings::ValueOr<std::string>(document, "CooldownMessage", kDefaultCooldownLine);
}

}  // namespace Bellwright
