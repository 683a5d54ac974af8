#include "sheets/xlsx/xlsx_text.h"

#include <charconv>
#include <cstdint>

#include "common/text_ops.h"

namespace vellumark::sheets::xlsx {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The code unit of an escape at `at`, or -1.
int EscapeAt(std::string_view text, std::size_t at) {
  if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' ||
      text[at + 6] != '_') {
    return -1;
  }
  int value = 0;
  for (std::size_t i = at + 2; i < at + 6; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool ReadNumber(std::string_view& text, std::size_t digits, int* out) {
  if (text.size() < digits) return false;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + digits, *out);
  if (error != std::errc() || end != text.data() + digits) return false;
  text.remove_prefix(digits);
  return true;
}

bool Expect(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::string DecodeEscapes(std::string_view text) {
  if (text.find("_x") == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const int unit = EscapeAt(text, at);
    if (unit < 0) {
      out.push_back(text[at++]);
      continue;
    }
    at += 7;
    std::uint32_t code = static_cast<std::uint32_t>(unit);
    if (code >= 0xD800 && code <= 0xDBFF) {
      const int low = EscapeAt(text, at);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) +
               (static_cast<std::uint32_t>(low) - 0xDC00);
        at += 7;
      } else {
        code = 0xFFFD;
      }
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    AppendUtf8(out, code);
  }
  return out;
}

std::optional<double> SerialFromIsoDate(std::string_view text) {
  double days = 0;
  if (!text.empty() && text.front() != 'T') {
    int year = 0;
    int month = 0;
    int day = 0;
    if (!ReadNumber(text, 4, &year) || !Expect(text, '-') ||
        !ReadNumber(text, 2, &month) || !Expect(text, '-') ||
        !ReadNumber(text, 2, &day) || month < 1 || month > 12 || day < 1 ||
        day > 31) {
      return std::nullopt;
    }
    // Serial day numbers count from 1899-12-30 for dates from 1900-03-01;
    // earlier ones sit one lower because of the phantom 1900-02-29.
    days = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                             static_cast<unsigned>(day)) -
                               DaysFromCivil(1899, 12, 30));
    if (days < 61) days -= 1;
    if (text.empty()) return days;
  }
  if (!Expect(text, 'T')) return std::nullopt;
  int hour = 0;
  int minute = 0;
  int second = 0;
  if (!ReadNumber(text, 2, &hour) || !Expect(text, ':') ||
      !ReadNumber(text, 2, &minute) || hour > 24 || minute > 59) {
    return std::nullopt;
  }
  double fraction = 0;
  if (!text.empty() && text.front() == ':') {
    text.remove_prefix(1);
    if (!ReadNumber(text, 2, &second) || second > 60) return std::nullopt;
    if (!text.empty() && text.front() == '.') {
      std::size_t digits = 1;
      while (digits < text.size() && text[digits] >= '0' &&
             text[digits] <= '9') {
        ++digits;
      }
      std::from_chars(text.data(), text.data() + digits, fraction);
      text.remove_prefix(digits);
    }
  }
  // A zone suffix is dropped: cells hold local wall-clock time.
  if (!text.empty() && text != "Z" && text.front() != '+' &&
      text.front() != '-') {
    return std::nullopt;
  }
  return days + (hour * 3600.0 + minute * 60.0 + second + fraction) / 86400.0;
}

}  // namespace vellumark::sheets::xlsx
