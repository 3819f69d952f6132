// Submits a new document with 12 MP JPEGs for front and back, from submit to the confirm's
// answer, through the preview's view model, its relay and its ring, against the same calls
// made bare (the three uploads through ZTNetworkCore::upload, the small calls through the
// documents client). Rounds alternate; the medians are compared. Also reports the growth of
// the peak resident memory during one submission, and how many progress values and arc
// layers the ring received.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <Foundation/Data.hpp>
#include <Foundation/FileManager.hpp>
#include <Foundation/RunLoop.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIAlertController.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIView.hpp>
#include <sandbox/Sandbox.hpp>

#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTDocumentPreviewViewModel.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"
#include "ZTEvents.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

#include "LoadAverage.hpp"
#include "Median.hpp"
#include "PeakMemory.hpp"
#include "SandboxRoutes.hpp"

namespace {

using namespace ZentrelSDK;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 11;

// A 4000 x 3000 photo-like JPEG: a gradient with grain.
Foundation::URL photo12MP(const std::string& name, unsigned seed) {
  const std::size_t w = 4000, h = 3000;
  std::mt19937 random(seed);
  UIKit::UIImage::Pixels pixels(w * h * 4);
  for (std::size_t y = 0; y < h; ++y) {
    for (std::size_t x = 0; x < w; ++x) {
      auto* p = &pixels[(y * w + x) * 4];
      const int grain = static_cast<int>(random() % 24);
      p[0] = static_cast<std::uint8_t>((x * 255 / w + grain) & 0xFF);
      p[1] = static_cast<std::uint8_t>((y * 255 / h + grain) & 0xFF);
      p[2] = static_cast<std::uint8_t>(((x + y) * 127 / (w + h) + grain) & 0xFF);
      p[3] = 255;
    }
  }
  const auto bytes = *UIKit::UIImage::withPixels(w, h, pixels)->jpegData(0.9);
  const auto folder = Foundation::FileManager::defaultManager().temporaryDirectory().path() + "/" +
                      std::string(ZTConstants::DOCKS_CACHE_FOLDER);
  (void)Foundation::FileManager::defaultManager().createDirectory(folder, true);
  const auto path = folder + "/" + name;
  (void)Foundation::writeData(bytes, path);
  std::printf("%s: %.1f MB\n", name.c_str(), static_cast<double>(bytes.size()) / 1e6);
  return Foundation::URL::fileURLWithPath(path);
}

bool waitFor(const std::function<bool()>& done) {
  return Foundation::RunLoop::main().runUntil(done, 120.0);
}

struct KitRun {
  double seconds = 0;
  long growthKiB = 0;
  std::size_t hops = 0, arcs = 0;
};

KitRun submitThroughKit(const Foundation::URL& front, const Foundation::URL& back,
                        sandbox::Sandbox& sb, PlatformTesting::UI& ui) {
  auto viewModel = std::make_shared<ZTDocumentPreviewViewModel>(
      UIKit::UIImage::withSize({4, 3}), front, ZTPublicConstants::DocumentType::Passport);
  viewModel->takeBacksidePhoto();
  ZTEvents::shared()->mediaCreatedEventEmit(std::make_shared<ZTCameraData>(back, MediaType::photo));
  ui.settle();  // the back photo is decoded for the screen before the submission starts
  // The source sheet the retake opened goes without a choice, so the ring has a screen to
  // come up on.
  waitFor([&] {
    auto sheet = std::dynamic_pointer_cast<UIKit::UIAlertController>(ui.frontmost());
    return sheet && !sheet->isBeingPresented();
  });
  if (auto sheet = std::dynamic_pointer_cast<UIKit::UIAlertController>(ui.frontmost())) {
    sheet->dismiss(false);
  }
  ui.settle();
  const auto confirmsBefore = sb.count("documents.confirm");
  const bool peakReset = benchmem::resetPeak();
  const long before = benchmem::statusValue(peakReset ? "VmRSS" : "VmHWM");
  const auto start = Clock::now();
  viewModel->submitDocument();
  // Done when the confirm's answer has reached the pipeline, which then names the next stage
  // on the ring: the same point as the bare calls' last callback. The condition runs on every
  // turn of the run loop, so it reads only the ring, not the sandbox's growing log.
  std::shared_ptr<ZTUploadDockProgressViewController> ring;
  waitFor([&] {
    if (!ring) ring = std::dynamic_pointer_cast<ZTUploadDockProgressViewController>(ui.frontmost());
    auto stage = ring ? ring->uploadingLabel.lock() : nullptr;
    return stage && stage->text() == "Recognition";
  });
  KitRun run;
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.growthKiB = benchmem::statusValue("VmHWM") - before;
  if (sb.count("documents.confirm") != confirmsBefore + 1) {
    std::printf("the submission did not reach the confirm\n");
  }
  if (ring) {
    ui.settle();
    run.arcs = ring->circleView.lock()->layer()->sublayers().size();
    run.hops = run.arcs - 1;  // all but the track ring
    ring->dismiss(false);
  }
  ui.settle();
  return run;
}

double submitBare(const Foundation::URL& front, const Foundation::URL& back, long* growthKiB) {
  const bool peakReset = benchmem::resetPeak();
  const long before = benchmem::statusValue(peakReset ? "VmRSS" : "VmHWM");
  const ZTNetworkCore::Headers headers{
      {"Authorization", "Bearer " + ZTTokenUtilites::shared()->getToken()}, {"x-request-code", ""}};
  const auto start = Clock::now();
  bool done = false;
  auto upload = [&](const std::string& url, const Foundation::URL& file,
                    std::function<void()> next) {
    ZTNetworkCore::upload(url, headers, file,
                          [next](Foundation::Result<ZTResponse, Error>) { next(); });
  };
  upload(ZTConstants::getDocumentFileValidatePath(), front, [&] {
    ZTPrivateAPIDocuments::createDocument(
        ZTPublicConstants::DocumentType::Passport, ZTPublicConstants::AreaType::Internal, "",
        [&](const ZTDocumentCreateResponse& created) {
          const std::string id = created.message;
          upload(ZTConstants::getDocumentLoadFrontPath(id), front, [&, id] {
            upload(ZTConstants::getDocumentLoadBackPath(id), back, [&, id] {
              ZTPrivateAPIDocuments::confirmDocumentUpload(
                  id, [&](const std::string&) { done = true; },
                  [&](const std::string&) { done = true; });
            });
          });
        },
        [&](const std::string&) { done = true; });
  });
  waitFor([&] { return done; });
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (growthKiB) *growthKiB = benchmem::statusValue("VmHWM") - before;
  return seconds;
}

}  // namespace

