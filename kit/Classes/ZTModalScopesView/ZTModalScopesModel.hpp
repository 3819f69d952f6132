#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ZentrelSDK {

// What the consent card sees of its view model: its rows and where the user's answer goes.
class ZTModalScopesModel {
 public:
  virtual ~ZTModalScopesModel() = default;
  virtual const std::function<void(bool)>& finalCompletion() const = 0;
  // true: the user allowed the scopes; false: cancelled. Called after the card is gone.
  virtual void allow(bool allowed) = 0;
  // One row per text.
  virtual std::vector<std::string> getScopes() const = 0;
};

}  // namespace ZentrelSDK
