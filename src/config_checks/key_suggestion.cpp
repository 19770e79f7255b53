#include "config_checks/key_suggestion.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <limits>
#include <optional>

#include "base/ascii_case.hpp"
#include "base/edit_distance.hpp"
#include "base/list_text.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

// Long keys get room for two slips; a one-letter key is too short to guess from.
bool CloseEnough(std::string_view key, std::size_t distance) {
  const std::size_t allowed = key.size() >= 5 ? 2 : 1;
  return distance <= allowed && distance < key.size();
}

// The spellings mix the two, so a slip between them is worth naming.
bool DiffersByColourSpelling(std::string_view first, std::string_view second) {
  std::string a = AsciiLowered(first);
  std::string b = AsciiLowered(second);
  for (std::string* text : {&a, &b}) {
    if (const auto at = text->find("colour"); at != std::string::npos) {
      text->replace(at, 6, "color");
    }
  }
  return a == b && AsciiLowered(first) != AsciiLowered(second);
}

struct Nearest {
  std::string key;
  std::size_t distance = std::numeric_limits<std::size_t>::max();
};

Nearest NearestKey(std::string_view key, const std::vector<std::string>& candidates) {
  Nearest nearest;
  for (const std::string& candidate : candidates) {
    // The distance is at least the difference in length: no need to compute it.
    const std::size_t longer = std::max(key.size(), candidate.size());
    if (longer - std::min(key.size(), candidate.size()) > 2) {
      continue;
    }
    const std::size_t distance = EditDistanceIgnoringAsciiCase(key, candidate);
    if (distance < nearest.distance) {
      nearest = {candidate, distance};
    }
  }
  return nearest;
}

std::string Where(std::string_view title) {
  return title == "the top level" ? std::string("at the top level") : fmt::format("in {}", title);
}

// The places other than `here` whose kind reads `matches` keys, by distinct title.
template <typename Predicate>
std::vector<std::string> OtherPlaces(const ObjectKind& here, const std::vector<ObjectKind>& kinds,
                                     Predicate matches) {
  std::vector<std::string> titles;
  for (const bool alone : {false, true}) {
    for (const ObjectKind& kind : kinds) {
      if (kind.named_only_when_alone != alone || kind.title == here.title ||
          std::ranges::find(titles, kind.title) != titles.end()) {
        continue;
      }
      if (std::ranges::any_of(kind.keys, matches)) {
        titles.push_back(kind.title);
      }
    }
    if (!titles.empty()) {
      break;
    }
  }
  return titles;
}

std::string JoinedPlaces(const std::vector<std::string>& titles) {
  std::vector<std::string> places;
  places.reserve(titles.size());
  for (const std::string& title : titles) {
    places.push_back(Where(title));
  }
  return JoinedAsList(places);
}

std::string DidYouMean(std::string_view key, std::string_view meant) {
  std::string text = fmt::format("did you mean {}?", Quote(meant));
  if (DiffersByColourSpelling(key, meant)) {
    text += " (the key names mix \"Colour\" and \"Color\")";
  }
  return text;
}

}  // namespace

std::string UnknownKeyMessage(std::string_view key, const ObjectKind& here,
                              const std::vector<ObjectKind>& kinds) {
  const std::string quoted = Quote(key);
  for (const std::string& known : here.keys) {
    if (EqualIgnoringAsciiCase(key, known)) {
      return fmt::format("unknown key {} is never read: keys are case-sensitive, write {}", quoted,
                         Quote(known));
    }
  }
  const Nearest near_here = NearestKey(key, here.keys);
  if (near_here.distance <= 1 && CloseEnough(key, near_here.distance)) {
    return fmt::format("unknown key {} is never read; {}", quoted, DidYouMean(key, near_here.key));
  }
  const std::vector<std::string> homes = OtherPlaces(
      here, kinds, [key](const std::string& known) { return EqualIgnoringAsciiCase(key, known); });
  if (!homes.empty()) {
    return fmt::format("{} is never read {}: it belongs {}", quoted, Where(here.title),
                       JoinedPlaces(homes));
  }
  if (CloseEnough(key, near_here.distance)) {
    return fmt::format("unknown key {} is never read; {}", quoted, DidYouMean(key, near_here.key));
  }
  std::optional<std::pair<std::string, std::string>> elsewhere;
  std::size_t best = std::numeric_limits<std::size_t>::max();
  for (const ObjectKind& kind : kinds) {
    if (kind.title == here.title) {
      continue;
    }
    const Nearest near = NearestKey(key, kind.keys);
    if (near.distance < best && CloseEnough(key, near.distance)) {
      best = near.distance;
      elsewhere = {near.key, kind.title};
    }
  }
  if (elsewhere) {
    return fmt::format("unknown key {} is never read here; did you mean {}, which belongs {}?",
                       quoted, Quote(elsewhere->first), Where(elsewhere->second));
  }
  return fmt::format("unknown key {} is never read", quoted);
}

}  // namespace Bellwright::ConfigCheck