using benchstats::median;

int main() {
  const benchload::Report load;
  sandbox::Sandbox::Options options;
  options.maxUploadBytes = 64u << 20;
  benchsandbox::RoutedSandbox sb(options);
  ZTTokenUtilites::shared()->saveToken(sb.signIn("user1@example.com"), false);
  UIKit::UIView::setAnimationsEnabled(false);  // time the network, not the transitions
  PlatformTesting::UI ui;

  const auto front = photo12MP("front.jpg", 1);
  const auto back = photo12MP("back.jpg", 2);
  submitBare(front, back, nullptr);  // warm the connections

  std::vector<double> kit, bare;
  KitRun last;
  long growth = 0, bareGrowth = 0;
  for (int round = 0; round < kRounds; ++round) {
    benchstats::inTurn(
        round,
        [&] {
          last = submitThroughKit(front, back, sb, ui);
          growth = std::max(growth, last.growthKiB);
          kit.push_back(last.seconds);
        },
        [&] {
          long roundGrowth = 0;
          bare.push_back(submitBare(front, back, &roundGrowth));
          bareGrowth = std::max(bareGrowth, roundGrowth);
        });
  }
  const double ratio = median(kit) / median(bare);
  std::printf("submit to confirm: kit %.3f s, bare %.3f s (medians of %d): %.2fx (at most 1.1x)\n",
              median(kit), median(bare), kRounds, ratio);
  // The sandbox runs in this process and keeps every upload in memory, so the bare calls'
  // growth is the floor; the kit's own share is the difference.
  std::printf(
      "peak RSS growth during a submission: kit %.2f MB, bare %.2f MB, kit's own %.2f MB "
      "(at most 2 MB)\n",
      static_cast<double>(growth) / 1024.0, static_cast<double>(bareGrowth) / 1024.0,
      static_cast<double>(growth - bareGrowth) / 1024.0);
  std::printf("progress hops: %zu, arc layers: %zu (one per whole percent that changed)\n",
              last.hops, last.arcs);
  return 0;
}
