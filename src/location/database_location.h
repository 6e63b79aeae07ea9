// SPDX-License-Identifier: Apache-2.0
// Finding and reading the mail client's contacts database at start-up.
//
// The window's create handler runs this once, before the window is first
// shown: it asks the mail client's executable for its major version, logs
// it, works out where that version keeps its database, logs the path and,
// when the file is there, reads it; afterwards the first contact is
// selected, which shows its details.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "base/message_log.h"
#include "contacts/contact_list.h"
#include "platform/windows_view.h"

namespace corvadex {

// A registry value of a type that is not text; what() is the text the user
// is shown, "Invalid data type for '<value name>'".
class RegistryTypeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads one database into the contact list (the store reader's ReadDatabase).
using ReadDatabaseFunction = std::function<void(const std::string& path)>;

class DatabaseLocation {
 public:
  explicit DatabaseLocation(const platform::WindowsView& windows) : windows_(windows) {}

  // The start-up location. Throws NotAnIntegerError when the mail client is
  // absent (its version text is empty) and RegistryTypeError for a
  // registry value that is not text; either ends it where it arose, and the
  // caller reports it. Lines already logged stay.
  void Run(MessageLog& log, ContactList& list, const ReadDatabaseFunction& readDatabase);

  // The mail client's major version; 0 until Run has found it.
  std::int32_t MailVersion = 0;
  // The database path worked out for version 14 and above; empty otherwise.
  std::string DatabasePath;

 private:
  void locateVersion14();
  std::string readDatabaseValue(const std::string& valueName) const;

  const platform::WindowsView& windows_;
};

}  // namespace corvadex
