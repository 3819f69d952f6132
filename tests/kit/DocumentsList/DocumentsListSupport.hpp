// A signed-in user with an access token, the app's required types seeded in the sandbox, the
// manual clock and a key window; waits that move the clock while the network answers.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIAlertController.hpp>
#include <UIKit/UIColor.hpp>
#include <UIKit/UIView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTDocuments/DocumentsList/Cell/ZTDocumentsUITableViewCell.hpp"
#include "ZTDocuments/DocumentsList/DocumentsViewController.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTAppDocuments.hpp"
#include "ZTDocumentsManager.hpp"
#include "ZTEvents.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"
#include "ZTPrivateDocumentsManager.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "support/SandboxFixture.hpp"
#include "support/SignedIn.hpp"

namespace doclist {

inline constexpr const char* kUser = "user1@example.com";
inline constexpr const char* kApp = "sandbox-app";

using Type = sandbox::DocumentType;
using Status = sandbox::DocumentStatus;

// What a row of the list shows.
struct Row {
  std::string title;
  std::string status;
  UIKit::UIColor color;
  bool operator==(const Row&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Row& row) {
  const auto c = row.color.cgColor();
  return out << row.title << " / " << row.status << " (" << c.red << ", " << c.green << ", "
             << c.blue << ")";
}

inline const UIKit::UIColor kBlack = UIKit::UIColor::black();
inline const UIKit::UIColor kGreen{0.14, 0.63, 0.28, 1.0};
inline const UIKit::UIColor kRed{0.85, 0.11, 0.16, 1.0};
inline const UIKit::UIColor kOrange{0.99, 0.48, 0.12, 1.0};
inline const UIKit::UIColor kGrey{0.31, 0.34, 0.36, 1.0};

class DocumentsListTest : public zttest::SandboxTest {
 protected:
  static void SetUpTestSuite() {
    ZentrelSDK::ZTOAuthCore::setup(ZentrelSDK::ZTOAuthCore::Config(kApp));
  }
  void SetUp() override {
    zttest::SandboxTest::SetUp();
    PlatformTesting::ManualClock::install();
    zttest::signInWithGrant(sb(), kUser, kApp);
    ZentrelSDK::ZTAppDocuments::shared()->setDockTypeList({});
    ui = std::make_unique<PlatformTesting::UI>();
  }
  void TearDown() override {
    // Pending host requests answer now, while their callbacks' state still lives.
    ZentrelSDK::ZTEvents::shared()->documentForAppLoadingDissmissEventEmit();
    ui->settle();
    ui.reset();
    ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
  }

  void require(std::optional<std::vector<Type>> types) {
    sb().addApp({kApp,
                 {"user:email:read", "user:data:read", "documents:passport:status:read"},
                 std::move(types)});
  }
  std::string add(Type type, Status status, std::optional<std::string> front = {},
                  std::optional<std::string> back = {}, std::optional<std::string> id = {}) {
    return sb().addDocument(kUser, type, status, std::move(front), std::move(back), std::move(id));
  }

  // Moves the clock in steps of 0.1 s while the network answers, until `done` holds; false
  // after 20 s of real time.
  bool until(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      ui->settle();
      if (done()) return true;
      ui->runUntil(done, 0.02);
      if (done()) return true;
      ui->advance(0.1);
    }
    return done();
  }
  // Moves the clock by `seconds`, letting the main queue run.
  void pass(double seconds) {
    for (double t = 0; t < seconds - 1e-9; t += 0.1) {
      ui->advance(0.1);
      ui->settle();
    }
  }
  // Every request of `endpoint` so far has been answered, and there are `n`.
  bool answered(std::string_view endpoint, std::size_t n) const {
    const auto logged = sb().requests(endpoint);
    if (logged.size() != n) return false;
    for (const auto& r : logged)
      if (r.status == 0) return false;
    return true;
  }
  template <class C>
  std::shared_ptr<C> frontmost() const {
    return std::dynamic_pointer_cast<C>(ui->frontmost());
  }
  std::shared_ptr<UIKit::UIAlertController> alert() const {
    return frontmost<UIKit::UIAlertController>();
  }
  bool loaderShown() const {
    auto a = alert();
    return a && !a->message();
  }
  std::optional<std::string> errorShown() const {
    auto a = alert();
    if (!a || a->title() != "Error") return std::nullopt;
    return a->message().value_or("");
  }

  // Opens the list as the host's request would and waits until `lists` pages were read and
  // the loader has gone.
  std::shared_ptr<ZentrelSDK::DocumentsViewController> openList(std::size_t lists = 1) {
    ZentrelSDK::ZTDocumentsManager::openDocumentsList(true);
    const bool ready = until([&] {
      return answered("documents.list", lists) && frontmost<ZentrelSDK::DocumentsViewController>();
    });
    EXPECT_TRUE(ready);
    return frontmost<ZentrelSDK::DocumentsViewController>();
  }
  // The list has read `lists` pages and shows no loader.
  bool loaded(std::size_t lists) {
    return until([&] {
      return answered("documents.list", lists) &&
             frontmost<ZentrelSDK::DocumentsViewController>() != nullptr;
    });
  }

  static std::vector<Row> rows(const ZentrelSDK::DocumentsViewController& list) {
    std::vector<Row> shown;
    auto table = list.tableView.lock();
    if (!table) return shown;
    for (int i = 0; i < table->numberOfRows(); ++i) {
      auto cell = std::dynamic_pointer_cast<ZentrelSDK::ZTDocumentsUITableViewCell>(
          table->cellForRow({i, 0}));
      if (!cell) continue;
      auto title = cell->titleLabel.lock();
      auto status = cell->descriptionLabel.lock();
      shown.push_back(
          {title->text().value_or(""), status->text().value_or(""), status->textColor()});
    }
    return shown;
  }

  std::unique_ptr<PlatformTesting::UI> ui;
};

}  // namespace doclist
