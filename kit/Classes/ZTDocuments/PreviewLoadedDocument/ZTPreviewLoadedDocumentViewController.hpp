#pragma once

#include <functional>
#include <memory>
#include <string>

#include <UIKit/UIActivityIndicatorView.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedModel.hpp"
#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedView.hpp"

namespace ZentrelSDK {

// An uploaded document: type, review status in its colour, and both sides' images, each
// with a spinner until its result comes. Laid out by "ZTPreviewLoadedDocumentViewController";
// the back button closes it at any moment. Main thread only.
class ZTPreviewLoadedDocumentViewController : public UIKit::UIViewController,
                                              public ZTPreviewLoadedView {
 public:
  // Owns the model; the model hears of the screen when its view loads.
  explicit ZTPreviewLoadedDocumentViewController(std::shared_ptr<ZTPreviewLoadedModel> viewModel);

  std::shared_ptr<ZTPreviewLoadedModel> viewModel;
  std::weak_ptr<UIKit::UIButton> backButton;
  std::weak_ptr<UIKit::UILabel> docTypeLabel;
  std::weak_ptr<UIKit::UILabel> docStatusLabel;
  std::weak_ptr<UIKit::UIButton> addDocumentButton;
  std::weak_ptr<UIKit::UIActivityIndicatorView> spinnerFrontImage;
  std::weak_ptr<UIKit::UIActivityIndicatorView> spinnerBacksideImage;
  std::weak_ptr<UIKit::UIImageView> frontsideImageView;
  std::weak_ptr<UIKit::UIImageView> backsideImageView;

  using UIKit::UIViewController::dismiss;
  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidLoad() override;

  void addNewDocumentAction(UIKit::UIButton& sender);
  void dismissAction(UIKit::UIButton& sender);

  void setFrontsidePhoto() override;
  void setBacksidePhoto() override;
  void documentStatusDidUpdate() override;
  void dismiss(std::function<void()> withAction) override;
  void showError(const std::string& error) override;

 private:
  void configureUI();
  void configureDocStatus();
};

}  // namespace ZentrelSDK
