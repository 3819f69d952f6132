#pragma once

#include <functional>

namespace ZentrelSDK {

// The code card as its view model sees it.
class ZTModalView {
 public:
  virtual ~ZTModalView() = default;
  // Dismisses the card; `completion` runs once it has gone.
  virtual void closeModal(std::function<void()> completion) = 0;
};

}  // namespace ZentrelSDK
