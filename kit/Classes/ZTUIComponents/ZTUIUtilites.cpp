#include "ZTUIComponents/ZTUIUtilites.hpp"

#include <utility>
#include <vector>

#include <Dispatch/DispatchQueue.hpp>
#include <UIKit/UIActivityIndicatorView.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>
#include <UIKit/UIViewControllerTransitioning.hpp>
#include <UIKit/UIVisualEffectView.hpp>

#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"

namespace ZentrelSDK {

using UIKit::UIAlertController;

namespace {
constexpr Foundation::TimeInterval kErrorAlertLifetime = 5.0;
}  // namespace

const std::shared_ptr<ZTUIUtilites>& ZTUIUtilites::shared() {
  static const std::shared_ptr<ZTUIUtilites> instance(new ZTUIUtilites);
  return instance;
}

ZTUIUtilites::ZTUIUtilites()
    : errorAlert_(std::make_shared<UIAlertController>(std::nullopt, std::nullopt,
                                                      UIAlertController::Style::alert)),
      loaderAlert_(std::make_shared<UIAlertController>(std::nullopt, std::nullopt,
                                                       UIAlertController::Style::alert)) {}

// Error alert.

void ZTUIUtilites::errorAlert(const std::optional<std::string>& description,
                              std::function<void()> completion) {
  auto top = ZTUIApplication::topViewController();
  if (!description || !top) {
    if (completion) completion();
    return;
  }
  // The caller of the alert this one replaces still goes on once, when that one has gone.
  auto replaced = std::exchange(errorAlertCompletion_, std::move(completion));
  if (timerDissmissErrorAlert_) timerDissmissErrorAlert_->invalidate();
  const auto request = ++errorAlertRequest_;
  std::weak_ptr<ZTUIUtilites> weakSelf = weak_from_this();
  errorAlert_->dismiss(true, [weakSelf, request, text = *description, replaced] {
    if (replaced) replaced();
    Dispatch::DispatchQueue::main().async([weakSelf, request, text] {
      if (auto self = weakSelf.lock()) self->showErrorAlert(request, text, nullptr);
    });
  });
}

void ZTUIUtilites::showErrorAlert(std::uint64_t request, const std::string& description,
                                  std::function<void()> /*completion*/) {
  if (request != errorAlertRequest_) return;  // a newer alert took its place
  // What was topmost when asked may be the alert just closed: present from what is on top
  // now that it has gone.
  auto top = ZTUIApplication::topViewController();
  if (!top) {
    if (auto completion = std::exchange(errorAlertCompletion_, nullptr)) completion();
    return;
  }
  std::weak_ptr<ZTUIUtilites> weakSelf = weak_from_this();
  // The platform refuses to present during a present or dismiss there, and the user must
  // still learn of the error: ask again once it has ended.
  if (auto coordinator = top->transitionCoordinator()) {
    coordinator->animate(nullptr, [weakSelf, request, description](const auto&) {
      if (auto self = weakSelf.lock()) self->showErrorAlert(request, description, nullptr);
    });
    return;
  }
  auto alert =
      std::make_shared<UIAlertController>("Error", description, UIAlertController::Style::alert);
  errorAlert_ = alert;
  std::weak_ptr<UIAlertController> weakAlert = alert;
  ZTUIApplication::present(*top, alert, true, [weakSelf, weakAlert, request] {
    auto self = weakSelf.lock();
    auto shown = weakAlert.lock();
    if (self && shown) self->armErrorAlert(request, shown);
  });
  // Refused (the top screen is in no window): nothing to wait for.
  if (!alert->presentingViewController()) {
    if (auto completion = std::exchange(errorAlertCompletion_, nullptr)) completion();
  }
}

void ZTUIUtilites::armErrorAlert(std::uint64_t request,
                                 const std::shared_ptr<UIAlertController>& alert) {
  if (request != errorAlertRequest_) return;  // replaced while it was being presented
  auto container = alert->view()->superview();
  auto backdrop =
      container && !container->subviews().empty() ? container->subviews().front() : nullptr;
  if (backdrop) {
    backdrop->setUserInteractionEnabled(true);
    auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
    tap->addTarget(shared_from_this(), &ZTUIUtilites::actionDissmissErrorAlert);
    backdrop->addGestureRecognizer(tap);
  }
  std::weak_ptr<ZTUIUtilites> weakSelf = weak_from_this();
  timerDissmissErrorAlert_ =
      Foundation::Timer::scheduledTimer(kErrorAlertLifetime, false, [weakSelf](Foundation::Timer&) {
        if (auto self = weakSelf.lock()) self->closeErrorAlertByTimer();
      });
}

void ZTUIUtilites::closeErrorAlertByTimer() {
  errorAlert_->dismiss(true, std::exchange(errorAlertCompletion_, nullptr));
}

void ZTUIUtilites::actionDissmissErrorAlert() {
  if (timerDissmissErrorAlert_) timerDissmissErrorAlert_->invalidate();
  // Taken, so a second tap while the alert closes cannot run it again.
  errorAlert_->dismiss(true, std::exchange(errorAlertCompletion_, nullptr));
}

// Loader.

void ZTUIUtilites::loaderStartThen(std::function<void()> next) {
  if (ZTUIApplication::topViewController()) return loaderStart(1.0, std::move(next));
  Dispatch::DispatchQueue::main().async(std::move(next));
}

void ZTUIUtilites::loaderStart(CoreGraphics::CGFloat scale, std::function<void()> completion) {
  if (!ZTUIApplication::topViewController()) return;
  const auto request = ++loaderRequest_;
  loaderPending_ = true;
  if (completion) loaderCompletions_.push_back(std::move(completion));
  std::weak_ptr<ZTUIUtilites> weakSelf = weak_from_this();
  loaderAlert_->dismiss(true, [weakSelf, request, scale] {
    Dispatch::DispatchQueue::main().async([weakSelf, request, scale] {
      if (auto self = weakSelf.lock()) self->showLoader(request, scale);
    });
  });
}

void ZTUIUtilites::showLoader(std::uint64_t request, CoreGraphics::CGFloat scale) {
  // A newer loader took its place; its callers still go on, once that one is up.
  if (request != loaderRequest_) return;
  // As for the error alert: the loader just closed may have been the topmost controller, and
  // nothing can be presented while a present or dismiss is under way there.
  auto top = ZTUIApplication::topViewController();
  if (!top) return goOnWithoutLoader(std::exchange(loaderCompletions_, {}));
  if (auto coordinator = top->transitionCoordinator()) {
    std::weak_ptr<ZTUIUtilites> weakSelf = weak_from_this();
    coordinator->animate(nullptr, [weakSelf, request, scale](const auto&) {
      if (auto self = weakSelf.lock()) self->showLoader(request, scale);
    });
    return;
  }
  auto alert = std::make_shared<UIAlertController>(std::string(), std::nullopt,
                                                   UIAlertController::Style::alert);
  loaderAlert_ = alert;
  const auto& alertView = alert->view();
  auto indicator = std::make_shared<UIKit::UIActivityIndicatorView>(alertView->bounds());
  indicator->setAutoresizingMask(UIKit::UIView::AutoresizingMask::flexibleWidth |
                                 UIKit::UIView::AutoresizingMask::flexibleHeight);
  indicator->setTransform(CoreGraphics::CGAffineTransform::scale(scale, scale));
  alertView->addSubview(indicator);
  clearBackgroundColor(alertView);
  indicator->setUserInteractionEnabled(false);
  indicator->startAnimating();
  // Every caller waiting for a loader goes on once this one is up, the overtaken ones first.
  auto waiting =
      std::make_shared<std::vector<std::function<void()>>>(std::exchange(loaderCompletions_, {}));
  ZTUIApplication::present(*top, alert, true, [waiting] {
    for (const auto& completion : std::exchange(*waiting, {})) completion();
  });
  // Refused (the top screen is in no window): the callers must not wait for it.
  if (!alert->presentingViewController()) return goOnWithoutLoader(std::exchange(*waiting, {}));
  settleLoader();
}

void ZTUIUtilites::goOnWithoutLoader(std::vector<std::function<void()>> waiting) {
  settleLoader();
  for (const auto& completion : waiting) completion();
}

void ZTUIUtilites::settleLoader() {
  loaderPending_ = false;
  // Closing a loader being presented waits for it to be in.
  for (auto& completion : std::exchange(dismissalsWhenShown_, {}))
    loaderAlert_->dismiss(true, std::move(completion));
}

void ZTUIUtilites::loaderDissmiss(std::function<void()> completion) {
  std::weak_ptr<ZTUIUtilites> weakSelf = weak_from_this();
  Dispatch::DispatchQueue::main().async([weakSelf, completion = std::move(completion)] {
    auto self = weakSelf.lock();
    if (!self) return;
    // A loader not shown yet would stay once shown: close it after it is.
    if (self->loaderPending_) return self->dismissalsWhenShown_.push_back(completion);
    self->loaderAlert_->dismiss(true, completion);
  });
}

// Upload progress.

void ZTUIUtilites::presentUploadDocumentProgressBar(
    const std::shared_ptr<ZTUploadDocumentModel>& with, std::function<void()> withCompletion) {
  Dispatch::DispatchQueue::main().async([model = with, completion = std::move(withCompletion)] {
    auto top = ZTUIApplication::topViewController();
    if (!top) return;
    auto screen = std::make_shared<ZTUploadDockProgressViewController>(model);
    screen->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
    ZTUIApplication::present(*top, screen, true, completion);
  });
}

void ZTUIUtilites::clearBackgroundColor(const std::shared_ptr<UIKit::UIView>& view) {
  if (std::dynamic_pointer_cast<UIKit::UIVisualEffectView>(view)) {
    view->removeFromSuperview();
    return;
  }
  view->setBackgroundColor(UIKit::UIColor::clear());
  for (const auto& subview : std::vector(view->subviews())) clearBackgroundColor(subview);
}

}  // namespace ZentrelSDK
