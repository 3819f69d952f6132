// Process-wide libcurl state of the URL loading system. Private to the platform.
#pragma once

#include <curl/curl.h>

namespace Foundation::Networking {

// libcurl's global initialisation, done once.
void initializeCurl();

// Share handles every session's transfers attach to: DNS answers and TLS sessions always, and
// the cookie jar of the shared cookie store for sessions that use it.
CURLSH* cookieShare();
CURLSH* plainShare();

// Called by a session after an answer that set cookies, so the store can date them.
void cookiesReceived();

}  // namespace Foundation::Networking
