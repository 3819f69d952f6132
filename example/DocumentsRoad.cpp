#include "DocumentsRoad.hpp"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <AVFoundation/AVTypes.hpp>
#include <Foundation/Data.hpp>
#include <Foundation/FileManager.hpp>
#include <Photos/PHTypes.hpp>
#include <Testing/CaptureRig.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIAlertController.hpp>
#include <UIKit/UIImage.hpp>
#include <sandbox/Sandbox.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTCustomCameraView/ZTCameraViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTMediaPhotoCropViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreviewViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaLoading/ZTMediaLoadingViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaPending/ZTMediaPendingViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaSuccess/ZTMediaSuccessViewController.hpp"
#include "ZTDocuments/DocumentsList/Cell/ZTDocumentsUITableViewCell.hpp"
#include "ZTDocuments/DocumentsList/DocumentsViewController.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"
#include "ZTDocumentsManager.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

using namespace ZentrelSDK;

namespace {

using Answer = std::vector<std::optional<ZTPublicDocumentElement>>;
constexpr const char* kUser = "user1@example.com";

// Serves the main run loop and moves the manual clock a tenth of a second at a time until
// `done` holds; false after `realSeconds` of real time.
bool drive(PlatformTesting::UI& ui, const std::function<bool()>& done, double realSeconds = 20) {
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(static_cast<int>(realSeconds * 1000));
  while (std::chrono::steady_clock::now() < deadline) {
    ui.settle();
    if (done()) return true;
    ui.runUntil(done, 0.01);
    if (done()) return true;
    ui.advance(0.1);
  }
  return done();
}

template <class S>
std::shared_ptr<S> facing(PlatformTesting::UI& ui) {
  return std::dynamic_pointer_cast<S>(ui.frontmost());
}

// Waits for the screen of class S to face the user; says so when it does not.
template <class S>
std::shared_ptr<S> await(PlatformTesting::UI& ui, const std::string& what,
                         const std::function<bool(S&)>& ready = nullptr) {
  std::shared_ptr<S> screen;
  drive(ui, [&] {
    screen = facing<S>(ui);
    return screen && (!ready || ready(*screen));
  });
  if (!screen) std::cout << "   no " << what << " came\n";
  return screen;
}

bool tap(PlatformTesting::UI& ui, const std::shared_ptr<UIKit::UIView>& view,
         const std::string& what) {
  std::cout << "   (the user taps " << what << ")\n";
  return view && ui.tap(view);
}

bool choose(PlatformTesting::UI& ui, const std::string& action) {
  const bool sheet = drive(
      ui, [&] { return facing<UIKit::UIAlertController>(ui) != nullptr; }, 5);
  std::cout << "   (the user chooses \"" << action << "\")\n";
  return sheet && ui.chooseAction(action);
}

// A picture for the photo library: a card-like JPEG the example writes itself.
std::shared_ptr<UIKit::UIImage> writeLibraryPhoto() {
  constexpr std::size_t width = 600, height = 400;
  UIKit::UIImage::Pixels pixels(width * height * 4);
  for (std::size_t y = 0; y < height; ++y)
    for (std::size_t x = 0; x < width; ++x) {
      auto* p = &pixels[(y * width + x) * 4];
      const bool stripe = (y / 40) % 2 == 0;
      p[0] = static_cast<std::uint8_t>(stripe ? 200 : 90);
      p[1] = static_cast<std::uint8_t>(60 + x * 150 / width);
      p[2] = static_cast<std::uint8_t>(120 + y * 100 / height);
      p[3] = 255;
    }
  const auto jpeg = UIKit::UIImage::withPixels(width, height, std::move(pixels))->jpegData(0.9);
  const auto path =
      std::filesystem::path(Foundation::FileManager::defaultManager().temporaryDirectory().path()) /
      "example-back-side.jpg";
  if (!jpeg || !Foundation::writeData(*jpeg, path.string()).isSuccess()) return nullptr;
  std::cout << "   wrote the library photo " << path.string() << " (" << jpeg->size()
            << " bytes)\n";
  const auto bytes = Foundation::dataContentsOf(path.string());
  return bytes.isSuccess() ? UIKit::UIImage::withData(bytes.value()) : nullptr;
}

void printRows(const DocumentsViewController& list) {
  auto table = list.tableView.lock();
  for (int row = 0; table && row < table->numberOfRows(); ++row) {
    auto cell = std::dynamic_pointer_cast<ZTDocumentsUITableViewCell>(table->cellForRow({row, 0}));
    if (!cell) continue;
    std::cout << "     | " << cell->titleLabel.lock()->text().value_or("") << ": "
              << cell->descriptionLabel.lock()->text().value_or("") << "\n";
  }
}

int passportRow(const DocumentsViewController& list) {
  for (std::size_t i = 0; i < list.docks.size(); ++i)
    if (list.docks[i]->documentType() == ZTPublicConstants::DocumentType::Passport)
      return static_cast<int>(i);
  return -1;
}

std::string statusText(sandbox::DocumentStatus status) {
  return std::string(sandbox::rawValue(status));
}

}  // namespace

