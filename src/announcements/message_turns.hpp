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

// The index of the message chosen last, -1 before the first.
int LastChosenTimedMessage();

// The entry to `viewer` alone, its text first passed through `fill`, as a turn delivers
// it, whatever the viewer's groups and choice. False when it cannot be read or shown.
bool SendTimedEntryTo(const TimedMessageEntry& entry, AShooterPlayerController* viewer,
                      const TextFill& fill);

// The entry in words: how it is shown and to whom, then its text passed through `fill`,
// the players' placeholders unfilled. None when it cannot be read.
std::optional<std::vector<std::string>> DescribeTimedEntry(const TimedMessageEntry& entry,
                                                           const TextFill& fill);

}  // namespace Bellwright
