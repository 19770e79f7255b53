#include "plugin/status.hpp"

#include <fmt/format.h>

#include "announcements/announcements.hpp"
#include "base/platform_text.hpp"
#include "config/config.hpp"
#include "config_checks/finding_summary.hpp"
#include "countdown/countdown.hpp"
#include "custom_commands/custom_commands.hpp"
#include "opt_out/cluster_link.hpp"
#include "opt_out/player_opt_out.hpp"
#include "welcome/welcome.hpp"

namespace Bellwright {
namespace {

std::string ConfigStatusLine() {
  return fmt::format("config: {}, {} at the last load or reload",
                     Platform::Utf8FromPath(ConfigFilePath()),
                     ConfigCheck::CountsText(ConfigCheck::CountFindings(LiveFindings())));
}

}  // namespace

std::vector<std::string> StatusLines() {
  std::vector<std::string> lines{fmt::format("version {}", BELLWRIGHT_VERSION), ConfigStatusLine(),
                                 PlayersStatusLine(), WelcomeStatusLine()};
  for (std::string& line : AnnouncementStatusLines()) {
    lines.push_back(std::move(line));
  }
  lines.push_back(CountdownStatusLine());
  lines.push_back(CustomCommandStatusLine());
  lines.push_back(StorageStatusLine());
  // A server on its own shows what it always has.
  if (std::string cluster = ClusterStatusLine(); !cluster.empty()) {
    lines.push_back(std::move(cluster));
  }
  return lines;
}

}  // namespace Bellwright
