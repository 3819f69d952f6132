#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <Testing/UI.hpp>
#include <Testing/WebKitDriver.hpp>
#include <UIKit/UIActivityIndicatorView.hpp>
#include <UIKit/UIAlertController.hpp>
#include <WebKit/WKWebView.hpp>

#include "ZTWebView.hpp"
#include "ZTWebViewController.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using PlatformTesting::WebKitDriver;
using ZentrelSDK::ZTWebView;
using ZentrelSDK::ZTWebViewController;

namespace {

constexpr double kTransition = UIViewController::transitionDuration;

class WebViewScreen : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
    driver = std::make_unique<WebKitDriver>();
  }
  void TearDown() override {
    ui.reset();
    driver.reset();
    ClockTest::TearDown();
  }
  std::shared_ptr<ZTWebViewController> open(const std::string& url) {
    ZTWebView::shared()->openURL(url);
    advance(kTransition);
    return std::dynamic_pointer_cast<ZTWebViewController>(ui->frontmost());
  }
  std::shared_ptr<ZTWebViewController> presentScreen(std::optional<std::string> url) {
    auto screen = std::make_shared<ZTWebViewController>();
    screen->url = std::move(url);
    ui->root()->present(screen, false);
    advance(0);
    return screen;
  }
  template <class V>
  static std::vector<std::shared_ptr<V>> all(const UIView& view) {
    std::vector<std::shared_ptr<V>> found;
    for (const auto& sub : view.subviews()) {
      if (auto typed = std::dynamic_pointer_cast<V>(sub)) found.push_back(typed);
    }
    return found;
  }
  static std::shared_ptr<UIActivityIndicatorView> indicator(ZTWebViewController& screen) {
    auto list = all<UIActivityIndicatorView>(*screen.view());
    return list.empty() ? nullptr : list.front();
  }

  std::unique_ptr<UI> ui;
  std::unique_ptr<WebKitDriver> driver;
};

}  // namespace

TEST_F(WebViewScreen, ItOpensOverTheCurrentScreenAndLoadsThePage) {
  auto screen = open("https://example.com/terms?lang=en");
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(ZTWebView::shared(), ZTWebView::shared());
  EXPECT_EQ(screen->modalPresentationStyle(), UIModalPresentationStyle::overCurrentContext);
  EXPECT_NE(ui->root()->view()->window(), nullptr);  // still beneath
  EXPECT_EQ(screen->view()->backgroundColor(), UIColor::clear());
  EXPECT_FALSE(screen->view()->isOpaque());

  ASSERT_EQ(driver->requests().size(), 1u);
  const auto request = driver->requests().front();
  EXPECT_EQ(request.url->absoluteString(), "https://example.com/terms?lang=en");
  EXPECT_EQ(request.timeoutInterval, 60);

  auto webViews = all<WebKit::WKWebView>(*screen->view());
  ASSERT_EQ(webViews.size(), 1u);
  EXPECT_EQ(webViews.front()->frame(), screen->view()->bounds());
  EXPECT_TRUE(webViews.front()->configuration().preferences->javaScriptEnabled);
  EXPECT_EQ(webViews.front()->contentMode(), UIView::ContentMode::scaleAspectFill);
  // The indicator lies above the page.
  ASSERT_EQ(screen->view()->subviews().size(), 2u);
  EXPECT_EQ(screen->view()->subviews().back(), indicator(*screen));
}

TEST_F(WebViewScreen, TheIndicatorTurnsFromTheStartOfANavigationToAHostUntilItFinishes) {
  auto screen = open("https://example.com/");
  auto spinner = indicator(*screen);
  ASSERT_NE(spinner, nullptr);
  EXPECT_EQ(spinner->color(), UIColor::blue());
  EXPECT_TRUE(spinner->isAnimating());
  EXPECT_FALSE(spinner->isHidden());
  driver->commit();
  EXPECT_TRUE(spinner->isAnimating());
  driver->finish();
  EXPECT_FALSE(spinner->isAnimating());
  EXPECT_TRUE(spinner->isHidden());
  EXPECT_EQ(ui->frontmost(), screen);
}

TEST_F(WebViewScreen, AFailureAfterTheCommitClosesTheScreenSilently) {
  auto screen = open("https://example.com/");
  driver->commit();
  driver->fail(Foundation::NSError::urlError(Foundation::NSURLErrorNetworkConnectionLost));
  EXPECT_FALSE(indicator(*screen)->isAnimating());
  advance(kTransition);
  EXPECT_EQ(ui->frontmost(), ui->root());
  EXPECT_EQ(screen->view()->window(), nullptr);
  EXPECT_TRUE(ui->findAll<UIAlertController>().empty());
}

TEST_F(WebViewScreen, AFailureBeforeTheCommitAlsoClosesTheScreen) {
  auto screen = open("https://unreachable.example/");
  EXPECT_TRUE(indicator(*screen)->isAnimating());
  driver->failUnreachable();
  EXPECT_FALSE(indicator(*screen)->isAnimating());
  advance(kTransition);
  EXPECT_EQ(ui->frontmost(), ui->root());
}

TEST_F(WebViewScreen, AnAbsentOrInvalidURLShowsTheScreenAndLoadsNothing) {
  for (const std::optional<std::string>& url :
       {std::optional<std::string>(), std::optional<std::string>("not a url"),
        std::optional<std::string>("")}) {
    auto screen = presentScreen(url);
    EXPECT_EQ(ui->frontmost(), screen);
    EXPECT_EQ(all<WebKit::WKWebView>(*screen->view()).size(), 1u);
    EXPECT_FALSE(indicator(*screen)->isAnimating());
    screen->backTouch();
    advance(kTransition);
    EXPECT_EQ(ui->frontmost(), ui->root());
  }
  EXPECT_TRUE(driver->requests().empty());
}

TEST_F(WebViewScreen, TheViewsAreBuiltOnceEvenWhenTheScreenAppearsAgain) {
  auto screen = open("https://example.com/");
  driver->finish();
  auto cover = std::make_shared<UIViewController>();
  cover->setModalPresentationStyle(UIModalPresentationStyle::fullScreen);
  screen->present(cover, false);
  advance(0);
  cover->dismiss(false);
  advance(0);
  EXPECT_EQ(ui->frontmost(), screen);
  EXPECT_EQ(all<WebKit::WKWebView>(*screen->view()).size(), 1u);
  EXPECT_EQ(all<UIActivityIndicatorView>(*screen->view()).size(), 1u);
  EXPECT_EQ(driver->requests().size(), 1u);
}
