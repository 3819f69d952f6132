// The example host, written as an app would use the kit: only <ZentrelSDK.hpp>, the platform
// headers a host needs, and the UI driver that stands in for the user's fingers. Against the
// in-process sandbox it starts the kit up with its app id; the seeded user signs in on the
// kit's own screens and the host reads the user's data (SignInRoad.cpp); the host takes a
// photo with the simulated camera; then the host asks for the user's documents, and the user
// adds a passport on the kit's screens (DocumentsRoad.cpp).

#include <ZentrelSDK.hpp>

#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <AVFoundation/AVTypes.hpp>
#include <Foundation/Bundle.hpp>
#include <Foundation/Date.hpp>
#include <Foundation/NetworkEnvironment.hpp>
#include <Foundation/RunLoop.hpp>
#include <ImageIO/CGImageSource.hpp>
#include <Testing/CaptureRig.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIViewController.hpp>
#include <UIKit/UIWindow.hpp>
#include <sandbox/Sandbox.hpp>

#include "DocumentsRoad.hpp"
#include "SignInRoad.hpp"
#include "UserAtScreens.hpp"

using namespace ZentrelSDK;

namespace {

constexpr const char* kAppId = "sandbox-app";

// A photo with the simulated back camera into the kit's cache folder, through the kit's
// camera manager on a view of the host's own. The file's path, or nothing when no photo came.
std::optional<std::string> takePhoto(const std::shared_ptr<UIKit::UIWindow>& window) {
  example::step("The host takes a photo with the simulated back camera");
  PlatformTesting::CaptureRig::reset();
  PlatformTesting::CaptureRig::setCameraPermission(AVFoundation::AVAuthorizationStatus::authorized);
  auto cameraView = std::make_shared<UIKit::UIView>(window->bounds());
  window->rootViewController()->view()->addSubview(cameraView);
  auto camera = std::make_shared<ZTCameraViewManager>();
  camera->setWriteFilesToPhoneLibrary(false);
  std::atomic<bool> attached{false};
  camera->addLayerPreviewToView(cameraView, CameraOutputMode::stillImage,
                                [&attached] { attached = true; });
  Foundation::RunLoop::main().runUntil([&] { return attached.load(); }, 10.0);

  const auto start = std::chrono::steady_clock::now();
  std::optional<CaptureResult> photo;
  const auto prefix =
      std::to_string(static_cast<long long>(Foundation::Date::now().timeIntervalSince1970()));
  camera->captureAndSavePictureWithCompletion(
      prefix, [&photo](const CaptureResult& result) { photo = result; });
  Foundation::RunLoop::main().runUntil([&] { return photo.has_value(); }, 30.0);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  camera->stopAndRemoveCaptureSession();
  cameraView->removeFromSuperview();
  const auto url =
      photo && photo->successValue() ? photo->successValue()->content.asUrl() : std::nullopt;
  if (!url) {
    std::cout << "   no photo\n";
    return std::nullopt;
  }
  const auto bytes = photo->imageData().value_or(Foundation::Data{});
  const auto properties = ImageIO::CGImageSource::createWithData(bytes)->copyProperties(0);
  if (!properties) {
    std::cout << "   the file is no JPEG\n";
    return std::nullopt;
  }
  std::cout << "   file " << url->path() << "\n"
            << "   " << bytes.size() << " bytes, " << properties.value().pixelWidth.value_or(0)
            << " x " << properties.value().pixelHeight.value_or(0) << " pixels, EXIF orientation "
            << properties.value().orientation.value_or(1) << ", " << took.count() << " ms\n";
  return url->path();
}

}  // namespace

int main() {
  Foundation::Bundle::setMainBundleIdentifier("com.zentrel.ZentrelSDK.Example");
  // The kit's own diagnostics would drown the road's lines.
  ZTLogger::disableLogs();

  // The servers run in this process; the platform's network reaches them by their usual names.
  sandbox::Sandbox server;
  for (const auto& route : server.routes()) Foundation::NetworkEnvironment::addRoute(route);
  Foundation::NetworkEnvironment::setAnchorCertificates(server.caPem());

  // The host's key window, where the kit shows its screens; the user acts on them through it.
  PlatformTesting::UI ui;

  example::step(std::string("Start-up with the app id \"") + kAppId + "\"");
  ZTSecurityManager::initialOAuth(kAppId);
  if (!example::signInRoad(ui, server)) return 1;
  if (!takePhoto(ui.window())) return 1;
  return example::documentsRoad(server, ui);
}
