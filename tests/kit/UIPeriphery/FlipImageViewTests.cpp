#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include <QuartzCore/CATransform3D.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTUIComponents/ZTAddDockView.hpp"
#include "ZTUIComponents/ZTFlipImageView.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using ZentrelSDK::ZTAddDockView;
using ZentrelSDK::ZTFlipImageView;

namespace {

constexpr double kHalf = 0.2;

struct Empty {
  bool operator==(const Empty&) const = default;
};
struct Card {
  bool operator==(const Card&) const = default;
};
using Page = std::variant<Empty, Card, std::shared_ptr<UIImage>>;

class FlipCarousel : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
    ui->root()->view()->addSubview(carousel);
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  // What the carousel holds now.
  Page shown() const {
    const auto& subviews = carousel->subviews();
    if (subviews.empty()) return Empty{};
    EXPECT_EQ(subviews.size(), 1u);
    if (std::dynamic_pointer_cast<ZTAddDockView>(subviews.front())) return Card{};
    auto imageView = std::dynamic_pointer_cast<UIImageView>(subviews.front());
    return imageView ? Page(imageView->image()) : Page(Empty{});
  }
  // A whole page change: both halves.
  void flip() { advance(2 * kHalf); }
  std::shared_ptr<ZTAddDockView> card() const {
    return carousel->subviews().empty()
               ? nullptr
               : std::dynamic_pointer_cast<ZTAddDockView>(carousel->subviews().front());
  }

  std::unique_ptr<UI> ui;
  std::shared_ptr<ZTFlipImageView> carousel =
      std::make_shared<ZTFlipImageView>(CGRect::make(20, 100, 300, 200));
  std::shared_ptr<UIImage> a = UIImage::withSize(CGSize{40, 30});
  std::shared_ptr<UIImage> b = UIImage::withSize(CGSize{30, 40});
};

}  // namespace

TEST_F(FlipCarousel, ItCyclesThroughImagesAndTheCardPage) {
  carousel->setImages({a, b, nullptr}, 3, true);
  EXPECT_EQ(shown(), Page(Empty{}));  // swapped only when the view stands edge-on
  advance(kHalf);
  EXPECT_EQ(shown(), Page(a));
  advance(kHalf);
  const std::vector<Page> expected = {Page(b), Page(Card{}), Page(a), Page(b)};
  for (const auto& page : expected) {
    carousel->nextImage();
    flip();
    EXPECT_EQ(shown(), page);
  }
}

TEST_F(FlipCarousel, AFlipTurnsAboutTheVerticalAxisAndEndsFacingTheUser) {
  carousel->setImages({a}, 1);
  auto firstHalf = carousel->layer()->animation("transform");
  ASSERT_NE(firstHalf, nullptr);
  using QuartzCore::CATransform3D;
  EXPECT_EQ(std::get<CATransform3D>(*carousel->layer()->presentationValue("transform")),
            QuartzCore::CATransform3DIdentity);
  advance(kHalf / 2);
  const auto midway = std::get<CATransform3D>(*carousel->layer()->presentationValue("transform"));
  EXPECT_LT(midway.m11, 1.0);         // narrowing
  EXPECT_DOUBLE_EQ(midway.m22, 1.0);  // never shorter
  advance(kHalf);
  flip();
  const auto end = std::get<CATransform3D>(*carousel->layer()->presentationValue("transform"));
  EXPECT_NEAR(end.m11, 1.0, 1e-12);
  EXPECT_NEAR(end.m13, 0.0, 1e-12);
  EXPECT_TRUE(QuartzCore::CATransform3DIsIdentity(carousel->layer()->transform));
}

TEST_F(FlipCarousel, AnIndexBeyondTheListShowsTheCardPage) {
  carousel->setImages({a}, 3, true);
  flip();
  EXPECT_EQ(shown(), Page(a));
  carousel->nextImage();
  flip();
  EXPECT_EQ(shown(), Page(Card{}));
  carousel->nextImage();
  flip();
  EXPECT_EQ(shown(), Page(Card{}));
  carousel->nextImage();
  flip();
  EXPECT_EQ(shown(), Page(a));
  carousel->setImages({a}, std::nullopt, false, -1);
  flip();
  EXPECT_EQ(shown(), Page(Empty{}));
  carousel->nextImage();  // the cycle goes on from page 0
  flip();
  EXPECT_EQ(shown(), Page(a));
}

TEST_F(FlipCarousel, TapsOnTheCardReachTheCallbackAndNothingElseDoes) {
  int taps = 0;
  carousel->setImages({nullptr, a}, 2, true);
  flip();
  ASSERT_NE(card(), nullptr);
  EXPECT_TRUE(ui->tap(card()));  // no callback yet: nothing happens
  carousel->touchLitener([&taps] { ++taps; });
  ui->tap(card());
  ui->tap(card());
  EXPECT_EQ(taps, 2);
  EXPECT_EQ(carousel->constraints().size(), 2u);
  carousel->nextImage();
  flip();
  ui->tap(carousel);  // an image page
  EXPECT_EQ(taps, 2);
  carousel->touchLitener(nullptr);
  carousel->nextImage();
  flip();
  ui->tap(card());
  EXPECT_EQ(taps, 2);
}
