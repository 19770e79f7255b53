#include "views/rich_color_text.hpp"

#include <fmt/format.h>

#include <charconv>

namespace Sandbox {
namespace {

constexpr std::string_view kOpening = "<RichColor Color=\"";
constexpr std::string_view kOpeningEnd = "\">";
constexpr std::string_view kClosing = "</>";

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  return text;
}

// "R, G, B, A" or "R, G, B"; alpha does not show in a terminal.
std::optional<Rgb> ParseColourAttribute(std::string_view attribute) {
  double components[4] = {0, 0, 0, 1};
  std::size_t count = 0;
  while (true) {
    if (count == 4) {
      return std::nullopt;
    }
    const std::size_t comma = attribute.find(',');
    const std::string_view field = Trim(attribute.substr(0, comma));
    const auto [end, error] =
        std::from_chars(field.data(), field.data() + field.size(), components[count]);
    if (error != std::errc{} || end != field.data() + field.size()) {
      return std::nullopt;
    }
    ++count;
    if (comma == std::string_view::npos) {
      break;
    }
    attribute.remove_prefix(comma + 1);
  }
  if (count < 3) {
    return std::nullopt;
  }
  return ShownColour(components[0], components[1], components[2]);
}

void AppendPlain(std::vector<ColouredSpan>& spans, std::string_view text) {
  if (text.empty()) {
    return;
  }
  if (!spans.empty() && !spans.back().colour) {
    spans.back().text += text;
  } else {
    spans.push_back({std::string(text), std::nullopt});
  }
}

}  // namespace

std::vector<ColouredSpan> SplitRichColor(std::string_view text) {
  std::vector<ColouredSpan> spans;
  while (!text.empty()) {
    const std::size_t tag = text.find(kOpening);
    if (tag == std::string_view::npos) {
      break;
    }
    const std::size_t attribute_start = tag + kOpening.size();
    const std::size_t attribute_end = text.find(kOpeningEnd, attribute_start);
    const std::optional<Rgb> colour =
        attribute_end == std::string_view::npos
            ? std::nullopt
            : ParseColourAttribute(text.substr(attribute_start, attribute_end - attribute_start));
    if (!colour) {
      AppendPlain(spans, text.substr(0, attribute_start));
      text.remove_prefix(attribute_start);
      continue;
    }
    AppendPlain(spans, text.substr(0, tag));
    const std::size_t content_start = attribute_end + kOpeningEnd.size();
    const std::size_t closing = text.find(kClosing, content_start);
    const std::size_t content_end = closing == std::string_view::npos ? text.size() : closing;
    spans.push_back({std::string(text.substr(content_start, content_end - content_start)), colour});
    text.remove_prefix(closing == std::string_view::npos ? text.size() : closing + kClosing.size());
  }
  AppendPlain(spans, text);
  return spans;
}

std::string PlainWords(std::string_view text) {
  std::string words;
  for (const ColouredSpan& span : SplitRichColor(text)) {
    words += span.text;
    if (span.colour && !span.text.empty()) {
      words += ' ' + ColourWords(*span.colour);
    }
  }
  return words;
}

std::string ColourWords(const Rgb& colour) {
  return fmt::format("[{},{},{}]", colour.red, colour.green, colour.blue);
}

}  // namespace Sandbox
