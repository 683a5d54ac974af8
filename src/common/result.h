#pragma once

#include <string>
#include <utility>
#include <variant>

namespace vellumark {

// A failure a user can read: why something could not be done.
struct Error {
  std::string reason;
};

// Errors as values: either a T or an Error. No exceptions cross modules.
template <typename T>
class Result {
 public:
  Result(T value) : state_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Error error) : state_(std::move(error)) {}  // NOLINT

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Error& error() const { return std::get<1>(state_); }
  const std::string& reason() const { return error().reason; }

 private:
  std::variant<T, Error> state_;
};

}  // namespace vellumark
