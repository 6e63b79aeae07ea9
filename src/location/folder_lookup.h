// SPDX-License-Identifier: Apache-2.0
// The shell and version look-ups of the start-up location, as text: a
// failed look-up gives empty text, never an error.
#pragma once

#include <string>

#include "platform/windows_view.h"

namespace corvadex {

// The path of a known folder, or empty text.
std::string GetKnownFolderPath(const platform::WindowsView& windows,
                               const platform::KNOWNFOLDERID& id);

// The path of a numbered (CSIDL) folder, or empty text.
std::string GetSpecialFolderPath(const platform::WindowsView& windows, int csidl);

// The major part of the file version (not the product version) of
// <program files>\Windows Live\Mail\wlmail.exe as decimal text, in the
// program files folder and then in the one for 32-bit programs (the first
// with a readable version resource counts); empty text when neither has
// one.
std::string GetMailClientVersion(const platform::WindowsView& windows);

}  // namespace corvadex