int documentsRoad(sandbox::Sandbox& server, PlatformTesting::UI& ui) {
  PlatformTesting::ManualClock::install();
  std::cout << "11. From here the manual clock carries the waits: animations, the 1 s status "
               "polls and the loading screen's 30 s\n";
  const auto started = std::chrono::steady_clock::now();
  PlatformTesting::CaptureRig::reset();
  PlatformTesting::CaptureRig::setCameraPermission(AVFoundation::AVAuthorizationStatus::authorized);
  PlatformTesting::CaptureRig::setLibraryPermission(Photos::PHAuthorizationStatus::authorized);
  server.clearLog();

  std::cout << "12. Seeding a verified proof of address\n";
  server.addDocument(kUser, sandbox::DocumentType::ProofOfAddress,
                     sandbox::DocumentStatus::Verified);

  std::cout << "13. The host requests " << ZTPublicConstants::getDocumentsEndpoint() << "\n";
  std::optional<Answer> answer;
  std::optional<ZTOAuthError> error;
  ZTDocumentsManager::request<Answer>(
      ZTPublicConstants::getDocumentsEndpoint(), [&](Answer documents) { answer = documents; },
      [&](ZTOAuthError failure) { error = failure; });
  auto list = await<DocumentsViewController>(ui, "documents list", [&](DocumentsViewController& l) {
    return !l.docks.empty() && server.count("documents.list") > 0;
  });
  if (!list) return 1;
  std::cout << "   [DocumentsViewController]\n";
  printRows(*list);

  std::cout << "14. The passport, front side from the camera\n";
  const int row = passportRow(*list);
  std::cout << "   (the user taps the Passport row)\n";
  if (row < 0 || !ui.tapRow(list->tableView.lock(), row) || !choose(ui, "Take photo")) {
    std::cout << "   the row opened no photo source sheet\n";
    return 1;
  }
  auto camera = await<ZTCameraViewController>(ui, "capture screen");
  if (!camera || !tap(ui, ui.find("recordButton"), "record")) return 1;
  auto photo = await<ZTPhotoPreviewViewController>(ui, "photo preview");
  if (!photo || !tap(ui, ui.find("turnToRightButton"), "turn") ||
      !tap(ui, ui.find("addButton"), "\"Use photo\""))
    return 1;
  auto preview = await<ZTNewDocumentPreviewViewController>(
      ui, "new-document preview", [](ZTNewDocumentPreviewViewController& p) {
        return p.frontsideImage.lock() && p.frontsideImage.lock()->image();
      });
  if (!preview) return 1;

  std::cout << "15. The back side from the photo library\n";
  const auto libraryPhoto = writeLibraryPhoto();
  if (!libraryPhoto || !tap(ui, preview->addBacksideButton.lock(), "\"Add back side\"") ||
      !choose(ui, "Choose from library"))
    return 1;
  if (!await<UIKit::UIImagePickerController>(ui, "photo library") || !ui.pick(libraryPhoto))
    return 1;
  std::cout << "   (the user picks the photo)\n";
  auto crop = await<ZTMediaPhotoCropViewController>(ui, "crop screen");
  if (!crop) return 1;
  std::cout << "   (the user drags and pinches the frame)\n";
  ui.pan(ui.find("maskView"), {{180, 400}, {190, 410}, {200, 420}});
  ui.pinch(ui.find("maskView"), {1.1, 1.2});
  if (!tap(ui, ui.find("doneButton"), "\"Done\"")) return 1;
  preview = await<ZTNewDocumentPreviewViewController>(
      ui, "new-document preview", [](ZTNewDocumentPreviewViewController& p) {
        return p.backsideImage.lock() && p.backsideImage.lock()->image();
      });
  if (!preview) return 1;

  std::cout << "16. Submit\n";
  if (!tap(ui, preview->submitButton.lock(), "\"Submit\"")) return 1;
  std::string lastProgress;
  std::size_t polls = 0;
  std::optional<std::string> documentId;
  std::shared_ptr<ZTMediaSuccessViewController> success;
  std::shared_ptr<ZTMediaPendingViewController> pending;
  drive(
      ui,
      [&] {
        if (auto progress = facing<ZTUploadDockProgressViewController>(ui)) {
          const auto stage = progress->uploadingLabel.lock()->text().value_or("");
          const auto percent = progress->progressLabel.lock()->text().value_or("");
          const auto line = stage + " " + percent;
          if (line != lastProgress && !stage.empty()) {
            std::cout << "   progress: " << line << "\n";
            lastProgress = line;
          }
        }
        if (!documentId) {
          const auto created = server.requests("documents.create");
          if (!created.empty() && created.back().status == 200) {
            const auto documents = server.documents(kUser);
            documentId = documents.back().id;
          }
        }
        const auto asked = server.requests("documents.get");
        while (documentId && polls < asked.size() && asked[polls].status != 0) {
          ++polls;
          std::cout << "   poll " << polls << ": "
                    << statusText(server.document(*documentId)->status) << "\n";
        }
        success = facing<ZTMediaSuccessViewController>(ui);
        pending = facing<ZTMediaPendingViewController>(ui);
        return (success && success->continueButton.lock()->isEnabled()) || pending || answer ||
               error;
      },
      60);
  if (documentId)
    std::cout << "   final status: " << statusText(server.document(*documentId)->status) << "\n";
  std::cout << "17. The loading screen's outcome: "
            << (success   ? "all documents verified (success screen)"
                : pending ? "waiting for review (pending screen)"
                          : "none")
            << "\n";
  if (success) tap(ui, success->continueButton.lock(), "\"Continue\"");
  if (pending) tap(ui, pending->continueButton.lock(), "\"Continue\"");
  drive(ui, [&] { return answer || error; });

  if (answer) {
    std::cout << "18. host answer: success (" << answer->size() << " documents)\n";
  } else if (error) {
    std::cout << "18. host answer: error " << error->code << " " << error->message.value_or("")
              << "\n";
  } else {
    std::cout << "18. host answer: none yet\n";
  }
  std::cout << "19. The road, as the servers saw it:\n";
  for (const auto& request : server.requests())
    std::cout << "   " << request.status << "  " << request.method << " " << request.endpoint
              << "\n";
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  std::cout << "   took " << took.count() << " ms of real time\n";
  return answer ? 0 : 1;
}
