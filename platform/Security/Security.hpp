#pragma once

// The Security framework, as `import Security`.
#include "Security/KeychainStore.hpp"
#include "Security/SecAccessControl.hpp"
#include "Security/SecBase.hpp"
#include "Security/SecConstant.hpp"
#include "Security/SecItem.hpp"
#include "Security/SecRandom.hpp"
