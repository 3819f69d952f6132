// What a host does to its windows for a moment, every one of which comes back: the kit's screens
// must live through each.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <Testing/UI.hpp>
#include <UIKit/UIWindow.hpp>

namespace zttest {

struct PassingWindowChange {
  const char* name;
  // `ui` is the host's main window. `scene` keeps a second scene's window alive afterwards.
  std::function<void(PlatformTesting::UI& ui, std::unique_ptr<PlatformTesting::UI>& scene)> pass;
};

inline std::vector<PassingWindowChange> passingWindowChanges() {
  return {
      // A banner or passcode prompt in a window of its own, made key, then hidden.
      {"hostAlertWindow",
       [](PlatformTesting::UI& ui, std::unique_ptr<PlatformTesting::UI>&) {
         PlatformTesting::UI alert;
         alert.window()->setHidden(true);
         ui.window()->makeKeyAndVisible();
       }},
      // The user taps a second scene, then back; that scene stays visible.
      {"secondSceneAndBack",
       [](PlatformTesting::UI& ui, std::unique_ptr<PlatformTesting::UI>& scene) {
         scene = std::make_unique<PlatformTesting::UI>();
         ui.window()->makeKeyAndVisible();
       }},
      // Going to the background the host hides its window behind a cover; back in front it
      // hides the cover and shows its window again.
      {"privacyCover",
       [](PlatformTesting::UI& ui, std::unique_ptr<PlatformTesting::UI>&) {
         ui.window()->setHidden(true);
         PlatformTesting::UI cover;
         cover.settle();
         cover.window()->setHidden(true);
         ui.window()->makeKeyAndVisible();
       }},
      {"windowHiddenThenShownAgain",
       [](PlatformTesting::UI& ui, std::unique_ptr<PlatformTesting::UI>&) {
         ui.window()->setHidden(true);
         ui.settle();
         ui.window()->setHidden(false);
       }},
  };
}

}  // namespace zttest
