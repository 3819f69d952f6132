#pragma once

#include <sandbox/Sandbox.hpp>

namespace example {

// Installs stand-ins for the kit's sign-in, code and consent screens, which act as the user
// would, with the code the sandbox "sent". They do those screens' work until the screens come,
// so they alone reach past the kit's public header, to the clients the screens will use.
void installScreenStandIns(const sandbox::Sandbox& server);

}  // namespace example
