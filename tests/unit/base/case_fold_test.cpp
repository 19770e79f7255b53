#include <gtest/gtest.h>

#include <string>

#include "base/unicode.hpp"

namespace Bellwright::Unicode {
namespace {

// Two servers sharing one table must key a player alike whatever locales their
// machines have installed: letters of every script fold, not only ASCII ones.
TEST(CaseFold, FoldsLettersOfEveryScriptAndNothingElse) {
  struct Case {
    std::u16string text;
    std::string folded;
  };
  const Case cases[] = {
      {u"Steam_ABC123", "steam_abc123"},
      {u"\u00C9COLE \u00DF", "\u00E9cole \u00DF"},  // Latin-1; sharp s is lower case already
      {u"\u0130\u0049", "\u0069\u0069"},            // dotted capital I, whatever the locale
      {u"\u03A3\u039F\u03A6\u0399\u0391", "\u03C3\u03BF\u03C6\u03B9\u03B1"},  // Greek
      {u"\u0416\u0423\u041A", "\u0436\u0443\u043A"},                          // Cyrillic
      {u"\u10A0\u1C90", "\u2D00\u10D0"},  // Georgian, old and new capitals
      {u"\uFF21\u24B6", "\uFF41\u24D0"},  // fullwidth and circled letters
      {u"\u6771\u4EAC", "\u6771\u4EAC"},  // no case
      {u"\U00010400", "\U00010400"},      // outside the engine's 16-bit units: kept as it is
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CaseFoldedUtf8(c.text), c.folded) << Utf16ToUtf8(c.text);
  }
}

}  // namespace
}  // namespace Bellwright::Unicode
