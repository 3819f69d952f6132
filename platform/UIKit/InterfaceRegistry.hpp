#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

class UIView;

// Makes views by class name, so interface files can name the platform's classes and any a
// library registers (usually from a static initialiser in the class's own source file).
// A view is made with the frame its file gives it, as the platform's init(coder:) has it
// before the view's own set-up runs.
class InterfaceRegistry {
 public:
  using Factory = std::function<std::shared_ptr<UIView>(CGRect frame)>;

  static InterfaceRegistry& shared();

  // Replaces an earlier registration of the same name.
  void registerClass(const std::string& name, Factory factory);
  template <class V>
  static bool registerViewClass(const std::string& name) {
    shared().registerClass(name, [](CGRect frame) { return std::make_shared<V>(frame); });
    return true;
  }
  // Null for a name nobody registered.
  std::shared_ptr<UIView> make(std::string_view name, CGRect frame = {}) const;
  bool knows(std::string_view name) const;

 private:
  InterfaceRegistry();
  mutable std::mutex mutex_;
  std::map<std::string, Factory, std::less<>> factories_;
};

}  // namespace UIKit
