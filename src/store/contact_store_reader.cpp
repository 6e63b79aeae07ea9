// SPDX-License-Identifier: Apache-2.0
// The read sequence: page size, process-wide parameters, instance, session,
// attach, open, catalogue scan, contact table, contact load; then the table
// is closed and the instance terminated.
//
// Every call's status is compared with 0; anything else, a warning included,
// stops the read with one error line. What the read has opened is closed in
// reverse order on every way out: the contact table (once opened) before the
// instance (once its creation was attempted). The session and the database
// are never closed on their own; terminating the instance ends them.
#include "store/contact_store_reader.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "store/error_line.h"
#include "store/teardown.h"

namespace corvadex {

using namespace ese;

ContactStoreReader::ContactStoreReader(JetApi& jet, MessageLog& log, ContactList& list,
                                       const ShortDateFormat& dates)
    : jet_(jet), log_(log), list_(list), dates_(dates) {}

void ContactStoreReader::failed(std::string_view prefix, JET_ERR code) {
  addErrorLine(log_, jet_, prefix, code);
  if (firstFailure_ == JET_errSuccess) firstFailure_ = code;
}

JET_ERR ContactStoreReader::ReadDatabase(const std::string& path) {
  firstFailure_ = JET_errSuccess;
  readFile(path);
  return firstFailure_;
}

void ContactStoreReader::readFile(const std::string& path) {
  std::uint32_t pageSize = 0;
  JET_ERR err = jet_.getDatabaseFileInfo(path.c_str(), &pageSize, sizeof pageSize,
                                         JET_DbInfoPageSize);
  if (err != JET_errSuccess) return failed("ERROR JetGetDatabaseFileInfo ", err);
  log_.Add("database page size " + std::to_string(pageSize));
  // The engine opens regular files only; a size that cannot be had leaves
  // the list the allowance alone.
  std::error_code sizeError;
  const std::uintmax_t fileSize = std::filesystem::file_size(path, sizeError);
  listLimit_ = listByteLimit(sizeError ? 0 : fileSize);
  // The header's version, signature and state. A file left in the
  // dirty-shutdown state is read as it stands, without its transaction logs;
  // say so. The signature is what the exports for other address books build
  // their contact identifiers from. An engine that cannot give this leaves the
  // identity empty and says nothing: that is no reason to stop the read.
  identity_.clear();
  JET_DBINFOMISC misc{};
  if (jet_.getDatabaseFileInfo(path.c_str(), &misc, sizeof misc, JET_DbInfoMisc) ==
      JET_errSuccess) {
    if (misc.dbstate == JET_dbstateDirtyShutdown) log_.Add(std::string(kDirtyShutdownLine));
    identity_.assign(reinterpret_cast<const char*>(&misc.signDb), sizeof misc.signDb);
  }

  // Process-wide settings, made before this read's instance exists and each
  // time with the page size of the file at hand.
  err = jet_.setSystemParameter(nullptr, 0, JET_paramDatabasePageSize, pageSize, nullptr);
  if (err != JET_errSuccess)
    return failed("ERROR JetSetSystemParameter (JET_paramDatabasePageSize) ", err);
  err = jet_.setSystemParameter(nullptr, 0, JET_paramRecovery, 0, "Off");
  if (err != JET_errSuccess) return failed("ERROR JetSetSystemParameter (JET_paramRecovery) ", err);

  // From the creation attempt on, the instance is terminated on every way
  // out, with whatever value a failed creation left in it.
  JET_INSTANCE instance = 0;
  Teardown term([this, &instance] { terminate(instance); });
  readWithInstance(path, instance);
  term.now();
}

void ContactStoreReader::terminate(JET_INSTANCE instance) {
  const JET_ERR err = jet_.term(instance);
  if (err != JET_errSuccess) failed("ERROR JetTerm ", err);
}

void ContactStoreReader::readWithInstance(const std::string& path, JET_INSTANCE& instance) {
  JET_ERR err = jet_.createInstance(&instance, "Corvadex");
  if (err != JET_errSuccess) return failed("ERROR JetCreateInstance ", err);
  err = jet_.init(&instance);
  if (err != JET_errSuccess) return failed("ERROR JetInit ", err);
  JET_SESID session = 0;
  err = jet_.beginSession(instance, &session, nullptr, nullptr);
  if (err != JET_errSuccess) return failed("ERROR JetBeginSession ", err);
  err = jet_.attachDatabase(session, path.c_str(), JET_bitDbReadOnly);
  if (err != JET_errSuccess) return failed("ERROR JetAttachDatabase ", err);
  JET_DBID database = 0;
  err = jet_.OpenDatabase(session, path.c_str(), nullptr, &database, 0);
  if (err != JET_errSuccess) return failed("err JetOpenDatabase= ", err);

  // The scan reports its own failures; the read goes on with whatever names
  // it found. With no contact table the empty name goes to the engine, whose
  // refusal is the only report of it.
  ListTables(session, database);
  contactTable_ = contactTableName(tableNames_);

  JET_TABLEID table = 0;
  err = jet_.OpenTable(session, database, contactTable_.c_str(), nullptr, 0, JET_bitTableReadOnly,
                       &table);
  if (err != JET_errSuccess) return failed("JetOpenTable ERROR ", err);
  Teardown close([this, session, table] { jet_.closeTable(session, table); });
  loadContacts(session, table);
  close.now();
}

}  // namespace corvadex
