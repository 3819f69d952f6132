#include "SignInRoad.hpp"

#include <chrono>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "UserAtScreens.hpp"

using namespace ZentrelSDK;

namespace example {

namespace {

constexpr const char* kUser = "user1@example.com";
constexpr const char* kPassword = "password1";

// On the entrance's login page: past the biometric offer to the e-mail form, the e-mail, the
// password, then the code the sandbox sent for this sign-in. False when a step found nothing
// to act on.
bool logIn(PlatformTesting::UI& ui, const sandbox::Sandbox& server,
           const std::function<bool()>& ended) {
  if (ui.findVisible("goToEnterEmailButton")) {
    if (!tapButton(ui, "Sign in with email")) return false;
    printScreen(ui);
  }
  const auto codesBefore = server.outbox().size();
  if (!typeInto(ui, "emailTextField", kUser, kUser) || !tapButton(ui, "Continue")) return false;
  // The page checks the address and sends a code as the password field comes in.
  const auto codeSent = [&] { return server.outbox().size() > codesBefore; };
  if (!awaitScreen(ui, "ZTEntranceViewController", ended, codeSent)) return false;
  if (!typeInto(ui, "passwordTextField", std::string(kPassword) + "\n", "the password and Return"))
    return false;
  printScreen(ui);
  const auto code = server.lastCode(kUser).value_or("");
  return typeInto(ui, "codeEnterView", code, code + ", the code from the e-mail") &&
         tapButton(ui, "Continue");
}

}  // namespace

std::optional<ZTUserDataResponse> signInRoad(PlatformTesting::UI& ui,
                                             const sandbox::Sandbox& server) {
  step("The host reads " + ZTPublicConstants::getUserEndpoint() +
       "; no one is signed in, so the kit's entrance opens");
  const auto start = std::chrono::steady_clock::now();
  std::optional<ZTUserDataResponse> user;
  std::optional<ZTOAuthError> error;
  ZTUserManager::request<ZTUserDataResponse>(
      ZTPublicConstants::getUserEndpoint(), [&](ZTUserDataResponse answer) { user = answer; },
      [&](ZTOAuthError answer) { error = answer; });
  const auto ended = [&] { return user || error; };

  if (awaitScreen(ui, "ZTEntranceViewController", ended) && !logIn(ui, server, ended))
    std::cout << "   (the user could not sign in)\n";
  // The code card, once the sandbox has sent the code the card asked for.
  const auto codesBefore = server.outbox().size();
  if (awaitScreen(ui, "ZTModalCodeVerificationViewController", ended,
                  [&] { return server.outbox().size() > codesBefore; })) {
    const auto code = server.outbox().back().code;
    if (typeInto(ui, "codeEnterView", code, code + ", the code from the e-mail"))
      tapButton(ui, "Confirm");
  }
  if (awaitScreen(ui, "ZTModalScopesViewController", ended)) tapButton(ui, "Allow");
  ui.runUntil(ended, 30.0);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);

  step("The sign-in road, as the servers saw it:");
  for (const auto& request : server.requests())
    std::cout << "   " << request.status << "  " << request.method << " " << request.endpoint
              << "\n";
  std::cout << "   took " << took.count() << " ms\n";
  if (!user) {
    step("No user: " + (error ? error->message.value_or("") : std::string("no answer")));
    return std::nullopt;
  }
  step("The host has the user: id " + user->id + ", e-mail " + user->email.value_or("-"));
  for (const auto& phone : user->phones.value_or(std::vector<Phone>{}))
    std::cout << "   phone " << phone.number << " (" << phone.status << ")\n";
  return user;
}

}  // namespace example
