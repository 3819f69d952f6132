#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include <Foundation/Data.hpp>
#include <Foundation/Result.hpp>

#include "ZTAPI/ResponceDataModel/Auth/ZTAuthTokenResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTCheckEmailResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTPasswordResetResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTSendCodeResponse.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

// Client of the identity server's sign-in calls. Stateless: every call ends in exactly one
// call of one of its callbacks, on the main queue (a request that cannot even be built is
// reported at once, on the calling thread). Nothing from an answer is stored here; the caller
// decides what to keep. An empty callback is simply not called.
class ZTPrivateAPIAuthUser {
 public:
  // Failures the client judges itself from a status code.
  class ZTAuthUserError {
   public:
    enum class Case {
      responseIsNil,
      codeMismatch,
      emailAlreadyExists,
      validationError,
      unhandledResponseCode,
      tooManyRequests,
    };

    static ZTAuthUserError responseIsNil() { return ZTAuthUserError(Case::responseIsNil); }
    static ZTAuthUserError codeMismatch() { return ZTAuthUserError(Case::codeMismatch); }
    static ZTAuthUserError emailAlreadyExists() {
      return ZTAuthUserError(Case::emailAlreadyExists);
    }
    static ZTAuthUserError validationError() { return ZTAuthUserError(Case::validationError); }
    static ZTAuthUserError unhandledResponseCode() {
      return ZTAuthUserError(Case::unhandledResponseCode);
    }
    static ZTAuthUserError tooManyRequests() { return ZTAuthUserError(Case::tooManyRequests); }

    Case kind() const { return kind_; }
    std::string errorDescription() const;
    // The same text as errorDescription().
    std::string localizedDescription() const { return errorDescription(); }

    bool operator==(const ZTAuthUserError&) const = default;

   private:
    explicit ZTAuthUserError(Case kind) : kind_(kind) {}
    Case kind_;
  };

  using MessageCallback = std::function<void(std::string)>;

  ZTPrivateAPIAuthUser() = default;

  // POST /auth. Every failure, a non-200 status or an undecodable answer included, reaches
  // errorEvent as its text.
  static void checkEmail(const std::string& email,
                         std::function<void(ZTCheckEmailResponse)> success,
                         MessageCallback errorEvent);

  // GET /auth/check with the session token. Only 200 is signed in; any other status is
  // success(false). Only a failure to get an answer at all reaches errorEvent.
  static void checkAuth(bool clearCookie, std::function<void(bool)> success,
                        MessageCallback errorEvent);

  // POST /auth/code. The request's error value is handed on unchanged.
  static void sendCodeToEmail(bool clearCookie, const std::string& email,
                              std::function<void(ZTSendCodeResponse)> success,
                              std::function<void(Error)> errorEvent);

  // POST /auth/token. A code that came by SMS is submitted as "emailLink". A 200 whose success
  // flag is false is a failure.
  static void authToken(const std::string& email, const std::string& password,
                        const std::string& code, ZTConstants::ChallengeType challengeType,
                        std::function<void(ZTAuthTokenResponse)> success,
                        MessageCallback errorEvent);

  // POST /auth/signup. 406, 409 and 412 have errors of their own; a 200 whose success flag is
  // false, like any other status, is unhandledResponseCode.
  static void signUp(const std::string& email, const std::string& password, const std::string& code,
                     std::function<void(Foundation::Result<ZTAuthTokenResponse, Error>)> result);

  // POST /regular-password/reset; 429 is tooManyRequests.
  static void sendPasswordReset(
      const std::string& email,
      std::function<void(Foundation::Result<ZTPasswordResetResponse, Error>)> result);

  // POST /regular-password/reset/confirm. Success is always true; the answer's body is not read.
  static void sendPasswordResetConfirm(const std::string& password, const std::string& code,
                                       std::function<void(Foundation::Result<bool, Error>)> result);

  // GET /auth/recover with the e-mail in the query.
  static void sendOtpReset(const std::string& email, std::function<void()> success,
                           MessageCallback errorEvent);

  // POST /auth/recover; the answer's body is not read.
  static void sendOtpResetConfirm(const std::string& code, std::function<void()> success,
                                  MessageCallback errorEvent);

 private:
  static void handleSignUpResponse(
      int responseCode, const Foundation::Data& responseData,
      const std::function<void(Foundation::Result<ZTAuthTokenResponse, Error>)>& result);
  static void handleResetPasswordResponse(
      int responseCode, const Foundation::Data& resetData,
      const std::function<void(Foundation::Result<ZTPasswordResetResponse, Error>)>& result);
};

}  // namespace ZentrelSDK

template <>
struct std::hash<ZentrelSDK::ZTPrivateAPIAuthUser::ZTAuthUserError> {
  std::size_t operator()(const ZentrelSDK::ZTPrivateAPIAuthUser::ZTAuthUserError& error) const {
    return std::hash<int>()(static_cast<int>(error.kind()));
  }
};
