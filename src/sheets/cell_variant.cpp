#include <cmath>

#include "sheets/engine.h"
#include "sheets/variant_convert.h"

namespace vellumark::sheets {
namespace {

// Serials from 9999-12-31 on have no date; the program shows no date
// before 1900-01-01 in the 1900 system either.
constexpr double kPastLastDay = 2958466.0;

Variant DateVariant(double serial, bool date1904) {
  if (!std::isfinite(serial) || serial < 0) return Variant::Double(serial);
  if (date1904) {
    // Day 0 of the 1904 system is 1904-01-01, 1462 days after 1899-12-31.
    const double automation = serial + 1462;
    return automation < kPastLastDay ? Variant::Date(automation)
                                     : Variant::Double(serial);
  }
  if (serial >= kPastLastDay) return Variant::Double(serial);
  if (serial >= 61 || serial < 1) return Variant::Date(serial);
  if (serial < 60) return Variant::Date(serial + 1);
  // Serial 60 is 1900-02-29, a day the 1900 system counts but the calendar
  // (and the automation date) does not have: give the text the sheet shows.
  std::string text = "1900/2/29";
  const double time = serial - 60;
  if (time > 0) {
    const auto clock = FormatDate(time);
    if (clock && *clock != "0:00:00") text += " " + *clock;
  }
  return Variant::String(std::move(text));
}

}  // namespace

Variant CellVariant(const CellValue* cell, bool date1904) {
  if (!cell) return Variant();
  switch (cell->kind) {
    case CellValue::Kind::kBlank:
      return Variant();
    case CellValue::Kind::kNumber:
      return Variant::Double(cell->number);
    case CellValue::Kind::kDate:
      return DateVariant(cell->number, date1904);
    case CellValue::Kind::kText:
      return Variant::String(cell->text);
    case CellValue::Kind::kBoolean:
      return Variant::Boolean(cell->number != 0);
    case CellValue::Kind::kError:
      // As the program hands error values out: 0x800A0000 | code.
      return Variant::Error(static_cast<std::int32_t>(
          0x800A0000u | static_cast<std::uint32_t>(cell->number)));
  }
  return Variant();
}

}  // namespace vellumark::sheets
