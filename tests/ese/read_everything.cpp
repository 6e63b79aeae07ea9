#include "read_everything.h"

#include <memory>

#include "ese/database.h"

namespace ese::testing {
namespace {

// FNV-1a, 64 bits: cheap, order-sensitive, good enough to tell readings apart.
class Digest {
 public:
  void Add(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      value_ ^= p[i];
      value_ *= 0x100000001b3ull;
    }
  }
  void AddNumber(std::uint64_t n) { Add(&n, sizeof n); }
  void AddText(const std::string& s) {
    AddNumber(s.size());
    Add(s.data(), s.size());
  }
  std::uint64_t value() const { return value_; }

 private:
  std::uint64_t value_ = 0xcbf29ce484222325ull;
};

void Fail(ReadOutcome& outcome, JET_ERR err) {
  if (outcome.status == JET_errSuccess) outcome.status = err;
}

}  // namespace

ReadOutcome ReadThroughDatabase(const std::string& path) {
  ReadOutcome outcome;
  std::unique_ptr<Database> db;
  if (JET_ERR err = Database::Open(path, db); err != JET_errSuccess) {
    outcome.status = err;
    return outcome;
  }
  Digest digest;
  digest.AddNumber(db->header().page_size);
  for (const auto& table : db->catalog().tables()) {
    ++outcome.tables;
    digest.AddText(table->name);
    for (const ColumnInfo& c : table->columns) {
      digest.AddNumber(c.id);
      digest.AddText(c.name);
      digest.AddNumber(c.type);
    }
    TableCursor cursor(*db, table);
    JET_ERR err = cursor.MoveFirst();
    for (; err == JET_errSuccess; err = cursor.MoveNext()) {
      ++outcome.rows;
      digest.AddNumber(0xfeed);  // row mark
      for (const ColumnInfo& c : table->columns) {
        std::uint32_t count = 0;
        if ((err = cursor.CountValues(c, count)) != JET_errSuccess) break;
        digest.AddNumber(count);
        for (std::uint32_t i = 1; i <= count; ++i) {
          Bytes value;
          bool is_null = false;
          if ((err = cursor.ReadValue(c, i, value, is_null)) != JET_errSuccess) break;
          ++outcome.values;
          digest.AddNumber(is_null ? ~std::uint64_t{0} : value.size());
          digest.Add(value.data(), value.size());
        }
        if (err != JET_errSuccess) break;
      }
      if (err != JET_errSuccess) break;
    }
    if (err != JET_errNoCurrentRecord) Fail(outcome, err);
  }
  outcome.digest = digest.value();
  return outcome;
}

}  // namespace ese::testing
