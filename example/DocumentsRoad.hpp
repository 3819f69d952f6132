#pragma once

namespace PlatformTesting {
class UI;
}  // namespace PlatformTesting
namespace sandbox {
class Sandbox;
}  // namespace sandbox

namespace example {

// The documents road of the example host, for the user the sign-in road signed in: the host's
// documents request opens the documents list, where the user adds a passport (front from the
// simulated camera, back from the photo library) and submits it; the status screens lead back
// to the host's answer. Returns the process exit code.
int documentsRoad(sandbox::Sandbox& server, PlatformTesting::UI& ui);

}  // namespace example
