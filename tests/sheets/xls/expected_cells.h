#pragma once

// Cell-by-cell checks on a read sheet.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "sheets/workbook_data.h"

namespace vellumark::sheets::test {

struct ExpectedCell {
  std::uint32_t row;
  std::uint32_t column;
  CellValue::Kind kind;
  double number = 0;
  std::string text = {};
};

inline const char* KindName(CellValue::Kind kind) {
  switch (kind) {
    case CellValue::Kind::kBlank:
      return "blank";
    case CellValue::Kind::kNumber:
      return "number";
    case CellValue::Kind::kDate:
      return "date";
    case CellValue::Kind::kText:
      return "text";
    case CellValue::Kind::kBoolean:
      return "boolean";
    case CellValue::Kind::kError:
      return "error";
  }
  return "?";
}

inline void ExpectCells(const SheetData& sheet,
                        std::initializer_list<ExpectedCell> cells) {
  for (const ExpectedCell& want : cells) {
    SCOPED_TRACE("row " + std::to_string(want.row) + " column " +
                 std::to_string(want.column));
    const CellValue* got = sheet.Find(want.row, want.column);
    ASSERT_NE(got, nullptr);
    EXPECT_STREQ(KindName(got->kind), KindName(want.kind));
    if (want.kind == CellValue::Kind::kText) {
      EXPECT_EQ(got->text, want.text);
    } else {
      EXPECT_EQ(got->number, want.number);
    }
  }
}

// Two reads of the same sheet: the same names, date system, used range and
// every cell with the same kind and value (error codes aside).
inline void ExpectSameWorkbook(const WorkbookData& a, const WorkbookData& b) {
  EXPECT_EQ(a.sheet_names, b.sheet_names);
  EXPECT_EQ(a.date1904, b.date1904);
  ASSERT_EQ(a.first_sheet.type(), b.first_sheet.type());
  const auto range = a.first_sheet.UsedRange();
  const auto other = b.first_sheet.UsedRange();
  ASSERT_EQ(range.has_value(), other.has_value());
  if (!range) return;
  EXPECT_EQ(range->first_row, other->first_row);
  EXPECT_EQ(range->first_column, other->first_column);
  EXPECT_EQ(range->last_row, other->last_row);
  EXPECT_EQ(range->last_column, other->last_column);
  for (std::uint32_t row = range->first_row; row <= range->last_row; ++row) {
    for (std::uint32_t column = range->first_column;
         column <= range->last_column; ++column) {
      SCOPED_TRACE("row " + std::to_string(row) + " column " +
                   std::to_string(column));
      // A blank cell and no cell read the same.
      const auto value = [row, column](const SheetData& sheet) {
        const CellValue* cell = sheet.Find(row, column);
        return cell && cell->kind != CellValue::Kind::kBlank ? cell : nullptr;
      };
      const CellValue* x = value(a.first_sheet);
      const CellValue* y = value(b.first_sheet);
      ASSERT_EQ(x == nullptr, y == nullptr);
      if (x == nullptr) continue;
      EXPECT_STREQ(KindName(x->kind), KindName(y->kind));
      if (x->kind == CellValue::Kind::kText) {
        EXPECT_EQ(x->text, y->text);
      } else if (x->kind != CellValue::Kind::kError) {
        // Error codes are each format's own; both read as empty text.
        EXPECT_EQ(x->number, y->number);
      }
    }
  }
}

}  // namespace vellumark::sheets::test
