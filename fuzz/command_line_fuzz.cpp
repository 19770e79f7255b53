// Arbitrary bytes as an administrative command line, read the two ways a line reaches
// the commands: widened byte by byte (the console) and decoded as UTF-8 (RCON).
#include <utf8.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text.hpp"
#include "commands/command_line.hpp"
#include "commands/numbers.hpp"
#include "commands/trailing_numbers.hpp"

namespace {

using Bellwright::CommandLine;
using Bellwright::FromUtf8;
using Bellwright::IsNumericText;
using Bellwright::TextToFloat;
using Bellwright::TextToInt;

// libFuzzer reports an abort as a crash, with the input that caused it.
void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

bool IsDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

// A token that passes the numeric test converts whenever it holds digits where the
// conversion looks for them and few enough to stay inside the type's range: up to 30
// digits anywhere for a float, up to 9 right after the sign for an int.
void CheckConversions(const FString& token) {
  const bool converts_to_float = TextToFloat(token).has_value();
  const bool converts_to_int = TextToInt(token).has_value();
  if (!IsNumericText(token)) {
    return;
  }
  const std::u16string& units = token.Wide();
  const std::size_t first = (units[0] == u'-' || units[0] == u'+') ? 1 : 0;
  const auto digits = std::ranges::count_if(units, IsDigit);
  std::size_t leading_digits = 0;
  while (first + leading_digits < units.size() && IsDigit(units[first + leading_digits])) {
    ++leading_digits;
  }
  Require(converts_to_float || digits == 0 || digits > 30);
  Require(converts_to_int || leading_digits == 0 || leading_digits > 9);
}

void CheckTokens(const CommandLine& line) {
  const int count = line.TokenCount();
  Require(line.Token(-1).IsEmpty() && line.Token(count).IsEmpty());
  Require(line.TokenFromEnd(0).IsEmpty() && line.TokenFromEnd(count + 1).IsEmpty());
  for (int index = 0; index < count; ++index) {
    const FString token = line.Token(index);
    // Blanks cut the line and empty pieces are dropped.
    Require(!token.IsEmpty() && token.Wide().find(u' ') == std::u16string::npos);
    Require(line.TokenFromEnd(count - index).EqualsExactly(token));
    CheckConversions(token);
  }
  Require(line.Target().EqualsExactly(line.Token(1)));
  Require(count >= 3 || line.Sender().EqualsExactly(FString("Bellwright")));
  Require(line.Message().Wide().find(u'"') == std::u16string::npos);
  Require(line.QuotePieceCount() >= 2 || line.Message().IsEmpty());
}

void CheckTrailingNumbers(const CommandLine& line) {
  using Outcome = Bellwright::TrailingNumbers<Bellwright::NotificationNumbers>::Outcome;
  const auto color = Bellwright::GivenColor(line);
  Require(color.outcome != decltype(color)::Outcome::kGiven || color.numbers.A == 255);
  (void)Bellwright::GivenNotificationNumbersTested(line);
  // The RCON reading turns every conversion failure into "not given".
  Require(Bellwright::GivenNotificationNumbersUntested(line).outcome != Outcome::kUnconvertible);
}

void Exercise(const FString& text) {
  const CommandLine line(text);
  CheckTokens(line);
  CheckTrailingNumbers(line);
  (void)Bellwright::IsEveryoneTarget(line.Target());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Exercise(FString(bytes));
  const FString decoded = FromUtf8(bytes);
  Exercise(decoded);
  // Decoding replaces only what is not UTF-8, so a valid line comes back unchanged.
  Require(!utf8::is_valid(bytes.begin(), bytes.end()) || Bellwright::ToUtf8(decoded) == bytes);
  return 0;
}
