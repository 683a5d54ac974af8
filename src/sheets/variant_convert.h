#pragma once

// The conversions a by-name read asks for: a variant to an object, a number
// or a text, as the automation layer performs them in the zh-CN locale with
// "." as decimal separator. Each gives nullopt where the conversion is
// refused (an error value, a null, a text that is no number, ...).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "sheets/variant.h"

namespace vellumark::sheets {

// An object converts to itself; empty converts to no object (a null
// pointer, not a refusal); everything else is refused.
std::optional<std::shared_ptr<Dispatch>> ChangeToObject(const Variant& value);

std::optional<double> ChangeToNumber(const Variant& value);

std::optional<std::string> ChangeToText(const Variant& value);

// At most 15 significant digits, no grouping, no trailing zeros; the
// exponent form (1E+15, 5.6789E-12) only where the plain form would need
// more than 15 integer digits or more than 15 decimals. -0 gives "0".
// Refuses infinities and NaN.
std::optional<std::string> FormatNumber(double value);

// yyyy/M/d, then " H:mm:ss" when there is a time; the time alone when the
// day part is 0. `serial` is an automation date (days since 1899-12-30).
std::optional<std::string> FormatDate(double serial);

// The decimal digits of a currency amount given in ten-thousandths.
std::string FormatCurrency(std::int64_t ten_thousandths);

// A text the way the automation layer reads it as a number: optional
// blanks, sign, digits with an optional "." and exponent.
std::optional<double> ParseNumber(std::string_view text);

}  // namespace vellumark::sheets
