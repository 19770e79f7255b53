#include "host/fstring.hpp"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include "base/unicode.hpp"

namespace {

std::u16string Widen(std::string_view narrow) {
  std::u16string wide;
  wide.reserve(narrow.size());
  for (const char byte : narrow) {
    wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(byte)));
  }
  return wide;
}

}  // namespace

FString::FString(const char* narrow)
    : data_(narrow == nullptr ? std::u16string() : Widen(narrow)) {}

FString::FString(std::string_view narrow) : data_(Widen(narrow)) {}

FString::FString(const char16_t* wide) : data_(wide == nullptr ? u"" : wide) {}

FString::FString(std::u16string wide) : data_(std::move(wide)) {}

void FString::AppendChars(const char16_t* units, int count) {
  if (units != nullptr && count > 0) {
    data_.append(units, static_cast<std::size_t>(count));
  }
}

void FString::AssignRange(const char16_t* units, int count) {
  data_.clear();
  AppendChars(units, count);
}

FString& FString::operator+=(const FString& other) {
  data_ += other.data_;
  return *this;
}

int FString::ParseIntoArray(TArray<FString>& out, const char16_t* delimiter,
                            bool cull_empty) const {
  out.Empty();
  const std::u16string_view separator = delimiter == nullptr ? u"" : delimiter;
  const auto add_piece = [&](std::u16string_view piece) {
    if (!cull_empty || !piece.empty()) {
      out.Add(FString(std::u16string(piece)));
    }
  };
  if (separator.empty()) {
    add_piece(data_);
    return out.Num();
  }
  const std::u16string_view text = data_;
  std::size_t start = 0;
  for (std::size_t found = text.find(separator); found != std::u16string_view::npos;
       found = text.find(separator, start)) {
    add_piece(text.substr(start, found - start));
    start = found + separator.size();
  }
  add_piece(text.substr(start));
  return out.Num();
}

FString FString::Format(const FString& format) {
  // Without a brace there is nothing for the formatting to do or to refuse.
  if (format.data_.find_first_of(u"{}") == std::u16string::npos) {
    return format;
  }
  // fmt has no char16_t formatting; wchar_t holds every UTF-16 unit unchanged, so
  // the text goes through fmt's own brace handling unit for unit.
  const std::wstring wide(format.data_.begin(), format.data_.end());
  const std::wstring formatted = fmt::format(fmt::runtime(wide));
  std::u16string result;
  result.reserve(formatted.size());
  for (const wchar_t unit : formatted) {
    result.push_back(static_cast<char16_t>(unit));
  }
  return FString(std::move(result));
}

int FString::Compare(const FString& other) const {
  const std::size_t common = std::min(data_.size(), other.data_.size());
  for (std::size_t index = 0; index < common; ++index) {
    // Most compared units are identical; only differing ones need folding.
    if (data_[index] == other.data_[index]) {
      continue;
    }
    const int left = Bellwright::Unicode::FoldCase(data_[index]);
    const int right = Bellwright::Unicode::FoldCase(other.data_[index]);
    if (left != right) {
      return left < right ? -1 : 1;
    }
  }
  if (data_.size() == other.data_.size()) {
    return 0;
  }
  return data_.size() < other.data_.size() ? -1 : 1;
}
