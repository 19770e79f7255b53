#include "events.hpp"

#include <fmt/format.h>

#include <cmath>
#include <mutex>

#include "clock.hpp"

namespace Sandbox {

namespace {

std::mutex sink_mutex;
EventSink* current_sink = nullptr;

}  // namespace

EventSink::~EventSink() = default;

void SetEventSink(EventSink* sink) {
  const std::scoped_lock lock(sink_mutex);
  current_sink = sink;
}

Event FloatValue(float value) {
  if (!std::isfinite(value)) {
    return fmt::format("{}", value);
  }
  // The shortest decimal that reads back as this float also reads back as the
  // nearest double, so parsing it gives a JSON number that prints the same way.
  return Event::parse(fmt::format("{}", value));
}

void Emit(std::string_view name, const Event& fields) {
  Event event = {{"t", TheClock().ElapsedSeconds()}, {"event", name}};
  for (const auto& [key, value] : fields.items()) {
    event[key] = value;
  }
  const std::scoped_lock lock(sink_mutex);
  if (current_sink != nullptr) {
    current_sink->Write(event);
  }
}

void EmitHostError(std::string_view where, std::string_view what) {
  Emit("host_error", {{"where", where}, {"what", what}});
}

}  // namespace Sandbox
