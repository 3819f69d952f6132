#include "Foundation/Networking/CurlShare.hpp"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace Foundation::Networking {

namespace {

// Sessions run on threads of their own, so the shared data needs real locks.
struct ShareLocks {
  std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes;
};

void lockShare(CURL*, curl_lock_data data, curl_lock_access, void* userp) {
  static_cast<ShareLocks*>(userp)->mutexes[static_cast<std::size_t>(data)].lock();
}

void unlockShare(CURL*, curl_lock_data data, void* userp) {
  static_cast<ShareLocks*>(userp)->mutexes[static_cast<std::size_t>(data)].unlock();
}

ShareGroup* makeGroup(bool cookies) {
  initializeCurl();
  CURLSH* share = curl_share_init();
  auto* locks = new ShareLocks;  // lives as long as the share: the whole process
  bool ok = share != nullptr;
  ok = ok && curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lockShare) == CURLSHE_OK;
  ok = ok && curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlockShare) == CURLSHE_OK;
  ok = ok && curl_share_setopt(share, CURLSHOPT_USERDATA, locks) == CURLSHE_OK;
  ok = ok && curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) == CURLSHE_OK;
  ok = ok && curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) == CURLSHE_OK;
  // One connection per host for the whole process rather than per session. libcurl itself
  // reuses a connection only for a transfer with the same TLS settings and route, and adds
  // HTTP/2 streams only to connections held by the same multi handle.
  ok = ok && curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT) == CURLSHE_OK;
  if (cookies) {
    ok = ok && curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) == CURLSHE_OK;
  }
  if (!ok) {
    std::fprintf(stderr, "Foundation: libcurl share handle could not be set up\n");
    std::abort();
  }
  auto* group = new ShareGroup;  // the whole process: idle connections outlive every session
  group->share = share;
  return group;
}

}  // namespace

void initializeCurl() {
  static const bool initialized = [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      std::fprintf(stderr, "Foundation: libcurl could not be initialised\n");
      std::abort();
    }
    return true;
  }();
  (void)initialized;
}

ShareGroup& cookieGroup() {
  static ShareGroup* group = makeGroup(true);
  return *group;
}

ShareGroup& plainGroup() {
  static ShareGroup* group = makeGroup(false);
  return *group;
}

CURLSH* cookieShare() {
  return cookieGroup().share;
}

}  // namespace Foundation::Networking
