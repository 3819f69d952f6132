// The progress ring and its relay, and the completeness test of the required types.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NewDocumentSupport.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTDocumentSort.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDocumentViewModel.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "support/LateCallbacks.hpp"

namespace {

using namespace ZentrelSDK;
using newdoc::NewDocumentTest;
using Ring = ZTUploadDockProgressViewController;

class RingScreen : public NewDocumentTest {
 protected:
  std::shared_ptr<Ring> presentRing(const std::shared_ptr<ZTUploadDocumentViewModel>& relay) {
    auto shown = zttest::flag();
    ZTUIUtilites::shared()->presentUploadDocumentProgressBar(relay, zttest::raise(shown));
    ui->settle();
    pass(0.3);
    EXPECT_TRUE(*shown);
    ui->settle();
    return frontmost<Ring>();
  }
  static std::size_t arcs(const std::shared_ptr<Ring>& ring) {
    return ring->circleView.lock()->layer()->sublayers().size();
  }
};

TEST_F(RingScreen, KeepsEveryArcAndShowsTheLastPercentUnclamped) {
  auto relay = std::make_shared<ZTUploadDocumentViewModel>();
  auto ring = presentRing(relay);
  ASSERT_TRUE(ring);
  EXPECT_EQ(arcs(ring), 1u) << "the track ring";
  EXPECT_FLOAT_EQ(ring->documentUploadedImageView.lock()->alpha(), 0.01);
  for (int value : {60, 33, -5, 150}) relay->changeProgress(value);
  ui->settle();
  EXPECT_EQ(ring->progressLabel.lock()->text(), "150%");
  EXPECT_EQ(relay->progress(), 150);
  EXPECT_EQ(arcs(ring), 5u);
  EXPECT_EQ(newdoc::drawnPercents(*ring->circleView.lock()), (std::vector<int>{60, 33, 0, 100}));
}

TEST_F(RingScreen, FinishesWithAFullRingThenClosesThenRunsTheAction) {
  auto relay = std::make_shared<ZTUploadDocumentViewModel>();
  auto ring = presentRing(relay);
  auto done = zttest::flag();
  relay->finishUploading(zttest::raise(done));
  ui->settle();
  EXPECT_EQ(ring->uploadingLabel.lock()->text(), "Upload complete");
  EXPECT_EQ(ring->progressLabel.lock()->alpha(), 0);
  EXPECT_EQ(newdoc::drawnPercents(*ring->circleView.lock()).back(), 100);
  pass(0.9);
  EXPECT_FALSE(*done);
  pass(0.1);
  EXPECT_FALSE(*done) << "the action waits for the dismissal";
  EXPECT_EQ(ring->documentUploadedImageView.lock()->alpha(), 1.0);
  pass(0.3);
  EXPECT_TRUE(*done);
  EXPECT_FALSE(frontmost<Ring>());
}

TEST_F(RingScreen, ARelayWithoutAScreenRunsItsActionsAtOnce) {
  for (bool finish : {true, false}) {
    auto relay = std::make_shared<ZTUploadDocumentViewModel>();
    auto done = zttest::flag();
    relay->changeInfo("Uploading");
    relay->changeProgress(42);
    EXPECT_EQ(relay->progress(), 42);
    if (finish) {
      relay->finishUploading(zttest::raise(done));
    } else {
      relay->interruptUploading(zttest::raise(done));
    }
    EXPECT_TRUE(*done) << (finish ? "finish" : "interrupt");
  }
}

struct SortRow {
  const char* name;
  std::vector<ZTPublicConstants::DocumentType> required;
  std::vector<std::pair<ZTPublicConstants::DocumentType, ZTPublicConstants::DocumentStatusType>>
      documents;
  bool count, verified, pending;
};

class Completeness : public ::testing::TestWithParam<SortRow> {};

TEST_P(Completeness, CountsDistinctRequiredTypes) {
  const auto& row = GetParam();
  std::vector<ZTPublicDocumentElement> docs;
  for (const auto& [type, status] : row.documents) docs.emplace_back("id", 0, status, type);
  using S = ZTPublicConstants::DocumentStatusType;
  EXPECT_EQ(ZTDocumentSort::checkDockCount(docs, row.required), row.count);
  EXPECT_EQ(ZTDocumentSort::checkDocksStatus(docs, row.required, S::Verified), row.verified);
  EXPECT_EQ(ZTDocumentSort::checkDocksStatus(docs, row.required, S::PendingReview), row.pending);
}

using T = ZTPublicConstants::DocumentType;
using S = ZTPublicConstants::DocumentStatusType;
INSTANTIATE_TEST_SUITE_P(
    NewDocument, Completeness,
    ::testing::Values(SortRow{"NothingRequired", {}, {}, true, true, true},
                      SortRow{"NoDocuments", {T::Passport}, {}, false, false, false},
                      SortRow{"OneOfSeveral",
                              {T::Passport},
                              {{T::Passport, S::NotVerified}, {T::Passport, S::Verified}},
                              true,
                              true,
                              false},
                      SortRow{"ListedTwice",
                              {T::Passport, T::Passport},
                              {{T::Passport, S::Verified}},
                              true,
                              true,
                              false},
                      SortRow{"OtherTypesChangeNothing",
                              {T::IdCard},
                              {{T::Passport, S::Verified}, {T::IdCard, S::PendingReview}},
                              true,
                              false,
                              true},
                      SortRow{"StillRecognizing",
                              {T::Passport, T::IdCard},
                              {{T::Passport, S::Verified}, {T::IdCard, S::Recognition}},
                              true,
                              false,
                              false},
                      SortRow{"OneTypeMissing",
                              {T::Passport, T::IdCard},
                              {{T::Passport, S::Verified}},
                              false,
                              false,
                              false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
