// SPDX-License-Identifier: Apache-2.0
// How many threads the program uses unless told otherwise: one per
// processor (at least one). A read takes a second one to read ahead, an
// export formats its rows on all of them.
#pragma once

#include <algorithm>
#include <thread>

namespace corvadex {

inline unsigned processorCount() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace corvadex
