#include "commands/command_line.hpp"

#include "base/plugin_name.hpp"

namespace Bellwright {

CommandLine::CommandLine(const FString& text) {
  text.ParseIntoArray(quote_pieces_, u"\"", true);
  text.ParseIntoArray(tokens_, u" ", true);
}

FString CommandLine::Token(int index) const {
  return tokens_.IsValidIndex(index) ? tokens_[index] : FString();
}

FString CommandLine::TokenFromEnd(int offset) const {
  return Token(tokens_.Num() - offset);
}

FString CommandLine::Message() const {
  return quote_pieces_.Num() >= 2 ? quote_pieces_[1] : FString();
}

FString CommandLine::Sender() const {
  return tokens_.Num() >= 3 ? tokens_[2] : FString(kPluginName);
}

bool IsEveryoneTarget(const FString& target) {
  return target.EqualsExactly(FString("0"));
}

bool IsClusterTarget(const FString& target) {
  return target == FString("cluster");
}

}  // namespace Bellwright
