#pragma once

#include <functional>
#include <string>

namespace ZentrelSDK {

// How the owner of the six-digit entry sees it: two callbacks and a way to empty it. An
// interface file connects an outlet of this type. Main thread only.
class CodeVerificationView {
 public:
  using Callback = std::function<void(const std::string& code)>;

  virtual ~CodeVerificationView() = default;

  // Called with the whole code when it is complete.
  virtual const Callback& didFinishedEnterCode() const = 0;
  virtual void setDidFinishedEnterCode(Callback callback) = 0;
  // Called with the whole code after every other change.
  virtual const Callback& didChangeEnterCode() const = 0;
  virtual void setDidChangeEnterCode(Callback callback) = 0;
  // Empties the entry.
  virtual void clearCode() = 0;
};

}  // namespace ZentrelSDK
