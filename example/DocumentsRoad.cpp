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
#include <UIKit/UIButton.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UITableView.hpp>
#include <UIKit/UIViewController.hpp>
#include <ZentrelSDK.hpp>
#include <sandbox/Sandbox.hpp>

#include "UserAtScreens.hpp"

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

// The screen the user faces is of that class, in place.
bool facing(const PlatformTesting::UI& ui, std::string_view className) {
  auto front = ui.frontmost();
  return front && front->className() == className && !front->isBeingPresented() &&
         !front->isBeingDismissed();
}

// Drives until a screen of that class faces the user and `ready` holds, then prints it; says
// so when none came.
bool await(
    PlatformTesting::UI& ui, std::string_view className,
    const std::function<bool()>& ready = [] { return true; }) {
  if (!drive(ui, [&] { return facing(ui, className) && ready(); })) {
    std::cout << "   (no " << className << " came)\n";
    return false;
  }
  example::printScreen(ui);
  return true;
}

bool tap(PlatformTesting::UI& ui, std::string_view identifier, const std::string& what) {
  std::cout << "   (the user taps " << what << ")\n";
  auto view = ui.findVisible(identifier);
  if (!view) std::cout << "   (no " << what << " shows)\n";
  return view && ui.tap(view);
}

bool choose(PlatformTesting::UI& ui, const std::string& action) {
  const bool sheet = drive(
      ui, [&] { return facing(ui, "UIAlertController"); }, 5);
  std::cout << "   (the user chooses \"" << action << "\")\n";
  return sheet && ui.chooseAction(action);
}

// The image view of that name on the screen the user faces shows an image.
bool showsImage(const PlatformTesting::UI& ui, std::string_view identifier) {
  auto view = ui.findVisible<UIKit::UIImageView>(identifier);
  return view && view->image();
}

// The text of the label of that name in `view` or under it.
std::optional<std::string> labelText(const std::shared_ptr<UIKit::UIView>& view,
                                     std::string_view identifier) {
  if (!view) return std::nullopt;
  if (view->accessibilityIdentifier() == identifier)
    if (auto label = std::dynamic_pointer_cast<UIKit::UILabel>(view)) return label->text();
  for (const auto& subview : view->subviews())
    if (auto text = labelText(subview, identifier)) return text;
  return std::nullopt;
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
  std::cout << "   (the library holds " << path.string() << ", " << jpeg->size() << " bytes)\n";
  const auto bytes = Foundation::dataContentsOf(path.string());
  return bytes.isSuccess() ? UIKit::UIImage::withData(bytes.value()) : nullptr;
}

// The row of the documents list whose cell is titled so, or -1.
int rowTitled(const PlatformTesting::UI& ui, const std::string& title) {
  auto table = ui.findVisible<UIKit::UITableView>("tableView");
  for (int row = 0; table && row < table->numberOfRows(); ++row)
    if (labelText(table->cellForRow({row, 0}), "titleLabel") == title) return row;
  return -1;
}

std::string statusText(sandbox::DocumentStatus status) {
  return std::string(sandbox::rawValue(status));
}

// Prints the upload's progress and the server's status polls as they come, until a status
// screen is ready for the user or the host has its answer.
struct UploadWatch {
  sandbox::Sandbox& server;
  PlatformTesting::UI& ui;
  std::string lastProgress{};
  std::size_t polls = 0;
  std::optional<std::string> documentId{};

  void progress() {
    if (!facing(ui, "ZTUploadDockProgressViewController")) return;
    const auto stage = labelText(ui.frontmost()->view(), "uploadingLabel").value_or("");
    const auto percent = labelText(ui.frontmost()->view(), "progressLabel").value_or("");
    const auto line = stage + " " + percent;
    if (line == lastProgress || stage.empty()) return;
    std::cout << "   progress: " << line << "\n";
    lastProgress = line;
  }

  void serverPolls() {
    if (!documentId) {
      const auto created = server.requests("documents.create");
      if (!created.empty() && created.back().status == 200)
        documentId = server.documents(kUser).back().id;
    }
    const auto asked = server.requests("documents.get");
    while (documentId && polls < asked.size() && asked[polls].status != 0) {
      ++polls;
      std::cout << "   poll " << polls << ": " << statusText(server.document(*documentId)->status)
                << "\n";
    }
  }
};

}  // namespace

