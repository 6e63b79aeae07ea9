// SPDX-License-Identifier: Apache-2.0
#include "location/database_location.h"

#include "location/folder_lookup.h"
#include "location/parse_integer.h"
#include "platform/registry_value.h"

namespace corvadex {

namespace {

constexpr const char* kRegistryKey = "Software\\Microsoft\\Windows Live Contacts\\Database";
constexpr const char* kValueNameTail = "\\Contacts\\Default\\";
constexpr const char* kVersion14Middle = "\\Microsoft\\Windows Live Contacts\\";
constexpr const char* kVersion14Tail = "\\DBStore\\contacts.edb";
constexpr const char* kVersion15Path =
    "\\Microsoft\\Windows Live\\Contacts\\default\\15.4\\DBStore\\contacts.edb";
constexpr const char* kVersion16Path =
    "\\Microsoft\\Windows Live\\Contacts\\default\\15.5\\DBStore\\contacts.edb";

}  // namespace

std::string DatabaseLocation::readDatabaseValue(const std::string& valueName) const {
  // A missing key, a missing value and an empty value all read as empty
  // text; only a value with data of a type other than text is an error.
  auto value = windows_.currentUserValue(kRegistryKey, valueName);
  if (!value || value->data.empty()) return {};
  auto text = platform::registryText(*value);
  if (!text) throw RegistryTypeError("Invalid data type for '" + valueName + "'");
  return *text;
}

void DatabaseLocation::locateVersion14() {
  std::string profile;
  std::string localAppData;
  if (windows_.windowsMajorVersion() <= 5) {
    profile = GetSpecialFolderPath(windows_, platform::CSIDL_PROFILE);
    localAppData = GetSpecialFolderPath(windows_, platform::CSIDL_LOCAL_APPDATA);
  } else {
    profile = GetKnownFolderPath(windows_, platform::FOLDERID_Profile);
    localAppData = GetKnownFolderPath(windows_, platform::FOLDERID_LocalAppData);
  }
  // The store's folder name is kept per profile: the value's name is the
  // profile path followed by "\Contacts\Default\".
  const std::string store = readDatabaseValue(profile + kValueNameTail);
  DatabasePath = localAppData + kVersion14Middle + store + kVersion14Tail;
}

void DatabaseLocation::Run(MessageLog& log, ContactList& list,
                           const ReadDatabaseFunction& readDatabase) {
  MailVersion = parseInteger(GetMailClientVersion(windows_));
  log.Add("Windows Live Mail version " + std::to_string(MailVersion));
  if (MailVersion <= 13) {
    log.Add("Version less than Windows Live Mail 2009 not supported!");
    return;
  }

  if (windows_.windowsMajorVersion() >= 6) {
    log.Add(GetKnownFolderPath(windows_, platform::FOLDERID_LocalAppData));
    log.Add(GetKnownFolderPath(windows_, platform::FOLDERID_ProgramFiles));
    log.Add(GetKnownFolderPath(windows_, platform::FOLDERID_Profile));
  }

  if (MailVersion == 14) {
    locateVersion14();
  } else {
    // Versions 15 and later keep the database below the numbered local
    // application data folder on every Windows version.
    DatabasePath = GetSpecialFolderPath(windows_, platform::CSIDL_LOCAL_APPDATA) +
                   (MailVersion == 15 ? kVersion15Path : kVersion16Path);
  }

  log.Add("Database File: " + DatabasePath);
  if (windows_.fileExists(DatabasePath)) {
    readDatabase(DatabasePath);
  } else {
    log.Add("ERROR DatabaseFilePath not Exists");
  }

  list.selectFirst();
}

}  // namespace corvadex
