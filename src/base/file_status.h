// SPDX-License-Identifier: Apache-2.0
// What a path names, asked of the system: the few questions the command
// line and the exports put before they read or write a file. One
// implementation per system (file_status.cpp, file_status_windows.cpp);
// paths are UTF-8 on both, and errors are errno values.
#pragma once

#include <string>

namespace corvadex {

enum class FileKind { Missing, Folder, Regular, Other };

// The kind of file at `path`, links followed; for Missing (nothing there,
// or it cannot be looked at) `error`, when given, gets the reason.
FileKind fileKind(const std::string& path, int* error = nullptr);

// Whether two paths name one file: the same volume and file number, so that
// hard and symbolic links and other spellings of a path are caught. False
// when either path names nothing. Keeps an export from being written over
// the database it was read from.
bool isSameFile(const std::string& a, const std::string& b);

// Makes the folder `path` unless it exists (as anything); 0 or the errno
// value of the failure.
int makeFolder(const std::string& path);

}  // namespace corvadex
