// SPDX-License-Identifier: Apache-2.0
#include "base/background_thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace corvadex {

// Linux gives each thread its own nice value.
void lowerThisThreadPriority() noexcept {
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
}

}  // namespace corvadex
