#include "sheets/date_formats.h"

#include <cctype>

namespace vellumark::sheets {
namespace {

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool IsDateToken(char c) {
  const char lower = Lower(c);
  return lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' ||
         lower == 's';
}

// "[h]", "[mm]", "[ss]": elapsed time, not a colour or a locale.
bool IsElapsedTime(std::string_view inside) {
  if (inside.empty()) return false;
  const char first = Lower(inside[0]);
  if (first != 'h' && first != 'm' && first != 's') return false;
  for (const char c : inside) {
    if (Lower(c) != first) return false;
  }
  return true;
}

}  // namespace

bool IsBuiltInDateFormat(unsigned id) {
  return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) ||
         (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

bool IsDateFormatCode(std::string_view code) {
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    switch (c) {
      case ';':
        return false;  // only the first section decides
      case '"': {
        const std::size_t close = code.find('"', i + 1);
        if (close == std::string_view::npos) return false;
        i = close;
        break;
      }
      case '\\':
      case '_':
      case '*':
        ++i;  // the next character is shown, padded or repeated
        break;
      case '[': {
        const std::size_t close = code.find(']', i + 1);
        if (close == std::string_view::npos) return false;
        if (IsElapsedTime(code.substr(i + 1, close - i - 1))) return true;
        i = close;
        break;
      }
      default:
        if (IsDateToken(c)) return true;
    }
  }
  return false;
}

}  // namespace vellumark::sheets
