#pragma once

// Small text rules of the workbook format.

#include <optional>
#include <string>
#include <string_view>

namespace vellumark::sheets::xlsx {

// Decodes the _xHHHH_ escapes the format uses for characters XML cannot
// carry (and _x005F_ for a literal underscore) into UTF-8.
std::string DecodeEscapes(std::string_view text);

// An ISO 8601 date, date-time or time (a t="d" cell) as a serial day
// number in the 1900 date system; nullopt when it is none.
std::optional<double> SerialFromIsoDate(std::string_view text);

}  // namespace vellumark::sheets::xlsx
