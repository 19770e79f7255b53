#include "transcript.hpp"

#include <fmt/format.h>

namespace Sandbox {

namespace {

// Texts from the plug-in may hold bytes that are not UTF-8; the transcript shows
// them as U+FFFD instead of failing.
std::string Dump(const Event& value) {
  return value.dump(-1, ' ', false, Event::error_handler_t::replace);
}

std::string Text(const Event& event, const char* key) {
  const auto found = event.find(key);
  if (found == event.end()) {
    return {};
  }
  return found->is_string() ? found->get<std::string>() : Dump(*found);
}

std::string Names(const Event& list) {
  std::string joined;
  for (const auto& name : list) {
    joined += (joined.empty() ? "" : ", ") + (name.is_string() ? name.get<std::string>() : "");
  }
  return joined.empty() ? "-" : joined;
}

std::string Who(const Event& event, const std::string& kind) {
  if (kind == "player_chat" || kind == "chat_dropped") {
    return Text(event, "from");
  }
  if (kind == "permission_query") {
    return Text(event, "id");
  }
  if (kind == "rcon_reply") {
    return "rcon #" + Text(event, "id");
  }
  if (kind == "unknown_command") {
    return Text(event, "via");
  }
  return event.contains("to") ? Text(event, "to") : "-";
}

std::string What(const Event& event, const std::string& kind) {
  if (kind == "server_message") {
    return Text(event, "text") + "  " + Text(event, "color");
  }
  if (kind == "chat_message") {
    return Text(event, "sender") + ": " + Text(event, "text");
  }
  if (kind == "notification") {
    return fmt::format("{}  {} scale {} for {}s icon {}", Text(event, "text"), Text(event, "color"),
                       Text(event, "scale"), Text(event, "time"), Text(event, "icon"));
  }
  if (kind == "player_chat") {
    return Text(event, "text") + "  (mode " + Text(event, "mode") + ")";
  }
  if (kind == "permission_query") {
    return Text(event, "group") + " -> " + Text(event, "result");
  }
  if (kind == "registry") {
    return fmt::format("console: {} | rcon: {} | chat: {} | hooks: {}", Names(event["console"]),
                       Names(event["rcon"]), Names(event["chat"]), Names(event["hooks"]));
  }
  if (kind == "log") {
    return Text(event, "line");
  }
  if (kind == "host_error") {
    return Text(event, "where") + ": " + Text(event, "what");
  }
  if (kind == "sandbox_error") {
    return "line " + Text(event, "line") + ": " + Text(event, "text");
  }
  return Text(event, "text");
}

class JsonlTranscript final : public EventSink {
 public:
  explicit JsonlTranscript(std::ostream& out) : out_(out) {}
  void Write(const Event& event) override { out_ << Dump(event) << '\n' << std::flush; }

 private:
  std::ostream& out_;
};

class HumanTranscript final : public EventSink {
 public:
  explicit HumanTranscript(std::ostream& out) : out_(out) {}
  void Write(const Event& event) override { out_ << HumanLine(event) << '\n' << std::flush; }

 private:
  std::ostream& out_;
};

}  // namespace

std::optional<TranscriptFormat> ParseTranscriptFormat(std::string_view name) {
  if (name == "jsonl") {
    return TranscriptFormat::kJsonl;
  }
  if (name == "human") {
    return TranscriptFormat::kHuman;
  }
  return std::nullopt;
}

std::unique_ptr<EventSink> MakeTranscript(TranscriptFormat format, std::ostream& out) {
  if (format == TranscriptFormat::kHuman) {
    return std::make_unique<HumanTranscript>(out);
  }
  return std::make_unique<JsonlTranscript>(out);
}

std::string HumanLine(const Event& event) {
  const auto seconds = event.value("t", std::int64_t{0});
  const std::string kind = Text(event, "event");
  return fmt::format("{:02}:{:02}:{:02}  {:<14} {:<16} {}", seconds / 3600, seconds / 60 % 60,
                     seconds % 60, Who(event, kind), kind, What(event, kind));
}

}  // namespace Sandbox
