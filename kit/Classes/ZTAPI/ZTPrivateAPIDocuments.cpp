#include "ZTAPI/ZTPrivateAPIDocuments.hpp"

#include <sstream>
#include <utility>

#include "ZTAPI/ZTRequestManager.hpp"
#include "ZTAPI/ZTResponseHandler.hpp"
#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTCodableRequestBody.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

namespace {

constexpr const char* kInvalidContent = "Invalid content or unknown format";
constexpr const char* kUploadFallback = "Something went wrong, please try later";
constexpr const char* kConfirmFallback = "Something went wrong, please, try later";

std::string token() {
  return ZTTokenUtilites::shared()->getToken();
}

// Hands a strictly decoded answer to the one callback that fits.
template <class T, class Out = T>
ZTNetworkCore::Completion<T> handing(
    std::function<void(Out)> success, ZTPrivateAPIDocuments::ErrorEvent errorEvent,
    std::function<Out(T)> pick = [](T value) { return value; }) {
  return [success = std::move(success), errorEvent = std::move(errorEvent),
          pick = std::move(pick)](Foundation::Result<T, Error> result) {
    if (result.isFailure()) {
      if (errorEvent) errorEvent(result.error().localizedDescription());
      return;
    }
    if (success) success(pick(std::move(result).value()));
  };
}

// The readable text of an upload answered with another status than 200 or 422, and its log
// line.
std::string uploadFailure(const ZTResponse& response, bool networkLevel,
                          const std::string& operation) {
  const auto readable = ZTResponseHandler::createReadableErrorMessage(response);
  const std::string logged = readable.message.value_or(
      "cannote create error message for status code: " + std::to_string(response.statusCode));
  const std::string line = "---\nUPLOADING ERROR:\n " + logged + "\n___";
  if (networkLevel) {
    ZTLogger::networkLog(line, __FILE__, operation);
  } else {
    ZTLogger::errorLog(line, __FILE__, operation);
  }
  return readable.message.value_or(kUploadFallback);
}

std::string fractionText(double fraction) {
  std::ostringstream out;
  out << fraction;
  return out.str();
}

}  // namespace

void ZTPrivateAPIDocuments::getDocuments(std::int64_t limit, std::int64_t offset,
                                         const std::optional<Statuses>& status,
                                         std::function<void(std::vector<DocumentItem>)> success,
                                         ErrorEvent errorEvent) {
  const GetDocumentsBody body{limit, offset, status};
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTDocumentsListResponse>(
      token(), std::string(), ZTConstants::getDocumentsPath() + body.query(), ZTHTTPMethod::get,
      true, EmptyBody(),
      handing<ZTDocumentsListResponse, std::vector<DocumentItem>>(
          std::move(success), std::move(errorEvent),
          [](ZTDocumentsListResponse list) { return std::move(list.items); }));
}

void ZTPrivateAPIDocuments::getDocumentFromID(const std::string& id,
                                              std::function<void(ZTDocumentResponse)> success,
                                              ErrorEvent errorEvent) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTDocumentResponse>(
      token(), std::string(), ZTConstants::getDocumentPath(id), ZTHTTPMethod::get, true,
      EmptyBody(), handing<ZTDocumentResponse>(std::move(success), std::move(errorEvent)));
}

std::string ZTPrivateAPIDocuments::getDocumentUrl(const std::string& fromId, DocumentSide forSide) {
  return forSide == DocumentSide::front ? ZTConstants::getDocumentFrontPath(fromId)
                                        : ZTConstants::getDocumentBackPath(fromId);
}

void ZTPrivateAPIDocuments::getDocumentFile(
    const std::string& fromId, DocumentSide forSide,
    std::function<void(Foundation::Result<Foundation::Data, Error>)> completion,
    Progress downloadProgress) {
  ZTRequestManager::shared()->download(
      token(), std::string(), getDocumentUrl(fromId, forSide),
      [completion = std::move(completion)](Foundation::Result<ZTResponse, Error> result) {
        if (!completion) return;
        if (result.isFailure()) return completion(Foundation::failure(result.error()));
        ZTResponse& response = result.value();
        if (response.statusCode != 200)
          return completion(
              Foundation::failure(Error(ZTNetworkError::statusCodeIsNot200(response.statusCode))));
        if (!response.data || response.data->empty())
          return completion(Foundation::failure(Error(ZTNetworkError::dataIsEmpty())));
        completion(Foundation::success(std::move(*response.data)));
      },
      std::move(downloadProgress));
}

void ZTPrivateAPIDocuments::getDocumentStatusLog(
    const std::string& id,
    std::function<void(std::vector<ZTDocumentStatusLogResponseElement>)> success,
    ErrorEvent errorEvent) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTDocumentStatusLogResponse>(
      token(), std::string(), ZTConstants::getDocumentStatusLogPath(id), ZTHTTPMethod::get, true,
      EmptyBody(), handing<ZTDocumentStatusLogResponse>(std::move(success), std::move(errorEvent)));
}

void ZTPrivateAPIDocuments::createDocument(ZTPublicConstants::DocumentType type,
                                           ZTPublicConstants::AreaType area,
                                           const std::string& descriptions,
                                           std::function<void(ZTDocumentCreateResponse)> success,
                                           ErrorEvent errorEvent) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTDocumentCreateResponse>(
      token(), std::string(), ZTConstants::getDocumentCreatePath(), ZTHTTPMethod::post, true,
      CreateDocumentBody(type, area, descriptions),
      handing<ZTDocumentCreateResponse>(std::move(success), std::move(errorEvent)));
}

