#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/Data.hpp>
#include <Foundation/Result.hpp>
#include <Foundation/URL.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentCreateResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentStatusLogResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentStatusUploadedResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentUploadResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentsListResponse.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// The identity server's document endpoints, with the session token ("Bearer " alone when none
// is held). Each call runs exactly one final callback, once: on the main queue, or at once on
// the calling thread when the request cannot be built (an id that is empty, "." or "..", an
// upload file that cannot be opened). Ids travel escaped as one path segment. Failures are
// texts; progress callbacks may run any number of times before the final one.
class ZTPrivateAPIDocuments {
 public:
  enum class DocumentSide { front, back };

  using ErrorEvent = std::function<void(const std::string&)>;
  using Progress = std::function<void(Foundation::Result<double, Error>)>;
  using Fraction = std::function<void(double)>;
  using Statuses = std::vector<ZTPublicConstants::DocumentStatusType>;

  ZTPrivateAPIDocuments() = default;

  // One page of the user's documents (the answer's total is dropped). A status filter travels
  // as repeated "status=<text>" after limit and offset.
  static void getDocuments(std::int64_t limit, std::int64_t offset,
                           const std::optional<Statuses>& status,
                           std::function<void(std::vector<DocumentItem>)> success,
                           ErrorEvent errorEvent);
  static void getDocumentFromID(const std::string& id,
                                std::function<void(ZTDocumentResponse)> success,
                                ErrorEvent errorEvent);
  // One side's image bytes. Not 200: statusCodeIsNot200; 200 without bytes: dataIsEmpty.
  // Progress is handed on unchanged (a failure while the length is unknown).
  static void getDocumentFile(
      const std::string& fromId, DocumentSide forSide,
      std::function<void(Foundation::Result<Foundation::Data, Error>)> completion,
      Progress downloadProgress = nullptr);
  static void getDocumentStatusLog(
      const std::string& id,
      std::function<void(std::vector<ZTDocumentStatusLogResponseElement>)> success,
      ErrorEvent errorEvent);
  static void createDocument(ZTPublicConstants::DocumentType type, ZTPublicConstants::AreaType area,
                             const std::string& descriptions,
                             std::function<void(ZTDocumentCreateResponse)> success,
                             ErrorEvent errorEvent);
  // Checks an image before upload. Its fractions are logged and also handed to
  // downloadProgress.
  static void validateDocumentFile(const Foundation::URL& file, std::function<void()> success,
                                   Fraction downloadProgress, ErrorEvent errorEvent);
  static void uploadDocumentFileFront(const std::string& id, const Foundation::URL& file,
                                      std::function<void(ZTDocumentUploadResponse)> success,
                                      Fraction downloadProgress, ErrorEvent errorEvent);
  static void uploadDocumentFileBack(const std::string& id, const Foundation::URL& file,
                                     std::function<void(ZTDocumentUploadResponse)> success,
                                     Fraction downloadProgress, ErrorEvent errorEvent);
  // Starts recognition: "Recognition started", or a fixed text per status; the body is unread.
  static void confirmDocumentUpload(const std::string& id, std::function<void(std::string)> success,
                                    ErrorEvent errorEvent);
  // Upload state of each document of a page, keyed by document id.
  static void getDocumentsUploadStatus(
      std::int64_t limit, std::int64_t offset, const Statuses& status,
      std::function<void(ZTDocumentStatusUploadedResponse)> success, ErrorEvent errorEvent);

 private:
  static std::string getDocumentUrl(const std::string& fromId, DocumentSide forSide);
  static void uploadSide(const std::string& url, const Foundation::URL& file,
                         std::function<void(ZTDocumentUploadResponse)> success,
                         Fraction downloadProgress, ErrorEvent errorEvent,
                         const std::string& operation);
};

}  // namespace ZentrelSDK
