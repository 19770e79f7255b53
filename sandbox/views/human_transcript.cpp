#include "views/human_transcript.hpp"

#include <fmt/format.h>

#include <optional>

#include "base/unicode.hpp"
#include "views/display_width.hpp"
#include "views/event_fields.hpp"
#include "views/rich_color_text.hpp"

namespace Sandbox {
namespace {

constexpr std::size_t kAudienceWidth = 7;
constexpr std::size_t kWhoWidth = 18;
constexpr std::size_t kKindWidth = 10;
constexpr std::string_view kReset = "\x1b[0m";
constexpr std::string_view kDim = "\x1b[2m";
constexpr std::string_view kBold = "\x1b[1m";
constexpr std::string_view kCyan = "\x1b[36m";
constexpr std::string_view kErrorColour = "\x1b[1;31m";

struct Row {
  std::string text;  // already styled
  std::string detail;
};

std::string_view AudienceStyle(Audience audience) {
  switch (audience) {
    case Audience::kPlayers:
      return kBold;
    case Audience::kAdministrator:
      return kCyan;
    case Audience::kHost:
      return kDim;
    case Audience::kSandbox:
      return kErrorColour;
  }
  return {};
}

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t shown = DisplayWidth(text);
  text.append(shown < width ? width - shown + 1 : 1, ' ');
  return text;
}

// "Alice (A1)" cut to the column: the name gives way first, so the id stays whole.
std::string FitWho(const std::string& who) {
  if (DisplayWidth(who) <= kWhoWidth) {
    return who;
  }
  const std::size_t open = who.rfind(" (");
  if (open != std::string::npos && who.back() == ')') {
    const std::string_view id_part = std::string_view(who).substr(open);
    const std::size_t id_width = DisplayWidth(id_part);
    if (id_width + 2 <= kWhoWidth) {
      return FitWidth(std::string_view(who).substr(0, open), kWhoWidth - id_width) +
             std::string(id_part);
    }
  }
  return FitWidth(who, kWhoWidth);
}

// Control characters in a text would drive the terminal; no player may.
std::string Visible(std::string_view line) {
  return Bellwright::Unicode::WithControlsEscaped(line, Bellwright::Unicode::ControlSpelling::kHex);
}

std::string_view WithoutTrailingLineFeeds(std::string_view text) {
  while (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
  }
  return text;
}

std::string Escape(const Rgb& colour, int layer) {
  return fmt::format("\x1b[{};2;{};{};{}m", layer, colour.red, colour.green, colour.blue);
}

// Styles texts for the last column. A line feed in a text continues on a new line
// indented to that column, with the style applied again, so the columns stay aligned.
class Styler {
 public:
  Styler(const HumanStyle& style, std::string continuation)
      : style_(style), continuation_(std::move(continuation)) {}

  [[nodiscard]] bool colour() const { return style_.colour; }

  std::string Plain(std::string_view text) const { return Styled(text, {}); }

  std::string Marked(std::string_view text, std::string_view style) const {
    return Styled(text, style_.colour ? std::string(style) : std::string());
  }

  // Text in the colour the game shows it in; without colour, the colour in words.
  std::string Coloured(std::string_view text, const std::optional<Rgb>& rgb) const {
    text = WithoutTrailingLineFeeds(text);
    if (!rgb) {
      return Plain(text);
    }
    if (!style_.colour) {
      return Plain(std::string(text) + " " + ColourWords(*rgb));
    }
    return Styled(text, Paint(*rgb));
  }

  std::string Chat(std::string_view text) const {
    text = WithoutTrailingLineFeeds(text);
    if (!style_.colour) {
      return Plain(PlainWords(text));
    }
    std::string out;
    for (const ColouredSpan& span : SplitRichColor(text)) {
      out += span.colour ? Styled(span.text, Paint(*span.colour)) : Plain(span.text);
    }
    return out;
  }

 private:
  std::string Paint(const Rgb& rgb) const {
    const TerminalPaint paint = PaintOnTerminal(rgb, style_.theme);
    return Escape(paint.text, 38) + (paint.band ? Escape(*paint.band, 48) : std::string());
  }

  std::string Styled(std::string_view text, const std::string& style) const {
    std::string out;
    while (true) {
      const std::size_t line_feed = text.find('\n');
      const std::string line = Visible(text.substr(0, line_feed));
      out += style.empty() || line.empty() ? line : style + line + std::string(kReset);
      if (line_feed == std::string_view::npos) {
        return out;
      }
      out += '\n' + continuation_;
      text.remove_prefix(line_feed + 1);
    }
  }

  const HumanStyle& style_;
  std::string continuation_;
};

Row Describe(const Event& event, const EventAudience& audience, const Styler& style) {
  const std::string name = TextField(event, "event");
  if (name == "server_message") {
    return {style.Coloured(TextField(event, "text"), ShownColourField(event)), {}};
  }
  if (name == "chat_message") {
    const std::string sender = TextField(event, "sender");
    return {
        (sender.empty() ? "" : style.Plain(sender) + ": ") + style.Chat(TextField(event, "text")),
        {}};
  }
  if (name == "notification") {
    const std::string icon = TextField(event, "icon");
    return {style.Coloured(TextField(event, "text"), ShownColourField(event)),
            fmt::format("scale {}, {} s{}", TextField(event, "scale"), TextField(event, "time"),
                        icon.empty() ? "" : ", icon " + icon)};
  }
  if (name == "player_chat") {
    const std::string speaker = audience.speaker ? PlayerLabel(*audience.speaker) : "";
    return {style.Plain(speaker) + ": " + style.Chat(TextField(event, "text")),
            "mode " + TextField(event, "mode")};
  }
  if (name == "chat_dropped") {
    return {style.Plain(TextField(event, "text")), "spam rule: under a second since the last"};
  }
  if (name == "host_error" || name == "sandbox_error") {
    return {style.Marked(RecordText(event), kErrorColour), {}};
  }
  if (audience.audience == Audience::kHost) {
    return {style.Marked(RecordText(event), kDim), {}};
  }
  return {style.Plain(RecordText(event)), {}};
}

std::string Column(const Styler& style, std::string_view text, std::string_view marking,
                   std::size_t width) {
  std::string padded = PadRight(std::string(text), width);
  if (!style.colour() || marking.empty()) {
    return padded;
  }
  const std::size_t end = padded.find_last_not_of(' ') + 1;
  return std::string(marking) + padded.substr(0, end) + std::string(kReset) + padded.substr(end);
}

}  // namespace

std::string FormatHumanEvent(const Event& event, const EventAudience& audience,
                             std::string_view time_text, const HumanStyle& human_style) {
  const std::string time_column = PadRight(std::string(time_text), DisplayWidth(time_text));
  const std::string indent(
      DisplayWidth(time_column) + kAudienceWidth + 1 + kWhoWidth + 1 + kKindWidth + 1, ' ');
  const Styler style(human_style, indent);
  const Row row = Describe(event, audience, style);
  const bool host = audience.audience == Audience::kHost;
  std::string line = time_column +
                     Column(style, AudienceName(audience.audience),
                            AudienceStyle(audience.audience), kAudienceWidth) +
                     Column(style, FitWho(Visible(audience.who)), host ? kDim : "", kWhoWidth) +
                     Column(style, audience.kind, host ? kDim : "", kKindWidth) + row.text;
  if (!row.detail.empty()) {
    const std::string detail = "  (" + style.Plain(row.detail) + ")";
    line += human_style.colour ? std::string(kDim) + detail + std::string(kReset) : detail;
  }
  return line + '\n';
}

}  // namespace Sandbox
