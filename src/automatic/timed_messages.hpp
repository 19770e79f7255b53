#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/fstring.hpp"
#include "host/game.hpp"

namespace Bellwright {

class TimedMessagesSection;
class TimedMessageEntry;

// Whether players who turned timed messages off (the opt-out command) get a message.
enum class OptedOutPlayers { kLeftOut, kIncluded };

// Fills fields of a message text of its own before the players' fields are filled.
using TextFill = std::function<FString(const FString&)>;

// One turn of the timed messages: draws a message from the configured list and
// sends it to everyone, or to the players its permission groups let through. A
// turn whose message cannot be read or sent ends silently; the next one comes as
// usual.
void SendTimedMessage();

// One turn of a list that reads as the timed messages do (an announcement list), with
// the index of its own message chosen last.
void SendTimedTurn(const TimedMessagesSection& list, int& last_index, OptedOutPlayers opted_out);

// One message entry sent now (a schedule's), its text first passed through `fill`. A
// message that cannot be read is not sent.
void SendTimedEntry(const TimedMessageEntry& entry, OptedOutPlayers opted_out,
                    const TextFill& fill);

// The next turn chooses as if none had come before.
void ForgetLastTimedMessage();

// The entry, from 0, that comes after the one chosen last among `count`: the next turn's
// in sequential order. Asking does not advance the order.
int UpcomingTimedMessageIndex(int count);

// Entry `index` to `viewer` alone, as a turn delivers it, whatever the viewer's groups
// and choice. False when it cannot be read or shown.
bool SendTimedMessageTo(int index, AShooterPlayerController* viewer);

// Entry `index` in words: how it is shown and to whom, then its text as configured,
// placeholders unfilled. None when it cannot be read.
std::optional<std::vector<std::string>> DescribeTimedMessage(int index);

}  // namespace Bellwright
