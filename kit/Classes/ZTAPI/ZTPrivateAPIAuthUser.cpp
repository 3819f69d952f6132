#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"

#include <utility>

#include "ZTAPI/ZTRequestManager.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTNetworkCore/ZTAuthRequestBodies.hpp"
#include "ZTNetworkCore/ZTCodableRequestBody.hpp"
#include "ZTTokenUtilites.hpp"

namespace ZentrelSDK {

namespace {

using Foundation::Result;

constexpr const char* kInvalidCredentials = "Invalid password or code, try again";
// U+202F between "the" and "registered".
constexpr const char* kNoRegisteredPhone = "You don't have the\u202Fregistered phone number";

template <class F, class... Args>
void call(const F& callback, Args&&... args) {
  if (callback) callback(std::forward<Args>(args)...);
}

const Foundation::Data& bytesOf(const ZTResponse& response) {
  static const Foundation::Data empty;
  return response.data ? *response.data : empty;
}

std::string unhandledText() {
  return ZTPrivateAPIAuthUser::ZTAuthUserError::unhandledResponseCode().localizedDescription();
}

}  // namespace

std::string ZTPrivateAPIAuthUser::ZTAuthUserError::errorDescription() const {
  switch (kind_) {
    case Case::responseIsNil:
      return "Response nil";
    case Case::codeMismatch:
      return "Code mismatch";
    case Case::emailAlreadyExists:
      return "Email already exist";
    case Case::validationError:
      return "Validation error";
    case Case::unhandledResponseCode:
      return "Something went wrong, please, try later";
    case Case::tooManyRequests:
      return "Too many requests. Please, try later";
  }
  return {};
}

void ZTPrivateAPIAuthUser::checkEmail(const std::string& email,
                                      std::function<void(ZTCheckEmailResponse)> success,
                                      MessageCallback errorEvent) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTCheckEmailResponse>(
      std::string(), std::string(), ZTConstants::getAuthPath(), ZTHTTPMethod::post, true,
      EmailOnlyBody(email),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Result<ZTCheckEmailResponse, Error> result) {
        if (result.isSuccess()) return call(success, std::move(result).value());
        call(errorEvent, result.error().localizedDescription());
      });
}

void ZTPrivateAPIAuthUser::checkAuth(bool clearCookie, std::function<void(bool)> success,
                                     MessageCallback errorEvent) {
  const std::string token = ZTTokenUtilites::shared()->getToken();
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      token, std::string(), ZTConstants::getAuthCheckPath(), ZTHTTPMethod::get, clearCookie,
      EmptyBody(),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Result<ZTResponse, Error> result) {
        if (result.isFailure()) return call(errorEvent, result.error().localizedDescription());
        call(success, result.value().statusCode == 200);
      });
}

void ZTPrivateAPIAuthUser::sendCodeToEmail(bool clearCookie, const std::string& email,
                                           std::function<void(ZTSendCodeResponse)> success,
                                           std::function<void(Error)> errorEvent) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTSendCodeResponse>(
      std::string(), std::string(), ZTConstants::getAuthCodeSendPath(), ZTHTTPMethod::post,
      clearCookie, EmailOnlyBody(email),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Result<ZTSendCodeResponse, Error> result) {
        if (result.isSuccess()) return call(success, std::move(result).value());
        call(errorEvent, std::move(result).error());
      });
}

void ZTPrivateAPIAuthUser::authToken(const std::string& email, const std::string& password,
                                     const std::string& code,
                                     ZTConstants::ChallengeType challengeType,
                                     std::function<void(ZTAuthTokenResponse)> success,
                                     MessageCallback errorEvent) {
  AuthTokenBody body(typeNameForGetToken(challengeType), email, password, code);
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      std::string(), std::string(), ZTConstants::getAuthTokenPath(), ZTHTTPMethod::post, true, body,
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Result<ZTResponse, Error> result) {
        if (result.isFailure()) return call(errorEvent, result.error().localizedDescription());
        const ZTResponse& response = result.value();
        switch (response.statusCode) {
          case 200: {
            auto answer = parse<ZTAuthTokenResponse>(bytesOf(response));
            if (answer.isFailure()) return call(errorEvent, answer.error().localizedDescription());
            if (!answer.value().success) return call(errorEvent, unhandledText());
            return call(success, std::move(answer).value());
          }
          case 401:
            return call(errorEvent, std::string(kInvalidCredentials));
          default:
            return call(errorEvent, unhandledText());
        }
      });
}

