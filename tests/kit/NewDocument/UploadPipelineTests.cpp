// A new document from its first photo to the status screens, through the preview, the ring
// and the sandbox.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "NewDocumentSupport.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaLoading/ZTMediaLoadingViewController.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"

namespace {

using namespace ZentrelSDK;
using newdoc::NewDocumentTest;
using Preview = ZTNewDocumentPreviewViewController;
using Ring = ZTUploadDockProgressViewController;

class UploadPipeline : public NewDocumentTest {
 protected:
  std::string stage(const std::shared_ptr<Ring>& ring) const {
    return ring->uploadingLabel.lock()->text().value_or("");
  }
  std::string percent(const std::shared_ptr<Ring>& ring) const {
    return ring->progressLabel.lock()->text().value_or("");
  }
  // Taps submit and waits for the ring to run to the confirm's answer.
  std::shared_ptr<Ring> submitUntilRecognition(const std::shared_ptr<Preview>& preview) {
    ui->tap(preview->submitButton.lock());
    pass(0.3);
    auto ring = frontmost<Ring>();
    EXPECT_TRUE(ring);
    if (!ring) return nullptr;
    EXPECT_TRUE(ui->runUntil([&] { return stage(ring) == "Recognition"; }, 30));
    ui->settle();
    return ring;
  }
  // A small front through the list's own flow, up to recognition; counts modifications.
  std::shared_ptr<Ring> submitInternally() {
    openPreview(*ZTPrivateDocumentsManager::shared(), newdoc::plain(64, 48));
    ZTEvents::shared()->documentModificationEventListen(this, [this] { ++modifications; });
    return submitUntilRecognition(frontmost<Preview>());
  }
  void TearDown() override {
    ZTEvents::shared()->unregiterEvents(this);
    NewDocumentTest::TearDown();
  }
  void tick(std::size_t polls) {
    pass(1.0);
    EXPECT_TRUE(ui->runUntil([&] { return answered("documents.get", polls); })) << "poll " << polls;
  }

