#pragma once

#include <functional>
#include <memory>
#include <string>

#include <UIKit/UIColor.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDocumentModel.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDocumentView.hpp"

namespace ZentrelSDK {

// The modal ring, percentage and stage text of an upload, laid out by the interface file
// "ZTUploadDockProgressViewController". Every arc drawn stays, so the ring shows the largest
// progress so far. The view calls may come from any thread; their work runs on the main
// queue in call order.
class ZTUploadDockProgressViewController : public UIKit::UIViewController,
                                           public ZTUploadDocumentView {
 public:
  // Owns the relay; calls nothing on it until the view loads.
  explicit ZTUploadDockProgressViewController(std::shared_ptr<ZTUploadDocumentModel> viewModel);

  std::weak_ptr<UIKit::UIView> circleView;
  std::weak_ptr<UIKit::UILabel> progressLabel;
  std::weak_ptr<UIKit::UILabel> uploadingLabel;
  std::weak_ptr<UIKit::UIImageView> documentUploadedImageView;

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

  void setNewProgress(int progress) override;
  void setNewInfoLabel(const std::string& info) override;
  void showFinishAnimation(std::function<void()> completeAction) override;
  void close(std::function<void()> action) override;

 private:
  std::shared_ptr<ZTUploadDockProgressViewController> self();
  void setupSubviews();
  void addCircleProgressPath();
  void drawRingInCircle(int progress, const UIKit::UIColor& fillColor);
  static double getEndCircleAngle(int from);
  void drawNewProgress(int progress);

  std::shared_ptr<ZTUploadDocumentModel> viewModel_;
};

}  // namespace ZentrelSDK
