#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <Testing/UI.hpp>

namespace example {

// The user of the example host, acting on the kit's screens through the platform's UI driver
// and saying what they do. Only what the user sees is acted on. Main thread only.

// Prints the next step of the road, numbered.
void step(const std::string& what);

// Serves the main run loop until a screen of that class faces the user, in place and with no
// loader over it, and `ready` holds, then prints it; false when `ended` came first or 30 s
// passed.
bool awaitScreen(
    PlatformTesting::UI& ui, std::string_view className, const std::function<bool()>& ended,
    const std::function<bool()>& ready = [] { return true; });
// The screen the user faces: its class, then the texts it shows, back to front.
void printScreen(const PlatformTesting::UI& ui);
// Taps the button of that title the user sees; false when none shows.
bool tapButton(PlatformTesting::UI& ui, const std::string& title);
// Types into the input of that name the user sees (focusing it first); `said` is how the
// user tells it, since a password is not for printing.
bool typeInto(PlatformTesting::UI& ui, std::string_view identifier, std::string_view text,
              const std::string& said);

}  // namespace example
