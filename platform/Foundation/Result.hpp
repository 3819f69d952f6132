#pragma once

#include <cstdio>
#include <cstdlib>
#include <type_traits>
#include <utility>
#include <variant>

namespace Foundation {

// Swift's Result<Success, Failure>. `Result<void, E>` holds no value on success.
//
//   return Foundation::success(user);             // .success(user)
//   return Foundation::failure(DecodingError...);  // .failure(error)
//   Result<void, E>::success()                     // .success(())
//
// value() on a failure (or error() on a success) is a programming error: it logs and aborts,
// as a force-unwrap would.
template <class T, class E>
class [[nodiscard]] Result;

template <class T>
struct SuccessValue {
  T value;
};
struct VoidSuccess {};
template <class E>
struct FailureValue {
  E error;
};

// Tags convertible to any Result whose types can be built from them.
template <class T>
SuccessValue<std::decay_t<T>> success(T&& value) {
  return {std::forward<T>(value)};
}
inline VoidSuccess success() {
  return {};
}
template <class E>
FailureValue<std::decay_t<E>> failure(E&& error) {
  return {std::forward<E>(error)};
}

template <class T, class E>
class [[nodiscard]] Result {
 public:
  using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;
  using Error = E;

  template <class U>
  requires std::is_constructible_v<Value, U&&> Result(
      SuccessValue<U> s)  // NOLINT(google-explicit-constructor)
      : storage_(std::in_place_index<0>, std::move(s.value)) {}
  Result(VoidSuccess)  // NOLINT(google-explicit-constructor)
      requires std::is_void_v<T> : storage_(std::in_place_index<0>) {}
  template <class F>
  requires std::is_constructible_v<E, F&&> Result(
      FailureValue<F> f)  // NOLINT(google-explicit-constructor)
      : storage_(std::in_place_index<1>, std::move(f.error)) {}

  static Result success(Value value = Value()) {
    return Result(std::in_place_index<0>, std::move(value));
  }
  static Result failure(E error) { return Result(std::in_place_index<1>, std::move(error)); }

  bool isSuccess() const { return storage_.index() == 0; }
  bool isFailure() const { return storage_.index() == 1; }
  explicit operator bool() const { return isSuccess(); }

  Value& value() & { return *checked<0>(); }
  const Value& value() const& { return *checked<0>(); }
  Value&& value() && { return std::move(*checked<0>()); }
  E& error() & { return *checked<1>(); }
  const E& error() const& { return *checked<1>(); }
  E&& error() && { return std::move(*checked<1>()); }

  // Null when the result is the other case.
  const Value* valueIfPresent() const { return std::get_if<0>(&storage_); }
  const E* errorIfPresent() const { return std::get_if<1>(&storage_); }

  const std::variant<Value, E>& variant() const { return storage_; }

  bool operator==(const Result& other) const = default;

 private:
  template <std::size_t I, class... A>
  explicit Result(std::in_place_index_t<I> i, A&&... args)
      : storage_(i, std::forward<A>(args)...) {}

  template <std::size_t I>
  auto* checked() const {
    auto* p = std::get_if<I>(&storage_);
    if (!p) {
      std::fprintf(stderr, "Foundation::Result: %s read on a %s\n", I == 0 ? "value" : "error",
                   I == 0 ? "failure" : "success");
      std::abort();
    }
    return const_cast<std::variant_alternative_t<I, std::variant<Value, E>>*>(p);
  }

  std::variant<Value, E> storage_;
};

}  // namespace Foundation