void ZTPrivateAPIDocuments::validateDocumentFile(const Foundation::URL& file,
                                                 std::function<void()> success,
                                                 Fraction downloadProgress, ErrorEvent errorEvent) {
  static const std::string operation =
      "validateDocumentFile(file:success:downloadProgress:errorEvent:)";
  ZTRequestManager::shared()->upload(
      token(), std::string(), file, ZTConstants::getDocumentFileValidatePath(),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Foundation::Result<ZTResponse, Error> result) {
        const auto fail = [&](const std::string& text) {
          if (errorEvent) errorEvent(text);
        };
        if (result.isFailure()) return fail(result.error().localizedDescription());
        const ZTResponse& response = result.value();
        if (response.statusCode == 200) {
          if (success) success();
        } else if (response.statusCode == 422) {
          fail(kInvalidContent);
        } else {
          fail(uploadFailure(response, true, operation));
        }
      },
      [downloadProgress = std::move(downloadProgress)](Foundation::Result<double, Error> progress) {
        if (progress.isFailure()) {
          ZTLogger::errorLog(progress.error().localizedDescription(), __FILE__, operation);
          return;
        }
        ZTLogger::warningLog("progress: " + fractionText(progress.value()), __FILE__, operation);
        // The new-document screen moves its progress display by these fractions too.
        if (downloadProgress) downloadProgress(progress.value());
      });
}

void ZTPrivateAPIDocuments::uploadDocumentFileFront(
    const std::string& id, const Foundation::URL& file,
    std::function<void(ZTDocumentUploadResponse)> success, Fraction downloadProgress,
    ErrorEvent errorEvent) {
  uploadSide(ZTConstants::getDocumentLoadFrontPath(id), file, std::move(success),
             std::move(downloadProgress), std::move(errorEvent),
             "uploadDocumentFileFront(id:file:success:downloadProgress:errorEvent:)");
}

void ZTPrivateAPIDocuments::uploadDocumentFileBack(
    const std::string& id, const Foundation::URL& file,
    std::function<void(ZTDocumentUploadResponse)> success, Fraction downloadProgress,
    ErrorEvent errorEvent) {
  uploadSide(ZTConstants::getDocumentLoadBackPath(id), file, std::move(success),
             std::move(downloadProgress), std::move(errorEvent),
             "uploadDocumentFileBack(id:file:success:downloadProgress:errorEvent:)");
}

void ZTPrivateAPIDocuments::uploadSide(const std::string& url, const Foundation::URL& file,
                                       std::function<void(ZTDocumentUploadResponse)> success,
                                       Fraction downloadProgress, ErrorEvent errorEvent,
                                       const std::string& operation) {
  ZTRequestManager::shared()->upload(
      token(), std::string(), file, url,
      [success = std::move(success), errorEvent = std::move(errorEvent),
       operation](Foundation::Result<ZTResponse, Error> result) {
        const auto fail = [&](const std::string& text) {
          if (errorEvent) errorEvent(text);
        };
        if (result.isFailure()) return fail(result.error().localizedDescription());
        const ZTResponse& response = result.value();
        if (response.statusCode == 200) {
          if (!response.data || response.data->empty())
            return fail(ZTNetworkError::dataIsEmpty().localizedDescription());
          auto answer = parse<ZTDocumentUploadResponse>(*response.data);
          if (answer.isFailure())
            return fail(ZTNetworkError::decodingError().localizedDescription());
          if (success) success(std::move(answer).value());
        } else if (response.statusCode == 422) {
          fail(kInvalidContent);
        } else {
          fail(uploadFailure(response, false, operation));
        }
      },
      [downloadProgress = std::move(downloadProgress)](Foundation::Result<double, Error> progress) {
        // A progress failure is dropped: the final callback still follows.
        if (progress.isSuccess() && downloadProgress) downloadProgress(progress.value());
      });
}

void ZTPrivateAPIDocuments::confirmDocumentUpload(const std::string& id,
                                                  std::function<void(std::string)> success,
                                                  ErrorEvent errorEvent) {
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      token(), std::string(), ZTConstants::getDocumentConfirmPath(id), ZTHTTPMethod::post, true,
      EmptyBody(),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Foundation::Result<ZTResponse, Error> result) {
        const auto fail = [&](const std::string& text) {
          if (errorEvent) errorEvent(text);
        };
        if (result.isFailure()) return fail(result.error().localizedDescription());
        switch (result.value().statusCode) {
          case 200:
            if (success) success("Recognition started");
            return;
          case 400:
            return fail("Document has no images");
          case 409:
            return fail("Not pending status");
          default:
            return fail(kConfirmFallback);
        }
      });
}

void ZTPrivateAPIDocuments::getDocumentsUploadStatus(
    std::int64_t limit, std::int64_t offset, const Statuses& status,
    std::function<void(ZTDocumentStatusUploadedResponse)> success, ErrorEvent errorEvent) {
  const GetDocumentsBody body{limit, offset, status};
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTDocumentStatusUploadedResponse>(
      token(), std::string(), ZTConstants::getDocumentLoadStatusPath() + body.query(),
      ZTHTTPMethod::get, true, EmptyBody(),
      handing<ZTDocumentStatusUploadedResponse>(std::move(success), std::move(errorEvent)));
}

}  // namespace ZentrelSDK
