#pragma once

#include <string>
#include <utility>
#include <variant>

namespace Bellwright::Storage {

// Why a database operation did not succeed, in words for the administrator's log.
struct Failure {
  std::string cause;
};

// A value or the failure that prevented it; a database being away is expected here.
template <typename T>
class Expected {
 public:
  Expected(T value) : content_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
  Expected(Failure failure)
      : content_(std::move(failure)) {}  // NOLINT(google-explicit-constructor)

  explicit operator bool() const { return std::holds_alternative<T>(content_); }
  T& operator*() { return std::get<T>(content_); }
  const Failure& Error() const { return std::get<Failure>(content_); }

 private:
  std::variant<T, Failure> content_;
};

}  // namespace Bellwright::Storage
