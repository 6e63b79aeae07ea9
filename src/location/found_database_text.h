// SPDX-License-Identifier: Apache-2.0
// How the databases found by the search are shown: the message log's lines,
// the command line's listing and the columns of the window's chooser.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/message_log.h"
#include "location/database_search.h"

namespace corvadex {

// One line per database found ("Found contacts database: <path>"), one per
// place that did not answer, or one saying that nothing was found.
void logSearchOutcome(MessageLog& log, const SearchOutcome& outcome);

// The path, then volume, user, version folder, size in bytes and the time of
// the last change in ISO 8601 (UTC), separated by tabs; no line end.
std::string findListingLine(const DatabaseFind& find);

// "2024-03-05T14:22:10Z".
std::string isoUtcTime(std::int64_t secondsSinceEpoch);

// The chooser's columns: volume or prefix, user, version folder, size ("842
// KB"), last change in local time ("2024-03-05 15:22").
std::array<std::string, 5> chooserColumns(const DatabaseFind& find);

// The folder a path lies in ("/a/b" for "/a/b/c.edb"); empty without one.
std::string folderOf(const std::string& path);

}  // namespace corvadex
