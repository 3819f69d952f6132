#include "ZTAPI/ZTRequestManager.hpp"

namespace ZentrelSDK {

const std::shared_ptr<ZTRequestManager>& ZTRequestManager::shared() {
  static const std::shared_ptr<ZTRequestManager> instance(new ZTRequestManager());
  return instance;
}

ZTRequestManager::Headers ZTRequestManager::headers(const std::optional<std::string>& token,
                                                    const std::string& code) {
  Headers result;
  result.emplace(TOKEN_KEY, std::string(TOKEN_PREFIX) + token.value_or(""));
  result.emplace(REQUEST_CODE_KEY, code);
  return result;
}

void ZTRequestManager::cookieCall(bool clearCookie) {
  if (clearCookie) {
    ZTNetworkCore::clearCookies();
  } else {
    ZTNetworkCore::setCookies();
  }
}

void ZTRequestManager::download(const std::optional<std::string>& token, const std::string& code,
                                const std::string& url, ResponseCompletion completion,
                                ProgressCallback downloadProgress) {
  auto requestHeaders = headers(token, code);
  ZTNetworkCore::clearCookies();
  ZTNetworkCore::download(
      url, requestHeaders,
      [completion = std::move(completion)](Foundation::Result<ZTResponse, Error> result) {
        if (completion) completion(std::move(result));
      },
      [downloadProgress = std::move(downloadProgress)](Foundation::Result<double, Error> result) {
        if (downloadProgress) downloadProgress(std::move(result));
      });
}

void ZTRequestManager::upload(const std::string& token, const std::string& code,
                              const Foundation::URL& fileUrl, const std::string& url,
                              ResponseCompletion completed, ProgressCallback uploadProgress) {
  auto requestHeaders = headers(token, code);
  ZTNetworkCore::clearCookies();
  ZTNetworkCore::upload(
      url, requestHeaders, fileUrl,
      [completed = std::move(completed)](Foundation::Result<ZTResponse, Error> result) {
        if (completed) completed(std::move(result));
      },
      [uploadProgress = std::move(uploadProgress)](Foundation::Result<double, Error> result) {
        if (uploadProgress) uploadProgress(std::move(result));
      });
}

}  // namespace ZentrelSDK
