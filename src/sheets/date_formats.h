#pragma once

// Tells date and time number formats from the others, so a cell's serial
// number is shown as a date when its format says so. Both readers use it.

#include <cstdint>
#include <string_view>

namespace vellumark::sheets {

// The built-in format ids that show dates or times, the East-Asian ones
// included.
bool IsBuiltInDateFormat(unsigned id);

// A format code whose first section holds a date or time token (y, m, d,
// h, s, or an elapsed [h], [m], [s]) outside quotes, escapes and brackets.
bool IsDateFormatCode(std::string_view code);

}  // namespace vellumark::sheets
