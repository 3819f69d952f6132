#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <Foundation/URL.hpp>

#include "ZTNetworkCore/ZTNetworkCore.hpp"

namespace ZentrelSDK {

// The one entry every API client sends its requests through: it adds "Authorization"
// ("Bearer " and the token, or "Bearer " alone) and "x-request-code", makes the cookie call the
// request asks for and hands over to the network core. Outcomes arrive as the core delivers
// them: at once on the calling thread when the request cannot be built, else on the main
// queue. Safe to call from any thread: each call builds its own headers.
class ZTRequestManager {
 public:
  using Headers = ZTNetworkCore::Headers;
  using ResponseCompletion = ZTNetworkCore::ResponseCompletion;
  using ProgressCallback = ZTNetworkCore::ProgressCallback;
  template <class T>
  using Completion = ZTNetworkCore::Completion<T>;

  static constexpr std::string_view TOKEN_KEY = "Authorization";
  static constexpr std::string_view REQUEST_CODE_KEY = "x-request-code";
  static constexpr std::string_view TOKEN_PREFIX = "Bearer ";
  static constexpr std::string_view POST_KOSTIL =
      "application/x-www-form-urlencoded; charset=utf-8";

  static const std::shared_ptr<ZTRequestManager>& shared();

  // Any HTTP status comes back as a ZTResponse.
  template <class Body>
  void runExpectingAnyAnswer(const std::optional<std::string>& token, const std::string& code,
                             const std::string& url, ZTHTTPMethod method, bool clearCookie,
                             const Body& requestBody, ResponseCompletion completed) {
    cookieCall(clearCookie);
    ZTNetworkCore::requestRequiredStatusCodeAnswer(url, method, headers(token, code), requestBody,
                                                   std::move(completed));
  }

  // Only 200 succeeds, decoded into Answer.
  template <class Answer, class Body>
  void runExpectingSuccessAnswer(const std::optional<std::string>& token, const std::string& code,
                                 const std::string& url, ZTHTTPMethod method, bool clearCookie,
                                 const Body& requestBody, Completion<Answer> completion) {
    cookieCall(clearCookie);
    ZTNetworkCore::requestRequired200StatusCodeAnswer<Answer>(url, method, headers(token, code),
                                                              requestBody, std::move(completion));
  }

  // A form-encoded POST with "Content-type: application/x-www-form-urlencoded".
  template <class Answer, class Body>
  void runPostWithUrlEncoded(const std::optional<std::string>& token, const std::string& code,
                             const std::string& url, bool clearCookie, const Body& requestBody,
                             Completion<Answer> completion) {
    auto formHeaders = headers(token, code);
    formHeaders.emplace("Content-type", "application/x-www-form-urlencoded");
    cookieCall(clearCookie);
    ZTNetworkCore::postRequestWithUrlEncoded<Answer>(url, formHeaders, requestBody,
                                                     std::move(completion));
  }

  void download(const std::optional<std::string>& token, const std::string& code,
                const std::string& url, ResponseCompletion completion,
                ProgressCallback downloadProgress = nullptr);

  void upload(const std::string& token, const std::string& code, const Foundation::URL& fileUrl,
              const std::string& url, ResponseCompletion completed,
              ProgressCallback uploadProgress = nullptr);

  ZTRequestManager(const ZTRequestManager&) = delete;
  ZTRequestManager& operator=(const ZTRequestManager&) = delete;

 private:
  ZTRequestManager() = default;

  static Headers headers(const std::optional<std::string>& token, const std::string& code);
  static void cookieCall(bool clearCookie);
};

}  // namespace ZentrelSDK
