#include "Foundation/SystemInfo.hpp"

#include <sys/utsname.h>

#include <cstring>
#include <mutex>

namespace Foundation {

namespace {
std::mutex mutex;
std::optional<std::string> simulated;

void copyField(char (&to)[utsname::fieldSize], const char* from) {
  std::strncpy(to, from, utsname::fieldSize - 1);
  to[utsname::fieldSize - 1] = '\0';
}
}  // namespace

int uname(utsname* record) {
  if (!record) return -1;
  struct ::utsname host {};
  if (::uname(&host) != 0) return -1;
  copyField(record->sysname, host.sysname);
  copyField(record->nodename, host.nodename);
  copyField(record->release, host.release);
  copyField(record->version, host.version);
  std::lock_guard lock(mutex);
  copyField(record->machine, simulated ? simulated->c_str() : host.machine);
  return 0;
}

void setSimulatedHardwareIdentifier(std::optional<std::string> identifier) {
  std::lock_guard lock(mutex);
  simulated = std::move(identifier);
}

}  // namespace Foundation
