#pragma once

#include <sandbox/Sandbox.hpp>

namespace example {

// What the user does on the kit's entrance until its login page is there: signs the seeded
// user in with the code the sandbox "sent" and reports it as the page would. It alone reaches
// past the kit's public header, to the clients the login page will use. Main thread only.
void signInAtEntrance(const sandbox::Sandbox& server);

}  // namespace example
