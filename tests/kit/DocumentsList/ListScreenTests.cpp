// The documents list against the sandbox: its rows, reloads, row taps, logout and the events
// of the other documents screens.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <UIKit/UIButton.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIImagePickerController.hpp>
#include <UIKit/UIImageView.hpp>

#include "DocumentsListSupport.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "support/CaptureSupport.hpp"
#include "support/TemporaryFolder.hpp"

namespace {

using namespace ZentrelSDK;
using doclist::DocumentsListTest;
using doclist::Row;
using doclist::Status;
using doclist::Type;

struct Listener {
  int modifications = 0;
  int cancels = 0;
  ZTEventsRegistration events{this};
};

class DocumentsList : public DocumentsListTest {
 protected:
  void SetUp() override {
    DocumentsListTest::SetUp();
    require(std::vector{Type::Passport, Type::IdCard});
  }
  // A plain screen presented from `from`, as the list's own flows present theirs.
  std::shared_ptr<UIKit::UIViewController> presentOver(
      const std::shared_ptr<UIKit::UIViewController>& from,
      UIKit::UIModalPresentationStyle style = UIKit::UIModalPresentationStyle::overCurrentContext) {
    auto screen = std::make_shared<UIKit::UIViewController>();
    screen->setModalPresentationStyle(style);
    from->present(screen, true);
    pass(0.5);
    return screen;
  }
};

struct RowsCase {
  const char* name;
  std::vector<std::pair<Type, Status>> documents;  // in creation order
  std::vector<Row> rows;
};

class ListRows : public DocumentsList, public ::testing::WithParamInterface<RowsCase> {};

TEST_P(ListRows, ShowTheLastDocumentOfEachRequiredType) {
  for (const auto& [type, status] : GetParam().documents) add(type, status);
  auto list = openList();
  ASSERT_TRUE(list);
  EXPECT_EQ(rows(*list), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    DocumentsList, ListRows,
    ::testing::Values(
        RowsCase{"VerifiedThenNotReadable",
                 {{Type::Passport, Status::Verified}, {Type::Passport, Status::NotReadable}},
                 {{"Passport", "Not readable", doclist::kRed},
                  {"Id Card", "Not uploaded yet", doclist::kBlack}}},
        RowsCase{"NotReadableThenVerified",
                 {{Type::Passport, Status::NotReadable}, {Type::Passport, Status::Verified}},
                 {{"Passport", "Verified", doclist::kGreen},
                  {"Id Card", "Not uploaded yet", doclist::kBlack}}},
        RowsCase{"ATypeNotRequiredGivesNoRow",
                 {{Type::DriverLicense, Status::Verified}, {Type::IdCard, Status::Draft}},
                 {{"Passport", "Not uploaded yet", doclist::kBlack},
                  {"Id Card", "Draft", doclist::kGrey}}},
        RowsCase{"WaitingStatusesAreOrange",
                 {{Type::Passport, Status::Recognition}, {Type::IdCard, Status::PendingReview}},
                 {{"Passport", "Recognizing", doclist::kOrange},
                  {"Id Card", "Pending review", doclist::kOrange}}},
        RowsCase{"NotVerifiedIsRed",
                 {{Type::IdCard, Status::NotVerified}},
                 {{"Passport", "Not uploaded yet", doclist::kBlack},
                  {"Id Card", "Not verified", doclist::kRed}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentsList, ComparesOnlyTheFirstPageOfTen) {
  for (int i = 0; i < 10; ++i) add(Type::Passport, Status::NotReadable);
  add(Type::IdCard, Status::Verified);
  add(Type::Passport, Status::Verified);
  auto list = openList();
  ASSERT_TRUE(list);
  EXPECT_EQ(rows(*list), (std::vector<Row>{{"Passport", "Not readable", doclist::kRed},
                                           {"Id Card", "Not uploaded yet", doclist::kBlack}}));
  const auto read = sb().requests("documents.list");
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].query,
            (std::vector<std::pair<std::string, std::string>>{{"limit", "10"}, {"offset", "0"}}));
}

TEST_F(DocumentsList, PullingToRefreshRunsTheWholeSequenceUnderTheKitsLoader) {
  auto list = openList();
  ASSERT_TRUE(list);
  add(Type::IdCard, Status::Verified);
  auto table = list->tableView.lock();
  ASSERT_TRUE(ui->pullToRefresh(table));
  EXPECT_FALSE(list->refreshControl->isRefreshing()) << "its own spinner stops at once";
  EXPECT_EQ(list->refreshControl->tintColor(), UIKit::UIColor::clear());
  ASSERT_TRUE(until([&] { return loaderShown(); }));
  ASSERT_TRUE(loaded(2));
  EXPECT_EQ(sb().count("apps.required"), 2u);
  EXPECT_EQ(rows(*list), (std::vector<Row>{{"Passport", "Not uploaded yet", doclist::kBlack},
                                           {"Id Card", "Verified", doclist::kGreen}}));
}

TEST_F(DocumentsList, TheRequiredTypesAnswerAlsoBecomesTheAppsTypes) {
  ZTAppDocuments::shared()->setDockTypeList({ZTPublicConstants::DocumentType::DriverLicense});
  ASSERT_TRUE(openList());
  EXPECT_EQ(ZTAppDocuments::shared()->dockTypeList(),
            (std::vector{ZTPublicConstants::DocumentType::Passport,
                         ZTPublicConstants::DocumentType::IdCard}));
  EXPECT_EQ(sb().count("apps.required"), 1u);
}

struct TypesCase {
  const char* name;
  std::optional<std::vector<Type>> required;
  std::optional<sandbox::Fault> fault;
  int rowsShown;
  bool alert;
};

class RequiredTypes : public DocumentsList, public ::testing::WithParamInterface<TypesCase> {};

TEST_P(RequiredTypes, OddAnswersLeaveTheRowsOrShowTheError) {
  add(Type::Passport, Status::Verified);
  require(GetParam().required);
  if (GetParam().fault) sb().inject("apps.required", *GetParam().fault);
  ZTDocumentsManager::openDocumentsList(true);
  ASSERT_TRUE(until([&] {
    if (GetParam().alert) return errorShown().has_value();
    return answered("documents.list", 1) && frontmost<DocumentsViewController>() != nullptr;
  }));
  pass(0.5);
  EXPECT_EQ(errorShown().has_value(), GetParam().alert);
  if (GetParam().alert) {
    EXPECT_EQ(sb().count("documents.list"), 0u);
  }
  std::shared_ptr<DocumentsViewController> list;
  for (auto vc = ui->root(); vc && !list; vc = vc->presentedViewController())
    list = std::dynamic_pointer_cast<DocumentsViewController>(vc);
  ASSERT_TRUE(list);
  EXPECT_EQ(list->tableView.lock()->numberOfRows(), GetParam().rowsShown);
}

INSTANTIATE_TEST_SUITE_P(
    DocumentsList, RequiredTypes,
    ::testing::Values(TypesCase{"Null", std::nullopt, std::nullopt, 0, false},
                      TypesCase{"Empty", std::vector<Type>{}, std::nullopt, 0, false},
                      TypesCase{"UnknownType", std::vector<Type>{Type::Passport},
                                sandbox::Fault::json(200, R"(["Passport", "Visa"])"), 0, true},
                      TypesCase{"Unauthorized", std::vector<Type>{Type::Passport},
                                sandbox::Fault::answer(401, "unauthorized"), 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentsList, AFailedPageShowsItsMessageAndKeepsTheRows) {
  add(Type::Passport, Status::Verified);
  auto list = openList();
  ASSERT_TRUE(list);
  const auto before = rows(*list);
  sb().inject("documents.list", sandbox::Fault::answer(500, "page broke"));
  ui->pullToRefresh(list->tableView.lock());
  ASSERT_TRUE(until([&] { return errorShown().has_value(); }));
  EXPECT_EQ(errorShown(), "answer has not status code = 200 (500)");
  EXPECT_EQ(rows(*list), before);
  EXPECT_EQ(ZTTokenUtilites::shared()->getOAuthToken().has_value(), true);
}

TEST_F(DocumentsList, AReusedCellShowsNothingOfItsEarlierRow) {
  require(std::vector{Type::Passport});
  add(Type::Passport, Status::Verified);
  auto list = openList();
  ASSERT_TRUE(list);
  auto table = list->tableView.lock();
  auto first = std::dynamic_pointer_cast<ZTDocumentsUITableViewCell>(table->cellForRow({0, 0}));
  ASSERT_TRUE(first);

  require(std::vector{Type::IdCard});
  ui->pullToRefresh(table);
  ASSERT_TRUE(loaded(2));
  auto cell = std::dynamic_pointer_cast<ZTDocumentsUITableViewCell>(table->cellForRow({0, 0}));
  ASSERT_EQ(cell, first) << "the table handed the same cell out again";
  EXPECT_EQ(rows(*list), (std::vector<Row>{{"Id Card", "Not uploaded yet", doclist::kBlack}}));
  const auto expected = ZTImageFromLib::makeLibraryImage("IdCard");
  ASSERT_TRUE(expected);
  EXPECT_EQ(cell->iconView.lock()->image(), expected) << "the bundle's image of that name";
  EXPECT_TRUE(cell->arrowImageView.lock()->image());
}

TEST_F(DocumentsList, ARowTapStartsANewDocumentOfItsTypeWhateverItShows) {
  ASSERT_TRUE(zttest::useOwnTemporaryDirectory());
  add(Type::IdCard, Status::Verified);
  auto list = openList();
  ASSERT_TRUE(list);
  ASSERT_EQ(rows(*list)[1].status, "Verified");
  ASSERT_TRUE(ui->tapRow(list->tableView.lock(), 1));

  // The photo source sheet opens; the user takes a picture from the library.
  auto settled = [&](const std::shared_ptr<UIKit::UIViewController>& vc) {
    return vc && !vc->isBeingPresented() && !vc->isBeingDismissed();
  };
  ASSERT_TRUE(until([&] { return settled(alert()); }));
  ASSERT_TRUE(ui->chooseAction("Choose from library"));
  ASSERT_TRUE(until([&] { return settled(frontmost<UIKit::UIImagePickerController>()); }));
  ASSERT_TRUE(ui->pick(UIKit::UIImage::withData(zttest::plainJPEG(64, 48))));
  ASSERT_TRUE(until([&] { return settled(ui->frontmost()) && ui->find("doneButton"); }));
  ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>("doneButton")));
  ASSERT_TRUE(until([&] { return frontmost<ZTNewDocumentPreviewViewController>() != nullptr; }));
  EXPECT_EQ(frontmost<ZTNewDocumentPreviewViewController>()->documentTypeLabel.lock()->text(),
            "Id Card");
  EXPECT_EQ(sb().count("documents.get"), 0u) << "the verified document is not opened";
}

TEST_F(DocumentsList, AModificationClosesWhatTheListPresentsWithoutAnimationThenReloads) {
  auto list = openList();
  ASSERT_TRUE(list);
  auto preview = presentOver(list);
  auto above = presentOver(preview);
  add(Type::Passport, Status::Verified);

  ZTEvents::shared()->documentModificationEventEmit();
  ui->settle();
  ui->advance(0);
  EXPECT_EQ(preview->presentingViewController(), nullptr) << "closed without animation";
  EXPECT_EQ(above->presentingViewController(), nullptr);
  ASSERT_TRUE(loaded(2));
  EXPECT_EQ(frontmost<DocumentsViewController>(), list);
  EXPECT_EQ(rows(*list)[0].status, "Verified");
}

TEST_F(DocumentsList, AModificationWhileTheListPresentsNothingOnlyReloads) {
  auto list = openList();
  ASSERT_TRUE(list);
  ZTEvents::shared()->documentModificationEventEmit();
  ASSERT_TRUE(loaded(2));
  pass(1.0);
  EXPECT_EQ(frontmost<DocumentsViewController>(), list) << "the list stays";
  EXPECT_EQ(list->presentingViewController(), ui->root());
}

TEST_F(DocumentsList, AListShownAgainHearsBothEventsOnceEach) {
  auto list = openList();
  ASSERT_TRUE(list);
  // A full-screen screen takes the list away; closing it shows the list again.
  auto cover = presentOver(list, UIKit::UIModalPresentationStyle::fullScreen);
  cover->dismiss(true);
  ASSERT_TRUE(loaded(2)) << "it reloads on appearing";

  ZTEvents::shared()->documentModificationEventEmit();
  ASSERT_TRUE(loaded(3));
  pass(1.0);
  EXPECT_EQ(sb().count("documents.list"), 3u) << "once";

  presentOver(list);
  ZTEvents::shared()->documentForAppLoadingSuccessEventEmit({});
  ASSERT_TRUE(until([&] { return ui->root()->presentedViewController() == nullptr; }));
}

TEST_F(DocumentsList, TheSuccessEventClosesEveryScreenDownToTheRoot) {
  auto list = openList();
  ASSERT_TRUE(list);
  auto preview = presentOver(list);
  presentOver(preview);
  ZTEvents::shared()->documentForAppLoadingSuccessEventEmit({});
  ASSERT_TRUE(until([&] { return ui->root()->presentedViewController() == nullptr; }));
  EXPECT_EQ(list->presentingViewController(), nullptr);
}

TEST_F(DocumentsList, LogoutClosesTheListWithAnimationThenCancelsOnceAndKeepsTheTokens) {
  auto listener = std::make_shared<Listener>();
  ZTEvents::shared()->documentForAppLoadingDissmissEventListen(
      listener.get(), [listener = listener.get()] { ++listener->cancels; });
  const auto session = ZTTokenUtilites::shared()->getToken();
  const auto access = ZTTokenUtilites::shared()->getOAuthToken();
  auto list = openList();
  ASSERT_TRUE(list);
  ASSERT_TRUE(ui->tap(list->logoutButton.lock()));
  ui->settle();
  EXPECT_EQ(listener->cancels, 0) << "not before the list has gone";
  pass(0.5);
  EXPECT_EQ(ui->root()->presentedViewController(), nullptr);
  EXPECT_EQ(listener->cancels, 1);
  pass(1.0);
  EXPECT_EQ(listener->cancels, 1);
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), session);
  EXPECT_EQ(ZTTokenUtilites::shared()->getOAuthToken(), access);
}

}  // namespace
