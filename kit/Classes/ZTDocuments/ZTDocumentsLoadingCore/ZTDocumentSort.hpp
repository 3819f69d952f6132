#pragma once

#include <map>
#include <vector>

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// Whether the user's documents meet the host app's required types. Pure; any thread.
class ZTDocumentSort {
 public:
  using DocumentList = std::vector<ZTPublicDocumentElement>;
  using TypeList = std::vector<ZTPublicConstants::DocumentType>;

  ZTDocumentSort() = default;

  // Every required type has at least one document, whatever its status.
  static bool checkDockCount(const DocumentList& docList, const TypeList& docTypes);
  // Every required type has at least one document in `docStatus`.
  static bool checkDocksStatus(const DocumentList& docList, const TypeList& docTypes,
                               ZTPublicConstants::DocumentStatusType docStatus);

 private:
  // The documents of each required type that has any, in the server's order.
  static std::map<ZTPublicConstants::DocumentType, DocumentList> sortToDictionary(
      const DocumentList& docList, const TypeList& docTypes);
};

}  // namespace ZentrelSDK
