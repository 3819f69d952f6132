#pragma once

#include <sandbox/Sandbox.hpp>

namespace example {

// Installs a stand-in for the kit's sign-in screen, which acts as the user would, with the code
// the sandbox "sent". It does that screen's work until the screen comes, so it alone reaches
// past the kit's public header, to the clients the screen will use.
void installScreenStandIns(const sandbox::Sandbox& server);

}  // namespace example
