#pragma once

#include <compare>
#include <string>
#include <string_view>

#include "host/host_api.hpp"
#include "host/tarray.hpp"

// The engine's wide string: UTF-16 code units. Equality and ordering ignore letter
// case, as the engine's own comparison does; an empty string equals "".
class HOST_API FString {
 public:
  using ElementType = char16_t;

  FString() = default;
  // The narrow constructor widens byte by byte (no UTF-8 decoding): byte 0xC3
  // becomes the unit U+00C3.
  FString(const char* narrow);  // NOLINT(google-explicit-constructor)
  explicit FString(std::string_view narrow);
  FString(const char16_t* wide);  // NOLINT(google-explicit-constructor)
  explicit FString(std::u16string wide);

  [[nodiscard]] int Len() const { return static_cast<int>(data_.size()); }
  [[nodiscard]] bool IsEmpty() const { return data_.empty(); }
  // The units, always terminated by a zero unit.
  const char16_t* operator*() const { return data_.c_str(); }
  [[nodiscard]] const std::u16string& Wide() const { return data_; }

  void AppendChars(const char16_t* units, int count);
  void AssignRange(const char16_t* units, int count);
  FString& operator+=(const FString& other);

  // Splits at every occurrence of `delimiter`; with `cull_empty` empty pieces are
  // dropped. Returns the number of pieces written to `out` (which is emptied first).
  int ParseIntoArray(TArray<FString>& out, const char16_t* delimiter, bool cull_empty = true) const;

  // The host's formatting with no arguments, by the fmt rules: "{{" gives "{",
  // "}}" gives "}", and any other brace throws fmt::format_error.
  static FString Format(const FString& format);

  // Case-insensitive three-way comparison (the engine's Stricmp).
  [[nodiscard]] int Compare(const FString& other) const;
  [[nodiscard]] bool EqualsExactly(const FString& other) const { return data_ == other.data_; }

  friend bool operator==(const FString& a, const FString& b) { return a.Compare(b) == 0; }
  friend std::weak_ordering operator<=>(const FString& a, const FString& b) {
    return a.Compare(b) <=> 0;
  }

 private:
  std::u16string data_;
};

// Orders FStrings the way the engine does, for ordered containers.
struct FStringCaseInsensitiveLess {
  bool operator()(const FString& a, const FString& b) const { return a.Compare(b) < 0; }
};
