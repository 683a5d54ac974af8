#pragma once

// What a workbook reader hands to the engine: the first sheet's cells as the
// file stores them. Both readers (.xlsx and .xls) fill these types; the
// engine's object model and the automation layer read them.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vellumark::sheets {

// The sheet limits of current spreadsheet programs.
inline constexpr std::uint32_t kMaxRows = 1048576;
inline constexpr std::uint32_t kMaxColumns = 16384;

struct CellValue {
  enum class Kind { kBlank, kNumber, kDate, kText, kBoolean, kError };
  Kind kind = Kind::kBlank;
  // kNumber: the value; kDate: the serial as stored, in the workbook's date
  // system; kBoolean: 1 or 0; kError: the file's error code.
  double number = 0;
  std::string text;  // kText, UTF-8
};

// A cell position, 1-based, within the sheet limits.
struct CellRange {
  std::uint32_t first_row = 1;
  std::uint32_t first_column = 1;
  std::uint32_t last_row = 1;
  std::uint32_t last_column = 1;
};

class SheetData {
 public:
  enum class Type { kWorksheet, kChart };

  explicit SheetData(Type type = Type::kWorksheet) : type_(type) {}

  Type type() const { return type_; }

  // A cell with a value. Row and column are 1-based and within the limits.
  void SetCell(std::uint32_t row, std::uint32_t column, CellValue value) {
    Touch(row, column);
    cells_[Key(row, column)] = std::move(value);
  }

  // A cell that holds no value but a format of its own: it still counts
  // toward the used range.
  void MarkFormatted(std::uint32_t row, std::uint32_t column) {
    Touch(row, column);
  }

  const CellValue* Find(std::uint32_t row, std::uint32_t column) const {
    const auto found = cells_.find(Key(row, column));
    return found == cells_.end() ? nullptr : &found->second;
  }

  // Every cell with a value or a format; A1 alone for an empty worksheet;
  // nothing for a chart sheet.
  std::optional<CellRange> UsedRange() const {
    if (type_ == Type::kChart) return std::nullopt;
    if (!bounds_) return CellRange{};
    return bounds_;
  }

  std::size_t cell_count() const { return cells_.size(); }
  void Reserve(std::size_t cells) { cells_.reserve(cells); }

 private:
  static std::uint64_t Key(std::uint32_t row, std::uint32_t column) {
    return (static_cast<std::uint64_t>(row) << 32) | column;
  }

  void Touch(std::uint32_t row, std::uint32_t column) {
    if (!bounds_) {
      bounds_ = CellRange{row, column, row, column};
      return;
    }
    if (row < bounds_->first_row) bounds_->first_row = row;
    if (row > bounds_->last_row) bounds_->last_row = row;
    if (column < bounds_->first_column) bounds_->first_column = column;
    if (column > bounds_->last_column) bounds_->last_column = column;
  }

  Type type_;
  std::optional<CellRange> bounds_;
  std::unordered_map<std::uint64_t, CellValue> cells_;
};

struct WorkbookData {
  bool date1904 = false;
  std::vector<std::string> sheet_names;  // in the workbook's order
  SheetData first_sheet;                 // the only sheet the import reads
};

}  // namespace vellumark::sheets
