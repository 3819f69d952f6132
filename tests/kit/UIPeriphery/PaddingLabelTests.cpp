#include <gtest/gtest.h>

#include <memory>

#include <Testing/UI.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTUIComponents/ZTPaddingLabel.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using ZentrelSDK::ZTPaddingLabel;

namespace {

class PaddingLabel : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
    for (auto* label : {static_cast<UILabel*>(plain.get()), static_cast<UILabel*>(padded.get())}) {
      label->setText("Passport");
      label->setFont(UIFont::systemFont(15));
    }
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  // Puts both on screen and lets the platform draw them.
  void show() {
    ui->root()->view()->addSubview(plain);
    ui->root()->view()->addSubview(padded);
    ui->settle();
  }

  std::unique_ptr<UI> ui;
  std::shared_ptr<UILabel> plain = std::make_shared<UILabel>(CGRect::make(0, 0, 200, 40));
  std::shared_ptr<ZTPaddingLabel> padded =
      std::make_shared<ZTPaddingLabel>(CGRect::make(0, 0, 200, 40));
};

}  // namespace

TEST_F(PaddingLabel, UnequalInsetsMoveTheTextAndWidenTheNaturalSize) {
  padded->leftInset = 20;
  padded->rightInset = 0;
  const auto base = plain->intrinsicContentSize();
  EXPECT_EQ(padded->intrinsicContentSize(), (CGSize{base.width + 20, base.height + 10}));
  show();
  const auto text = *padded->drawnTextRect();
  const auto full = *plain->drawnTextRect();
  EXPECT_EQ(text.minX(), full.minX() + 20);
  EXPECT_EQ(text.maxX(), full.maxX());
  EXPECT_EQ(text.minY(), full.minY() + 5);
}
