#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <QuartzCore/CAAnimationDelegate.hpp>
#include <UIKit/UIGestureRecognizer.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIView.hpp>

namespace ZentrelSDK {

// Shows one page at a time out of a list of optional images and changes page with a flip
// about the vertical axis: the view turns edge-on (0.2 s), its content is swapped, and it
// turns back (0.2 s). An entry without an image is the add-document card page: the card
// (when enabled) with a title and a text, whose taps go to one callback. Interface files
// may name it by its class.
class ZTFlipImageView : public UIKit::UIView, public QuartzCore::CAAnimationDelegate {
 public:
  explicit ZTFlipImageView(UIKit::CGRect frame = {});
  ~ZTFlipImageView() override;

  // Fills the list and shows a page: `initImage` when given, else the current one.
  // `imageViewCount` above 0 sets the number of pages in the cycle; otherwise the cycle
  // keeps its length.
  void setImages(std::vector<std::shared_ptr<UIKit::UIImage>> images,
                 std::optional<int> imageViewCount, bool needButton = false,
                 std::optional<int> initImage = std::nullopt);
  // Replaces the card's tap callback; none clears it.
  void touchLitener(std::function<void()> touch);
  // Shows the page at `imageCount` (despite its name, an index; none: the next page of the
  // cycle). The title and text, even when none, are for the next card built.
  void nextImage(std::optional<int> imageCount = std::nullopt,
                 std::optional<std::string> btnTitle = std::nullopt,
                 std::optional<std::string> btnText = std::nullopt);

  // The card's tap action ("touchView:"); the sender is not looked at.
  void touchView(UIKit::UIGestureRecognizer& sender);

  // The first half's stop swaps the content in, whether or not it ran to its end.
  void animationDidStop(QuartzCore::CAAnimation& animation, bool finished) override;

 private:
  struct ImagePage {
    std::shared_ptr<UIKit::UIImage> image;
  };
  struct ButtonPage {};
  using currentState = std::variant<ImagePage, ButtonPage>;

  void updateView(std::optional<int> initImage);
  void updateCount();
  void startAnimateView(const currentState& state);
  void finishAnimateView();
  void setImage(const std::shared_ptr<UIKit::UIImage>& image);
  void setButton();
  void removeAllSubviews();

  const std::string START_ANIMATION = "START_ANIMATION";
  const std::string FINISH_ANIMATION = "FINISH_ANIMATION";
  const std::string KEY_ANIMATION = "KEY_ANIMATION";
  std::vector<std::shared_ptr<UIKit::UIImage>> imageList;
  bool enableButton = false;
  std::optional<std::string> buttonTitle;
  std::optional<std::string> buttonText;
  int rotateCount = 0;
  int currentImage = 0;
  std::function<void()> clickEvent;
};

}  // namespace ZentrelSDK
