#include "sheets/xls/sheet_cells.h"

#include <bit>
#include <optional>
#include <string>

#include "sheets/xls/biff_text.h"
#include "sheets/xls/codepage.h"
#include "sheets/xls/reasons.h"
#include "sheets/xls/record_cursor.h"
#include "sheets/xls/record_stream.h"
#include "sheets/xls/rk_number.h"

namespace vellumark::sheets::xls {
namespace {

// Columns beyond IV do not exist in these files.
constexpr std::uint16_t kColumns = 256;
constexpr std::uint16_t kResultIsNotNumber = 0xFFFF;
enum FormulaResult : std::uint8_t {
  kStringResult = 0,
  kBooleanResult = 1,
  kErrorResult = 2,
  kEmptyStringResult = 3,
};

struct CellAt {
  std::uint16_t row = 0;
  std::uint16_t column = 0;
};

class SheetReader {
 public:
  SheetReader(const WorkbookGlobals& globals, const CellLimits& limits)
      : globals_(globals),
        limits_(limits),
        decoder_(globals.biff8 ? kDefaultCodePage : globals.code_page) {}

  // Reads records until the sheet's EOF.
  std::optional<Error> Read(RecordStream& records);
  SheetData Take() { return std::move(sheet_); }

 private:
  std::optional<Error> ReadCellRecord(const Record& record);
  std::optional<Error> ReadMulRk(RecordCursor& cursor);
  std::optional<Error> ReadMulBlank(RecordCursor& cursor);
  std::optional<Error> ReadFormula(RecordCursor& cursor);
  std::optional<Error> ReadFormulaString(RecordCursor& cursor);
  std::string ReadText(RecordCursor& cursor);
  std::optional<Error> SetNumber(std::uint16_t row, std::uint16_t column,
                                 std::uint16_t xf, double value);
  std::optional<Error> Set(std::uint16_t row, std::uint16_t column,
                           CellValue value);
  void MarkFormatted(std::uint16_t row, std::uint16_t column);

