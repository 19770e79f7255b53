#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "views/audience.hpp"
#include "host_library/events.hpp"

namespace Sandbox {

struct HtmlPageOptions {
  // A browser showing the page reloads it this often; 0: never (a finished run).
  int refresh_seconds = 0;
  // Only the most recent moments are kept; 0 keeps them all.
  std::size_t moment_limit = 0;
};

// One self-contained HTML page (no network, no script) of what each player sees over
// time: a column per player with a screen for each moment something reached them
// (server messages at the top, notifications as boxes with their scale, time and
// icon, chat lines at the bottom, all in the colours the game shows), and a side
// column with the replies to administrators and what the host records.
class HtmlPage {
 public:
  explicit HtmlPage(HtmlPageOptions options = {});

  // Events with the same time label form one moment, one row of the page.
  void Add(const Event& event, const EventAudience& audience, const std::string& time_label);
  [[nodiscard]] std::string Render() const;

 private:
  struct Screen {
    std::vector<std::string> server_messages;
    std::vector<std::string> notifications;
    std::vector<std::string> chat;
  };
  struct Moment {
    std::string time;
    std::map<std::string, Screen> screens;  // by player id
    std::vector<std::string> side;
  };

  Moment& MomentAt(const std::string& time_label);
  void NotePlayer(const Player& player);
  void RenderMoment(std::string& page, const Moment& moment) const;

  HtmlPageOptions options_;
  std::vector<Player> players_;  // in order of first appearance
  std::deque<Moment> moments_;
  std::size_t dropped_moments_ = 0;
};

// Text made safe for HTML: markup characters escaped, control characters other than
// the line feed shown as \xHH.
std::string EscapeHtml(std::string_view text);

}  // namespace Sandbox
