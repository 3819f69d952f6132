// The host's documents request: each request answers exactly once, by whichever path.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <UIKit/UIButton.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIImagePickerController.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIWindow.hpp>

#include "DocumentsListSupport.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"
#include "support/CaptureSupport.hpp"
#include "support/PassingWindowChanges.hpp"
#include "support/TemporaryFolder.hpp"

namespace {

using namespace ZentrelSDK;
using doclist::DocumentsListTest;
using doclist::Status;
using doclist::Type;
using Answer = std::vector<std::optional<ZTPublicDocumentElement>>;

// Everything one request answered.
struct Reply {
  std::vector<Answer> successes;
  std::vector<ZTOAuthError> errors;
  // Held only through the request's own callbacks: expired once the request has gone.
  std::weak_ptr<void> request;
  std::size_t answers() const { return successes.size() + errors.size(); }
};

class DocumentsRequest : public DocumentsListTest {
 protected:
  void SetUp() override {
    DocumentsListTest::SetUp();
    require(std::vector{Type::Passport});
  }
  std::shared_ptr<Reply> request() {
    auto reply = std::make_shared<Reply>();
    auto held = std::make_shared<int>();
    reply->request = held;
    ZTDocumentsManager::request<Answer>(
        ZTPublicConstants::getDocumentsEndpoint(),
        [reply, held](Answer answer) { reply->successes.push_back(std::move(answer)); },
        [reply, held](ZTOAuthError error) { reply->errors.push_back(std::move(error)); });
    return reply;
  }
  bool listOpen() const { return frontmost<DocumentsViewController>() != nullptr; }
  std::vector<std::string> road() const {
    std::vector<std::string> seen;
    for (const auto& r : sb().requests()) seen.push_back(r.endpoint);
    return seen;
  }
};

TEST_F(DocumentsRequest, AHeldTokenAndCompleteDocumentsAnswerAfterTwoRequests) {
  add(Type::Passport, Status::Verified);
  add(Type::IdCard, Status::NotReadable);
  auto reply = request();
  ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
  ASSERT_EQ(reply->successes.size(), 1u);
  EXPECT_EQ(reply->successes[0].size(), 2u) << "the record exactly as decoded";
  EXPECT_EQ(road(), (std::vector<std::string>{"apps.required", "api.documents"}));
  pass(1.0);
  EXPECT_EQ(reply->answers(), 1u);
  EXPECT_FALSE(loaderShown());
  EXPECT_TRUE(reply->request.expired()) << "nothing keeps the answered request";
}

TEST_F(DocumentsRequest, ARefusedPermissionIsAccessDenied) {
  ZTTokenUtilites::shared()->clearTokens();
  ZTTokenUtilites::shared()->saveToken(sb().signIn(doclist::kUser), /*base64=*/false);
  sb().inject("oauth.auth", sandbox::Fault::answer(500, "no"));
  auto reply = request();
  ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
  ASSERT_EQ(reply->errors.size(), 1u);
  EXPECT_EQ(reply->errors[0].code, 0);
  EXPECT_EQ(reply->errors[0].message, "Access denied");
  EXPECT_EQ(sb().count("apps.required"), 0u);
}

struct StepCase {
  const char* name;
  const char* endpoint;
  sandbox::Fault fault;
  std::int64_t code;
  std::optional<std::string> message;  // none: any text
};

class FailedStep : public DocumentsRequest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(FailedStep, AnswersItsErrorUnchanged) {
  add(Type::Passport, Status::Verified);
  sb().inject(GetParam().endpoint, GetParam().fault);
  auto reply = request();
  ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
  ASSERT_EQ(reply->errors.size(), 1u);
  EXPECT_EQ(reply->errors[0].code, GetParam().code);
  if (GetParam().message) {
    EXPECT_EQ(reply->errors[0].message, GetParam().message);
  }
  pass(1.0);
  EXPECT_EQ(reply->answers(), 1u);
  EXPECT_FALSE(listOpen());
  EXPECT_TRUE(reply->request.expired());
}

INSTANTIATE_TEST_SUITE_P(
    DocumentsRequest, FailedStep,
    ::testing::Values(
        StepCase{"RequiredTypes", "apps.required", sandbox::Fault::answer(500, "types broke"), 500,
                 "types broke"},
        StepCase{"UnknownRequiredType", "apps.required", sandbox::Fault::json(200, R"(["Visa"])"),
                 0, std::nullopt},
        StepCase{"Documents", "api.documents", sandbox::Fault::answer(503, "busy"), 503, "busy"},
        StepCase{"DocumentsUnauthorized", "api.documents",
                 sandbox::Fault::answer(401, "unauthorized"), 401, "unauthorized"},
        StepCase{"DocumentsNotJson", "api.documents", sandbox::Fault::notJson(), 0, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct CancelCase {
  const char* name;
  std::vector<std::string> done;  // the steps answered before the loader comes up
};

class CancelledWhileLoading : public DocumentsRequest,
                              public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelledWhileLoading, AnswersOnceAndLeavesNoLoader) {
  add(Type::Passport, Status::Verified);
  auto reply = request();
  const auto& done = GetParam().done;
  ASSERT_TRUE(until([&] {
    auto a = alert();
    return a && !a->message() && a->isBeingPresented() && road() == done &&
           (done.empty() || answered(done.back(), 1));
  }));
  ZTEvents::shared()->documentForAppLoadingDissmissEventEmit();
  pass(1.0);
  ASSERT_EQ(reply->errors.size(), 1u);
  EXPECT_EQ(reply->errors[0].message, "User dissmissed");
  EXPECT_EQ(reply->answers(), 1u);
  EXPECT_EQ(road(), done);
  EXPECT_FALSE(loaderShown());
}

INSTANTIATE_TEST_SUITE_P(DocumentsRequest, CancelledWhileLoading,
                         ::testing::Values(CancelCase{"BeforeTheTypes", {}},
                                           CancelCase{"BeforeTheDocuments", {"apps.required"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentsRequest, AnUnauthorizedReadClearsTheTokens) {
  sb().inject("api.documents", sandbox::Fault::answer(401, "unauthorized"));
  auto reply = request();
  ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
  EXPECT_FALSE(ZTTokenUtilites::shared()->getOAuthToken().has_value());
}

struct TypesCase {
  const char* name;
  std::optional<std::vector<Type>> required;
};

class NoRequiredTypes : public DocumentsRequest, public ::testing::WithParamInterface<TypesCase> {};

TEST_P(NoRequiredTypes, PassWhateverTheDocuments) {
  require(GetParam().required);
  add(Type::Passport, Status::NotReadable);
  auto reply = request();
  ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
  EXPECT_EQ(reply->successes.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(DocumentsRequest, NoRequiredTypes,
                         ::testing::Values(TypesCase{"Null", std::nullopt},
                                           TypesCase{"Empty", std::vector<Type>{}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentsRequest, IncompleteDocumentsOpenTheListAndAnswerNothing) {
  add(Type::Passport, Status::PendingReview);
  auto reply = request();
  ASSERT_TRUE(until([&] { return listOpen() && answered("documents.list", 1); }));
  EXPECT_TRUE(frontmost<DocumentsViewController>()->fromApp);
  pass(1.0);
  EXPECT_EQ(reply->answers(), 0u);
}

TEST_F(DocumentsRequest, AListWithANullItemCountsAsNoDocuments) {
  add(Type::Passport, Status::Verified);
  sb().inject("api.documents", sandbox::Fault::json(200, R"([null])"));
  auto reply = request();
  ASSERT_TRUE(until([&] { return listOpen(); }));
  EXPECT_EQ(reply->answers(), 0u);
}

TEST_F(DocumentsRequest, LogoutAnswersEachPendingRequestOnceAndNoAnsweredOne) {
  auto first = request();
  ASSERT_TRUE(until([&] { return listOpen() && answered("documents.list", 1); }));
  auto second = request();
  // It waits on the list already up rather than opening a second.
  ASSERT_TRUE(until([&] { return answered("api.documents", 2) && listOpen() && !loaderShown(); }));
  auto failed = request();
  sb().inject("apps.required", sandbox::Fault::answer(500, "types broke"));
  ASSERT_TRUE(until([&] { return failed->answers() == 1; }));

  ASSERT_TRUE(ui->tap(frontmost<DocumentsViewController>()->logoutButton.lock()));
  ASSERT_TRUE(until([&] { return first->answers() == 1 && second->answers() == 1; }));
  for (const auto& reply : {first, second}) {
    ASSERT_EQ(reply->errors.size(), 1u);
    EXPECT_EQ(reply->errors[0].code, 0);
    EXPECT_EQ(reply->errors[0].message, "User dissmissed");
  }
  ZTEvents::shared()->documentForAppLoadingDissmissEventEmit();
  pass(1.0);
  EXPECT_EQ(first->answers(), 1u);
  EXPECT_EQ(second->answers(), 1u);
  EXPECT_EQ(failed->answers(), 1u);
}

enum class Gone {
  WindowReplaced,
  RootReplaced,
  RootReplacedAndKept,
  CoveredThenDismissedByRoot,
  RootReplacedKeptAndPutBack,
  OldWindowHiddenThenRootMoved,
  RootMovedThenOldWindowGivenAnotherRoot,
  LoaderOverThenRootReplacedAndKept,
  ErrorAlertOverThenRootReplacedAndKept
};

class ListGone : public DocumentsRequest, public ::testing::WithParamInterface<Gone> {};

TEST_P(ListGone, AnswersOnceAsDismissedAndLetsTheRequestGo) {
  auto reply = request();
  ASSERT_TRUE(until([&] { return listOpen() && answered("documents.list", 1); }));
  const auto gone = GetParam();
  const bool loader = gone == Gone::LoaderOverThenRootReplacedAndKept;
  const bool error = gone == Gone::ErrorAlertOverThenRootReplacedAndKept;
  if (loader) ZTUIUtilites::shared()->loaderStart(1.0, nullptr);
  if (error) ZTUIUtilites::shared()->errorAlert("over the list", nullptr);
  if (loader || error) {
    ASSERT_TRUE(until([&] {
      return (loader ? loaderShown() : errorShown() == "over the list") &&
             !alert()->isBeingPresented();
    }));
  }
  auto kept = gone == Gone::RootReplacedAndKept || gone == Gone::RootReplacedKeptAndPutBack ||
                      loader || error
                  ? ui->root()
                  : nullptr;
  if (gone == Gone::WindowReplaced) ui = std::make_unique<PlatformTesting::UI>();
  if (gone == Gone::RootReplaced || kept)
    ui->window()->setRootViewController(std::make_shared<UIKit::UIViewController>());
  if (gone == Gone::RootReplacedKeptAndPutBack) ui->window()->setRootViewController(kept);
  // The host shows its root in a new key window; the list stays in the old one.
  std::unique_ptr<PlatformTesting::UI> oldWindow;
  if (gone == Gone::OldWindowHiddenThenRootMoved) ui->window()->setHidden(true);
  if (gone == Gone::OldWindowHiddenThenRootMoved ||
      gone == Gone::RootMovedThenOldWindowGivenAnotherRoot) {
    oldWindow = std::move(ui);
    ui = std::make_unique<PlatformTesting::UI>(oldWindow->root());
  }
  if (gone == Gone::RootMovedThenOldWindowGivenAnotherRoot)
    oldWindow->window()->setRootViewController(std::make_shared<UIKit::UIViewController>());
  if (gone == Gone::CoveredThenDismissedByRoot) {
    auto cover = std::make_shared<UIKit::UIViewController>();
    cover->setModalPresentationStyle(UIKit::UIModalPresentationStyle::fullScreen);
    frontmost<DocumentsViewController>()->present(cover, true);
    ASSERT_TRUE(until([&] { return !cover->isBeingPresented(); }));
    pass(1.0);
    EXPECT_EQ(reply->answers(), 0u) << "only covered";
    ui->root()->dismiss(true);
  }
  ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
  pass(1.0);
  ASSERT_EQ(reply->errors.size(), 1u);
  EXPECT_EQ(reply->errors[0].code, 0);
  EXPECT_EQ(reply->errors[0].message, "User dissmissed");
  EXPECT_TRUE(reply->request.expired());

  // A later list's logout is the later request's alone.
  auto later = request();
  ASSERT_TRUE(until([&] { return listOpen() && answered("documents.list", 2); }));
  ASSERT_TRUE(ui->tap(frontmost<DocumentsViewController>()->logoutButton.lock()));
  ASSERT_TRUE(until([&] { return later->answers() > 0; }));
  pass(1.0);
  EXPECT_EQ(reply->answers(), 1u);
}

constexpr const char* kGone[] = {"WindowReplaced",
                                 "RootReplaced",
                                 "RootReplacedAndKept",
                                 "CoveredThenDismissedByRoot",
                                 "RootReplacedKeptAndPutBack",
                                 "OldWindowHiddenThenRootMoved",
                                 "RootMovedThenOldWindowGivenAnotherRoot",
                                 "LoaderOverThenRootReplacedAndKept",
                                 "ErrorAlertOverThenRootReplacedAndKept"};
INSTANTIATE_TEST_SUITE_P(DocumentsRequest, ListGone,
                         ::testing::Values(Gone::WindowReplaced, Gone::RootReplaced,
                                           Gone::RootReplacedAndKept,
                                           Gone::CoveredThenDismissedByRoot,
                                           Gone::RootReplacedKeptAndPutBack,
                                           Gone::OldWindowHiddenThenRootMoved,
                                           Gone::RootMovedThenOldWindowGivenAnotherRoot,
                                           Gone::LoaderOverThenRootReplacedAndKept,
                                           Gone::ErrorAlertOverThenRootReplacedAndKept),
                         [](const auto& info) { return kGone[static_cast<int>(info.param)]; });

// A list left in a window the host hid may come back, so it stays until a request would join
// it: then it ends, taken off the hidden window, and the request opens its own where the host
// shows.
TEST_F(DocumentsRequest, AListInAHiddenWindowEndsForTheNextRequest) {
  auto reply = request();
  ASSERT_TRUE(until([&] { return listOpen() && answered("documents.list", 1); }));
  ui->window()->setHidden(true);
  auto hidden = std::move(ui);
  ui = std::make_unique<PlatformTesting::UI>();
  pass(1.0);
  EXPECT_EQ(reply->answers(), 0u);

  auto later = request();
  ASSERT_TRUE(until([&] { return reply->answers() > 0 && listOpen(); }));
  pass(1.0);
  ASSERT_EQ(reply->errors.size(), 1u);
  EXPECT_EQ(reply->errors[0].message, "User dissmissed");
  EXPECT_EQ(later->answers(), 0u);
  EXPECT_EQ(hidden->root()->presentedViewController(), nullptr);
}

struct TogetherCase {
  const char* name;
  bool complete;
};

class TwoAtOnce : public DocumentsRequest, public ::testing::WithParamInterface<TogetherCase> {};

TEST_P(TwoAtOnce, EachIsAnsweredOnce) {
  add(Type::Passport, GetParam().complete ? Status::Verified : Status::PendingReview);
  auto first = request();
  auto second = request();
  if (!GetParam().complete) {
    // Both wait on one list; its logout ends both.
    ASSERT_TRUE(until([&] {
      return answered("api.documents", 2) && answered("documents.list", 1) && !loaderShown();
    }));
    pass(1.0);
    auto list = frontmost<DocumentsViewController>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->presentingViewController(), ui->root()) << "one list";
    EXPECT_EQ(first->answers() + second->answers(), 0u);
    ASSERT_TRUE(ui->tap(list->logoutButton.lock()));
  }
  ASSERT_TRUE(until([&] { return first->answers() > 0 && second->answers() > 0; }));
  pass(1.0);
  for (const auto& reply : {first, second}) {
    EXPECT_EQ(reply->answers(), 1u);
    EXPECT_EQ(reply->successes.size(), GetParam().complete ? 1u : 0u);
    EXPECT_TRUE(reply->request.expired());
  }
  EXPECT_EQ(ui->root()->presentedViewController(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(DocumentsRequest, TwoAtOnce,
                         ::testing::Values(TogetherCase{"CompleteDocuments", true},
                                           TogetherCase{"IncompleteDocuments", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentsRequest, OnceEveryDocumentIsInOrderTheRequestAnswersAfterTheListHasGone) {
  auto reply = request();
  ASSERT_TRUE(until([&] { return listOpen() && answered("documents.list", 1); }));
  sb().clearLog();
  add(Type::Passport, Status::Verified);

  ZTEvents::shared()->documentForAppLoadingSuccessEventEmit({});
  ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
  ASSERT_EQ(reply->successes.size(), 1u);
  EXPECT_EQ(reply->successes[0].size(), 1u);
  EXPECT_EQ(road(), (std::vector<std::string>{"apps.required", "api.documents"}))
      << "the data step again, no permission step";
  EXPECT_EQ(ui->root()->presentedViewController(), nullptr);
  pass(1.0);
  EXPECT_TRUE(reply->request.expired()) << "nothing keeps the answered request";
}

using Ring = ZTUploadDockProgressViewController;

// A window change that comes back, over the list alone or over a new document's upload started
// from it.
class WindowChangePasses
    : public DocumentsRequest,
      public ::testing::WithParamInterface<std::tuple<zttest::PassingWindowChange, bool>> {
 protected:
  static std::string stage(const Ring& ring) {
    return ring.uploadingLabel.lock()->text().value_or("");
  }
  // The list's first row, a library photo and submit, up to the ring's recognition polls.
  std::shared_ptr<Ring> upload(const DocumentsViewController& list) {
    auto settled = [](const std::shared_ptr<UIKit::UIViewController>& vc) {
      return vc && !vc->isBeingPresented() && !vc->isBeingDismissed();
    };
    if (!zttest::useOwnTemporaryDirectory() || !ui->tapRow(list.tableView.lock(), 0) ||
        !until([&] { return settled(alert()); }) || !ui->chooseAction("Choose from library") ||
        !until([&] { return settled(frontmost<UIKit::UIImagePickerController>()); }) ||
        !ui->pick(UIKit::UIImage::withData(zttest::plainJPEG(64, 48))) ||
        !until([&] { return settled(ui->frontmost()) && ui->find("doneButton"); }) ||
        !ui->tap(ui->find<UIKit::UIButton>("doneButton")) ||
        !until([&] { return settled(frontmost<ZTNewDocumentPreviewViewController>()); }) ||
        !ui->tap(frontmost<ZTNewDocumentPreviewViewController>()->submitButton.lock()))
      return nullptr;
    std::shared_ptr<Ring> ring;
    const bool polling = until([&] {
      ring = frontmost<Ring>();
      return ring && stage(*ring) == "Recognition";
    });
    return polling ? ring : nullptr;
  }
};

TEST_P(WindowChangePasses, EndsNeitherTheListNorItsRequest) {
  const auto& [change, uploading] = GetParam();
  SCOPED_TRACE(std::string(change.name) + (uploading ? " while uploading" : ""));
  // Never final: the ring keeps polling while the test runs.
  sb().setRecognition({Status::Recognition});
  auto reply = request();
  ASSERT_TRUE(until([&] { return listOpen() && answered("documents.list", 1); }));
  auto list = frontmost<DocumentsViewController>();
  auto ring = uploading ? upload(*list) : nullptr;
  ASSERT_EQ(ring != nullptr, uploading);
  const auto polls = sb().count("documents.get");

  std::unique_ptr<PlatformTesting::UI> scene;
  change.pass(*ui, scene);
  pass(1.0);
  EXPECT_EQ(reply->answers(), 0u);
  EXPECT_EQ(list->presentingViewController(), ui->root());
  EXPECT_FALSE(list->isBeingDismissed());
  if (ring) {
    EXPECT_EQ(frontmost<Ring>(), ring);
    EXPECT_TRUE(until([&] { return sb().count("documents.get") > polls; })) << "still polling";
    EXPECT_EQ(stage(*ring), "Recognition");
  } else {
    EXPECT_EQ(frontmost<DocumentsViewController>(), list);
  }

  add(Type::Passport, Status::Verified);
  ZTEvents::shared()->documentForAppLoadingSuccessEventEmit({});
  ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
  pass(1.0);
  EXPECT_EQ(reply->successes.size(), 1u);
  EXPECT_EQ(reply->answers(), 1u);
}

INSTANTIATE_TEST_SUITE_P(DocumentsRequest, WindowChangePasses,
                         ::testing::Combine(::testing::ValuesIn(zttest::passingWindowChanges()),
                                            ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "WhileUploading" : "");
                         });

TEST_F(DocumentsRequest, StillIncompleteAfterTheSuccessEventTheListOpensAgain) {
  auto reply = request();
  ASSERT_TRUE(until([&] { return listOpen() && answered("documents.list", 1); }));
  ZTEvents::shared()->documentForAppLoadingSuccessEventEmit({});
  ASSERT_TRUE(until([&] { return answered("api.documents", 2) && listOpen(); }));
  pass(1.0);
  EXPECT_EQ(reply->answers(), 0u);

  // And a failed read then is the answer.
  sb().inject("api.documents", sandbox::Fault::answer(500, "read broke"));
  ZTEvents::shared()->documentForAppLoadingSuccessEventEmit({});
  ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
  ASSERT_EQ(reply->errors.size(), 1u);
  EXPECT_EQ(reply->errors[0].code, 500);
  EXPECT_EQ(reply->errors[0].message, "read broke");
}

// The window goes after the request asked for its first loader, before the loader could show:
// the request still reads and answers once, with nothing shown.
TEST_F(DocumentsRequest, AWindowGoneBeforeItsLoaderShowsStillAnswersOnce) {
  for (const bool complete : {false, true}) {
    SCOPED_TRACE(complete ? "complete" : "incomplete");
    sb().clearLog();
    add(Type::Passport, complete ? Status::Verified : Status::PendingReview);
    ui = std::make_unique<PlatformTesting::UI>();
    auto reply = request();
    ui = std::make_unique<PlatformTesting::UI>(nullptr);
    ASSERT_TRUE(until([&] { return reply->answers() > 0; }));
    pass(1.0);
    EXPECT_EQ(reply->answers(), 1u);
    EXPECT_EQ(reply->successes.size(), complete ? 1u : 0u);
    if (!complete) {
      EXPECT_EQ(reply->errors.at(0).message, "User dissmissed");
    }
    EXPECT_EQ(road(), (std::vector<std::string>{"apps.required", "api.documents"}));
  }
}

TEST_F(DocumentsRequest, WithNoControllerToPresentFromTheListDoesNotOpen) {
  ui = std::make_unique<PlatformTesting::UI>(nullptr);
  ZTDocumentsManager::openDocumentsList(true);
  pass(0.5);
  EXPECT_EQ(ui->frontmost(), nullptr);
}

}  // namespace
