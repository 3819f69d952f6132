#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTMediaPhotoCropViewController.hpp"

#include <algorithm>
#include <cmath>

#include <Foundation/Bundle.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UIColor.hpp>
#include <UIKit/UIGraphics.hpp>

#include "ZTCustomCameraView/ZTPhotoProcessor.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

using UIKit::CGFloat;
using UIKit::CGRect;
using UIKit::CGSize;

namespace {
CGRect scaleRect(const CGRect& rect, CGFloat s) {
  return CGRect::make(rect.origin.x * s, rect.origin.y * s, rect.size.width * s,
                      rect.size.height * s);
}

// The part `cut` (whole pixels of the picture as shown, upright at scale 1) drawn upright in
// one pass: a turned or scaled photo is never redrawn whole first.
std::shared_ptr<UIKit::UIImage> uprightCut(const UIKit::UIImage& image, const CGRect& cut,
                                           CGSize shownPixels) {
  UIKit::UIGraphicsBeginImageContextWithOptions(cut.size, false, 1);
  auto context = UIKit::UIGraphicsGetCurrentContext();
  if (context) {
    context->translateBy(-cut.origin.x, -cut.origin.y);
    image.draw(CGRect{{0, 0}, shownPixels});
  }
  auto result = context ? UIKit::UIGraphicsGetImageFromCurrentImageContext() : nullptr;
  UIKit::UIGraphicsEndImageContext();
  return result;
}
}  // namespace

const std::shared_ptr<ZTMediaPhotoCropViewController>& ZTMediaPhotoCropViewController::shared() {
  static const auto instance =
      std::make_shared<ZTMediaPhotoCropViewController>(SourceType::photoLibrary);
  return instance;
}

ZTMediaPhotoCropViewController::ZTMediaPhotoCropViewController(SourceType source)
    : UIViewController("ZTMediaPhotoCropViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
      photoSource(source) {}

void ZTMediaPhotoCropViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("bottomBar", bottomBar);
  binder.outlet("croppingImageView", croppingImageView);
  binder.outlet("activityIndicator", activityIndicator);
  binder.outlet("maskView", maskView);
  binder.outlet("maskImageView", maskImageView);
  binder.action("done:", [this](UIKit::UIControl&) { done(); });
  binder.action("cancel:", [this](UIKit::UIControl&) { cancel(); });
  binder.action("takeAnotherPicture:", [this](UIKit::UIControl&) { takeAnotherPicture(); });
  binder.gestureAction("actionPan:", [this](UIKit::UIGestureRecognizer& g) {
    if (auto* pan = dynamic_cast<UIKit::UIPanGestureRecognizer*>(&g)) actionPan(*pan);
  });
  binder.gestureAction("actionPinch:", [this](UIKit::UIGestureRecognizer& g) {
    if (auto* pinch = dynamic_cast<UIKit::UIPinchGestureRecognizer*>(&g)) actionPinch(*pinch);
  });
}

void ZTMediaPhotoCropViewController::setImageForCropping(std::shared_ptr<UIKit::UIImage> image) {
  loadViewIfNeeded();
  if (auto view = croppingImageView.lock()) view->setImage(std::move(image));
  if (isShowing()) showCroppingImageAndMask();
}

void ZTMediaPhotoCropViewController::setMaskImage(std::shared_ptr<UIKit::UIImage> image) {
  loadViewIfNeeded();
  if (auto view = maskImageView.lock()) view->setImage(std::move(image));
  if (isShowing()) showCroppingImageAndMask();
}

void ZTMediaPhotoCropViewController::resetMaskImage() {
  loadViewIfNeeded();
  if (auto view = maskImageView.lock()) {
    view->setImage(nullptr);
    view->setHidden(true);
  }
  if (isShowing()) showCroppingImageAndMask();
}

bool ZTMediaPhotoCropViewController::isShowing() const {
  return appeared_ && !isBeingDismissed();
}

void ZTMediaPhotoCropViewController::viewDidAppear(bool animated) {
  UIViewController::viewDidAppear(animated);
  appeared_ = true;
  showCroppingImageAndMask();
}

void ZTMediaPhotoCropViewController::viewWillDisappear(bool animated) {
  UIViewController::viewWillDisappear(animated);
  appeared_ = false;
  hideCroppingView();
}

void ZTMediaPhotoCropViewController::showCroppingImageAndMask() {
  calculateInitialImageSize();
  setupMask();
  if (auto spinner = activityIndicator.lock()) spinner->stopAnimating();
}

