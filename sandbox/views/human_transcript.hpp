#pragma once

#include <string>
#include <string_view>

#include "views/audience.hpp"
#include "host_library/events.hpp"
#include "views/terminal_theme.hpp"

namespace Sandbox {

struct HumanStyle {
  // ANSI 24-bit colour; without it, colours are written as "[R,G,B]" after the text.
  bool colour = false;
  Theme theme = Theme::kDark;
};

// One transcript event as a person reads it, in aligned columns: the time, whom it is
// for (player, admin, host, sandbox), who sees it or whom it concerns, the kind of
// event, and its text, ending in a line feed. Colours are those the game shows: chat
// text takes its RichColor colours, server messages and notifications their own;
// text too close to the terminal's background is drawn on a band. Control
// characters in texts are made visible, so no player can drive the terminal.
std::string FormatHumanEvent(const Event& event, const EventAudience& audience,
                             std::string_view time_text, const HumanStyle& style);

}  // namespace Sandbox
