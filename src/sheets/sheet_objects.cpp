#include "sheets/cell_address.h"
#include "sheets/engine_objects.h"
#include "sheets/reasons.h"
#include "sheets/variant_convert.h"

namespace vellumark::sheets::engine {
namespace {

const TypeInfo& WorksheetType() {
  static const TypeInfo type({
      {"Range", member::kRange, InvokeKind::kPropertyGet},
      {"UsedRange", member::kUsedRange, InvokeKind::kPropertyGet},
      {"Activate", member::kActivate, InvokeKind::kMethod},
      {"Name", member::kName, InvokeKind::kPropertyGet},
      {"Application", member::kApplication, InvokeKind::kPropertyGet},
  });
  return type;
}

// A chart sheet has no cells, so neither Range nor UsedRange.
const TypeInfo& ChartType() {
  static const TypeInfo type({
      {"Activate", member::kActivate, InvokeKind::kMethod},
      {"Name", member::kName, InvokeKind::kPropertyGet},
      {"Application", member::kApplication, InvokeKind::kPropertyGet},
  });
  return type;
}

const TypeInfo& RangeType() {
  static const TypeInfo type({
      {"Value", member::kValue, InvokeKind::kPropertyGet},
      {"_Default", kDefaultMember, InvokeKind::kPropertyGet},
      {"Rows", member::kRows, InvokeKind::kPropertyGet},
      {"Columns", member::kColumns, InvokeKind::kPropertyGet},
      {"Count", member::kCount, InvokeKind::kPropertyGet},
      {"Row", member::kRow, InvokeKind::kPropertyGet},
      {"Column", member::kColumn, InvokeKind::kPropertyGet},
      {"Address", member::kAddress, InvokeKind::kPropertyGet},
      {"Application", member::kApplication, InvokeKind::kPropertyGet},
  });
  return type;
}

// "B3" or "A1:C7", either end with or without "$".
std::optional<CellRange> ParseReference(const Variant& argument) {
  if (argument.kind() != Variant::Kind::kString) return std::nullopt;
  const std::string_view text = argument.string();
  const auto colon = text.find(':');
  const auto first = ParseCellAddress(text.substr(0, colon), true);
  if (!first) return std::nullopt;
  CellAddress last = *first;
  if (colon != std::string_view::npos) {
    const auto end = ParseCellAddress(text.substr(colon + 1), true);
    if (!end) return std::nullopt;
    last = *end;
  }
  return CellRange{std::min(first->row, last.row), std::min(first->column, last.column),
                   std::max(first->row, last.row), std::max(first->column, last.column)};
}

CellRange Bounding(const CellRange& a, const CellRange& b) {
  return CellRange{std::min(a.first_row, b.first_row),
                   std::min(a.first_column, b.first_column),
                   std::max(a.last_row, b.last_row),
                   std::max(a.last_column, b.last_column)};
}

class RangeObject : public Dispatch {
 public:
  enum class Shape { kCells, kRows, kColumns };

  RangeObject(std::shared_ptr<Workbook> workbook, std::shared_ptr<SheetModel> sheet,
              CellRange cells, Shape shape)
      : workbook_(std::move(workbook)),
        sheet_(std::move(sheet)),
        cells_(cells),
        shape_(shape) {}

  const TypeInfo* type_info() const override { return &RangeType(); }

