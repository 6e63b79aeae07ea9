// SPDX-License-Identifier: Apache-2.0
#include "location/found_database_text.h"

#include <ctime>

namespace corvadex {

namespace {

std::string formatTime(std::int64_t seconds, bool utc, const char* format) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
#ifdef _WIN32
  if ((utc ? ::gmtime_s(&parts, &time) : ::localtime_s(&parts, &time)) != 0) return {};
#else
  if ((utc ? ::gmtime_r(&time, &parts) : ::localtime_r(&time, &parts)) == nullptr) return {};
#endif
  char text[40];
  const std::size_t length = std::strftime(text, sizeof text, format, &parts);
  return std::string(text, length);
}

std::string sizeText(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  if (bytes < 1024 * 1024) return std::to_string((bytes + 1023) / 1024) + " KB";
  const std::uint64_t tenths = (bytes * 10 + 512 * 1024) / (1024 * 1024);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

}  // namespace

void logSearchOutcome(MessageLog& log, const SearchOutcome& outcome) {
  for (const std::string& place : outcome.abandoned)
    log.Add("No answer from " + place + ", left out");
  for (const DatabaseFind& find : outcome.finds) log.Add("Found contacts database: " + find.path);
  if (outcome.finds.empty()) log.Add("No other contacts database found");
}

std::string isoUtcTime(std::int64_t secondsSinceEpoch) {
  return formatTime(secondsSinceEpoch, true, "%Y-%m-%dT%H:%M:%SZ");
}

std::string findListingLine(const DatabaseFind& find) {
  return find.path + '\t' + find.volume + '\t' + find.user + '\t' + find.versionFolder + '\t' +
         std::to_string(find.facts.size) + '\t' + isoUtcTime(find.facts.modified);
}

std::array<std::string, 5> chooserColumns(const DatabaseFind& find) {
  return {find.volume, find.user, find.versionFolder, sizeText(find.facts.size),
          formatTime(find.facts.modified, false, "%Y-%m-%d %H:%M")};
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace corvadex
