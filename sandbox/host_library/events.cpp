#include "host_library/events.hpp"

#include <fmt/format.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "host_library/clock.hpp"

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
  if (value == std::trunc(value) && std::fabs(value) < 9.0e15F) {
    return static_cast<std::int64_t>(value);
  }
  // The shortest decimal that reads back as this float also reads back as the
  // nearest double, so that double prints as the same short decimal.
  const fmt::basic_memory_buffer<char, 32> shortest = [&] {
    fmt::basic_memory_buffer<char, 32> buffer;
    fmt::format_to(std::back_inserter(buffer), "{}", value);
    buffer.push_back('\0');
    return buffer;
  }();
  return std::strtod(shortest.data(), nullptr);
}

namespace {

Event Stamped(std::string_view name, std::size_t field_count) {
  Event event(Event::value_t::object);
  auto& members = event.get_ref<Event::object_t&>();
  members.reserve(field_count + 2);
  members.emplace_back("t", TheClock().ElapsedSeconds());
  members.emplace_back("event", name);
  return event;
}

void Write(const Event& event) {
  const std::scoped_lock lock(sink_mutex);
  if (current_sink != nullptr) {
    current_sink->Write(event);
  }
}

}  // namespace

void EmitFields(std::string_view name, std::span<EventField> fields) {
  Event event = Stamped(name, fields.size());
  auto& members = event.get_ref<Event::object_t&>();
  for (auto& [key, value] : fields) {
    members.emplace_back(key, std::move(value));
  }
  Write(event);
}

void Emit(std::string_view name, Event fields) {
  auto& given = fields.get_ref<Event::object_t&>();
  Event event = Stamped(name, given.size());
  auto& members = event.get_ref<Event::object_t&>();
  for (auto& [key, value] : given) {
    members.emplace_back(key, std::move(value));
  }
  Write(event);
}

void EmitHostError(std::string_view where, std::string_view what) {
  Emit("host_error", {{"where", where}, {"what", what}});
}

}  // namespace Sandbox
