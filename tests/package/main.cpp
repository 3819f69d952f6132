// Starts the kit as a host does, opens its entrance headlessly and reads its bundle.

#include <ZentrelSDK.hpp>

#include <iostream>
#include <string>

#include <Foundation/Bundle.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIViewController.hpp>

int main() {
  using namespace ZentrelSDK;
  PlatformTesting::ManualClock::install();
  PlatformTesting::UI ui;
  ZTSecurityManager::initialOAuth("package-check");

  const auto bundle = Foundation::Bundle::forIdentifier(ZTConstants::BundleID);
  if (!bundle) {
    std::cerr << "the kit's bundle was not found beside the library\n";
    return 1;
  }
  std::cout << "bundle: " << bundle->bundlePath() << "\n";

  if (!ZTAccounts::auth(false, nullptr)) {
    std::cerr << "the entrance was not presented\n";
    return 1;
  }
  ui.advance(1.0);
  const auto front = ui.frontmost();
  const std::string name = front ? front->className() : "nothing";
  std::cout << "frontmost: " << name << "\n";
  for (const auto& text : ui.visibleTexts()) std::cout << "  | " << text << "\n";
  if (name != "ZTEntranceViewController" || ui.visibleTexts().empty()) return 1;
  std::cout << "1 passed, 0 failed\n";
  return 0;
}
