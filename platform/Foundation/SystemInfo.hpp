#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace Foundation {

// The system-identification record of `uname`, with the platform's field size.
struct utsname {
  static constexpr std::size_t fieldSize = 256;
  char sysname[fieldSize];
  char nodename[fieldSize];
  char release[fieldSize];
  char version[fieldSize];
  char machine[fieldSize];  // the hardware model identifier, such as "iPhone10,3"
};

// The POSIX call, from the host system, except that `machine` holds the simulated hardware
// model identifier when one is set. 0 on success, -1 on failure. Any thread.
int uname(utsname* record);

// The identifier `uname` reports; nullopt puts back the host's own machine name.
void setSimulatedHardwareIdentifier(std::optional<std::string> identifier);

}  // namespace Foundation
