#include "views/html_page.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "views/event_fields.hpp"
#include "views/rich_color_text.hpp"
#include "views/screen_colour.hpp"

namespace Sandbox {
namespace {

// What the game draws chat and notifications over, for judging legibility.
constexpr Rgb kGameBackdrop{28, 36, 44};
// Below this contrast ratio a text is hard to read at a glance on the game's screen.
constexpr double kLegibleOnScreen = 2.0;

constexpr std::string_view kStyle = R"(
:root { color-scheme: dark; }
* { box-sizing: border-box; }
body { margin: 0; background: #101316; color: #d8dee4;
  font: 14px/1.45 "DejaVu Sans", "Liberation Sans", Arial, sans-serif; }
header { padding: 18px 22px 6px; }
h1 { font-size: 20px; margin: 0 0 4px; font-weight: 600; }
header p { margin: 0 0 4px; color: #8b96a1; max-width: 70em; }
.timeline { display: grid; gap: 8px 12px; padding: 10px 22px 28px; align-items: start; }
.head { position: sticky; top: 0; z-index: 1; background: #101316; padding: 6px 0;
  font-weight: 600; border-bottom: 1px solid #2c343c; }
.head .id { color: #8b96a1; font-weight: 400; }
.time { font: 13px/1.45 "DejaVu Sans Mono", "Liberation Mono", monospace; color: #8b96a1;
  padding-top: 9px; }
.screen { min-height: 90px; border-radius: 8px; padding: 10px 12px; overflow: hidden;
  display: flex; flex-direction: column; gap: 8px; border: 1px solid #3a4652;
  background: linear-gradient(180deg, #4a6175 0%, #2d3d49 55%, #1d2820 100%); }
.server-messages { text-align: center; }
.message { margin: 0; white-space: pre-wrap; overflow-wrap: anywhere; }
.message.server { font-weight: 700; font-size: 15px; text-shadow: 0 1px 2px #000c; }
.notifications { display: flex; flex-direction: column; align-items: center; gap: 6px; }
.message.notification { display: flex; gap: 0.7em; align-items: center; max-width: 100%;
  padding: 0.5em 0.8em; background: #0a0e12b8; border: 1px solid #ffffff30; border-radius: 6px; }
.notification .icon { flex: none; width: 2.4em; height: 2.4em; border-radius: 4px;
  border: 1px dashed #ffffff80; display: grid; place-items: center; font-size: 0.7em;
  color: #c9d1d9; }
.notification .text { font-weight: 700; text-shadow: 0 1px 2px #000c; }
.notification .meta { display: block; font-size: 11px; color: #aab4be; font-weight: 400;
  text-shadow: none; }
.chat-box { margin-top: auto; align-self: flex-start; max-width: 100%; border-radius: 4px;
  padding: 6px 8px; background: #080a0c8c; }
.message.chat { font-size: 13px; text-shadow: 0 1px 1px #000e; }
.message.chat .sender { color: #f0f3f6; font-weight: 600; }
.side { font-size: 12.5px; display: flex; flex-direction: column; gap: 3px; padding-top: 6px; }
.entry { margin: 0; padding: 2px 8px; border-left: 3px solid #3a4652; white-space: pre-wrap;
  overflow-wrap: anywhere; }
.entry.admin { border-color: #3fb0c8; }
.entry.host { color: #8b96a1; }
.entry.sandbox { border-color: #e5534b; color: #ffb4ae; }
.entry .who, .entry .kind { font-weight: 600; margin-right: 0.5em; }
.hard-to-read { font-size: 10px; font-weight: 600; background: #ffd33d; color: #111;
  border-radius: 3px; padding: 0 4px; margin-left: 6px; text-shadow: none; }
)";

struct Fragment {
  std::string html;
  bool hard_to_read = false;
};

std::string CssColour(const Rgb& colour) {
  return fmt::format("rgb({}, {}, {})", colour.red, colour.green, colour.blue);
}

Fragment ColouredText(std::string_view text, const std::optional<Rgb>& colour) {
  if (!colour) {
    return {"<span>" + EscapeHtml(text) + "</span>", false};
  }
  return {fmt::format(R"(<span class="coloured" style="color: {}">{}</span>)", CssColour(*colour),
                      EscapeHtml(text)),
          ContrastRatio(*colour, kGameBackdrop) < kLegibleOnScreen};
}

std::string_view WithoutTrailingLineFeeds(std::string_view text) {
  while (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
  }
  return text;
}

Fragment RichText(std::string_view text) {
  Fragment fragment;
  for (const ColouredSpan& span : SplitRichColor(WithoutTrailingLineFeeds(text))) {
    const Fragment piece = ColouredText(span.text, span.colour);
    fragment.html += piece.html;
    fragment.hard_to_read = fragment.hard_to_read || piece.hard_to_read;
  }
  return fragment;
}

std::string Warning(const Fragment& fragment) {
  return fragment.hard_to_read
             ? R"(<span class="hard-to-read" title="This colour is hard to read on the game's )"
               R"(screen">hard to read</span>)"
             : "";
}

std::string ServerMessage(const Event& event) {
  const Fragment text =
      ColouredText(WithoutTrailingLineFeeds(TextField(event, "text")), ShownColourField(event));
  return R"(<p class="message server" data-kind="server">)" + text.html + Warning(text) + "</p>";
}

std::string ChatLine(const Event& event, std::string_view kind, const std::string& sender) {
  const Fragment text = RichText(TextField(event, "text"));
  const std::string from =
      sender.empty() ? "" : R"(<span class="sender">)" + EscapeHtml(sender) + "</span>: ";
  return fmt::format(R"(<p class="message chat" data-kind="{}">{}{}{}</p>)", kind, from, text.html,
                     Warning(text));
}

std::string Notification(const Event& event) {
  const Fragment text =
      ColouredText(WithoutTrailingLineFeeds(TextField(event, "text")), ShownColourField(event));
  const std::string icon = TextField(event, "icon");
  const auto scale = event.find("scale");
  // The scale changes the size; kept within reason so a wild value stays on the page.
  const double size = scale != event.end() && scale->is_number()
                          ? std::clamp(scale->get<double>(), 0.25, 4.0)
                          : 1.0;
  const std::string meta =
      fmt::format("scale {} · {} s · {}", TextField(event, "scale"), TextField(event, "time"),
                  icon.empty() ? "no icon" : "icon " + icon);
  const std::string icon_box =
      icon.empty() ? "" : R"(<span class="icon" title=")" + EscapeHtml(icon) + R"(">icon</span>)";
  return fmt::format(
      R"(<div class="message notification" data-kind="notification" style="font-size: {}%">)"
      R"({}<span class="body"><span class="text">{}</span>{}<span class="meta">{}</span></span>)"
      "</div>",
      std::lround(size * 100), icon_box, text.html, Warning(text), EscapeHtml(meta));
}

std::string SideEntry(const Event& event, const EventAudience& audience) {
  const bool coloured_reply = TextField(event, "event") == "server_message";
  const std::string text =
      coloured_reply ? ColouredText(TextField(event, "text"), ShownColourField(event)).html
                     : EscapeHtml(RecordText(event));
  return fmt::format(R"(<p class="entry {}" data-kind="{}"><span class="who">{}</span>)"
                     R"(<span class="kind">{}</span>{}</p>)",
                     AudienceName(audience.audience), EscapeHtml(audience.kind),
                     EscapeHtml(audience.who), EscapeHtml(audience.kind), text);
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char character : text) {
    switch (character) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default: {
        const auto byte = static_cast<unsigned char>(character);
        if ((byte < 0x20 && character != '\n') || byte == 0x7F) {
          out += fmt::format("\\x{:02x}", byte);
        } else {
          out += character;
        }
      }
    }
  }
  return out;
}

HtmlPage::HtmlPage(HtmlPageOptions options) : options_(options) {}

HtmlPage::Moment& HtmlPage::MomentAt(const std::string& time_label) {
  if (moments_.empty() || moments_.back().time != time_label) {
    moments_.push_back({time_label, {}, {}});
    if (options_.moment_limit != 0 && moments_.size() > options_.moment_limit) {
      moments_.pop_front();
      ++dropped_moments_;
    }
  }
  return moments_.back();
}

void HtmlPage::NotePlayer(const Player& player) {
  const auto known = std::find_if(players_.begin(), players_.end(),
                                  [&](const Player& column) { return column.id == player.id; });
  if (known == players_.end()) {
    players_.push_back(player);
  } else if (known->name.empty()) {
    known->name = player.name;
  }
}

void HtmlPage::Add(const Event& event, const EventAudience& audience,
                   const std::string& time_label) {
  Moment& moment = MomentAt(time_label);
  if (audience.audience != Audience::kPlayers) {
    moment.side.push_back(SideEntry(event, audience));
    return;
  }
  const std::string name = TextField(event, "event");
  for (const Player& player : audience.screens) {
    NotePlayer(player);
    Screen& screen = moment.screens[player.id];
    if (name == "server_message") {
      screen.server_messages.push_back(ServerMessage(event));
    } else if (name == "notification") {
      screen.notifications.push_back(Notification(event));
    } else if (name == "chat_message") {
      screen.chat.push_back(ChatLine(event, "chat", TextField(event, "sender")));
    } else {
      // A public chat line: the game names the speaker by the character's name.
      const Player speaker = audience.speaker.value_or(Player{});
      screen.chat.push_back(
          ChatLine(event, "public", speaker.name.empty() ? speaker.id : speaker.name));
    }
  }
}

void HtmlPage::RenderMoment(std::string& page, const Moment& moment) const {
  page += R"(<div class="time">)" + EscapeHtml(moment.time) + "</div>\n";
  for (const Player& player : players_) {
    const auto found = moment.screens.find(player.id);
    if (found == moment.screens.end()) {
      page += "<div></div>\n";
      continue;
    }
    const Screen& screen = found->second;
    page += R"(<section class="screen" data-player=")" + EscapeHtml(player.id) + R"(">)";
    const auto region = [&](const char* css_class, const std::vector<std::string>& items) {
      if (items.empty()) {
        return;
      }
      page += fmt::format(R"(<div class="{}">)", css_class);
      for (const std::string& item : items) {
        page += item;
      }
      page += "</div>";
    };
    region("server-messages", screen.server_messages);
    region("notifications", screen.notifications);
    region("chat-box", screen.chat);
    page += "</section>\n";
  }
  page += R"(<aside class="side">)";
  for (const std::string& entry : moment.side) {
    page += entry;
  }
  page += "</aside>\n";
}

std::string HtmlPage::Render() const {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width\">\n";
  if (options_.refresh_seconds > 0) {
    page += fmt::format("<meta http-equiv=\"refresh\" content=\"{}\">\n", options_.refresh_seconds);
  }
  page += "<title>Bellwright: what players see</title>\n<style>";
  page += kStyle;
  page +=
      "</style>\n</head>\n<body>\n<header>\n<h1>What players see</h1>\n"
      "<p>One column for each player's screen, one row for each moment: server messages at the "
      "top, notifications as boxes with their scale, display time and icon, chat lines at the "
      "bottom, in the colours the game shows. Replies to administrators and what the host "
      "records are in the last column.</p>\n";
  if (options_.refresh_seconds > 0) {
    page += "<p>The server is running: this page is rewritten as things happen.</p>\n";
  }
  if (dropped_moments_ > 0) {
    page += fmt::format("<p>{} earlier moments are no longer shown.</p>\n", dropped_moments_);
  }
  page += "</header>\n";
  page += fmt::format(
      "<main class=\"timeline\" style=\"grid-template-columns: 5.5em{} minmax(18em, 0.8fr)\">\n",
      players_.empty() ? "" : fmt::format(" repeat({}, minmax(20em, 1fr))", players_.size()));
  page += R"(<div class="head">time</div>)";
  for (const Player& player : players_) {
    page += R"(<div class="head">)" + (player.name.empty() ? "" : EscapeHtml(player.name) + " ") +
            R"(<span class="id">()" + EscapeHtml(player.id) + ")</span></div>";
  }
  page += R"(<div class="head">administrators and host</div>)"
          "\n";
  for (const Moment& moment : moments_) {
    RenderMoment(page, moment);
  }
  page += "</main>\n</body>\n</html>\n";
  return page;
}

}  // namespace Sandbox
