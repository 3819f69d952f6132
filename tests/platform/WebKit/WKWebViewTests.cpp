#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <Foundation/RunLoop.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/WebKitDriver.hpp>
#include <WebKit/WKWebView.hpp>

using Foundation::NSError;
using Foundation::URL;
using Foundation::URLRequest;
using WebKit::WKNavigation;
using WebKit::WKWebView;

namespace {

// Writes each call as "<callback> <navigation id>".
class Journal : public WebKit::WKNavigationDelegate {
 public:
  std::vector<std::string> calls;
  std::vector<int> errorCodes;
  void didStartProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>& n) override {
    note("start", n);
  }
  void didCommit(WKWebView&, const std::shared_ptr<WKNavigation>& n) override { note("commit", n); }
  void didFinish(WKWebView&, const std::shared_ptr<WKNavigation>& n) override { note("finish", n); }
  void didFailProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>& n,
                                    const NSError& e) override {
    note("failProvisional", n);
    errorCodes.push_back(e.code);
  }
  void didFail(WKWebView&, const std::shared_ptr<WKNavigation>& n, const NSError& e) override {
    note("fail", n);
    errorCodes.push_back(e.code);
  }

 private:
  void note(const std::string& what, const std::shared_ptr<WKNavigation>& n) {
    calls.push_back(what + " " + std::to_string(n ? n->identifier() : 0));
  }
};

URLRequest request(const std::string& text) {
  return URLRequest(*URL::string(text));
}

class WebView : public ::testing::Test {
 protected:
  void SetUp() override {
    PlatformTesting::ManualClock::install();
    view->setNavigationDelegate(journal);
  }
  void runPending() { Foundation::RunLoop::main().runPending(); }
  std::string id(const std::shared_ptr<WKNavigation>& n) { return std::to_string(n->identifier()); }

  PlatformTesting::WebKitDriver driver;
  std::shared_ptr<Journal> journal = std::make_shared<Journal>();
  std::shared_ptr<WKWebView> view =
      std::make_shared<WKWebView>(UIKit::CGRect::make(0, 0, 320, 480));
};

}  // namespace

TEST_F(WebView, ANavigationStartsOnALaterTurnThenCommitsAndFinishes) {
  auto navigation = view->load(request("https://example.com/a"));
  ASSERT_NE(navigation, nullptr);
  EXPECT_TRUE(journal->calls.empty());  // never inline
  EXPECT_TRUE(view->isLoading());
  EXPECT_EQ(view->url()->absoluteString(), "https://example.com/a");
  runPending();
  EXPECT_EQ(journal->calls, std::vector<std::string>{"start " + id(navigation)});
  ASSERT_EQ(driver.requests().size(), 1u);
  driver.commit();
  driver.finish();
  EXPECT_EQ(journal->calls,
            (std::vector<std::string>{"start " + id(navigation), "commit " + id(navigation),
                                      "finish " + id(navigation)}));
  EXPECT_FALSE(view->isLoading());
  EXPECT_FALSE(driver.finish());  // nothing left waiting
}

TEST_F(WebView, ANewLoadOrStopDropsTheRunningNavigation) {
  view->load(request("https://example.com/old"));
  runPending();
  auto next = view->load(request("https://example.com/new"));
  EXPECT_EQ(driver.pendingCount(), 1u);
  driver.finish();
  EXPECT_EQ(journal->calls.back(), "finish " + id(next));
  EXPECT_EQ(journal->calls.size(), 4u);  // start old, start new, commit new, finish new
  view->load(request("https://example.com/stopped"));
  view->stopLoading();
  runPending();
  EXPECT_EQ(driver.pendingCount(), 0u);
  EXPECT_FALSE(view->isLoading());
  EXPECT_EQ(journal->calls.size(), 4u);
}

TEST_F(WebView, NeitherTheDelegateNorTheViewIsKeptAlive) {
  std::weak_ptr<Journal> weakJournal = journal;
  view->load(request("https://example.com/"));
  journal.reset();
  EXPECT_TRUE(weakJournal.expired());
  driver.finish();  // nobody to tell; nothing breaks
  view->load(request("https://example.com/"));
  view.reset();  // the load is cancelled with its view
  EXPECT_EQ(driver.pendingCount(), 0u);
}
