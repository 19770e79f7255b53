#pragma once

#include <optional>
#include <string>

#include "host_library/events.hpp"
#include "views/screen_colour.hpp"

namespace Sandbox {

// A field of an event as text: strings as they are, other values as JSON, nothing
// for a missing field or null. Bytes that are not UTF-8 become U+FFFD.
std::string TextField(const Event& event, const char* name);

// A list of names as "a, b, c", or "-" when empty.
std::string NamesField(const Event& event, const char* name);

// The event's `color` (linear, as the host received it) as the game shows it.
std::optional<Rgb> ShownColourField(const Event& event);

// What a record of the host, a reply or an error says, as plain text: "Supporters:
// yes" for a permission query, the registered names for a registry, a log line
// without the time it begins with. Texts of messages to players come as they are.
std::string RecordText(const Event& event);

}  // namespace Sandbox
