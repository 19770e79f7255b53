#pragma once

#include "config/announcement_settings.hpp"
#include "config/countdown_settings.hpp"
#include "config/custom_command_settings.hpp"
#include "config/general_settings.hpp"
#include "config/storage_settings.hpp"
#include "config/welcome_settings.hpp"

namespace Bellwright {

// Everything the plug-in takes from a configuration file, section by section, each
// with its defaults. A file is read whole when it comes into use, so no owner reads the
// document itself.
struct ConfigSettings {
  GeneralSettings general;
  WelcomeSettings welcome;
  StorageSetting storage;
  CustomCommandSettings custom_commands;
  AnnouncementSettings announcements;
  CountdownSettings countdown;

  friend bool operator==(const ConfigSettings&, const ConfigSettings&) = default;
};

}  // namespace Bellwright
