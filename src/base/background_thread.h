// SPDX-License-Identifier: Apache-2.0
// Work that runs behind the window's own thread: the calling thread is put
// below normal priority, so that painting and keys come first. One source
// per system (background_thread.cpp, background_thread_windows.cpp).
#pragma once

namespace corvadex {

void lowerThisThreadPriority() noexcept;

}  // namespace corvadex
