#include "config_checks/key_suggestion.hpp"

#include <gtest/gtest.h>

#include <string>

#include "base/edit_distance.hpp"
#include "config_checks/schema.hpp"

namespace Bellwright::ConfigCheck {
namespace {

TEST(KeyDistance, CountsEditsIgnoringLetterCase) {
  const struct {
    std::string_view first;
    std::string_view second;
    std::size_t distance;
  } cases[] = {
      {"Interval", "Interval", 0},
      {"interval", "Interval", 0},
      {"Intervall", "Interval", 1},
      {"Inetrval", "Interval", 1},  // two neighbours swapped
      {"ServerMessageColour", "ServerMessageColor", 1},
      {"", "abc", 3},
      {"Sendr", "Sender", 1},
      {"Motd", "Messages", 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EditDistanceIgnoringAsciiCase(c.first, c.second), c.distance)
        << c.first << " " << c.second;
  }
}

const ObjectKind& KindAt(std::string_view pointer) {
  const ObjectKind* kind = ConfigSchema::Get().ObjectKindAt(pointer);
  if (kind == nullptr) {
    throw std::logic_error("no object kind there");
  }
  return *kind;
}

TEST(UnknownKeyMessage, NamesTheKeyMeantHereOrTheSectionWhereItBelongs) {
  const struct {
    std::string_view key;
    std::string_view where;
    std::string_view message;
  } cases[] = {
      {"ServerMessageColour", "/Bellwright",
       "unknown key \"ServerMessageColour\" is never read; did you mean \"ServerMessageColor\"? "
       "(the key names mix \"Colour\" and \"Color\")"},
      {"MessageColour", "/CustomCommands/~1rules",
       "unknown key \"MessageColour\" is never read; did you mean \"MessageColor\"? (the key names "
       "mix \"Colour\" and \"Color\")"},
      {"MessageColor", "/TimedMessages/Messages/0",
       "unknown key \"MessageColor\" is never read; did you mean \"MessageColour\"? (the key names "
       "mix \"Colour\" and \"Color\")"},
      {"enabled", "/TimedMessages",
       "unknown key \"enabled\" is never read: keys are case-sensitive, write \"Enabled\""},
      {"NoPermission", "/Bellwright",
       "\"NoPermission\" is never read in the Bellwright section: it belongs at the top level"},
      {"Interval", "",
       "\"Interval\" is never read at the top level: it belongs in the TimedMessages section"},
      {"Icon_BP", "/Bellwright",
       "\"Icon_BP\" is never read in the Bellwright section: it belongs in the WelcomeMessage "
       "section, in a custom command and in a timed message"},
      {"Sendr", "/Bellwright",
       "unknown key \"Sendr\" is never read here; did you mean \"Sender\", which belongs in a "
       "custom command?"},
      {"Motd", "", "unknown key \"Motd\" is never read"},
      {"X", "/Bellwright/ServerMessageColor", "unknown key \"X\" is never read"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnknownKeyMessage(c.key, KindAt(c.where), ConfigSchema::Get().ObjectKinds()),
              c.message);
  }
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
