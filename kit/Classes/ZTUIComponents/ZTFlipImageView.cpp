#include "ZTUIComponents/ZTFlipImageView.hpp"

#include <numbers>

#include <QuartzCore/CABasicAnimation.hpp>
#include <QuartzCore/CATransform3D.hpp>
#include <UIKit/InterfaceRegistry.hpp>
#include <UIKit/NSLayoutConstraint.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTAddDockView.hpp"

namespace ZentrelSDK {

namespace {
const bool registered =
    UIKit::InterfaceRegistry::registerViewClass<ZTFlipImageView>("ZTFlipImageView");

constexpr double kHalfDuration = 0.2;
constexpr UIKit::CGFloat kImageInset = 5.0;

std::shared_ptr<QuartzCore::CABasicAnimation> halfTurn(UIKit::CGFloat from, UIKit::CGFloat to) {
  auto animation = std::make_shared<QuartzCore::CABasicAnimation>("transform");
  animation->fromValue = QuartzCore::CATransform3DMakeRotation(from, 0, 1, 0);
  animation->toValue = QuartzCore::CATransform3DMakeRotation(to, 0, 1, 0);
  animation->duration = kHalfDuration;
  animation->timingFunction =
      QuartzCore::CAMediaTimingFunction(QuartzCore::CAMediaTimingFunction::Name::linear);
  animation->isRemovedOnCompletion = false;
  animation->fillMode = QuartzCore::CAMediaTimingFillMode::forwards;
  return animation;
}
}  // namespace

ZTFlipImageView::ZTFlipImageView(UIKit::CGRect frame) : UIView(frame) {}

ZTFlipImageView::~ZTFlipImageView() {
  clickEvent = nullptr;
}

void ZTFlipImageView::setImages(std::vector<std::shared_ptr<UIKit::UIImage>> images,
                                std::optional<int> imageViewCount, bool needButton,
                                std::optional<int> initImage) {
  imageList = std::move(images);
  enableButton = needButton;
  if (imageViewCount && *imageViewCount > 0) rotateCount = *imageViewCount - 1;
  updateView(initImage);
}

void ZTFlipImageView::touchLitener(std::function<void()> touch) {
  clickEvent = std::move(touch);
}

void ZTFlipImageView::nextImage(std::optional<int> imageCount, std::optional<std::string> btnTitle,
                                std::optional<std::string> btnText) {
  buttonText = std::move(btnText);
  buttonTitle = std::move(btnTitle);
  updateView(imageCount);
}

void ZTFlipImageView::touchView(UIKit::UIGestureRecognizer& /*sender*/) {
  // A copy: the callback may replace itself.
  if (auto callback = clickEvent) callback();
}

void ZTFlipImageView::updateView(std::optional<int> initImage) {
  const int wanted = initImage.value_or(currentImage);
  if (wanted <= rotateCount) currentImage = wanted;
  // An index outside the list (the caller's count ran past it) shows the card page rather
  // than reading beyond the list.
  const bool inList =
      currentImage >= 0 && static_cast<std::size_t>(currentImage) < imageList.size();
  if (inList && imageList[static_cast<std::size_t>(currentImage)]) {
    startAnimateView(ImagePage{imageList[static_cast<std::size_t>(currentImage)]});
  } else {
    startAnimateView(ButtonPage{});
  }
  updateCount();
}

void ZTFlipImageView::updateCount() {
  if (currentImage == rotateCount) {
    currentImage = 0;
  } else {
    currentImage += 1;
  }
}

void ZTFlipImageView::startAnimateView(const currentState& state) {
  auto animation = halfTurn(0, std::numbers::pi / 2.0);
  animation->delegate = std::static_pointer_cast<ZTFlipImageView>(weak_from_this().lock());
  animation->setValue(state, KEY_ANIMATION);
  if (animation->delegate.expired()) {
    ZTLogger::errorLog("ZTFlipImageView must be held by a shared_ptr to change its page");
  }
  layer()->add(animation, "transform");
}

void ZTFlipImageView::finishAnimateView() {
  auto animation = halfTurn(std::numbers::pi / 2.0, 0);
  animation->delegate = std::static_pointer_cast<ZTFlipImageView>(weak_from_this().lock());
  animation->setValue(FINISH_ANIMATION, KEY_ANIMATION);
  layer()->add(animation, "transform");
}

void ZTFlipImageView::animationDidStop(QuartzCore::CAAnimation& animation, bool /*finished*/) {
  const auto* state = animation.value<currentState>(KEY_ANIMATION);
  if (!state) return;  // the second half, or not ours
  if (const auto* page = std::get_if<ImagePage>(state)) {
    setImage(page->image);
  } else {
    setButton();
  }
}

void ZTFlipImageView::removeAllSubviews() {
  for (const auto& view : std::vector(subviews())) view->removeFromSuperview();
}

void ZTFlipImageView::setImage(const std::shared_ptr<UIKit::UIImage>& image) {
  removeAllSubviews();
  auto imageView = std::make_shared<UIKit::UIImageView>(bounds().insetBy(kImageInset, kImageInset));
  imageView->setImage(image);
  imageView->setContentMode(UIKit::UIView::ContentMode::scaleAspectFit);
  imageView->setClipsToBounds(true);
  imageView->layer()->cornerRadius = layer()->cornerRadius;
  addSubview(imageView);
  imageView->setAutoresizingMask(AutoresizingMask::flexibleWidth |
                                 AutoresizingMask::flexibleHeight);
  finishAnimateView();
}

void ZTFlipImageView::setButton() {
  removeAllSubviews();
  if (!enableButton) {
    finishAnimateView();
    return;
  }
  auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
  if (auto self = std::static_pointer_cast<ZTFlipImageView>(weak_from_this().lock()))
    tap->addTarget(self, &ZTFlipImageView::touchView);
  auto card = ZTAddDockView::make(bounds());
  card->addGestureRecognizer(tap);
  if (auto title = card->title.lock(); title && buttonTitle) title->setText(*buttonTitle);
  if (auto text = card->text.lock(); text && buttonText) text->setText(*buttonText);
  buttonText.reset();
  buttonTitle.reset();
  addSubview(card);
  UIKit::NSLayoutConstraint::activate({card->centerXAnchor().constraint(centerXAnchor()),
                                       card->centerYAnchor().constraint(centerYAnchor())});
  card->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
  finishAnimateView();
}

}  // namespace ZentrelSDK
