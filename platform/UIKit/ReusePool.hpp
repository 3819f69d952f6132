#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace UIKit {

// The cells a list makes by reuse identifier and those it can hand out again. `Cell` has
// `setSelected(bool)` and `prepareForReuse()`.
template <class Cell>
class ReusePool {
 public:
  using Factory = std::function<std::shared_ptr<Cell>()>;

  // Replaces an earlier registration, and drops the cells made by it.
  void registerFactory(const std::string& identifier, Factory factory) {
    factories_[identifier] = std::move(factory);
    reusable_.erase(identifier);
  }
  // A cell put back, made ready again; else a new one; null when nobody registered the
  // identifier (or the factory made none).
  std::shared_ptr<Cell> dequeue(const std::string& identifier) {
    if (auto it = reusable_.find(identifier); it != reusable_.end() && !it->second.empty()) {
      auto cell = std::move(it->second.back());
      it->second.pop_back();
      cell->setSelected(false);
      cell->prepareForReuse();
      return cell;
    }
    auto it = factories_.find(identifier);
    return it == factories_.end() ? nullptr : it->second();
  }
  bool knows(const std::string& identifier) const { return factories_.contains(identifier); }
  void putBack(std::shared_ptr<Cell> cell, const std::optional<std::string>& identifier) {
    if (identifier) reusable_[*identifier].push_back(std::move(cell));
  }

 private:
  std::map<std::string, Factory> factories_;
  std::map<std::string, std::vector<std::shared_ptr<Cell>>> reusable_;
};

// The nearest view above `view` of class `T`.
template <class T, class View>
std::shared_ptr<T> enclosingView(const View& view) {
  for (auto v = view.superview(); v; v = v->superview()) {
    if (auto found = std::dynamic_pointer_cast<T>(v)) return found;
  }
  return nullptr;
}

}  // namespace UIKit
