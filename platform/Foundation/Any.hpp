#pragma once

#include <any>
#include <memory>
#include <type_traits>

namespace Foundation {

// A value of any type, as a notification carries its object. An object (a shared_ptr) keeps
// its identity, so a sender filter can compare it; other values are boxed and have none.
class Any {
 public:
  Any() = default;
  template <class T>
  Any(std::shared_ptr<T> object) : value_(object), identity_(object.get()) {}  // NOLINT
  template <class T>
  static Any value(T v) {
    Any any;
    any.value_ = std::move(v);
    return any;
  }

  bool hasValue() const { return value_.has_value(); }
  // The object's address, or nullptr for a boxed value.
  const void* identity() const { return identity_; }
  template <class T>
  const T* get() const {
    return std::any_cast<T>(&value_);
  }
  const std::any& raw() const { return value_; }

 private:
  std::any value_;
  const void* identity_ = nullptr;
};

}  // namespace Foundation
