// SPDX-License-Identifier: Apache-2.0
// Error lines of the message log.
//
// An error line is the text
//
//   prefix + decimal status code + " - " + engine error text
//
// with nothing else between the pieces: the prefix names the failed call and
// is the only separation between its words and the code, so a prefix without
// a trailing space puts the code's minus sign right after its last letter.
#pragma once

#include <string>
#include <string_view>

#include "base/message_log.h"
#include "ese/jet.h"

namespace corvadex {

// Text the log shows when the engine cannot describe a code.
inline constexpr std::string_view kNoErrorText = "Can't retrive the error message";

// The engine's text for a status code, asked for afresh on every call through
// JetGetSystemParameter(JET_paramErrorToString) with no instance and no
// session, so it works before an instance exists and after one has ended.
// The text is taken up to its first NUL, or all 256 bytes of the buffer when
// there is none; any non-zero status gives kNoErrorText.
std::string JetErrorText(ese::JetApi& jet, ese::JET_ERR code);

// prefix + code + " - " + text.
std::string errorLine(std::string_view prefix, ese::JET_ERR code, std::string_view text);

// Builds the error line for a failed call and appends it to the log.
void addErrorLine(MessageLog& log, ese::JetApi& jet, std::string_view prefix,
                  ese::JET_ERR code);

}  // namespace corvadex
