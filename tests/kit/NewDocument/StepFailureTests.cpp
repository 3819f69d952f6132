// A failing step closes the ring, shows its text and sends no later step.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "NewDocumentSupport.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"
#include "support/LateCallbacks.hpp"

namespace {

using namespace ZentrelSDK;
using newdoc::NewDocumentTest;
using sandbox::Fault;
using Preview = ZTNewDocumentPreviewViewController;
using Ring = ZTUploadDockProgressViewController;

const std::vector<std::string> kSteps{"documents.check",        "documents.create",
                                      "documents.upload.front", "documents.upload.back",
                                      "documents.confirm",      "documents.get"};

class StepFailures : public NewDocumentTest {
 protected:
  // Submits front and back, waits for the ring to begin closing, then records each alert text as it
  // comes up over the next seconds.
  std::vector<std::string> submitAndWatchAlerts(bool withBack = true) {
    openPreview(*ZTDocumentsManager::shared(), newdoc::plain(64, 48));
    auto preview = frontmost<Preview>();
    EXPECT_TRUE(preview);
    if (!preview) return {};
    if (withBack) {
      EXPECT_TRUE(retake(preview->addBacksideButton.lock(), newdoc::plain(60, 48)));
    }
    ui->tap(preview->submitButton.lock());
    pass(0.3);
    EXPECT_TRUE(frontmost<Ring>());
    // The failure closes the ring: from then on the clock alone moves things.
    std::vector<std::string> alerts;
    std::optional<std::string> showing;
    EXPECT_TRUE(ui->runUntil([&] { return !ringShown(); }, 30));
    for (int step = 0; step < 40; ++step) {
      pass(0.1);
      const auto now = ui->alertMessage();
      if (now && now != showing) alerts.push_back(*now);
      showing = now;
    }
    return alerts;
  }
  bool ringClosing() const {
    auto ring = frontmost<Ring>();
    return ring && ring->uploadingLabel.lock()->text() == "Upload complete";
  }
  bool ringShown() const {
    for (auto vc = ui->root(); vc; vc = vc->presentedViewController()) {
      if (std::dynamic_pointer_cast<Ring>(vc) && !vc->isBeingDismissed()) return true;
    }
    return false;
  }
};

struct FailureRow {
  const char* name;
  const char* endpoint;
  Fault fault;
  const char* shown;  // "" for a transport text of the platform's
};

class EachStep : public StepFailures, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(EachStep, ShowsItsTextClosesTheRingAndSendsNoLaterStep) {
  const auto& row = GetParam();
  sb().inject(row.endpoint, Fault(row.fault));
  const auto alerts = submitAndWatchAlerts();
  EXPECT_FALSE(ringShown());
  ASSERT_FALSE(alerts.empty());
  // Create and front errors are shown at once in lower case and again after the close; the
  // early one waits for the ring's dismissal instead of being lost. A text that lower case
  // leaves alone shows as one.
  std::string lowered = alerts.back();
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::string endpoint = row.endpoint;
  const bool twice = (endpoint == "documents.create" || endpoint == "documents.upload.front") &&
                     lowered != alerts.back();
  if (twice) {
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts.front(), lowered);
  } else {
    EXPECT_EQ(alerts.size(), 1u);
  }
  if (*row.shown) {
    EXPECT_EQ(alerts.back(), row.shown);
  } else {
    EXPECT_FALSE(alerts.back().empty());
  }
  EXPECT_EQ(sb().count(row.endpoint), 1u) << "the failed step went out once";
  bool later = false;
  for (const auto& step : kSteps) {
    if (later) {
      EXPECT_EQ(sb().count(step), 0u) << step;
    }
    later = later || step == row.endpoint;
  }
  EXPECT_TRUE(frontmost<Preview>() || ui->alertMessage()) << "the preview stays for a retry";
}

