#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace ZentrelSDK {

// Swift `dictionary.removeNilValues()`: the entries whose value is present, unwrapped.
template <class V>
std::map<std::string, V> removeNilValues(
    const std::map<std::string, std::optional<V>>& dictionary) {
  std::map<std::string, V> result;
  for (const auto& [key, value] : dictionary) {
    if (value) result.emplace(key, *value);
  }
  return result;
}

template <class V>
std::unordered_map<std::string, V> removeNilValues(
    const std::unordered_map<std::string, std::optional<V>>& dictionary) {
  std::unordered_map<std::string, V> result;
  for (const auto& [key, value] : dictionary) {
    if (value) result.emplace(key, *value);
  }
  return result;
}

// Swift `receiver.contains(array:)`: every element of `array` occurs in `receiver`
// (multiplicity not counted).
template <class T>
bool contains(const std::vector<T>& receiver, const std::vector<T>& array) {
  return std::all_of(array.begin(), array.end(), [&](const T& element) {
    return std::find(receiver.begin(), receiver.end(), element) != receiver.end();
  });
}

// Swift `array.removeDuplicates()`: the first occurrence of each value, in order. Needs only
// equality, so it compares each element with those already taken.
template <class T>
std::vector<T> removeDuplicates(const std::vector<T>& array) {
  std::vector<T> result;
  for (const auto& element : array) {
    if (std::find(result.begin(), result.end(), element) == result.end()) {
      result.push_back(element);
    }
  }
  return result;
}

}  // namespace ZentrelSDK
