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

CURLSH* makeShare(bool cookies) {
  initializeCurl();
  CURLSH* share = curl_share_init();
  auto* locks = new ShareLocks;  // lives as long as the share: the whole process
  bool ok = share != nullptr;
  ok = ok && curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lockShare) == CURLSHE_OK;
  ok = ok && curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlockShare) == CURLSHE_OK;
  ok = ok && curl_share_setopt(share, CURLSHOPT_USERDATA, locks) == CURLSHE_OK;
  ok = ok && curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) == CURLSHE_OK;
  ok = ok && curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) == CURLSHE_OK;
  if (cookies) {
    ok = ok && curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) == CURLSHE_OK;
  }
  if (!ok) {
    std::fprintf(stderr, "Foundation: libcurl share handle could not be set up\n");
    std::abort();
  }
  return share;
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

CURLSH* cookieShare() {
  static CURLSH* share = makeShare(true);
  return share;
}

CURLSH* plainShare() {
  static CURLSH* share = makeShare(false);
  return share;
}

}  // namespace Foundation::Networking
