// SPDX-License-Identifier: Apache-2.0
// A Windows error code as the errno value of the same meaning, so that the
// program's messages name a failure in the same words on every system.
// Windows only (windows_error_windows.cpp).
#pragma once

namespace corvadex {

// EIO for a code of no closer meaning.
int errnoOfWindowsError(unsigned long error);

}  // namespace corvadex
