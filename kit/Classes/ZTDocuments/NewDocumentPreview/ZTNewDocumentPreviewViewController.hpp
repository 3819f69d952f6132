#pragma once

#include <functional>
#include <memory>
#include <string>

#include <UIKit/UIButton.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTDocuments/NewDocumentPreview/ZTDocumentPreviewModel.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTDocumentPreviewView.hpp"

namespace ZentrelSDK {

// A new document before its submission: type, status, front and back photos, laid out by
// the interface file "ZTNewDocumentPreviewViewController". Every action goes to the view
// model; a tap on a photo retakes that side. Main thread only.
class ZTNewDocumentPreviewViewController : public UIKit::UIViewController,
                                           public ZTDocumentPreviewView {
 public:
  // Owns the view model; calls nothing on it until the view loads.
  explicit ZTNewDocumentPreviewViewController(std::shared_ptr<ZTDocumentPreviewModel> viewModel);

  std::shared_ptr<ZTDocumentPreviewModel> viewModel;
  std::weak_ptr<UIKit::UIButton> backButton;
  std::weak_ptr<UIKit::UILabel> documentTypeLabel;
  std::weak_ptr<UIKit::UILabel> docStatusLabel;
  std::weak_ptr<UIKit::UIButton> addBacksideButton;
  std::weak_ptr<UIKit::UIButton> submitButton;
  std::weak_ptr<UIKit::UIImageView> frontsideImage;
  std::weak_ptr<UIKit::UIImageView> backsideImage;

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;

  void backButtonAction(UIKit::UIButton& sender);
  void addBacksideImageAction(UIKit::UIButton& sender);
  void submitAction(UIKit::UIButton& sender);

  void setFrontsidePhoto() override;
  void setBacksidePhoto() override;
  void documentStatusDidUpdate() override;
  void lockDocumentChanging() override;
  void deleteBacksidePhoto() override;
  void showLoadingProcess() override;
  void showCongratulation() override;
  void finalAction(std::function<void()> action) override;
  void showError(const std::string& error) override;

 private:
  std::shared_ptr<ZTNewDocumentPreviewViewController> self();
  void configureViews();
  void addRetakePhotoGestures();
  void configureDocStatus();
  void retakeFrontPhoto();
  void retakeBackPhoto();
};

}  // namespace ZentrelSDK
