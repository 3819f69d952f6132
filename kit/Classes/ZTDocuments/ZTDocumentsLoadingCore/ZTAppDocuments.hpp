#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTScopes.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// Holds the document types the host app requires, as the identity server last reported them
// for the kit's application identifier (ZTOAuthCore::setup must have run). Safe to use from
// any thread.
class ZTAppDocuments : public std::enable_shared_from_this<ZTAppDocuments> {
 public:
  // (true, code 0 and "") on success; (false, the error) on failure.
  using Completion = std::function<void(bool, std::optional<ZTOAuthError>)>;

  static const std::shared_ptr<ZTAppDocuments>& shared();
  virtual ~ZTAppDocuments() = default;
  ZTAppDocuments(const ZTAppDocuments&) = delete;
  ZTAppDocuments& operator=(const ZTAppDocuments&) = delete;

  // Empty until the first successful answer; a failure keeps it.
  std::vector<ZTPublicConstants::DocumentType> dockTypeList() const;
  void setDockTypeList(std::vector<ZTPublicConstants::DocumentType> list);
  // Nothing in the kit fills it.
  std::vector<ZTScopes> scopes() const;
  void setScopes(std::vector<ZTScopes> scopes);
  // The completion of the latest updateDockInfo.
  Completion appCompletion() const;
  void setAppCompletion(Completion completion);

  // Stores the completion and asks the server again. Each call's completion gets the answer
  // to its own request, once, on the main queue, even when calls overlap.
  virtual void updateDockInfo(Completion completion);
  // Reports success to the stored completion.
  virtual void parseScopes();
  // Asks the server again; the answer goes to the completion stored now.
  void getRequiredDocks();

 protected:
  ZTAppDocuments() = default;

 private:
  void requestRequiredDocks(Completion completion);

  mutable std::mutex mutex_;
  std::vector<ZTPublicConstants::DocumentType> dockTypeList_;
  std::vector<ZTScopes> scopes_;
  Completion appCompletion_;
};

}  // namespace ZentrelSDK
