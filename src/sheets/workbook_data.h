#pragma once

// What a workbook reader hands to the engine: the first sheet's cells as the
// file stores them. Both readers (.xlsx and .xls) fill these types; the
// engine's object model and the automation layer read them.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
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
    if (rows_.size() < row) rows_.resize(row);
    Row& cells = rows_[row - 1];
    // Readers mostly go left to right, so the common case is an append.
    if (cells.empty() || cells.back().first < column) {
      cells.emplace_back(column, std::move(value));
      ++cell_count_;
      return;
    }
    const auto at = Lower(cells.begin(), cells.end(), column);
    if (at != cells.end() && at->first == column) {
      at->second = std::move(value);
      return;
    }
    cells.emplace(at, column, std::move(value));
    ++cell_count_;
  }

  // A cell that holds no value but a format of its own: it still counts
  // toward the used range.
  void MarkFormatted(std::uint32_t row, std::uint32_t column) {
    Touch(row, column);
  }

  const CellValue* Find(std::uint32_t row, std::uint32_t column) const {
    if (row == 0 || row > rows_.size()) return nullptr;
    const Row& cells = rows_[row - 1];
    const auto at = Lower(cells.begin(), cells.end(), column);
    return at != cells.end() && at->first == column ? &at->second : nullptr;
  }

  // Every cell with a value or a format; A1 alone for an empty worksheet;
  // nothing for a chart sheet.
  std::optional<CellRange> UsedRange() const {
    if (type_ == Type::kChart) return std::nullopt;
    if (!bounds_) return CellRange{};
    return bounds_;
  }

  std::size_t cell_count() const { return cell_count_; }
  // A hint only: cells are stored by row.
  void Reserve(std::size_t /*cells*/) {}

 private:
  // One row's cells, ordered by column.
  using Row = std::vector<std::pair<std::uint32_t, CellValue>>;

  template <typename Iterator>
  static Iterator Lower(Iterator begin, Iterator end, std::uint32_t column) {
    return std::lower_bound(
        begin, end, column,
        [](const auto& cell, std::uint32_t c) { return cell.first < c; });
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
  std::vector<Row> rows_;
  std::size_t cell_count_ = 0;
};

struct WorkbookData {
  bool date1904 = false;
  std::vector<std::string> sheet_names;  // in the workbook's order
  SheetData first_sheet;                 // the only sheet the import reads
};

}  // namespace vellumark::sheets
