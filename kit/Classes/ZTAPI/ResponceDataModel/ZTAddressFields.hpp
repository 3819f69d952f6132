#pragma once

#include <tuple>

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

// The postal address and position that a user's address and a public document both carry,
// in their wire order.
template <class R>
auto addressFields() {
  return std::tuple{
      ZTRecordField{"apartmentNumber", &R::apartmentNumber},
      ZTRecordField{"streetNumber", &R::streetNumber},
      ZTRecordField{"street", &R::street},
      ZTRecordField{"city", &R::city},
      ZTRecordField{"stateRegion", &R::stateRegion},
      ZTRecordField{"country", &R::country},
      ZTRecordField{"postalCode", &R::postalCode},
      ZTRecordField{"lat", &R::lat},
      ZTRecordField{"lng", &R::lng},
  };
}

}  // namespace ZentrelSDK
