// SPDX-License-Identifier: Apache-2.0
// The engine's date-time column value: an IEEE 754 double counting days since
// 30 December 1899 00:00; the whole part is the day (toward zero, so -1.25 is
// 29 December 1899, 06:00) and the fraction the time of day.
#pragma once

#include <optional>
#include <string>

#include "platform/short_date.h"

namespace corvadex {

// The calendar date of a stored value, or none when the value is not finite
// or falls outside the years 1 to 9999.
std::optional<CivilDate> dateFromOleDate(double value);

// The date as ISO 8601 writes it: "YYYY-MM-DD".
std::string isoDate(const CivilDate& date);

}  // namespace corvadex
