#pragma once

// A1-style cell addresses within the sheet limits.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellumark::sheets {

struct CellAddress {
  std::uint32_t row = 1;
  std::uint32_t column = 1;
};

// "B7"; with `allow_dollar` also "$B$7", "B$7". Letters in any case. Gives
// nullopt for anything else or a cell beyond the limits.
std::optional<CellAddress> ParseCellAddress(std::string_view text,
                                            bool allow_dollar);

// "AB12".
std::string CellAddressText(CellAddress address);

}  // namespace vellumark::sheets