void ZTPrivateAPIAuthUser::signUp(
    const std::string& email, const std::string& password, const std::string& code,
    std::function<void(Foundation::Result<ZTAuthTokenResponse, Error>)> result) {
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      std::string(), std::string(), ZTConstants::getSignUpPath(), ZTHTTPMethod::post, true,
      SignUpBody(email, password, code),
      [result = std::move(result)](Result<ZTResponse, Error> answer) {
        if (answer.isFailure()) return call(result, Foundation::failure(std::move(answer).error()));
        handleSignUpResponse(answer.value().statusCode, bytesOf(answer.value()), result);
      });
}

void ZTPrivateAPIAuthUser::sendPasswordReset(
    const std::string& email,
    std::function<void(Foundation::Result<ZTPasswordResetResponse, Error>)> result) {
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      std::string(), std::string(), ZTConstants::getAuthPassResetPath(), ZTHTTPMethod::post, true,
      EmailOnlyBody(email), [result = std::move(result)](Result<ZTResponse, Error> answer) {
        if (answer.isFailure()) return call(result, Foundation::failure(std::move(answer).error()));
        handleResetPasswordResponse(answer.value().statusCode, bytesOf(answer.value()), result);
      });
}

void ZTPrivateAPIAuthUser::sendPasswordResetConfirm(
    const std::string& password, const std::string& code,
    std::function<void(Foundation::Result<bool, Error>)> result) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<EmptyBody>(
      std::string(), std::string(), ZTConstants::getAuthPassConfirmPath(), ZTHTTPMethod::post, true,
      ResetPasswordConfirmBody(password, code),
      [result = std::move(result)](Result<EmptyBody, Error> answer) {
        if (answer.isFailure()) return call(result, Foundation::failure(std::move(answer).error()));
        call(result, Foundation::success(true));
      });
}

void ZTPrivateAPIAuthUser::sendOtpReset(const std::string& email, std::function<void()> success,
                                        MessageCallback errorEvent) {
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      std::string(), std::string(), ZTConstants::getOtpResetPath(), ZTHTTPMethod::get, true,
      EmailOnlyBody(email),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Result<ZTResponse, Error> result) {
        if (result.isFailure()) return call(errorEvent, result.error().localizedDescription());
        switch (result.value().statusCode) {
          case 200:
            return call(success);
          case 400:
            return call(errorEvent, std::string(kNoRegisteredPhone));
          default:
            return call(errorEvent, unhandledText());
        }
      });
}

void ZTPrivateAPIAuthUser::sendOtpResetConfirm(const std::string& code,
                                               std::function<void()> success,
                                               MessageCallback errorEvent) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<EmptyBody>(
      std::string(), std::string(), ZTConstants::getOtpResetPath(), ZTHTTPMethod::post, true,
      CodeOnlyBody(code),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Result<EmptyBody, Error> result) {
        if (result.isFailure()) return call(errorEvent, result.error().localizedDescription());
        call(success);
      });
}

void ZTPrivateAPIAuthUser::handleSignUpResponse(
    int responseCode, const Foundation::Data& responseData,
    const std::function<void(Foundation::Result<ZTAuthTokenResponse, Error>)>& result) {
  switch (responseCode) {
    case 200: {
      auto answer = parse<ZTAuthTokenResponse>(responseData);
      if (answer.isFailure()) return call(result, Foundation::failure(Error(answer.error())));
      // A refused sign-up must not pass for a signed-up user.
      if (!answer.value().success)
        return call(result, Foundation::failure(Error(ZTAuthUserError::unhandledResponseCode())));
      return call(result, Foundation::success(std::move(answer).value()));
    }
    case 406:
      return call(result, Foundation::failure(Error(ZTAuthUserError::codeMismatch())));
    case 409:
      return call(result, Foundation::failure(Error(ZTAuthUserError::emailAlreadyExists())));
    case 412:
      return call(result, Foundation::failure(Error(ZTAuthUserError::validationError())));
    default:
      return call(result, Foundation::failure(Error(ZTAuthUserError::unhandledResponseCode())));
  }
}

void ZTPrivateAPIAuthUser::handleResetPasswordResponse(
    int responseCode, const Foundation::Data& resetData,
    const std::function<void(Foundation::Result<ZTPasswordResetResponse, Error>)>& result) {
  switch (responseCode) {
    case 200: {
      auto answer = parse<ZTPasswordResetResponse>(resetData);
      if (answer.isFailure()) return call(result, Foundation::failure(Error(answer.error())));
      return call(result, Foundation::success(std::move(answer).value()));
    }
    case 429:
      return call(result, Foundation::failure(Error(ZTAuthUserError::tooManyRequests())));
    default:
      return call(result, Foundation::failure(Error(ZTAuthUserError::unhandledResponseCode())));
  }
}

}  // namespace ZentrelSDK
