#include "human_transcript.hpp"

#include <fmt/format.h>
#include <utf8.h>

#include <optional>

#include "rich_color_text.hpp"

namespace Sandbox {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::size_t kWhoWidth = 12;
constexpr std::size_t kKindWidth = 10;
constexpr std::string_view kReset = "\x1b[0m";
constexpr std::string_view kDim = "\x1b[2m";
constexpr std::string_view kErrorColour = "\x1b[1;31m";

struct Row {
  std::string who;
  std::string kind;
  std::string text;  // already styled
  std::string detail;
};

// Plug-in texts may hold bytes that are not UTF-8; they show as U+FFFD, never throw.
std::string Dump(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string Field(const Json& event, const char* name) {
  const auto found = event.find(name);
  if (found == event.end() || found->is_null()) {
    return {};
  }
  return found->is_string() ? found->get<std::string>() : Dump(*found);
}

// A list of names as "a, b, c", or "-" when empty.
std::string Names(const Json& event, const char* name) {
  const auto found = event.find(name);
  if (found == event.end() || !found->is_array()) {
    return Field(event, name);
  }
  std::string joined;
  for (const Json& item : *found) {
    joined +=
        (joined.empty() ? "" : ", ") + (item.is_string() ? item.get<std::string>() : Dump(item));
  }
  return joined.empty() ? "-" : joined;
}

std::size_t DisplayWidth(std::string_view text) {
  if (!utf8::is_valid(text.begin(), text.end())) {
    return text.size();
  }
  return static_cast<std::size_t>(utf8::distance(text.begin(), text.end()));
}

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t shown = DisplayWidth(text);
  text.append(shown < width ? width - shown + 1 : 1, ' ');
  return text;
}

// Escapes in a text would drive the terminal; shown as \xHH instead.
std::string Visible(std::string_view line) {
  std::string out;
  for (const char character : line) {
    const auto byte = static_cast<unsigned char>(character);
    if (byte < 0x20 || byte == 0x7F) {
      out += fmt::format("\\x{:02x}", byte);
    } else {
      out += character;
    }
  }
  return out;
}

std::string Foreground(const Rgb& rgb) {
  return fmt::format("\x1b[38;2;{};{};{}m", rgb.red, rgb.green, rgb.blue);
}

// Near-black text would vanish on the usual dark terminal; give it a light ground.
std::string Paint(const Rgb& rgb) {
  const double luminance = 0.2126 * rgb.red + 0.7152 * rgb.green + 0.0722 * rgb.blue;
  return luminance < 40 ? Foreground(rgb) + "\x1b[48;2;200;200;200m" : Foreground(rgb);
}

std::optional<Rgb> ColourField(const Json& event) {
  const auto found = event.find("color");
  if (found == event.end() || !found->is_array() || found->size() < 3) {
    return std::nullopt;
  }
  for (std::size_t index = 0; index < 3; ++index) {
    if (!(*found)[index].is_number()) {
      return std::nullopt;
    }
  }
  return RgbFromLinear((*found)[0].get<double>(), (*found)[1].get<double>(),
                       (*found)[2].get<double>());
}

// Styles texts for the last column. A line feed in a text continues on a new line
// indented to that column, with the style applied again, so the columns stay aligned.
class Styler {
 public:
  Styler(bool colour, std::string continuation)
      : colour_(colour), continuation_(std::move(continuation)) {}

  std::string Plain(std::string_view text) const { return Styled(text, {}); }

  std::string Coloured(std::string_view text, const std::optional<Rgb>& rgb) const {
    return Styled(text, colour_ && rgb ? Paint(*rgb) : std::string());
  }

  std::string Chat(std::string_view text) const {
    if (!colour_) {
      return Plain(text);
    }
    std::string out;
    for (const ColouredSpan& span : SplitRichColor(text)) {
      out += Coloured(span.text, span.colour);
    }
    return out;
  }

