#include <gtest/gtest.h>

#include "sheets/workbook_data.h"

namespace vellumark::sheets {
namespace {

CellValue Number(double n) {
  CellValue v;
  v.kind = CellValue::Kind::kNumber;
  v.number = n;
  return v;
}

TEST(SheetDataTest, CellsInAnyOrderAreFoundAndOverwritten) {
  SheetData sheet;
  // Right to left, bottom to top, and one cell written twice.
  const std::uint32_t cells[][2] = {{5, 3}, {5, 1}, {2, 7},
                                    {5, 2}, {1, 1}, {5, 3}};
  double n = 0;
  for (const auto& c : cells) sheet.SetCell(c[0], c[1], Number(++n));
  EXPECT_EQ(sheet.cell_count(), 5u);
  struct Case {
    std::uint32_t row, column;
    std::optional<double> number;
  };
  const Case cases[] = {{5, 3, 6},
                        {5, 1, 2},
                        {5, 2, 4},
                        {2, 7, 3},
                        {1, 1, 5},
                        {5, 4, std::nullopt},
                        {3, 1, std::nullopt},
                        {6, 1, std::nullopt},
                        {0, 0, std::nullopt},
                        {kMaxRows, kMaxColumns, std::nullopt}};
  for (const auto& c : cases) {
    const CellValue* found = sheet.Find(c.row, c.column);
    EXPECT_EQ(found ? std::optional(found->number) : std::nullopt, c.number)
        << c.row << "," << c.column;
  }
}

TEST(SheetDataTest, UsedRangeCoversValuesAndFormatsOnly) {
  SheetData sheet;
  sheet.SetCell(4, 2, Number(1));
  sheet.MarkFormatted(9, 6);
  const auto used = sheet.UsedRange();
  ASSERT_TRUE(used.has_value());
  EXPECT_EQ(used->first_row, 4u);
  EXPECT_EQ(used->first_column, 2u);
  EXPECT_EQ(used->last_row, 9u);
  EXPECT_EQ(used->last_column, 6u);
  EXPECT_EQ(sheet.Find(9, 6), nullptr);
  EXPECT_EQ(sheet.cell_count(), 1u);
}

}  // namespace
}  // namespace vellumark::sheets
