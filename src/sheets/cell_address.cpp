#include "sheets/cell_address.h"

#include "sheets/workbook_data.h"

namespace vellumark::sheets {

std::optional<CellAddress> ParseCellAddress(std::string_view text,
                                            bool allow_dollar) {
  std::size_t at = 0;
  const auto skip_dollar = [&] {
    if (allow_dollar && at < text.size() && text[at] == '$') ++at;
  };
  skip_dollar();
  std::uint32_t column = 0;
  std::size_t letters = 0;
  for (; at < text.size(); ++at, ++letters) {
    char c = text[at];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    if (letters == 3) return std::nullopt;
    column = column * 26 + static_cast<std::uint32_t>(c - 'A' + 1);
  }
  if (letters == 0 || column > kMaxColumns) return std::nullopt;
  skip_dollar();
  std::uint32_t row = 0;
  std::size_t digits = 0;
  for (; at < text.size(); ++at, ++digits) {
    const char c = text[at];
    if (c < '0' || c > '9') return std::nullopt;
    if (digits == 7) return std::nullopt;
    row = row * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (digits == 0 || row == 0 || row > kMaxRows) return std::nullopt;
  return CellAddress{row, column};
}

std::string CellAddressText(CellAddress address) {
  std::string letters;
  for (std::uint32_t n = address.column; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters + std::to_string(address.row);
}

}  // namespace vellumark::sheets
