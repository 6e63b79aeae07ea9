// SPDX-License-Identifier: Apache-2.0
#include "record.h"

#include <algorithm>
#include <stdexcept>

namespace corvadex::esew {

namespace {

constexpr std::uint8_t kTagLongValue = 0x01;
constexpr std::uint8_t kTagCompressed = 0x02;
constexpr std::uint8_t kTagSeparated = 0x04;
constexpr std::uint8_t kTagMultiValues = 0x08;
constexpr std::uint8_t kTagTwoValues = 0x10;

}  // namespace

RecordEncoder::RecordEncoder(const TableDef& table, const FileFormat& format)
    : table_(table), format_(format) {
  for (const auto& c : table.columns) byId_.push_back(&c);
  std::sort(byId_.begin(), byId_.end(), [](auto* a, auto* b) { return a->id < b->id; });
  std::uint32_t expectFixed = 1, expectVar = 128;
  for (std::size_t i = 0; i < byId_.size(); ++i) {
    const ColumnDef& c = *byId_[i];
    if (i > 0 && byId_[i - 1]->id == c.id)
      throw std::invalid_argument("table " + table.name + ": two columns with id " + std::to_string(c.id));
    // Fixed and variable ids run without gaps, as the engine hands them out.
    if (kindOfColumnId(c.id) == ColumnKind::Fixed && c.id != expectFixed++)
      throw std::invalid_argument("table " + table.name + ": fixed column ids must be 1, 2, 3...");
    if (kindOfColumnId(c.id) == ColumnKind::Variable && c.id != expectVar++)
      throw std::invalid_argument("table " + table.name + ": variable column ids must be 128, 129...");
    if (kindOfColumnId(c.id) != ColumnKind::Tagged && c.multiValued)
      throw std::invalid_argument("column " + c.name + ": only tagged columns hold several values");
    if (kindOfColumnId(c.id) != ColumnKind::Tagged && isLongType(c.type))
      throw std::invalid_argument("column " + c.name + ": long values need a tagged column");
  }
}

const std::vector<Bytes>* RecordEncoder::valuesOf(const Row& row, std::uint32_t column) {
  for (const auto& c : row)
    if (c.column == column) return &c.values;
  return nullptr;
}

Bytes RecordEncoder::encode(const Row& row, std::size_t maxRecordSize,
                            const SeparateLongValue& separate) const {
  // Match the row's cells to columns; fixed and variable columns the row
  // leaves out store their default, as the engine copies it on insert.
  std::vector<const Cell*> cells(byId_.size(), nullptr);
  std::vector<Cell> defaults;
  defaults.reserve(byId_.size());
  for (const auto& cell : row) {
    auto it = std::find_if(byId_.begin(), byId_.end(), [&](auto* c) { return c->id == cell.column; });
    if (it == byId_.end())
      throw std::invalid_argument("table " + table_.name + " has no column " + std::to_string(cell.column));
    const auto index = static_cast<std::size_t>(it - byId_.begin());
    if (cells[index] != nullptr) throw std::invalid_argument("column given twice in a row");
    if (cell.values.empty()) continue;  // no value at all: null
    if (cell.values.size() > 1 && !(*it)->multiValued)
      throw std::invalid_argument("column " + (*it)->name + " is not multi-valued");
    cells[index] = &cell;
  }
  for (std::size_t i = 0; i < byId_.size(); ++i) {
    const ColumnDef& c = *byId_[i];
    if (cells[i] == nullptr && c.defaultValue && kindOfColumnId(c.id) != ColumnKind::Tagged) {
      defaults.push_back(Cell{c.id, {*c.defaultValue}});
      cells[i] = &defaults.back();
    }
    if (cells[i] == nullptr && c.notNull)
      throw std::invalid_argument("column " + c.name + " may not be null");
    if (cells[i] != nullptr && kindOfColumnId(c.id) == ColumnKind::Fixed &&
        cells[i]->values[0].size() != c.fixedSlotSize())
      throw std::invalid_argument("column " + c.name + ": a fixed value must fill its slot");
  }

  // Separate long values: first those over a quarter page, then the largest
  // remaining ones until the record fits.
  std::vector<std::vector<bool>> separated(byId_.size());
  const std::size_t intrinsicMost = format_.pageSize / 4;
  for (std::size_t i = 0; i < byId_.size(); ++i) {
    if (cells[i] == nullptr) continue;
    separated[i].assign(cells[i]->values.size(), false);
    if (!isLongType(byId_[i]->type)) continue;
    for (std::size_t v = 0; v < cells[i]->values.size(); ++v)
      separated[i][v] = cells[i]->values[v].size() > intrinsicMost;
  }
  for (;;) {
    const Bytes trial = build(cells, separated, nullptr);
    if (trial.size() <= maxRecordSize) break;
    std::size_t bestCol = 0, bestVal = 0, bestSize = 0;
    for (std::size_t i = 0; i < byId_.size(); ++i) {
      if (cells[i] == nullptr || !isLongType(byId_[i]->type)) continue;
      for (std::size_t v = 0; v < cells[i]->values.size(); ++v)
        if (!separated[i][v] && cells[i]->values[v].size() > std::max<std::size_t>(bestSize, 4)) {
          bestCol = i;
          bestVal = v;
          bestSize = cells[i]->values[v].size();
        }
    }
    if (bestSize == 0)
      throw std::invalid_argument("table " + table_.name + ": a record of " +
                                  std::to_string(trial.size()) + " bytes does not fit a page");
    separated[bestCol][bestVal] = true;
  }
  return build(cells, separated, &separate);
}

Bytes RecordEncoder::build(const std::vector<const Cell*>& cells,
                           const std::vector<std::vector<bool>>& separated,
                           const SeparateLongValue* separate) const {
  std::uint32_t lastFixed = 0, lastVar = 127;
  for (std::size_t i = 0; i < byId_.size(); ++i) {
    if (cells[i] == nullptr) continue;
    const std::uint32_t id = byId_[i]->id;
    if (kindOfColumnId(id) == ColumnKind::Fixed) lastFixed = std::max(lastFixed, id);
    if (kindOfColumnId(id) == ColumnKind::Variable) lastVar = std::max(lastVar, id);
  }

  Bytes fixedPart, nullBitmap((lastFixed + 7) / 8, '\0'), varOffsets, varData, tagged;
  for (std::size_t i = 0; i < byId_.size(); ++i) {
    const ColumnDef& c = *byId_[i];
    const Cell* cell = cells[i];
    if (kindOfColumnId(c.id) == ColumnKind::Fixed && c.id <= lastFixed) {
      if (cell != nullptr) {
        fixedPart.append(cell->values[0]);
      } else {
        fixedPart.append(c.fixedSlotSize(), '\0');
        nullBitmap[(c.id - 1) / 8] = static_cast<char>(nullBitmap[(c.id - 1) / 8] | (1 << ((c.id - 1) % 8)));
      }
    } else if (kindOfColumnId(c.id) == ColumnKind::Variable && c.id <= lastVar) {
      if (cell != nullptr) varData.append(cell->values[0]);
      if (varData.size() > 0x7fff) throw std::invalid_argument("variable data too large");
      putU16(varOffsets, static_cast<std::uint16_t>(varData.size() | (cell == nullptr ? 0x8000u : 0u)));
    }
  }
  // Bits of the last bitmap byte past the last fixed column are set, as the
  // engine leaves them.
  for (std::uint32_t bit = lastFixed; bit < nullBitmap.size() * 8; ++bit)
    nullBitmap[bit / 8] = static_cast<char>(nullBitmap[bit / 8] | (1 << (bit % 8)));

  // Tagged directory and values.
  std::vector<std::pair<std::uint32_t, Bytes>> values;  // id, flag byte (if any) + data
  std::vector<bool> hasFlagByte;
  for (std::size_t i = 0; i < byId_.size(); ++i) {
    const ColumnDef& c = *byId_[i];
    const Cell* cell = cells[i];
    if (cell == nullptr || kindOfColumnId(c.id) != ColumnKind::Tagged) continue;
    std::uint8_t flags = isLongType(c.type) ? kTagLongValue : 0;
    Bytes body;
    auto valueBytes = [&](std::size_t v) -> Bytes {
      if (!separated[i][v]) return cell->values[v];
      const std::uint32_t lvid = separate != nullptr ? (*separate)(cell->values[v]) : 0;
      return le32(lvid);
    };
    if (cell->values.size() == 1) {
      if (separated[i][0]) flags |= kTagSeparated;
      if (cell->compressed) flags |= kTagCompressed;
      body = valueBytes(0);
    } else if (cell->values.size() == 2 && !isLongType(c.type) && cell->values[0].size() < 256) {
      flags |= kTagMultiValues | kTagTwoValues;
      putU8(body, static_cast<std::uint8_t>(cell->values[0].size()));
      body += cell->values[0];
      body += cell->values[1];
    } else {
      flags |= kTagMultiValues;
      Bytes offsets, data;
      const std::size_t arraySize = 2 * cell->values.size();
      for (std::size_t v = 0; v < cell->values.size(); ++v) {
        const std::size_t at = arraySize + data.size();
        if (at > 0x7fff) throw std::invalid_argument("multi-valued data too large");
        putU16(offsets, static_cast<std::uint16_t>(at | (separated[i][v] ? 0x8000u : 0u)));
        data += valueBytes(v);
      }
      body = offsets + data;
    }
    const bool flagByte = format_.largePages() || flags != 0;
    Bytes stored;
    if (flagByte) putU8(stored, flags);
    stored += body;
    values.emplace_back(c.id, std::move(stored));
    hasFlagByte.push_back(flagByte);
  }
  const std::size_t mask = format_.largePages() ? 0x7fff : 0x3fff;
  std::size_t at = 4 * values.size();
  Bytes directory, data;
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (at > mask) throw std::invalid_argument("tagged data too large for one record");
    putU16(directory, static_cast<std::uint16_t>(values[k].first));
    std::size_t offset = at;
    if (!format_.largePages() && hasFlagByte[k]) offset |= 0x4000;
    putU16(directory, static_cast<std::uint16_t>(offset));
    data += values[k].second;
    at += values[k].second.size();
  }
  tagged = directory + data;

  Bytes record;
  putU8(record, static_cast<std::uint8_t>(lastFixed));
  putU8(record, static_cast<std::uint8_t>(lastVar));
  const std::size_t varArrayAt = 4 + fixedPart.size() + nullBitmap.size();
  putU16(record, static_cast<std::uint16_t>(varArrayAt));
  record += fixedPart;
  record += nullBitmap;
  record += varOffsets;
  record += varData;
  record += tagged;
  return record;
}

}  // namespace corvadex::esew
