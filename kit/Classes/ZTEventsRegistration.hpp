#pragma once

#include "ZTEvents.hpp"

namespace ZentrelSDK {

// Ends every listener of its owner when it is destroyed, so no handler outlives the object it
// calls into and a later object at the same address starts with none. Hold it as the owner's
// last data member (destroyed first):
//
//   class Screen {
//     ...
//     ZTEventsRegistration events{this};
//   };
class ZTEventsRegistration {
 public:
  explicit ZTEventsRegistration(ZTEventCore::Target owner);
  ~ZTEventsRegistration();
  ZTEventsRegistration(const ZTEventsRegistration&) = delete;
  ZTEventsRegistration& operator=(const ZTEventsRegistration&) = delete;

  const ZTEventCore::Target& target() const { return owner_; }

 private:
  ZTEventCore::Target owner_;
};

}  // namespace ZentrelSDK
