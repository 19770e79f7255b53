#pragma once

#include "host/fstring.hpp"
#include "host/tarray.hpp"

namespace Bellwright {

// An administrative command line, cut the two ways the commands read it: at double
// quotes (piece 1 is the quoted message) and at blanks (token 0 is the command
// word). Words of the quoted message are tokens too, quotes attached, which is why
// a sender placed after the message is not found and why trailing numbers are
// counted from the end.
class CommandLine {
 public:
  explicit CommandLine(const FString& text);

  [[nodiscard]] int TokenCount() const { return tokens_.Num(); }
  [[nodiscard]] int QuotePieceCount() const { return quote_pieces_.Num(); }

  // Token `index`, or an empty text when the line has no such token.
  [[nodiscard]] FString Token(int index) const;
  // Counted from the end: 1 is the last token. Empty when outside the line.
  [[nodiscard]] FString TokenFromEnd(int offset) const;

  // The quoted message: quote piece 1, or empty.
  [[nodiscard]] FString Message() const;
  // Token 1: "0" for everyone, otherwise a player's unique net id.
  [[nodiscard]] FString Target() const { return Token(1); }
  // Token 2, or the plug-in's name when the line is shorter.
  [[nodiscard]] FString Sender() const;

 private:
  TArray<FString> quote_pieces_;
  TArray<FString> tokens_;
};

// The exact text "0", letter for letter, addresses everyone.
bool IsEveryoneTarget(const FString& target);
// The word "cluster", letter case ignored, addresses everyone on every server of the
// cluster.
bool IsClusterTarget(const FString& target);

}  // namespace Bellwright
