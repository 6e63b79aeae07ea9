// SPDX-License-Identifier: Apache-2.0
#include "base/background_thread.h"

#include <windows.h>

namespace corvadex {

void lowerThisThreadPriority() noexcept {
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

}  // namespace corvadex
