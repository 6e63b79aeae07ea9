// SPDX-License-Identifier: Apache-2.0
// The engine's text for a status code: the code's name and a short
// description, e.g. "JET_errNoCurrentRecord, The cursor is not on a row".
#pragma once

#include <string>

#include "ese/jet.h"

namespace ese {

// Text for any status code; an unknown code gets a generic text naming it.
std::string errorText(JET_ERR code);

}  // namespace ese
