#include "config_checks/json_text/position_index.hpp"

#include <gtest/gtest.h>

#include <string>

#include "config_checks/json_text/string_token.hpp"

namespace Bellwright::ConfigCheck {
namespace {

constexpr std::size_t kDepth = 64;

struct Place {
  int line;
  int column;
};

Place PlaceOf(const PositionIndex& index, std::size_t offset) {
  const LineColumn place = index.Locate(offset);
  return {place.line, place.column};
}

TEST(PositionIndex, PlacesKeysAndValuesByPointer) {
  struct Case {
    std::string text;
    std::string pointer;
    Place value;
    std::optional<Place> key;
  };
  const std::string long_line = "{\"Pad\": \"" + std::string(600, 'x') + "\", \"After\": 7}";
  const Case cases[] = {
      {"{\"a\": 1}", "", {1, 1}, std::nullopt},
      {"{\"a\": 1}", "/a", {1, 7}, Place{1, 2}},
      {"{\n  \"a\": {\n    \"b\": [10, 20]\n  }\n}", "/a/b/1", {3, 15}, std::nullopt},
      {"{\n  \"a\": {\n    \"b\": [10, 20]\n  }\n}", "/a/b", {3, 10}, Place{3, 5}},
      // Escaped key names are unescaped before they become pointer tokens.
      {"{\"a\\/b\": true, \"c~d\": null}", "/a~1b", {1, 10}, Place{1, 2}},
      {"{\"a\\/b\": true, \"c~d\": null}", "/c~0d", {1, 23}, Place{1, 16}},
      {"{\"\\u0041\": 1}", "/A", {1, 12}, Place{1, 2}},
      // Columns count characters, not bytes; the byte order mark is no column.
      {"\xEF\xBB\xBF{\"caf\xC3\xA9\": \"\xC3\xA9\", \"x\": 2}", "/x", {1, 20}, Place{1, 15}},
      {"{\r\n\"a\": [{}, {\"b\": \"c\"}]\r\n}", "/a/1/b", {2, 17}, Place{2, 12}},
      // Columns far into a long line.
      {long_line, "/After", {1, 622}, Place{1, 613}},
      {"[[], [[]], 3]", "/2", {1, 12}, std::nullopt},
      {"\"just text\"", "", {1, 1}, std::nullopt},
  };
  for (const Case& c : cases) {
    const PositionIndex index(c.text, kDepth);
    const std::optional<ValuePlace> place = index.Find(c.pointer);
    ASSERT_TRUE(place.has_value()) << c.text << " " << c.pointer;
    const Place value = PlaceOf(index, place->value_offset);
    EXPECT_EQ(value.line, c.value.line) << c.text << " " << c.pointer;
    EXPECT_EQ(value.column, c.value.column) << c.text << " " << c.pointer;
    ASSERT_EQ(place->key_offset.has_value(), c.key.has_value()) << c.text << " " << c.pointer;
    if (c.key) {
      const Place key = PlaceOf(index, *place->key_offset);
      EXPECT_EQ(key.line, c.key->line) << c.text << " " << c.pointer;
      EXPECT_EQ(key.column, c.key->column) << c.text << " " << c.pointer;
    }
  }
}

TEST(PositionIndex, FindsNothingWherePointerAndContainerDisagree) {
  const std::string text = R"({"list": [10, 20], "0": "member", "empty": {}, "none": []})";
  const PositionIndex index(text, kDepth);
  for (const char* pointer : {"/list/2", "/list/-", "/list/x", "/list/1x", "/list/-1", "/list/a/b",
                              "/1", "/empty/a", "/none/0", "/missing"}) {
    EXPECT_FALSE(index.Find(pointer).has_value()) << pointer;
  }
  // An object member named like an index is still a member.
  EXPECT_EQ(index.Find("/0")->value_offset, text.find("\"member\""));
  EXPECT_EQ(index.Find("/list/1")->value_offset, text.find("20"));
}

TEST(PositionIndex, TheLastOfTwoEqualKeysWinsAndTheDuplicateIsListed) {
  const std::string text = "{\"a\": {\"x\": 1}, \"b\": 0, \"a\": {\"y\": 2}}";
  const PositionIndex index(text, kDepth);
  EXPECT_EQ(index.Find("/a")->value_offset, text.rfind('{'));
  ASSERT_EQ(index.Duplicates().size(), 1U);
  EXPECT_EQ(index.Duplicates()[0].pointer, "/a");
  EXPECT_EQ(index.Duplicates()[0].earlier_key_offset, 1U);
  EXPECT_EQ(index.Duplicates()[0].later_key_offset, text.rfind("\"a\""));
}

TEST(PositionIndex, EqualKeysInDifferentObjectsAreNoDuplicates) {
  const PositionIndex index("[{\"a\": 1}, {\"a\": 2}, {\"b\": {\"a\": 3}}]", kDepth);
  EXPECT_TRUE(index.Duplicates().empty());
}

TEST(PositionIndex, EndsAfterTheFirstValue) {
  const std::string text = "{\"a\": [1, 2]}  {\"b\": 3}";
  const PositionIndex index(text, kDepth);
  EXPECT_EQ(index.DocumentEnd(), text.find('}') + 1);
  EXPECT_FALSE(index.Find("/b").has_value());
}

TEST(PositionIndex, StopsAtTheFirstContainerBeyondTheDepthLimit) {
  const std::string text = "{\"a\": [[[[1]]]], \"b\": 2}";
  const PositionIndex index(text, 3);
  ASSERT_TRUE(index.TooDeepOffset().has_value());
  EXPECT_EQ(*index.TooDeepOffset(), text.find("[[[") + 2);
  EXPECT_EQ(PositionIndex(text, 6).TooDeepOffset(), std::nullopt);
}

TEST(PositionIndex, NeverFailsOnBrokenText) {
  for (const std::string text : {"", "{", "}", "]]]", "{\"a\"", "{\"a\": \"unclosed", "[1,,2",
                                 "\"\\", "{\"a\" 1 2 3}", "::::,,,"}) {
    const PositionIndex index(text, kDepth);
    static_cast<void>(index.Find(""));
    static_cast<void>(index.Locate(text.size() + 10));
  }
}

TEST(OffsetOfDecodedByte, StepsOverEscapesAsTheirDecodedBytes) {
  struct Case {
    std::string literal;  // starts with its opening quote
    std::size_t decoded_offset;
    std::size_t expected;
  };
  const Case cases[] = {
      {"\"abc{\"", 3, 4},
      {"\"\\n{\"", 1, 3},
      {"\"\\\"{\"", 1, 3},
      {"\"\\u00e9{\"", 2, 7},          // é is two bytes
      {"\"\\u20ac{\"", 3, 7},          // € is three
      {"\"\\ud83d\\ude00{\"", 4, 13},  // a surrogate pair is one character of four
      {"\"\xC3\xA9{\"", 2, 3},         // written as UTF-8, byte for byte
      {"\"\\u00e9x\"", 1, 1},          // inside an escape: its backslash
      {"\"ab\"", 9, 3},                // past the end: the closing quote
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OffsetOfDecodedByte(c.literal, 0, c.decoded_offset), c.expected) << c.literal;
  }
}

}  // namespace
}  // namespace Bellwright::ConfigCheck
