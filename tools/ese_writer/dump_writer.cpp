// SPDX-License-Identifier: Apache-2.0
#include "dump_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "base/output_file.h"

namespace corvadex::esew {

std::string jsonString(std::string_view s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(ch);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out.push_back(ch);
    }
  }
  out.push_back('"');
  return out;
}

namespace {

std::vector<const ColumnDef*> sortedColumns(const TableDef& table) {
  std::vector<const ColumnDef*> cols;
  for (const auto& c : table.columns) cols.push_back(&c);
  std::sort(cols.begin(), cols.end(), [](auto* a, auto* b) { return a->id < b->id; });
  return cols;
}

}  // namespace

DumpWriter::~DumpWriter() {
  if (part_ != nullptr) {
    std::fclose(part_);
    std::remove(partPath_.c_str());
  }
}

std::string DumpWriter::open(const std::string& path) {
  path_ = path;
  partPath_ = path + ".part";
  part_ = std::fopen(partPath_.c_str(), "w+b");
  if (part_ == nullptr) return "cannot create " + partPath_ + ": " + std::strerror(errno);
  return {};
}

std::string DumpWriter::tableHead(const TableDef& table) {
  std::string out = "{\"name\": " + jsonString(table.name) + ",\n \"columns\": [";
  bool first = true;
  for (const ColumnDef* c : sortedColumns(table)) {
    if (!first) out += ", ";
    first = false;
    out += "{\"id\": " + std::to_string(c->id) + ", \"name\": " + jsonString(c->name) +
           ", \"type\": " + std::to_string(static_cast<int>(c->type)) + ", \"codepage\": " +
           (isTextType(c->type) ? std::to_string(c->codepage) : std::string("null")) + "}";
  }
  out += "],\n \"rows\": [";
  return out;
}

std::string DumpWriter::rowJson(const Row& row) const {
  std::string out = "{";
  bool first = true;
  for (const ColumnDef* c : columns_) {
    if (!first) out += ", ";
    first = false;
    out += jsonString(c->name) + ": ";
    const std::vector<Bytes>* values = nullptr;
    for (const auto& cell : row)
      if (cell.column == c->id && !cell.values.empty()) values = &cell.values;
    std::vector<Bytes> fallback;
    if (values == nullptr && c->defaultValue) {
      fallback.push_back(*c->defaultValue);
      values = &fallback;
    }
    if (values == nullptr) {
      out += "null";
      continue;
    }
    out += "[";
    for (std::size_t i = 0; i < values->size(); ++i) {
      if (i > 0) out += ", ";
      out += "\"" + hex((*values)[i]) + "\"";
    }
    out += "]";
  }
  out += "}";
  return out;
}

void DumpWriter::beginTable(const TableDef& table) {
  columns_ = sortedColumns(table);
  std::string head = (firstTable_ ? "" : ",\n") + tableHead(table);
  firstTable_ = false;
  firstRow_ = true;
  std::fputs(head.c_str(), part_);
}

void DumpWriter::row(const Row& row) {
  std::string line = (firstRow_ ? "\n  " : ",\n  ") + rowJson(row);
  firstRow_ = false;
  std::fwrite(line.data(), 1, line.size(), part_);
}

void DumpWriter::endTable() { std::fputs("]}", part_); }

void DumpWriter::systemTable(const TableDef& table, const std::vector<Row>& rows) {
  columns_ = sortedColumns(table);
  if (!systemTables_.empty()) systemTables_ += ",\n";
  systemTables_ += tableHead(table);
  for (std::size_t i = 0; i < rows.size(); ++i) systemTables_ += (i == 0 ? "\n  " : ",\n  ") + rowJson(rows[i]);
  systemTables_ += "]}";
}

std::string DumpWriter::complete(std::uint32_t pageSize) {
  // The catalog tables go first, then the user tables from the side file.
  std::string head = "{\"page_size\": " + std::to_string(pageSize) + ",\n \"tables\": [\n" + systemTables_;
  if (!firstTable_) head += ",\n";
  std::string error;
  try {
    OutputFile out(path_);
    out.write(head);
    std::fflush(part_);
    std::rewind(part_);
    std::vector<char> buf(1 << 20);
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), part_)) > 0) out.write(std::string_view(buf.data(), n));
    // The flag also holds a failed write of the side file.
    if (std::ferror(part_) != 0) throw std::runtime_error("cannot write " + path_);
    out.write("]}\n");
    out.commit();
  } catch (const std::exception& e) {
    error = e.what();
  }
  std::fclose(part_);
  part_ = nullptr;
  std::remove(partPath_.c_str());
  return error;
}

}  // namespace corvadex::esew
