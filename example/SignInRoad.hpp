#pragma once

#include <optional>

#include <Testing/UI.hpp>
#include <ZentrelSDK.hpp>
#include <sandbox/Sandbox.hpp>

namespace example {

// The host reads the user's data with no session. The kit presents its entrance, where the
// user signs in on the login page with the code the sandbox "sent"; the kit then asks for a
// code on its code card when the app's policy wants one, and for the requested scopes on its
// consent card, which the user allows. Every screen is printed as the user sees it, then the
// requests as the servers saw them. The user's record, or none when the road failed.
std::optional<ZentrelSDK::ZTUserDataResponse> signInRoad(PlatformTesting::UI& ui,
                                                         const sandbox::Sandbox& server);

}  // namespace example
