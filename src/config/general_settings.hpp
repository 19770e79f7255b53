#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "config/config.hpp"

// The plug-in's general settings. Every read is lenient: a value of the wrong type
// gives the default, so a broken setting never stops a reply or a refusal.
namespace Bellwright {

inline constexpr const char* kDefaultChatSenderName = "Bellwright";
inline constexpr const char* kDefaultNoPermissionLine =
    "You don't have permission to perform this command";
inline constexpr const char* kDefaultCooldownLine =
    "Please wait {Seconds} s before using {Command} again.";

// The "Bellwright" section, or an empty object when it is absent or not an object.
const nlohmann::json& BellwrightSection(const nlohmann::json& document = ConfigDocument());

// "Bellwright" -> "ClientChatSenderName": the sender of the plug-in's own chat lines.
std::string ChatSenderName(const nlohmann::json& document = ConfigDocument());

// "Bellwright" -> "HideSuccessMessagesToNonAdmins".
bool HideSuccessMessagesToNonAdmins(const nlohmann::json& document = ConfigDocument());

// "NoPermission": the refusal of a custom command the player may not use.
std::string NoPermissionLine(const nlohmann::json& document = ConfigDocument());

// "CooldownMessage": the refusal of a custom command still cooling down.
std::string CooldownLine(const nlohmann::json& document = ConfigDocument());

}  // namespace Bellwright
