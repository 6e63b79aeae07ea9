// SPDX-License-Identifier: Apache-2.0
// The engine's text for a status code: the code's name and a short
// description, e.g. "JET_errNoCurrentRecord, The cursor is not on a row".
#pragma once

#include <string>

#include "ese/jet.h"

namespace ese {

// Text for any status code; an unknown code gets a generic text naming it.
std::string ErrorText(JET_ERR code);

// What the engine knows about its latest failure beyond the code: where in
// the file it happened and why ("page 1234: ..."). Kept per thread, for the
// code it was noted with; the Jet error-text call appends it to the text of
// that code. Noting a failure replaces the earlier note.
void NoteFailure(JET_ERR code, std::string detail);
// The note for `code`, or empty text when the latest note is for another code.
std::string FailureDetail(JET_ERR code);
// ErrorText(code), followed by ": " and the detail when there is one.
std::string ErrorTextWithDetail(JET_ERR code);

}  // namespace ese
