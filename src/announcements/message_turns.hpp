#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/message_list_settings.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"

// The turns of the announcements: a message drawn from a list, or a schedule's own
// message, sent to everyone or to the players its groups let through. A turn whose
// message cannot be read or sent ends silently; the next one comes as usual.
namespace Bellwright {

// Whether players who turned timed messages off (the opt-out command) get a message.
enum class OptedOutPlayers { kLeftOut, kIncluded };

// Fills fields of a message text of its own before the players' fields are filled.
using TextFill = std::function<FString(const FString&)>;

// One turn of a list (the timed messages, an announcement list), with the index of its
// own message chosen last.
void SendListTurn(const MessageList& list, int& last_index, OptedOutPlayers opted_out);

// One message sent now (a schedule's), its text first passed through `fill`. A message
// that cannot be read is not sent.
void SendEntry(const MessageEntry& entry, OptedOutPlayers opted_out, const TextFill& fill);

// The entry to `viewer` alone, its text first passed through `fill`, as a turn delivers
// it, whatever the viewer's groups and choice. False when it cannot be read or shown.
bool SendEntryTo(const MessageEntry& entry, AShooterPlayerController* viewer, const TextFill& fill);

// The entry in words: how it is shown and to whom, then its text passed through `fill`,
// the players' placeholders unfilled. None when it cannot be read.
std::optional<std::vector<std::string>> DescribeEntry(const MessageEntry& entry,
                                                      const TextFill& fill);

}  // namespace Bellwright
