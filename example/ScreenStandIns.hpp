#pragma once

#include <sandbox/Sandbox.hpp>

namespace example {

// Installs stand-ins for the kit's code and consent screens, which act as the user
// would, with the code the sandbox "sent". They do those screens' work until the screens come,
// so they alone reach past the kit's public header, to the clients the screens will use.
void installScreenStandIns(const sandbox::Sandbox& server);
// Signs the user in on the kit's entrance when a new one is frontmost. Main thread only.
void actAtEntrance(const sandbox::Sandbox& server);

}  // namespace example
