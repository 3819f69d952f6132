#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <Foundation/Result.hpp>

#include "ZTNetworkCore/ZTNetworkErrors.hpp"

// What the OAuth flow needs of the kit's screens: the six-digit code screen and the scopes
// consent screen. The screens' presenters implement these interfaces and are installed in
// ZTOAuthScreens; the flow and the host entry points reach the screens only through them.

namespace ZentrelSDK {

// Why the code screen gave no code: the user cancelled it.
struct ZTValidationError {
  enum class Case { cancelled };
  Case kind = Case::cancelled;

  static ZTValidationError cancelled() { return {}; }
  std::string localizedDescription() const;
  bool operator==(const ZTValidationError&) const = default;
};

// The modal code screen's presenter: the completion gets the entered code, or a failure
// (ZTValidationError::cancelled when the user cancelled).
class ZTVerificationCodePresenting {
 public:
  using Completion = std::function<void(Foundation::Result<std::string, Error>)>;
  virtual ~ZTVerificationCodePresenting() = default;
  virtual void sendVerificationCodeAndShowModal(Completion completion) = 0;
};

// The view model the consent screen sees: its rows and where the user's answer goes.
class ZTModalScopesModel {
 public:
  virtual ~ZTModalScopesModel() = default;
  virtual const std::function<void(bool)>& finalCompletion() const = 0;
  // true: the user allowed the scopes; false: cancelled. Called after the screen is gone.
  virtual void allow(bool allowed) = 0;
  // One row per text.
  virtual std::vector<std::string> getScopes() const = 0;
};

// The consent screen's presenter: `scopes` are the raw requested scope strings; the completion
// gets true for allow, false for cancel.
class ZTModalScopesPresenting {
 public:
  virtual ~ZTModalScopesPresenting() = default;
  virtual void showModal(const std::vector<std::string>& scopes,
                         std::function<void(bool)> completion) = 0;
};

// The installed presenters; absent until the screens (or a host or test) install theirs.
// Safe to use from any thread.
class ZTOAuthScreens {
 public:
  static void setVerificationCodePresenter(std::shared_ptr<ZTVerificationCodePresenting> presenter);
  static std::shared_ptr<ZTVerificationCodePresenting> verificationCodePresenter();
  static void setScopesPresenter(std::shared_ptr<ZTModalScopesPresenting> presenter);
  static std::shared_ptr<ZTModalScopesPresenting> scopesPresenter();
};

}  // namespace ZentrelSDK
