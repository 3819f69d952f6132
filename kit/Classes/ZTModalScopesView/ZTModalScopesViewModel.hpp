#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ZTModalScopesView/ZTModalScopesModel.hpp"

namespace ZentrelSDK {

// The consent card's rows, one per requested scope, and the flow's completion for the answer.
class ZTModalScopesViewModel : public ZTModalScopesModel {
 public:
  // `currentScopes` are the raw requested scope strings; each becomes its description, or
  // stays as it is when it has none, since every requested scope is granted on allow.
  ZTModalScopesViewModel(std::function<void(bool)> finalCompletion,
                         const std::vector<std::string>& currentScopes);
  // Never answered (the card went with its window, say): the completion hears no, on the main
  // queue, as from a cancel.
  ~ZTModalScopesViewModel() override;

  const std::function<void(bool)>& finalCompletion() const override { return finalCompletion_; }
  void setFinalCompletion(std::function<void(bool)> completion) {
    finalCompletion_ = std::move(completion);
  }
  // Calls the completion with the answer, each time it is called.
  void allow(bool allowed) override;
  std::vector<std::string> getScopes() const override { return scopes; }

  std::vector<std::string> scopes;

 private:
  std::function<void(bool)> finalCompletion_;
  bool answered_ = false;
};

}  // namespace ZentrelSDK