  std::string Marked(std::string_view text, std::string_view style) const {
    return Styled(text, colour_ ? std::string(style) : std::string());
  }

 private:
  std::string Styled(std::string_view text, const std::string& style) const {
    std::string out;
    while (true) {
      const std::size_t line_feed = text.find('\n');
      const std::string line = Visible(text.substr(0, line_feed));
      out += style.empty() ? line : style + line + std::string(kReset);
      if (line_feed == std::string_view::npos) {
        return out;
      }
      out += '\n' + continuation_;
      text.remove_prefix(line_feed + 1);
    }
  }

  bool colour_;
  std::string continuation_;
};

Row Describe(const Json& event, const Styler& style) {
  const std::string name = Field(event, "event");
  if (name == "server_message") {
    return {
        Field(event, "to"), "server", style.Coloured(Field(event, "text"), ColourField(event)), {}};
  }
  if (name == "chat_message") {
    const std::string sender = Field(event, "sender");
    return {Field(event, "to"),
            "chat",
            (sender.empty() ? "" : style.Plain(sender) + ": ") + style.Chat(Field(event, "text")),
            {}};
  }
  if (name == "notification") {
    const std::string icon = Field(event, "icon");
    return {Field(event, "to"), "notify", style.Coloured(Field(event, "text"), ColourField(event)),
            fmt::format("scale {}, {} s{}", Field(event, "scale"), Field(event, "time"),
                        icon.empty() ? "" : ", icon " + icon)};
  }
  if (name == "player_chat") {
    return {Field(event, "from"), "says", style.Chat(Field(event, "text")),
            "mode " + Field(event, "mode")};
  }
  if (name == "chat_dropped") {
    return {Field(event, "from"), "dropped", style.Plain(Field(event, "text")), "spam rule"};
  }
  if (name == "rcon_reply") {
    return {"rcon #" + Field(event, "id"), "reply", style.Plain(Field(event, "text")), {}};
  }
  if (name == "permission_query") {
    return {Field(event, "id"),
            "permission",
            style.Plain(Field(event, "group") + (event.value("result", false) ? ": yes" : ": no")),
            {}};
  }
  if (name == "registry") {
    return {"-",
            "registry",
            style.Plain(fmt::format("console: {} | rcon: {} | chat: {} | hooks: {}",
                                    Names(event, "console"), Names(event, "rcon"),
                                    Names(event, "chat"), Names(event, "hooks"))),
            {}};
  }
  if (name == "log") {
    return {"-", "log", style.Plain(Field(event, "line")), {}};
  }
  if (name == "unknown_command") {
    return {Field(event, "via"), "unknown", style.Plain(Field(event, "text")), {}};
  }
  if (name == "host_error") {
    return {"-",
            "host error",
            style.Marked(Field(event, "where") + ": " + Field(event, "what"), kErrorColour),
            {}};
  }
  if (name == "sandbox_error") {
    return {"line " + Field(event, "line"),
            "error",
            style.Marked(Field(event, "text"), kErrorColour),
            {}};
  }
  Json rest = event;
  rest.erase("t");
  rest.erase("event");
  return {"-", name, style.Plain(Dump(rest)), {}};
}

}  // namespace

std::string FormatHumanEvent(const Json& event, std::string_view time_text, bool colour) {
  const std::string time_column = PadRight(std::string(time_text), time_text.size());
  const std::string indent(DisplayWidth(time_column) + kWhoWidth + 1 + kKindWidth + 1, ' ');
  const Styler style(colour, indent);
  const Row row = Describe(event, style);
  std::string line = time_column + PadRight(style.Plain(row.who), kWhoWidth) +
                     PadRight(row.kind, kKindWidth) + row.text;
  if (!row.detail.empty()) {
    const std::string detail = "  (" + style.Plain(row.detail) + ")";
    line += colour ? std::string(kDim) + detail + std::string(kReset) : detail;
  }
  return line + '\n';
}

}  // namespace Sandbox
