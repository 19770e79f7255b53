#pragma once

#include <nlohmann/json.hpp>
#include <span>
#include <string_view>
#include <utility>

namespace Sandbox {

// One transcript event: `t` and `event` first, then the event's own fields.
using Event = nlohmann::ordered_json;

// Where the host's events go (the transcript writer).
class EventSink {
 public:
  EventSink() = default;
  EventSink(const EventSink&) = delete;
  EventSink& operator=(const EventSink&) = delete;
  virtual ~EventSink();
  virtual void Write(const Event& event) = 0;
};

// Installs the sink every event goes to; null drops events. Not owned.
void SetEventSink(EventSink* sink);

// A float exactly as the host received it: integral values as JSON integers, others
// as the float's shortest round-trip decimal (not the long double expansion).
// JSON has no infinities or NaN, so those become the strings "inf", "-inf", "nan".
Event FloatValue(float value);

// Writes an event stamped with the clock's `t`. `fields` is an object.
void Emit(std::string_view name, Event fields);

// The same for the busy events (every message to a player): the fields are moved in
// one by one rather than built as an object first.
using EventField = std::pair<std::string_view, Event>;
void EmitFields(std::string_view name, std::span<EventField> fields);

// Writes a host_error: an exception escaped from plug-in code at `where`.
void EmitHostError(std::string_view where, std::string_view what);

}  // namespace Sandbox
