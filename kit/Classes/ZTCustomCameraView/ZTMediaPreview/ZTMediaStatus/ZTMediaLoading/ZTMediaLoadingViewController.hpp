#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <UIKit/UIImageView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// Turns a circle for 30 seconds after a submission, then reads the user's documents and
// opens the success screen (every required type verified), the pending screen (every one
// pending review) or announces a modification. Main thread only.
class ZTMediaLoadingViewController : public UIKit::UIViewController {
 public:
  // The screen of the interface file "ZTMediaLoadingViewController" of the kit's bundle.
  ZTMediaLoadingViewController();

  ZTPublicConstants::DocumentStatusType appDocksStatus =
      ZTPublicConstants::DocumentStatusType::NotReadable;
  std::weak_ptr<UIKit::UIImageView> pendingCircle;

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;

 private:
  std::shared_ptr<ZTMediaLoadingViewController> self();
  // Presented and not being closed.
  bool isShown() const;
  void setCircleImage();
  void infiniteCircleRotation();
  void getDocumentList();
  void checkStatus(const std::vector<ZTPublicDocumentElement>& docks);
  void beginTransition();
  void openSuccessScreen();
  void openPendingScreen();
};

// The list a documents read gives: empty when any item is null.
std::vector<ZTPublicDocumentElement> documentsOrEmpty(
    const std::vector<std::optional<ZTPublicDocumentElement>>& items);

}  // namespace ZentrelSDK
