// The example host: the server switch with the URLs it builds, an event emitted on a worker
// thread and heard on the main thread, and the main road against the in-process sandbox: the
// seeded user signs in on the kit's screens and the host reads the user's data (SignInRoad.cpp);
// then a photo with the simulated camera, which the documents road (DocumentsRoad.cpp) uploads.

#include <ZentrelSDK.hpp>

#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <AVFoundation/AVTypes.hpp>
#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Bundle.hpp>
#include <Foundation/Date.hpp>
#include <Foundation/NetworkEnvironment.hpp>
#include <Foundation/RunLoop.hpp>
#include <Foundation/Thread.hpp>
#include <ImageIO/CGImageSource.hpp>
#include <Testing/CaptureRig.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIViewController.hpp>
#include <UIKit/UIWindow.hpp>
#include <sandbox/Sandbox.hpp>

#include "DocumentsRoad.hpp"
#include "SignInRoad.hpp"

using namespace ZentrelSDK;

namespace {

void printURLs() {
  std::cout << "  sign-in check:  " << ZTConstants::getAuthCheckPath() << "\n"
            << "  document 42:    " << ZTConstants::getDocumentPath("42") << "\n"
            << "  token exchange: " << ZTConstants::getOAuthTokenPath() << "\n"
            << "  user data:      "
            << ZTConstants::getZentrelAPIFullPath(ZTPublicConstants::getUserEndpoint()) << "\n";
}

const char* threadName() {
  return Foundation::Thread::isMainThread() ? "main" : "worker";
}

// A listener that ends its registrations when it goes away.
struct CodeListener {
  std::atomic<bool> heard{false};
  ZTEventsRegistration events{this};
};

// The capture road: a photo with the simulated back camera into the kit's cache folder.
// The file's path, or nothing when no photo came.
std::optional<std::string> photoStep(const std::shared_ptr<UIKit::UIWindow>& window) {
  std::cout << "10. Taking a photo with the simulated back camera\n";
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
  const auto url =
      photo && photo->successValue() ? photo->successValue()->content.asUrl() : std::nullopt;
  if (!url) {
    std::cout << "    no photo\n";
    return std::nullopt;
  }
  const auto bytes = photo->imageData().value_or(Foundation::Data{});
  const auto properties = ImageIO::CGImageSource::createWithData(bytes)->copyProperties(0);
  if (!properties) {
    std::cout << "    the file is no JPEG\n";
    return std::nullopt;
  }
  std::cout << "    file " << url->path() << "\n"
            << "    " << bytes.size() << " bytes, " << properties.value().pixelWidth.value_or(0)
            << " x " << properties.value().pixelHeight.value_or(0) << " pixels, EXIF orientation "
            << properties.value().orientation.value_or(1) << ", " << took.count() << " ms\n";
  return url->path();
}

int mainRoad() {
  sandbox::Sandbox server;
  for (const auto& route : server.routes()) Foundation::NetworkEnvironment::addRoute(route);
  Foundation::NetworkEnvironment::setAnchorCertificates(server.caPem());

  // The host's key window, where the kit shows its screens; the user acts on them through it.
  PlatformTesting::UI ui;

  ZTSecurityManager::initialOAuth("sandbox-app");
  if (!example::signInRoad(ui, server)) return 1;
  const auto photo = photoStep(ui.window());
  if (!photo) return 1;
  return documentsRoad(server, ui);
}

}  // namespace

int main() {
  Foundation::Bundle::setMainBundleIdentifier("com.zentrel.ZentrelSDK.Example");

  std::cout << "1. Production servers (enableDevServer = false):\n";
  printURLs();

  std::cout << "2. Development servers (enableDevServer = true):\n";
  ZTConstants::enableDevServer = true;
  printURLs();
  ZTConstants::enableDevServer = false;

  std::cout << "3. Listening for the OAuth code on the " << threadName() << " thread\n";
  CodeListener listener;
  ZTEvents::shared()->oauthCodeEventListen(&listener, [&](std::optional<std::string> code) {
    std::cout << "5. Heard code \"" << code.value_or("(none)") << "\" on the " << threadName()
              << " thread\n";
    listener.heard = true;
  });

  Dispatch::DispatchQueue::global().async([] {
    std::cout << "4. Emitting code \"abc123\" on a " << threadName() << " thread\n";
    ZTEvents::shared()->oauthCodeEventEmit("abc123");
  });

  const bool heard =
      Foundation::RunLoop::main().runUntil([&] { return listener.heard.load(); }, 5.0);
  if (!heard) {
    std::cout << "The event did not arrive in time\n";
    return 1;
  }
  std::cout << "6. Done\n";
  ZTEvents::shared()->unregiterEvents(&listener);  // real codes are not for printing
  // This host is one of the kit's own apps, where the kit prints its diagnostics; the road
  // below prints its own steps instead.
  ZTLogger::disableLogs();
  return mainRoad();
}