INSTANTIATE_TEST_SUITE_P(
    NewDocument, EachStep,
    ::testing::Values(
        FailureRow{"CheckNotAnImage", "documents.check", Fault::answer(422, "invalid image"),
                   "Invalid content or unknown format"},
        FailureRow{"CheckTooLarge", "documents.check", Fault::answer(413, "file too large"),
                   "file too large"},
        FailureRow{"CheckDropped", "documents.check", Fault::drop().repeat(0), ""},
        FailureRow{"CreateConflict", "documents.create", Fault::answer(409, "Conflict Here"),
                   "answer has not status code = 200 (409)"},
        FailureRow{"CreateMalformed", "documents.create", Fault::malformedJson(),
                   "cannot decode answer"},
        FailureRow{"CreateEmptyBody", "documents.create", Fault::emptyBody(), ""},
        FailureRow{"CreateDropped", "documents.create", Fault::drop(),
                   "The network connection was lost."},
        FailureRow{"FrontServerError", "documents.upload.front",
                   Fault::answer(500, "Storage Is Down"), "Storage Is Down"},
        FailureRow{"FrontTruncated", "documents.upload.front", Fault::truncate(), ""},
        FailureRow{"BackTooLarge", "documents.upload.back", Fault::answer(413, "Too Large"),
                   "Too Large"},
        FailureRow{"BackMalformed", "documents.upload.back", Fault::malformedJson(),
                   "cannot decode answer"},
        FailureRow{"ConfirmNotPending", "documents.confirm", Fault::answer(409, "x"),
                   "Not pending status"},
        FailureRow{"ConfirmServerError", "documents.confirm", Fault::answer(500, "x"),
                   "Something went wrong, please, try later"},
        FailureRow{"ConfirmDropped", "documents.confirm", Fault::drop().repeat(0), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StepFailures, AFrontFileDeletedBeforeSubmitIsReportedWithoutAnyRequest) {
  openPreview(*ZTDocumentsManager::shared(), newdoc::plain(64, 48));
  ASSERT_EQ(stored.size(), 1u);
  std::filesystem::remove(stored[0].path());
  auto preview = frontmost<Preview>();
  ASSERT_TRUE(preview);
  ui->tap(preview->submitButton.lock());
  pass(0.3);
  ASSERT_TRUE(ui->runUntil([&] { return !ringShown(); }));
  pass(0.5);
  pass(0.5);
  EXPECT_FALSE(ringShown());
  EXPECT_TRUE(ui->alertMessage().has_value());
  EXPECT_EQ(sb().count("documents.check"), 0u);
  EXPECT_EQ(sb().count("documents.create"), 0u);
}

TEST_F(StepFailures, AnEmptyIdFromCreateStopsBeforeTheUpload) {
  sb().inject("documents.create", Fault::json(200, R"({"success": true, "message": ""})"));
  const auto alerts = submitAndWatchAlerts(false);
  ASSERT_FALSE(alerts.empty());
  EXPECT_EQ(alerts.back(), "Something went wrong.\nPlease, try again later");
  EXPECT_EQ(sb().count("documents.upload.front"), 0u);
  EXPECT_FALSE(ringShown());
}

TEST_F(StepFailures, AFailedPollIsOnlyLoggedAndPollingGoesOn) {
  sb().inject("documents.get", Fault::json(200, R"({"status": "Lost"})").repeat(2));
  openPreview(*ZTPrivateDocumentsManager::shared(), newdoc::plain(64, 48));
  auto modifications = zttest::counter();
  ZTEvents::shared()->documentModificationEventListen(this, zttest::countUp(modifications));
  ui->tap(frontmost<Preview>()->submitButton.lock());
  pass(0.3);
  ASSERT_TRUE(ui->runUntil([&] {
    auto ring = frontmost<Ring>();
    return ring && ring->uploadingLabel.lock()->text() == "Recognition";
  }));
  // Two polls with an unknown status, then the script's Recognition, Recognition, Verified.
  for (std::size_t poll = 1; poll <= 5; ++poll) {
    pass(1.0);
    ASSERT_TRUE(ui->runUntil([&] { return answered("documents.get", poll); }));
  }
  ASSERT_TRUE(ui->runUntil([&] { return !ui->alertMessage() && ringClosing(); }));
  pass(1.0);
  pass(0.3);
  pass(0.3);
  ASSERT_TRUE(ui->runUntil([&] { return *modifications == 1; }));
  EXPECT_EQ(*modifications, 1);
  EXPECT_FALSE(ui->alertMessage().has_value());
  ZTEvents::shared()->unregiterEvents(this);
}

}  // namespace
