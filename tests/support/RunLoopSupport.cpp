#include "support/RunLoopSupport.hpp"

#include <Foundation/RunLoop.hpp>

namespace zttest {

bool runUntil(const std::function<bool()>& done, double seconds) {
  return Foundation::RunLoop::main().runUntil(done, seconds);
}

}  // namespace zttest