namespace example {

int documentsRoad(sandbox::Sandbox& server, PlatformTesting::UI& ui) {
  PlatformTesting::ManualClock::install();
  step(
      "From here the manual clock carries the waits: animations, the 1 s status polls and "
      "the loading screen's 30 s");
  const auto started = std::chrono::steady_clock::now();
  PlatformTesting::CaptureRig::reset();
  PlatformTesting::CaptureRig::setCameraPermission(AVFoundation::AVAuthorizationStatus::authorized);
  PlatformTesting::CaptureRig::setLibraryPermission(Photos::PHAuthorizationStatus::authorized);
  server.clearLog();

  step("The sandbox holds a verified proof of address for the user");
  server.addDocument(kUser, sandbox::DocumentType::ProofOfAddress,
                     sandbox::DocumentStatus::Verified);

  step("The host requests " + ZTPublicConstants::getDocumentsEndpoint() +
       "; a passport is missing, so the kit's documents list opens");
  std::optional<Answer> answer;
  std::optional<ZTOAuthError> error;
  ZTDocumentsManager::request<Answer>(
      ZTPublicConstants::getDocumentsEndpoint(), [&](Answer documents) { answer = documents; },
      [&](ZTOAuthError failure) { error = failure; });
  if (!await(ui, "DocumentsViewController",
             [&] { return rowTitled(ui, "Passport") >= 0 && server.count("documents.list") > 0; }))
    return 1;

  step("The passport's front side, from the camera");
  std::cout << "   (the user taps the Passport row)\n";
  if (!ui.tapRow(ui.findVisible<UIKit::UITableView>("tableView"), rowTitled(ui, "Passport")) ||
      !choose(ui, "Take photo")) {
    std::cout << "   (the row opened no photo source sheet)\n";
    return 1;
  }
  if (!await(ui, "ZTCameraViewController") || !tap(ui, "recordButton", "record") ||
      !await(ui, "ZTPhotoPreviewViewController") || !tap(ui, "turnToRightButton", "turn") ||
      !tap(ui, "addButton", "\"Use photo\"") ||
      !await(ui, "ZTNewDocumentPreviewViewController",
             [&] { return showsImage(ui, "frontsideImage"); }))
    return 1;

  step("The back side, from the photo library");
  const auto libraryPhoto = writeLibraryPhoto();
  if (!libraryPhoto || !tap(ui, "addBacksideButton", "\"Add back side\"") ||
      !choose(ui, "Choose from library") || !await(ui, "UIImagePickerController"))
    return 1;
  std::cout << "   (the user picks the photo)\n";
  if (!ui.pick(libraryPhoto) || !await(ui, "ZTMediaPhotoCropViewController")) return 1;
  std::cout << "   (the user drags and pinches the frame)\n";
  ui.pan(ui.findVisible("maskView"), {{180, 400}, {190, 410}, {200, 420}});
  ui.pinch(ui.findVisible("maskView"), {1.1, 1.2});
  if (!tap(ui, "doneButton", "\"Done\"") || !await(ui, "ZTNewDocumentPreviewViewController",
                                                   [&] { return showsImage(ui, "backsideImage"); }))
    return 1;

  step("Submit");
  if (!tap(ui, "submitButton", "\"Submit\"")) return 1;
  UploadWatch watch{server, ui};
  // A status screen is ready once its button can be tapped.
  const auto outcome = [&]() -> std::string {
    for (const auto* screen : {"ZTMediaSuccessViewController", "ZTMediaPendingViewController"}) {
      auto button = ui.findVisible<UIKit::UIButton>("continueButton");
      if (facing(ui, screen) && button && button->isEnabled()) return screen;
    }
    return "";
  };
  drive(
      ui,
      [&] {
        watch.progress();
        watch.serverPolls();
        return !outcome().empty() || answer || error;
      },
      60);
  if (watch.documentId)
    std::cout << "   final status: " << statusText(server.document(*watch.documentId)->status)
              << "\n";
  const auto screen = outcome();
  step(std::string("The loading screen's outcome: ") +
       (screen == "ZTMediaSuccessViewController"   ? "all documents verified (success screen)"
        : screen == "ZTMediaPendingViewController" ? "waiting for review (pending screen)"
                                                   : "none"));
  if (!screen.empty()) {
    example::printScreen(ui);
    tap(ui, "continueButton", "\"Continue\"");
  }
  drive(ui, [&] { return answer || error; });

  if (answer)
    step("host answer: success (" + std::to_string(answer->size()) + " documents)");
  else if (error)
    step("host answer: error " + std::to_string(error->code) + " " + error->message.value_or(""));
  else
    step("host answer: none yet");
  step("The documents road, as the server saw it:");
  for (const auto& request : server.requests())
    std::cout << "   " << request.status << "  " << request.method << " " << request.endpoint
              << "\n";
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  std::cout << "   took " << took.count() << " ms of real time\n";
  return answer ? 0 : 1;
}

}  // namespace example
