#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/URL.hpp>
#include <UIKit/UIImage.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentsListResponse.hpp"
#include "ZTDocumentsManager.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// The same door for the documents list's own flow: a successful submission closes the
// preview and announces a modification instead.
class ZTPrivateDocumentsManager : public ZTDocumentsManager {
 public:
  // The documents client's types for these, named here so that a host needs none of the client.
  using Statuses = std::vector<ZTPublicConstants::DocumentStatusType>;
  using ErrorEvent = std::function<void(const std::string&)>;

  static const std::shared_ptr<ZTPrivateDocumentsManager>& shared();
  ZTPrivateDocumentsManager() = default;

  // One page of the user's documents from the identity server, as the documents client
  // gives it: no loader, no permission step.
  static void getDocumentsList(std::int64_t limit, std::int64_t offset,
                               const std::optional<Statuses>& status,
                               std::function<void(std::vector<DocumentItem>)> success,
                               ErrorEvent errorEvent);

  // Presents the preview of an uploaded document over the topmost controller; nothing
  // without one, or for an id that names no document ("", "." or "..").
  virtual void openLoadedDocument(const std::string& id, ZTPublicConstants::DocumentType type);

 protected:
  std::shared_ptr<ZTDocumentPreviewViewModel> makeViewModel(
      std::shared_ptr<UIKit::UIImage> draft, Foundation::URL imageUrl,
      ZTPublicConstants::DocumentType type) const override;
};

}  // namespace ZentrelSDK