  const WorkbookGlobals& globals_;
  const CellLimits& limits_;
  CodePageDecoder decoder_;
  SheetData sheet_;
  std::size_t text_bytes_ = 0;
  // A formula whose text result comes in the STRING record after it.
  std::optional<CellAt> pending_string_;
};

std::optional<Error> SheetReader::Set(std::uint16_t row, std::uint16_t column,
                                      CellValue value) {
  if (column >= kColumns) return std::nullopt;
  text_bytes_ += value.text.size();
  if (text_bytes_ > limits_.max_text_bytes) {
    return TooLarge("第一个工作表的文字超过 " +
                    SizeText(limits_.max_text_bytes));
  }
  sheet_.SetCell(row + 1u, column + 1u, std::move(value));
  if (sheet_.cell_count() > limits_.max_cells) {
    return TooLarge("第一个工作表超过 " + std::to_string(limits_.max_cells) +
                    " 个单元格");
  }
  return std::nullopt;
}

void SheetReader::MarkFormatted(std::uint16_t row, std::uint16_t column) {
  if (column < kColumns) sheet_.MarkFormatted(row + 1u, column + 1u);
}

std::optional<Error> SheetReader::SetNumber(std::uint16_t row,
                                            std::uint16_t column,
                                            std::uint16_t xf, double value) {
  CellValue cell;
  cell.kind =
      globals_.IsDateXf(xf) ? CellValue::Kind::kDate : CellValue::Kind::kNumber;
  cell.number = value;
  return Set(row, column, std::move(cell));
}

std::string SheetReader::ReadText(RecordCursor& cursor) {
  if (globals_.biff8) return ReadBiff8String(cursor, 2);
  const std::string bytes = ReadBiff5Bytes(cursor, 2);
  return cursor.ok() ? decoder_.ToUtf8(bytes) : std::string();
}

std::optional<Error> SheetReader::ReadMulRk(RecordCursor& cursor) {
  const std::uint16_t row = cursor.U16();
  const std::uint16_t first = cursor.U16();
  // Six bytes per cell, then the last column.
  if (!cursor.ok() || cursor.remaining() < 2 ||
      (cursor.remaining() - 2) % 6 != 0) {
    return Damaged(kPartCell);
  }
  const std::size_t count = (cursor.remaining() - 2) / 6;
  for (std::size_t i = 0; i < count && first + i < kColumns; ++i) {
    const std::uint16_t xf = cursor.U16();
    const double value = DecodeRk(cursor.U32());
    const auto column = static_cast<std::uint16_t>(first + i);
    if (auto error = SetNumber(row, column, xf, value)) return error;
  }
  return std::nullopt;
}

std::optional<Error> SheetReader::ReadMulBlank(RecordCursor& cursor) {
  const std::uint16_t row = cursor.U16();
  const std::uint16_t first = cursor.U16();
  if (!cursor.ok() || cursor.remaining() < 2 ||
      (cursor.remaining() - 2) % 2 != 0) {
    return Damaged(kPartCell);
  }
  const std::size_t count = (cursor.remaining() - 2) / 2;
  for (std::size_t i = 0; i < count && first + i < kColumns; ++i) {
    MarkFormatted(row, static_cast<std::uint16_t>(first + i));
  }
  return std::nullopt;
}

std::optional<Error> SheetReader::ReadFormula(RecordCursor& cursor) {
  const std::uint16_t row = cursor.U16();
  const std::uint16_t column = cursor.U16();
  const std::uint16_t xf = cursor.U16();
  // The cached result: a double, or a tagged value marked by 0xFFFF in the
  // top two bytes.
  const std::uint64_t low = cursor.U32();
  const std::uint64_t high = cursor.U32();
  if (!cursor.ok()) return Damaged(kPartCell);
  if ((high >> 16) != kResultIsNotNumber) {
    return SetNumber(row, column, xf, std::bit_cast<double>(low | high << 32));
  }
  const auto tag = static_cast<std::uint8_t>(low & 0xFF);
  const auto payload = static_cast<std::uint8_t>((low >> 16) & 0xFF);
  CellValue cell;
  switch (tag) {
    case kStringResult:
      // The text comes in the STRING record that follows.
      pending_string_ = CellAt{row, column};
      cell.kind = CellValue::Kind::kText;
      break;
    case kBooleanResult:
      cell.kind = CellValue::Kind::kBoolean;
      cell.number = payload != 0 ? 1 : 0;
      break;
    case kErrorResult:
      cell.kind = CellValue::Kind::kError;
      cell.number = payload;
      break;
    case kEmptyStringResult:
      cell.kind = CellValue::Kind::kText;
      break;
    default:
      return Damaged(kPartCell);
  }
  return Set(row, column, std::move(cell));
}

std::optional<Error> SheetReader::ReadFormulaString(RecordCursor& cursor) {
  if (!pending_string_) return std::nullopt;
  const CellAt at = *pending_string_;
  pending_string_.reset();
  CellValue cell;
  cell.kind = CellValue::Kind::kText;
  cell.text = ReadText(cursor);
  if (!cursor.ok()) return Damaged(kPartCell);
  return Set(at.row, at.column, std::move(cell));
}

std::optional<Error> SheetReader::ReadCellRecord(const Record& record) {
  RecordCursor cursor(record);
  switch (record.type) {
    case record::kNumber: {
      const std::uint16_t row = cursor.U16();
      const std::uint16_t column = cursor.U16();
      const std::uint16_t xf = cursor.U16();
      const double value = cursor.F64();
      if (!cursor.ok()) return Damaged(kPartCell);
      return SetNumber(row, column, xf, value);
    }
    case record::kRk: {
      const std::uint16_t row = cursor.U16();
      const std::uint16_t column = cursor.U16();
      const std::uint16_t xf = cursor.U16();
      const std::uint32_t rk = cursor.U32();
      if (!cursor.ok()) return Damaged(kPartCell);
      return SetNumber(row, column, xf, DecodeRk(rk));
    }
    case record::kMulRk:
      return ReadMulRk(cursor);
    case record::kLabel:
    case record::kRString: {
      // RSTRING's formatting runs follow the text and are not needed.
      const std::uint16_t row = cursor.U16();
      const std::uint16_t column = cursor.U16();
      cursor.U16();
      CellValue cell;
      cell.kind = CellValue::Kind::kText;
      cell.text = ReadText(cursor);
      if (!cursor.ok()) return Damaged(kPartCell);
      return Set(row, column, std::move(cell));
    }
    case record::kLabelSst: {
      const std::uint16_t row = cursor.U16();
      const std::uint16_t column = cursor.U16();
      cursor.U16();
      const std::uint32_t index = cursor.U32();
      if (!cursor.ok()) return Damaged(kPartCell);
      if (index >= globals_.shared_strings.size()) {
        return Damaged(kPartSharedStrings);
      }
      CellValue cell;
      cell.kind = CellValue::Kind::kText;
      cell.text = globals_.shared_strings[index];
      return Set(row, column, std::move(cell));
    }
    case record::kBoolErr: {
      const std::uint16_t row = cursor.U16();
      const std::uint16_t column = cursor.U16();
      cursor.U16();
      const std::uint8_t value = cursor.U8();
      const std::uint8_t is_error = cursor.U8();
      if (!cursor.ok()) return Damaged(kPartCell);
      CellValue cell;
      if (is_error != 0) {
        cell.kind = CellValue::Kind::kError;
        cell.number = value;
      } else {
        cell.kind = CellValue::Kind::kBoolean;
        cell.number = value != 0 ? 1 : 0;
      }
      return Set(row, column, std::move(cell));
    }
    case record::kBlank: {
      const std::uint16_t row = cursor.U16();
      const std::uint16_t column = cursor.U16();
      if (!cursor.ok()) return Damaged(kPartCell);
      MarkFormatted(row, column);
      return std::nullopt;
    }
    case record::kMulBlank:
      return ReadMulBlank(cursor);
    case record::kFormula:
    case record::kFormula3:
    case record::kFormula4:
      return ReadFormula(cursor);
    case record::kString:
      return ReadFormulaString(cursor);
    default:
      return std::nullopt;
  }
}

bool KeepsFormulaString(std::uint16_t type) {
  return type == record::kString || type == record::kSharedFormula ||
         type == record::kArray || type == record::kTable;
}

std::optional<Error> SheetReader::Read(RecordStream& records) {
  // Embedded charts sit inside a worksheet as their own BOF..EOF blocks;
  // their records are not the sheet's cells.
  std::size_t depth = 0;
  Record record;
  for (;;) {
    const RecordStream::Step step = records.Next(record);
    if (step == RecordStream::Step::kBroken) return Damaged(kPartRecord);
    if (step == RecordStream::Step::kEnd) return Damaged(kPartSheet);
    if (record.type == record::kBof) {
      ++depth;
      continue;
    }
    if (record.type == record::kEof) {
      if (depth == 0) return std::nullopt;
      --depth;
      continue;
    }
    if (depth > 0) continue;
    if (!KeepsFormulaString(record.type)) pending_string_.reset();
    if (auto error = ReadCellRecord(record)) return error;
  }
}

}  // namespace

Result<SheetData> ReadSheetCells(std::string_view stream,
                                 const WorkbookGlobals& globals,
                                 const SheetEntry& sheet,
                                 const CellLimits& limits) {
  if (sheet.chart) return SheetData(SheetData::Type::kChart);
  RecordStream records(stream);
  Record bof;
  if (!records.Seek(sheet.offset) ||
      records.Next(bof) != RecordStream::Step::kRecord ||
      bof.type != record::kBof) {
    return Damaged(kPartSheetList);
  }
  SheetReader reader(globals, limits);
  if (auto error = reader.Read(records)) return *error;
  return reader.Take();
}

}  // namespace vellumark::sheets::xls
