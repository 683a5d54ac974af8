#include <charconv>
#include <cmath>
#include <cstring>

#include "sheets/cell_address.h"
#include "sheets/reasons.h"
#include "sheets/xlsx/parts.h"
#include "sheets/xlsx/string_item.h"

namespace vellumark::sheets::xlsx {
namespace {

enum class CellType { kNumber, kShared, kFormulaText, kInline, kBoolean, kError, kDate };

std::optional<CellType> ParseType(const char* t) {
  if (!t) return CellType::kNumber;
  const std::string_view type(t);
  if (type == "n") return CellType::kNumber;
  if (type == "s") return CellType::kShared;
  if (type == "str") return CellType::kFormulaText;
  if (type == "inlineStr") return CellType::kInline;
  if (type == "b") return CellType::kBoolean;
  if (type == "e") return CellType::kError;
  if (type == "d") return CellType::kDate;
  return std::nullopt;
}

template <typename T>
std::optional<T> ParseUnsigned(std::string_view text) {
  T value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<double> ParseDouble(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(),
                                            value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// The codes the spreadsheet program gives its error values.
double ErrorCode(std::string_view text) {
  static constexpr std::pair<std::string_view, int> kCodes[] = {
      {"#NULL!", 2000}, {"#DIV/0!", 2007}, {"#VALUE!", 2015},
      {"#REF!", 2023},  {"#NAME?", 2029},  {"#NUM!", 2036},
      {"#N/A", 2042},   {"#GETTING_DATA", 2043}};
  for (const auto& [name, code] : kCodes) {
    if (text == name) return code;
  }
  return 2015;
}

class SheetHandler : public XmlHandler {
 public:
  SheetHandler(std::string_view part, const SheetContext& context)
      : part_(part), context_(context) {}

  void StartElement(const XmlName& name, const XmlAttributes& attributes) override {
    if (!IsMainNamespace(name.ns)) return;
    const std::string_view local = name.local;
    if (!in_data_) {
      if (local == "sheetData") in_data_ = true;
      return;
    }
    if (in_cell_) {
      if (in_inline_) {
        inline_.Start(local);
      } else if (local == "v") {
        in_value_ = true;
      } else if (local == "f") {
        has_formula_ = true;
      } else if (local == "is") {
        in_inline_ = true;
        has_inline_ = true;
      }
      return;
    }
    if (local == "row") {
      StartRow(attributes);
    } else if (local == "c") {
      StartCell(attributes);
    }
  }

  void EndElement(const XmlName& name) override {
    if (!IsMainNamespace(name.ns) || !in_data_) return;
    const std::string_view local = name.local;
    if (in_cell_) {
      if (local == "c") {
        EndCell();
      } else if (in_inline_) {
        if (local == "is") {
          in_inline_ = false;
        } else {
          inline_.End(local);
        }
      } else if (local == "v") {
        in_value_ = false;
      }
      return;
    }
    if (local == "sheetData") in_data_ = false;
  }

  void Text(std::string_view text) override {
    if (in_value_) {
      value_.append(text);
    } else if (in_inline_) {
      inline_.Text(text);
    }
  }

  SheetData sheet;

 private:
  void StartRow(const XmlAttributes& attributes) {
    if (const char* r = attributes.Find({}, "r")) {
      const auto row = ParseUnsigned<std::uint32_t>(r);
      if (!row || *row == 0 || *row > kMaxRows) return Fail(reasons::Damaged(part_));
      row_ = *row;
    } else {
      ++row_;
    }
    if (row_ > kMaxRows) return Fail(reasons::Damaged(part_));
    column_ = 0;
  }

  void StartCell(const XmlAttributes& attributes) {
    if (row_ == 0) row_ = 1;  // a cell outside any row element
    if (const char* r = attributes.Find({}, "r")) {
      const auto address = ParseCellAddress(r, false);
      if (!address) return Fail(reasons::Damaged(part_));
      cell_row_ = address->row;
      column_ = address->column;
    } else {
      cell_row_ = row_;
      ++column_;
      if (column_ > kMaxColumns) return Fail(reasons::Damaged(part_));
    }
    const auto type = ParseType(attributes.Find({}, "t"));
    if (!type) return Fail(reasons::Damaged(part_));
    type_ = *type;
    style_ = 0;
    if (const char* s = attributes.Find({}, "s")) {
      const auto style = ParseUnsigned<std::uint32_t>(s);
      if (!style) return Fail(reasons::Damaged(part_));
      style_ = *style;
    }
    in_cell_ = true;
    has_formula_ = false;
    has_inline_ = false;
    value_.clear();
  }

  void EndCell() {
    in_cell_ = false;
    in_value_ = false;
    in_inline_ = false;
    std::optional<CellValue> value = MakeValue();
    if (failure()) return;
    if (!value) {
      // No value, but a format of its own or a formula: still in use.
      if (style_ != 0 || has_formula_) sheet.MarkFormatted(cell_row_, column_);
      return;
    }
    if (sheet.cell_count() >= kMaxCells) {
      return Fail(reasons::TooManyCells(part_, kMaxCells));
    }
    text_bytes_ += value->text.size();
    if (text_bytes_ > kMaxTextBytes) {
      return Fail(reasons::TextTooLarge(part_, kMaxTextBytes));
    }
    sheet.SetCell(cell_row_, column_, std::move(*value));
  }

  bool IsDateStyle() const {
    const auto& dates = *context_.date_styles;
    return style_ < dates.size() && dates[style_];
  }

  std::optional<CellValue> MakeValue() {
    CellValue cell;
    if (type_ == CellType::kInline) {
      if (!has_inline_) return std::nullopt;
      cell.kind = CellValue::Kind::kText;
      cell.text = inline_.Take();
      return cell;
    }
    if (type_ == CellType::kFormulaText) {
      // A formula's text result; the cached value may be absent or empty.
      if (value_.empty() && !has_formula_) return std::nullopt;
      cell.kind = CellValue::Kind::kText;
      cell.text = DecodeEscapes(value_);
      return cell;
    }
    if (Trim(value_).empty()) return std::nullopt;
    switch (type_) {
      case CellType::kShared: {
        const auto index = ParseUnsigned<std::size_t>(Trim(value_));
        const auto& strings = *context_.shared_strings;
        if (!index || *index >= strings.size()) {
          Fail(reasons::Damaged(part_));
          return std::nullopt;
        }
        cell.kind = CellValue::Kind::kText;
        cell.text = strings[*index];
        return cell;
      }
      case CellType::kBoolean: {
        const std::string_view text = Trim(value_);
        if (text != "0" && text != "1" && text != "true" && text != "false") {
          Fail(reasons::Damaged(part_));
          return std::nullopt;
        }
        cell.kind = CellValue::Kind::kBoolean;
        cell.number = text == "1" || text == "true" ? 1 : 0;
        return cell;
      }
      case CellType::kError:
        cell.kind = CellValue::Kind::kError;
        cell.number = ErrorCode(Trim(value_));
        return cell;
      case CellType::kDate: {
        const auto serial = SerialFromIsoDate(Trim(value_));
        if (!serial) {
          Fail(reasons::Damaged(part_));
          return std::nullopt;
        }
        cell.kind = CellValue::Kind::kDate;
        cell.number = context_.date1904 ? *serial - 1462 : *serial;
        return cell;
      }
      case CellType::kNumber: {
        const auto number = ParseDouble(value_);
        if (!number) {
          Fail(reasons::Damaged(part_));
          return std::nullopt;
        }
        cell.kind = IsDateStyle() ? CellValue::Kind::kDate : CellValue::Kind::kNumber;
        cell.number = *number;
        return cell;
      }
      case CellType::kInline:
      case CellType::kFormulaText:
        break;
    }
    return std::nullopt;
  }

  std::string_view part_;
  const SheetContext& context_;
  bool in_data_ = false;
  bool in_cell_ = false;
  bool in_value_ = false;
  bool in_inline_ = false;
  bool has_formula_ = false;
  bool has_inline_ = false;
  std::uint32_t row_ = 0;
  std::uint32_t column_ = 0;
  std::uint32_t cell_row_ = 0;
  std::uint32_t style_ = 0;
  CellType type_ = CellType::kNumber;
  std::string value_;
  StringItemCollector inline_;
  std::size_t text_bytes_ = 0;
};

}  // namespace

Result<SheetData> ReadWorksheet(const ZipArchive& zip, std::string_view part,
                                const SheetContext& context) {
  SheetHandler handler(part, context);
  if (Status status = ParsePart(zip, part, kLargePartCap, handler)) return *status;
  return std::move(handler.sheet);
}

}  // namespace vellumark::sheets::xlsx
