// The loading screen waits 30 s, reads the user's documents and leads to the success or the
// pending screen, or announces a modification.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "NewDocumentSupport.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaLoading/ZTMediaLoadingViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaPending/ZTMediaPendingViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaSuccess/ZTMediaSuccessViewController.hpp"

namespace {

using namespace ZentrelSDK;
using newdoc::NewDocumentRunTest;
using Type = ZTPublicConstants::DocumentType;
using sandbox::DocumentStatus;
using sandbox::DocumentType;

enum class Outcome { success, pending, modification };

struct Seeded {
  DocumentType type;
  DocumentStatus status;
};

struct OutcomeRow {
  const char* name;
  std::vector<Type> required;
  std::vector<Seeded> documents;
  std::optional<sandbox::Fault> fault;
  Outcome outcome;
};

class StatusScreens : public NewDocumentRunTest {
 protected:
  std::shared_ptr<ZTMediaLoadingViewController> presentLoading() {
    auto loading = std::make_shared<ZTMediaLoadingViewController>();
    loading->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
    ui->root()->present(loading, true);
    pass(0.3);
    return loading;
  }
};

class Outcomes : public StatusScreens, public ::testing::WithParamInterface<OutcomeRow> {};

TEST_P(Outcomes, ReadNothingBeforeThirtySecondsThenLeadOn) {
  const auto& row = GetParam();
  ZTAppDocuments::shared()->setDockTypeList(row.required);
  for (const auto& doc : row.documents) sb().addDocument(newdoc::kUser, doc.type, doc.status);
  if (row.fault) sb().inject("api.documents", *row.fault);
  auto loading = presentLoading();
  const auto circle = loading->pendingCircle.lock();
  ASSERT_TRUE(circle);
  const auto turnedBefore = circle->transform();
  pass(29.6);  // 29.9 s after the screen loaded
  EXPECT_EQ(sb().count("api.documents"), 0u);
  EXPECT_NE(circle->transform().a, turnedBefore.a) << "the circle turns while it waits";
  pass(0.1);
  ASSERT_TRUE(ui->runUntil([&] { return answered("api.documents", 1); }));
  ui->runUntil([&] {
    return modifications > 0 || ui->alertMessage() || loading->presentedViewController();
  });
  if (row.fault) {
    EXPECT_TRUE(ui->alertMessage());
    pass(5.0);
    pass(0.3);
  }
  pass(0.3);
  switch (row.outcome) {
    case Outcome::success: {
      auto success = std::dynamic_pointer_cast<ZTMediaSuccessViewController>(
          loading->presentedViewController());
      ASSERT_TRUE(success);
      pass(0.3);  // the loader comes up, then the screen reads again
      ASSERT_TRUE(ui->runUntil([&] { return success->continueButton.lock()->isEnabled(); }));
      pass(0.3);
      ASSERT_TRUE(ui->tap(success->continueButton.lock()));
      ui->settle();
      ASSERT_EQ(successes.size(), 1u);
      EXPECT_EQ(successes[0].size(), row.documents.size());
      EXPECT_EQ(modifications, 0);
      break;
    }
    case Outcome::pending: {
      auto pending = frontmost<ZTMediaPendingViewController>();
      ASSERT_TRUE(pending);
      EXPECT_EQ(modifications, 0);
      ASSERT_TRUE(ui->tap(pending->continueButton.lock()));
      ui->settle();
      EXPECT_EQ(modifications, 1);
      break;
    }
    case Outcome::modification:
      EXPECT_EQ(modifications, 1);
      EXPECT_EQ(ui->frontmost(), loading);
      break;
  }
  EXPECT_EQ(sb().count("api.documents"), row.outcome == Outcome::success ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    NewDocument, Outcomes,
    ::testing::Values(OutcomeRow{"NothingRequired", {}, {}, std::nullopt, Outcome::success},
                      OutcomeRow{"VerifiedBeatsPending",
                                 {Type::Passport},
                                 {{DocumentType::Passport, DocumentStatus::PendingReview},
                                  {DocumentType::Passport, DocumentStatus::Verified}},
                                 std::nullopt,
                                 Outcome::success},
                      OutcomeRow{"AllPending",
                                 {Type::Passport, Type::IdCard},
                                 {{DocumentType::Passport, DocumentStatus::PendingReview},
                                  {DocumentType::IdCard, DocumentStatus::PendingReview}},
                                 std::nullopt,
                                 Outcome::pending},
                      OutcomeRow{"OneVerifiedOnePending",
                                 {Type::Passport, Type::IdCard},
                                 {{DocumentType::Passport, DocumentStatus::Verified},
                                  {DocumentType::IdCard, DocumentStatus::PendingReview}},
                                 std::nullopt,
                                 Outcome::modification},
                      OutcomeRow{"ReadFails",
                                 {Type::Passport},
                                 {{DocumentType::Passport, DocumentStatus::Verified}},
                                 sandbox::Fault::answer(500, "down"),
                                 Outcome::modification}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatusScreens, AScreenClosedBeforeTheWaitReadsNothingAndStopsTurning) {
  auto loading = presentLoading();
  const auto circle = loading->pendingCircle.lock();
  loading->dismiss(true);
  pass(0.3);
  const auto turned = circle->transform();
  pass(31.0);
  EXPECT_EQ(sb().count("api.documents"), 0u);
  EXPECT_EQ(circle->transform().a, turned.a);
  EXPECT_EQ(circle->transform().b, turned.b);
  EXPECT_EQ(modifications, 0);
}

TEST_F(StatusScreens, AFailedReadOnTheSuccessScreenContinuesWithNoDocuments) {
  sb().inject("api.documents", sandbox::Fault::answer(500, "down").skipping(1));
  sb().addDocument(newdoc::kUser, DocumentType::Passport, DocumentStatus::Verified);
  auto loading = presentLoading();
  pass(29.7);
  ASSERT_TRUE(ui->runUntil([&] { return answered("api.documents", 1); }));
  ASSERT_TRUE(ui->runUntil([&] { return loading->presentedViewController() != nullptr; }));
  auto success =
      std::dynamic_pointer_cast<ZTMediaSuccessViewController>(loading->presentedViewController());
  ASSERT_TRUE(success);
  pass(0.3);
  pass(0.3);
  ASSERT_TRUE(ui->runUntil([&] { return answered("api.documents", 2); }));
  ASSERT_TRUE(ui->runUntil([&] { return !ui->isLoaderShowing(); }));
  pass(0.3);
  ASSERT_TRUE(ui->runUntil([&] { return ui->alertMessage().has_value(); }));
  EXPECT_FALSE(success->continueButton.lock()->isEnabled());
  pass(5.0);
  pass(0.3);
  pass(0.3);
  EXPECT_TRUE(success->continueButton.lock()->isEnabled());
  ASSERT_TRUE(ui->tap(success->continueButton.lock()));
  ui->settle();
  ASSERT_EQ(successes.size(), 1u);
  EXPECT_TRUE(successes[0].empty());
}

}  // namespace
