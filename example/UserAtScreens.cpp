#include "UserAtScreens.hpp"

#include <algorithm>
#include <iostream>

#include <UIKit/UIButton.hpp>
#include <UIKit/UIViewController.hpp>

namespace example {

void step(const std::string& what) {
  static int number = 0;
  std::cout << ++number << ". " << what << "\n";
}

bool awaitScreen(PlatformTesting::UI& ui, std::string_view className,
                 const std::function<bool()>& ended, const std::function<bool()>& ready) {
  // A screen still sliding in or out is not there yet for the user.
  const auto facing = [&] {
    auto front = ui.frontmost();
    return front && front->className() == className && !front->isBeingPresented() &&
           !front->isBeingDismissed() && !ui.isLoaderShowing() && ready();
  };
  ui.runUntil([&] { return ended() || facing(); }, 30.0);
  if (ended() || !facing()) return false;
  printScreen(ui);
  return true;
}

void printScreen(const PlatformTesting::UI& ui) {
  auto front = ui.frontmost();
  if (!front) return;
  std::cout << "   [" << front->className() << "]\n";
  for (auto text : ui.visibleTexts()) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::cout << "     | " << text << "\n";
  }
}

bool tapButton(PlatformTesting::UI& ui, const std::string& title) {
  std::cout << "   (the user taps \"" << title << "\")\n";
  const auto views = ui.visibleViews();
  for (auto it = views.rbegin(); it != views.rend(); ++it) {
    auto button = std::dynamic_pointer_cast<UIKit::UIButton>(*it);
    if (button && button->currentTitle() == title) return ui.tap(button);
  }
  std::cout << "   (no such button shows)\n";
  return false;
}

bool typeInto(PlatformTesting::UI& ui, std::string_view identifier, std::string_view text,
              const std::string& said) {
  std::cout << "   (the user types " << said << ")\n";
  auto input = ui.findVisible(identifier);
  if (!input) std::cout << "   (no such field shows)\n";
  return input && ui.type(text, input);
}

}  // namespace example
