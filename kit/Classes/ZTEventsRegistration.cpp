#include "ZTEventsRegistration.hpp"

#include <utility>

namespace ZentrelSDK {

ZTEventsRegistration::ZTEventsRegistration(ZTEventCore::Target owner) : owner_(std::move(owner)) {}

ZTEventsRegistration::~ZTEventsRegistration() {
  ZTEvents::shared()->unregiterEvents(owner_);
}

}  // namespace ZentrelSDK
