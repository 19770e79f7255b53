#pragma once

#include <string>

namespace Bellwright::ConfigCheck {

// kError: something will not work at all. kWarning: it works, probably not as meant.
enum class Severity { kWarning, kError };

// One thing said about a text, at its place in the file.
struct Finding {
  Severity severity = Severity::kError;
  // RFC 6901 pointer of the value concerned; "" for the whole document.
  std::string pointer;
  // From 1, in characters of the line: the key or the value concerned, the enclosing
  // object for a missing key, the offending character inside a text. 0 and 0 when
  // the file could not be read.
  int line = 0;
  int column = 0;
  std::string message;
};

}  // namespace Bellwright::ConfigCheck
