#include "ZTAPI/ResponceDataModel/User/ZTUserAddressesResponse.hpp"

#include "ZTAPI/ResponceDataModel/ZTAddressFields.hpp"

namespace ZentrelSDK {

namespace {
using Address = ZTUserAddressesResponseElement;
}  // namespace

ZT_RECORD_CODING(Address,
                 std::tuple_cat(std::tuple{ZTRecordField{"main", &Address::main},
                                           ZTRecordField{"createdAt", &Address::createdAt}},
                                addressFields<Address>(),
                                std::tuple{ZTRecordField{"verified", &Address::verified}}))

}  // namespace ZentrelSDK
