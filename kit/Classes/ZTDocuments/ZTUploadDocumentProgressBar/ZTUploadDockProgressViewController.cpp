#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"

#include <algorithm>
#include <numbers>
#include <utility>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Bundle.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UIBezierPath.hpp>

#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"

namespace ZentrelSDK {

namespace {
constexpr const char* kNibName = "ZTUploadDockProgressViewController";
}  // namespace

ZTUploadDockProgressViewController::ZTUploadDockProgressViewController(
    std::shared_ptr<ZTUploadDocumentModel> viewModel)
    : UIViewController(kNibName, Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
      viewModel_(std::move(viewModel)) {}

std::shared_ptr<ZTUploadDockProgressViewController> ZTUploadDockProgressViewController::self() {
  return std::static_pointer_cast<ZTUploadDockProgressViewController>(shared_from_this());
}

void ZTUploadDockProgressViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("circleView", circleView);
  binder.outlet("progressLabel", progressLabel);
  binder.outlet("uploadingLabel", uploadingLabel);
  binder.outlet("documentUploadedImageView", documentUploadedImageView);
}

void ZTUploadDockProgressViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  if (viewModel_) viewModel_->setupDelegate(self());
  setupSubviews();
}

void ZTUploadDockProgressViewController::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  addCircleProgressPath();
}

void ZTUploadDockProgressViewController::setupSubviews() {
  if (auto picture = documentUploadedImageView.lock()) {
    picture->setImage(ZTImageFromLib::makeLibraryImage("documentUploaded"));
    picture->setAlpha(0.01);
  }
}

double ZTUploadDockProgressViewController::getEndCircleAngle(int from) {
  return std::clamp(static_cast<double>(from), 0.0, 100.0) / 100.0 * 2.0 * std::numbers::pi;
}

void ZTUploadDockProgressViewController::drawRingInCircle(int progress,
                                                          const UIKit::UIColor& fillColor) {
  auto circle = circleView.lock();
  if (!circle) return;
  const double r = circle->frame().size.width / 2.0;
  UIKit::UIBezierPath arc({r, r}, r - 1.0, 0, getEndCircleAngle(progress), true);
  auto layer = std::make_shared<QuartzCore::CAShapeLayer>();
  layer->path = arc.cgPath();
  layer->strokeColor = fillColor.cgColor();
  layer->fillColor = UIKit::UIColor::clear().cgColor();
  layer->lineWidth = 2.0;
  circle->layer()->addSublayer(layer);
}

void ZTUploadDockProgressViewController::addCircleProgressPath() {
  std::weak_ptr<ZTUploadDockProgressViewController> weakSelf = self();
  Dispatch::DispatchQueue::main().async([weakSelf] {
    if (auto screen = weakSelf.lock()) {
      screen->drawRingInCircle(100, ZTUIConstants::MAIN_COLOR().withAlphaComponent(0.6));
    }
  });
}

void ZTUploadDockProgressViewController::drawNewProgress(int progress) {
  std::weak_ptr<ZTUploadDockProgressViewController> weakSelf = self();
  Dispatch::DispatchQueue::main().async([weakSelf, progress] {
    auto screen = weakSelf.lock();
    if (!screen) return;
    if (auto label = screen->progressLabel.lock()) label->setText(std::to_string(progress) + "%");
    screen->drawRingInCircle(progress, ZTUIConstants::MAIN_COLOR());
  });
}

void ZTUploadDockProgressViewController::setNewProgress(int progress) {
  drawNewProgress(progress);
}

void ZTUploadDockProgressViewController::setNewInfoLabel(const std::string& info) {
  Dispatch::DispatchQueue::main().async([screen = self(), info] {
    if (auto label = screen->uploadingLabel.lock()) label->setText(info);
  });
}

void ZTUploadDockProgressViewController::showFinishAnimation(std::function<void()> completeAction) {
  drawNewProgress(100);
  Dispatch::DispatchQueue::main().async(
      [screen = self(), completeAction = std::move(completeAction)]() mutable {
        if (auto label = screen->progressLabel.lock()) label->setAlpha(0);
        if (auto label = screen->uploadingLabel.lock()) label->setText("Upload complete");
        std::weak_ptr<UIKit::UIImageView> picture = screen->documentUploadedImageView;
        UIKit::UIView::animate(
            1.0,
            [picture] {
              if (auto view = picture.lock()) view->setAlpha(1.0);
            },
            [completeAction = std::move(completeAction)](bool) {
              if (completeAction) completeAction();
            });
      });
}

void ZTUploadDockProgressViewController::close(std::function<void()> action) {
  dismiss(true, [action = std::move(action)] {
    if (action) action();
  });
}

}  // namespace ZentrelSDK
