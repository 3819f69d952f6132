#pragma once

#include <concepts>
#include <type_traits>

namespace UIKit {

// Swift OptionSet for flag enums: opt in with `enableOptionSet(E)` returning true.
template <class E>
concept OptionSetEnum = std::is_enum_v<E> && requires(E e) {
  { enableOptionSet(e) } -> std::same_as<bool>;
};

template <OptionSetEnum E>
constexpr E operator|(E a, E b) {
  using U = std::underlying_type_t<E>;
  return static_cast<E>(static_cast<U>(a) | static_cast<U>(b));
}
template <OptionSetEnum E>
constexpr E operator&(E a, E b) {
  using U = std::underlying_type_t<E>;
  return static_cast<E>(static_cast<U>(a) & static_cast<U>(b));
}
template <OptionSetEnum E>
constexpr E operator~(E a) {
  using U = std::underlying_type_t<E>;
  return static_cast<E>(~static_cast<U>(a));
}
template <OptionSetEnum E>
constexpr E& operator|=(E& a, E b) {
  return a = a | b;
}
// Swift `set.contains(member)`: every flag of `member` is in `set`.
template <OptionSetEnum E>
constexpr bool contains(E set, E member) {
  return (set & member) == member;
}
template <OptionSetEnum E>
constexpr bool intersects(E set, E other) {
  using U = std::underlying_type_t<E>;
  return static_cast<U>(set & other) != 0;
}

}  // namespace UIKit