  DispatchStatus Invoke(MemberId member, InvokeKind kind,
                        std::span<const Variant> args, Variant* result,
                        ExceptionInfo* exception) override {
    if (!Connected(*workbook_)) return DispatchStatus::kDisconnected;
    if (kind != InvokeKind::kPropertyGet) return DispatchStatus::kMemberNotFound;
    if (!args.empty()) return DispatchStatus::kBadParamCount;
    const std::uint64_t rows = cells_.last_row - cells_.first_row + 1;
    const std::uint64_t columns = cells_.last_column - cells_.first_column + 1;
    switch (member) {
      case kDefaultMember:
      case member::kValue:
        if (rows != 1 || columns != 1) return Fail(exception, reasons::kManyCells);
        SetResult(result, CellVariant(sheet_->data.Find(cells_.first_row,
                                                        cells_.first_column),
                                      workbook_->date1904()));
        return DispatchStatus::kOk;
      case member::kRows:
      case member::kColumns:
        SetResult(result, Variant::Object(std::make_shared<RangeObject>(
                              workbook_, sheet_, cells_,
                              member == member::kRows ? Shape::kRows
                                                      : Shape::kColumns)));
        return DispatchStatus::kOk;
      case member::kCount: {
        const std::uint64_t count = shape_ == Shape::kRows      ? rows
                                    : shape_ == Shape::kColumns ? columns
                                                                : rows * columns;
        // The count is a 32-bit integer; larger ranges overflow it.
        if (count > 0x7FFFFFFF) return DispatchStatus::kOverflow;
        SetResult(result, Variant::Int32(static_cast<std::int32_t>(count)));
        return DispatchStatus::kOk;
      }
      case member::kRow:
        SetResult(result, Variant::Int32(static_cast<std::int32_t>(cells_.first_row)));
        return DispatchStatus::kOk;
      case member::kColumn:
        SetResult(result,
                  Variant::Int32(static_cast<std::int32_t>(cells_.first_column)));
        return DispatchStatus::kOk;
      case member::kAddress: {
        const auto absolute = [](CellAddress address) {
          std::string text = CellAddressText(address);
          const auto digit = text.find_first_of("0123456789");
          return "$" + text.substr(0, digit) + "$" + text.substr(digit);
        };
        std::string text = absolute({cells_.first_row, cells_.first_column});
        if (rows != 1 || columns != 1) {
          text += ":" + absolute({cells_.last_row, cells_.last_column});
        }
        SetResult(result, Variant::String(std::move(text)));
        return DispatchStatus::kOk;
      }
      case member::kApplication:
        SetResult(result, Variant::Object(workbook_->application()));
        return DispatchStatus::kOk;
      default:
        break;
    }
    return DispatchStatus::kMemberNotFound;
  }

 private:
  std::shared_ptr<Workbook> workbook_;
  std::shared_ptr<SheetModel> sheet_;
  CellRange cells_;
  Shape shape_;
};

class SheetObject : public Dispatch {
 public:
  SheetObject(std::shared_ptr<Workbook> workbook, std::shared_ptr<SheetModel> sheet)
      : workbook_(std::move(workbook)), sheet_(std::move(sheet)) {}

  const TypeInfo* type_info() const override {
    return chart() ? &ChartType() : &WorksheetType();
  }

  DispatchStatus Invoke(MemberId member, InvokeKind kind,
                        std::span<const Variant> args, Variant* result,
                        ExceptionInfo* exception) override {
    if (!Connected(*workbook_)) return DispatchStatus::kDisconnected;
    const bool get = kind == InvokeKind::kPropertyGet;
    switch (member) {
      case member::kActivate: {
        if (kind != InvokeKind::kMethod) break;
        const auto application = workbook_->application();
        if (application->active_workbook() != workbook_) {
          return Fail(exception, reasons::kWorkbookInactive);
        }
        application->ActivateSheet(workbook_, sheet_);
        return DispatchStatus::kOk;
      }
      case member::kName:
        if (!get) break;
        SetResult(result, Variant::String(sheet_->name));
        return DispatchStatus::kOk;
      case member::kApplication:
        if (!get) break;
        SetResult(result, Variant::Object(workbook_->application()));
        return DispatchStatus::kOk;
      case member::kRange:
        if (!get || chart()) break;
        return Range(args, result, exception);
      case member::kUsedRange: {
        if (!get || chart()) break;
        const auto used = sheet_->data.UsedRange();
        if (!used) return DispatchStatus::kMemberNotFound;
        SetResult(result, Variant::Object(std::make_shared<RangeObject>(
                              workbook_, sheet_, *used, RangeObject::Shape::kCells)));
        return DispatchStatus::kOk;
      }
      default:
        break;
    }
    return DispatchStatus::kMemberNotFound;
  }

 private:
  bool chart() const { return sheet_->data.type() == SheetData::Type::kChart; }

  DispatchStatus Range(std::span<const Variant> args, Variant* result,
                       ExceptionInfo* exception) {
    if (args.empty() || args.size() > 2) return DispatchStatus::kBadParamCount;
    auto cells = ParseReference(args[0]);
    if (cells && args.size() == 2 && !args[1].is_missing()) {
      const auto second = ParseReference(args[1]);
      cells = second ? std::optional(Bounding(*cells, *second)) : std::nullopt;
    }
    if (!cells) return Fail(exception, reasons::kBadAddress);
    SetResult(result, Variant::Object(std::make_shared<RangeObject>(
                          workbook_, sheet_, *cells, RangeObject::Shape::kCells)));
    return DispatchStatus::kOk;
  }

  std::shared_ptr<Workbook> workbook_;
  std::shared_ptr<SheetModel> sheet_;
};

}  // namespace

std::shared_ptr<Dispatch> MakeSheet(std::shared_ptr<Workbook> workbook,
                                    std::shared_ptr<SheetModel> sheet) {
  if (!sheet) return nullptr;
  return std::make_shared<SheetObject>(std::move(workbook), std::move(sheet));
}

}  // namespace vellumark::sheets::engine