void ZTMediaPhotoCropViewController::hideCroppingView() {
  if (auto spinner = activityIndicator.lock()) spinner->startAnimating();
  clearMaskHole();
  if (auto view = croppingImageView.lock()) view->setHidden(true);
}

void ZTMediaPhotoCropViewController::resetTransformation() {
  if (auto view = croppingImageView.lock())
    view->setTransform(UIKit::CGAffineTransform::identity());
  scale_ = 1.0;
}

void ZTMediaPhotoCropViewController::calculateInitialImageSize() {
  resetTransformation();
  auto photo = croppingImageView.lock();
  auto mask = maskView.lock();
  if (!photo || !mask) return;
  if (auto frame = calculateImageFrame(photo->image(), *mask)) {
    photo->setFrame(*frame);
    photo->setHidden(false);
  }
}

std::optional<CGRect> ZTMediaPhotoCropViewController::calculateImageFrame(
    const std::shared_ptr<UIKit::UIImage>& image, const UIKit::UIView& view,
    CGFloat multiplier) const {
  if (!image) return std::nullopt;
  const CGSize size = image->size();
  const CGRect bounds = view.bounds();
  CGSize fitted;
  // An unordered comparison (a zero side) lets the height decide, as an ordered one would.
  if (!(bounds.size.width / bounds.size.height < size.width / size.height)) {
    fitted.height = bounds.size.height * multiplier;
    fitted.width = size.width * (fitted.height / size.height);
  } else {
    fitted.width = bounds.size.width * multiplier;
    fitted.height = size.height * (fitted.width / size.width);
  }
  return CGRect::make((bounds.size.width - fitted.width) / 2,
                      (bounds.size.height - fitted.height) / 2, fitted.width, fitted.height);
}

void ZTMediaPhotoCropViewController::setupMask() {
  auto mask = maskView.lock();
  auto outline = maskImageView.lock();
  if (mask && outline) {
    if (auto frame = calculateImageFrame(outline->image(), *mask)) {
      outline->setFrame(*frame);
      outline->setHidden(false);
    }
  }
  createTransperentHoleInMask();
}

bool ZTMediaPhotoCropViewController::maskImageIsShowing() const {
  auto outline = maskImageView.lock();
  return outline && !outline->isHidden() && outline->image();
}

void ZTMediaPhotoCropViewController::clearMaskHole() {
  if (auto mask = maskView.lock()) mask->layer()->setMask(nullptr);
}

void ZTMediaPhotoCropViewController::createTransperentHoleInMask() {
  clearMaskHole();
  auto mask = maskView.lock();
  if (!mask) return;
  if (maskImageIsShowing()) {
    holeInMaskRect_ = maskImageView.lock()->frame();
  } else {
    const CGFloat width = mask->bounds().size.width * 0.8;
    holeInMaskRect_ =
        CGRect::make((mask->bounds().size.width - width) / 2, 100.0, width, width * 1.4);
  }
  CoreGraphics::CGPath path;
  path.addRect(holeInMaskRect_);
  path.addRect(CGRect::make(0, 0, mask->frame().size.width, mask->frame().size.height));
  auto layer = std::make_shared<QuartzCore::CAShapeLayer>();
  layer->backgroundColor = UIKit::UIColor::black().cgColor();
  layer->path = path;
  layer->fillRule = QuartzCore::CAShapeLayerFillRule::evenOdd;
  mask->layer()->setMask(layer);
}

void ZTMediaPhotoCropViewController::actionPan(UIKit::UIPanGestureRecognizer& gesture) {
  using State = UIKit::UIGestureRecognizer::State;
  switch (gesture.state()) {
    case State::began:
      showBottomButtons(false);
      panLastLocation.reset();
      break;
    case State::changed: {
      auto photo = croppingImageView.lock();
      auto mask = maskView.lock();
      if (!photo || !mask) break;
      const auto location = gesture.location(mask.get());
      const auto previous = panLastLocation.value_or(location);
      panLastLocation = location;
      photo->setFrame(photo->frame().offsetBy(location.x - previous.x, location.y - previous.y));
      break;
    }
    // A pan the system takes away ends like a lifted one, so the bar comes back.
    case State::ended:
    case State::cancelled:
    case State::failed:
      finishUserPanInteraction();
      break;
    default:
      break;
  }
}

