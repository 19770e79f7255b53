#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

// JSON pointers (RFC 6901) and the short descriptions of values that findings quote.
namespace Bellwright::ConfigCheck {

std::string ChildPointer(std::string_view parent, std::string_view key);
std::string ChildPointer(std::string_view parent, std::size_t index);

// The pointer's reference tokens, unescaped ("/a~1b/0" gives "a/b" and "0").
std::vector<std::string> PointerTokens(std::string_view pointer);

// The pointer `levels` tokens up ("/a/b/c", 1 gives "/a/b").
std::string ParentPointer(std::string_view pointer, std::size_t levels = 1);

// A pattern is a pointer in which the token "*" stands for any one token.
bool MatchesPattern(std::string_view pattern, std::string_view pointer);

// `text` as a JSON string literal on one line, shortened past `limit` bytes, so that
// anything from the file can be quoted in a one-line message.
std::string Quote(std::string_view text, std::size_t limit = 60);

// "a string", "a number", "null", ...
std::string TypePhrase(const nlohmann::json& value);

}  // namespace Bellwright::ConfigCheck