  int modifications = 0;
};

struct SidesRow {
  const char* name;
  bool withBack;
  int frontEnd;  // where the front upload ends on the ring
};

class Sides : public UploadPipeline, public ::testing::WithParamInterface<SidesRow> {};

TEST_P(Sides, UploadsEachFileAndPollsUntilTheScriptEnds) {
  const auto& row = GetParam();
  openPreview(*ZTDocumentsManager::shared(), newdoc::noise(2000, 4000, 1));
  auto preview = frontmost<Preview>();
  ASSERT_TRUE(preview);
  if (row.withBack) {
    ASSERT_TRUE(retake(preview->addBacksideButton.lock(), newdoc::noise(1600, 3200, 2)));
    ASSERT_FALSE(preview->backsideImage.lock()->isHidden());
  }
  ASSERT_EQ(stored.size(), row.withBack ? 2u : 1u);
  const auto frontBytes = newdoc::contents(stored[0]);
  ASSERT_GT(frontBytes.size(), 2'000'000u) << "a multi-megabyte upload";
  sb().inject("documents.check", sandbox::Fault::after(std::chrono::milliseconds(200)));

  ui->tap(preview->submitButton.lock());
  pass(0.3);
  auto ring = frontmost<Ring>();
  ASSERT_TRUE(ring);
  ASSERT_TRUE(ui->runUntil([&] { return stage(ring) == "Validation"; }));
  EXPECT_EQ(percent(ring), "0%");
  ASSERT_TRUE(ui->runUntil([&] { return stage(ring) == "Recognition"; }, 30));
  ui->settle();
  EXPECT_EQ(percent(ring), "68%");

  auto drawn = newdoc::drawnPercents(*ring->circleView.lock());
  ASSERT_GE(drawn.size(), 2u);
  EXPECT_EQ(drawn.back(), 68);
  const std::vector<int> uploads(drawn.begin(), drawn.end() - 1);
  EXPECT_TRUE(std::is_sorted(uploads.begin(), uploads.end()));
  EXPECT_EQ(uploads.back(), 67);
  const auto beforeFrontEnd =
      std::count_if(uploads.begin(), uploads.end(), [&](int p) { return p < row.frontEnd; });
  EXPECT_GE(beforeFrontEnd, 3) << "several values during a multi-megabyte upload";
  if (row.withBack) {
    EXPECT_NE(std::find(uploads.begin(), uploads.end(), 33), uploads.end());
  }

  tick(1);
  EXPECT_EQ(percent(ring), "70%");
  tick(2);
  tick(3);
  ASSERT_TRUE(ui->runUntil([&] { return stage(ring) == "Upload complete"; }));
  EXPECT_EQ(percent(ring), "100%");
  drawn = newdoc::drawnPercents(*ring->circleView.lock());
  EXPECT_EQ(std::vector<int>(drawn.end() - 5, drawn.end()),
            (std::vector<int>{68, 70, 72, 74, 100}));

  pass(1.0);
  pass(0.3);
  pass(0.3);
  EXPECT_TRUE(frontmost<ZTMediaLoadingViewController>());
  pass(3.0);
  EXPECT_EQ(sb().count("documents.get"), 3u);

  const auto created = sb().requests("documents.create");
  ASSERT_EQ(created.size(), 1u);
  const auto id = sb().requests("documents.upload.front").at(0).path;
  const auto document = sb().document(id.substr(id.rfind("/documents/") + 11, 36));
  ASSERT_TRUE(document);
  EXPECT_EQ(document->front, frontBytes);
  EXPECT_EQ(sb().count("documents.upload.back"), row.withBack ? 1u : 0u);
  if (row.withBack) {
    EXPECT_EQ(document->back, newdoc::contents(stored[1]));
  }
  EXPECT_TRUE(std::filesystem::exists(newdoc::cacheFolder())) << "the cache stays after an upload";
}

INSTANTIATE_TEST_SUITE_P(NewDocument, Sides,
                         ::testing::Values(SidesRow{"FrontOnly", false, 67},
                                           SidesRow{"FrontAndBack", true, 33}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UploadPipeline, ANeverFinalScriptStopsAtFifteenPollsAndEndsAsRecognition) {
  sb().setRecognition({sandbox::DocumentStatus::Recognition});
  auto ring = submitInternally();
  ASSERT_TRUE(ring);
  const auto viewModel =
      std::dynamic_pointer_cast<Preview>(ring->presentingViewController())->viewModel;
  for (std::size_t poll = 1; poll <= 15; ++poll) {
    tick(poll);
    EXPECT_EQ(percent(ring), std::to_string(68 + 2 * poll) + "%");
  }
  pass(1.0);
  ASSERT_TRUE(ui->runUntil([&] { return stage(ring) == "Upload complete"; }));
  pass(1.0);
  pass(0.3);
  pass(0.3);
  EXPECT_TRUE(ui->runUntil([&] { return modifications == 1; }));
  EXPECT_FALSE(frontmost<Preview>()) << "the internal flow closes the preview";
  EXPECT_EQ(viewModel->documentStatus(), ZTPublicConstants::DocumentStatusType::Recognition);
  pass(5.0);
  EXPECT_EQ(sb().count("documents.get"), 15u);
}

TEST_F(UploadPipeline, LateOverlappingAnswersFinishOnce) {
  // Polls 1 and 2 are held back; the third sees Verified first, the held ones answer later.
  sb().setRecognition({sandbox::DocumentStatus::Verified});
  sb().inject("documents.get", sandbox::Fault::after(std::chrono::milliseconds(400)).repeat(2));
  auto ring = submitInternally();
  ASSERT_TRUE(ring);
  pass(1.0);
  pass(1.0);
  ASSERT_TRUE(ui->runUntil([&] { return answered("documents.get", 2); }));
  ASSERT_TRUE(ui->runUntil([&] { return stage(ring) == "Upload complete"; }));
  pass(1.0);
  pass(0.3);
  pass(0.3);
  pass(2.0);
  EXPECT_EQ(modifications, 1);
}

TEST_F(UploadPipeline, PollingEndsWithTheViewModel) {
  sb().setRecognition({sandbox::DocumentStatus::Recognition});
  auto ring = submitInternally();
  ASSERT_TRUE(ring);
  std::weak_ptr<ZTDocumentPreviewModel> viewModel =
      std::dynamic_pointer_cast<Preview>(ring->presentingViewController())->viewModel;
  tick(1);
  ui->root()->dismiss(false);  // the host takes the screens away
  ring.reset();
  pass(0.1);
  ASSERT_TRUE(viewModel.expired());
  pass(5.0);
  EXPECT_EQ(sb().count("documents.get"), 1u);
}

}  // namespace