void ZTMediaPhotoCropViewController::finishUserPanInteraction() {
  showBottomButtons(true);
  panLastLocation.reset();
}

void ZTMediaPhotoCropViewController::actionPinch(UIKit::UIPinchGestureRecognizer& gesture) {
  using State = UIKit::UIGestureRecognizer::State;
  switch (gesture.state()) {
    case State::began:
      if (gesture.numberOfTouches() >= 2) {
        showBottomButtons(false);
        currentScale = 1.0;
      }
      break;
    case State::changed:
      if (gesture.numberOfTouches() >= 2) scaleImage(gesture.scale());
      break;
    case State::ended:
    case State::cancelled:
      showBottomButtons(true);
      currentScale = 1.0;
      break;
    default:
      break;
  }
}

void ZTMediaPhotoCropViewController::scaleImage(CGFloat gestureScale) {
  // A collapsed or undefined pinch says nothing about the wanted size.
  if (!std::isfinite(gestureScale) || gestureScale <= 0) return;
  scale_ = std::max(minimumScale, scale_ + (gestureScale - currentScale));
  currentScale = gestureScale;
  if (auto photo = croppingImageView.lock())
    photo->setTransform(UIKit::CGAffineTransform::scale(scale_, scale_));
}

void ZTMediaPhotoCropViewController::showBottomButtons(bool show) {
  auto bar = bottomBar.lock();
  if (!bar) return;
  UIKit::UIView::animate(0.1, [bar, show] { bar->setAlpha(show ? 1.0 : 0.0); });
}

std::shared_ptr<UIKit::UIImage> ZTMediaPhotoCropViewController::crop() const {
  auto photo = croppingImageView.lock();
  if (!photo || !photo->image()) return nullptr;
  const auto& image = photo->image();
  const CGRect frame = photo->frame();
  // The photo is cut as shown, upright at scale 1, whatever its orientation and scale.
  const CGSize size{std::round(image->size().width * image->scale()),
                    std::round(image->size().height * image->scale())};
  const bool upright =
      image->imageOrientation() == UIKit::UIImage::Orientation::Up && image->scale() == 1;
  // Uncut, yet upright: the store keeps no orientation.
  auto whole = [&] {
    auto drawn = upright ? nullptr : uprightCut(*image, CGRect{{0, 0}, size}, size);
    return drawn ? drawn : image;
  };
  const CGFloat s = std::max(size.width / frame.size.width, size.height / frame.size.height);
  if (!std::isfinite(s) || s <= 0) return whole();
  const CGRect f = scaleRect(frame, s);
  const CGRect h = scaleRect(holeInMaskRect_, s);
  if (!f.intersects(h)) return whole();
  const CGRect fromHole = f.offsetBy(-h.origin.x, -h.origin.y);
  const CGRect r = CGRect::make(std::max(0.0, -fromHole.minX()), std::max(0.0, -fromHole.minY()),
                                std::min(h.size.width - fromHole.minX(), h.size.width),
                                std::min(h.size.height - fromHole.minY(), h.size.height));
  std::shared_ptr<UIKit::UIImage> cutImage;
  if (upright) {
    auto bitmap = image->cgImage();
    auto cut = bitmap ? bitmap->cropping(r) : nullptr;
    if (cut) cutImage = UIKit::UIImage::withCGImage(std::move(cut), 1);
  } else {
    const CGRect cut = r.integral().intersection(CGRect{{0, 0}, size});
    if (!cut.isNull() && !cut.isEmpty()) cutImage = uprightCut(*image, cut, size);
  }
  return cutImage ? cutImage : whole();
}

void ZTMediaPhotoCropViewController::done() {
  auto cropped = crop();
  auto weak = weakAs<ZTMediaPhotoCropViewController>();
  dismiss(true, [weak, cropped] {
    if (weak.lock() && cropped)
      ZTPhotoProcessor::shared()->savePictureToTempLibraryAndShowMediaPreview(cropped);
  });
}

void ZTMediaPhotoCropViewController::cancel() {
  dismiss(true);
}

void ZTMediaPhotoCropViewController::takeAnotherPicture() {
  auto outline = maskImageView.lock();
  auto mask = outline ? outline->image() : nullptr;
  if (photoSource == SourceType::camera)
    ZTPhotoProcessor::shared()->openCamera(mask);
  else
    ZTPhotoProcessor::shared()->openImagePicker(mask);
}

}  // namespace ZentrelSDK
