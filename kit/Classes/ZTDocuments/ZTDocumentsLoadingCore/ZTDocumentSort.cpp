#include "ZTDocuments/ZTDocumentsLoadingCore/ZTDocumentSort.hpp"

#include <algorithm>
#include <set>

namespace ZentrelSDK {

namespace {
// A type the host lists twice is still one requirement.
std::size_t distinctCount(const ZTDocumentSort::TypeList& docTypes) {
  return std::set(docTypes.begin(), docTypes.end()).size();
}
}  // namespace

std::map<ZTPublicConstants::DocumentType, ZTDocumentSort::DocumentList>
ZTDocumentSort::sortToDictionary(const DocumentList& docList, const TypeList& docTypes) {
  std::map<ZTPublicConstants::DocumentType, DocumentList> grouped;
  for (const auto type : docTypes) {
    DocumentList ofType;
    std::copy_if(docList.begin(), docList.end(), std::back_inserter(ofType),
                 [type](const ZTPublicDocumentElement& doc) { return doc.documentType == type; });
    if (!ofType.empty()) grouped[type] = std::move(ofType);
  }
  return grouped;
}

bool ZTDocumentSort::checkDockCount(const DocumentList& docList, const TypeList& docTypes) {
  return sortToDictionary(docList, docTypes).size() == distinctCount(docTypes);
}

bool ZTDocumentSort::checkDocksStatus(const DocumentList& docList, const TypeList& docTypes,
                                      ZTPublicConstants::DocumentStatusType docStatus) {
  const auto grouped = sortToDictionary(docList, docTypes);
  if (grouped.size() != distinctCount(docTypes)) return false;
  return std::all_of(grouped.begin(), grouped.end(), [docStatus](const auto& entry) {
    return std::any_of(
        entry.second.begin(), entry.second.end(),
        [docStatus](const ZTPublicDocumentElement& doc) { return doc.status == docStatus; });
  });
}

}  // namespace ZentrelSDK
