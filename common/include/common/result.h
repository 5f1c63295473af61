// The one way a C++ function of the tree reports that it failed: it returns
// a Result, which is either a success (with the value, for Result<T>) or a
// failure with a message that says what went wrong, ready for a log line, a
// box or a command's error output. Codes and last-error values stay at the C
// interfaces (the libraries' exports, the platform's Windows calls); inside,
// a function that can fail returns a Result.
//
//   common::Result<Manifest> ReadManifest(const std::string& path);
//   ...
//   if (!manifest) return common::Fail("manifest: " + manifest.error());
//   Build(*manifest);
//
// A failure that must say more than a message (which of several files was at
// fault, say) carries an error of its own type: Result<T, E>, made with
// FailWith(error).
//
// A Result must be looked at ([[nodiscard]]).
#pragma once
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace common {

// The failure side of a Result, made with Fail("what went wrong").
struct Failure {
  std::string message;
};

inline Failure Fail(std::string message) { return Failure{std::move(message)}; }

// The failure side of a Result<T, E>, made with FailWith(error).
template <typename E>
struct FailureWith {
  E error;
};

template <typename E>
FailureWith<E> FailWith(E error) {
  return FailureWith<E>{std::move(error)};
}

template <typename T = void, typename E = std::string>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Failure failure) requires std::is_same_v<E, std::string>
      : state_(std::in_place_index<1>, std::move(failure.message)) {}
  Result(FailureWith<E> failure) : state_(std::in_place_index<1>, std::move(failure.error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // The failure's message (or error); empty for a success.
  const E& error() const { return ok() ? Empty() : std::get<1>(state_); }

  // The value of a success (a failure has none: check first).
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

 private:
  static const E& Empty() {
    static const E empty{};
    return empty;
  }

  std::variant<T, E> state_;
};

template <typename E>
class [[nodiscard]] Result<void, E> {
 public:
  // A success.
  Result() = default;
  Result(Failure failure) requires std::is_same_v<E, std::string> : failed_(true), error_(std::move(failure.message)) {}
  Result(FailureWith<E> failure) : failed_(true), error_(std::move(failure.error)) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }

  // The failure's message (or error); empty for a success.
  const E& error() const { return error_; }

 private:
  bool failed_ = false;
  E error_{};
};

}  // namespace common
