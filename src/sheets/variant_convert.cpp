#include "sheets/variant_convert.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "sheets/dispatch.h"

namespace vellumark::sheets {
namespace {

// Objects are read through their default member; a chain of objects whose
// default values are objects again ends here instead of looping.
constexpr int kMaxDefaultDepth = 8;

// Reads through references, as VariantCopyInd does.
const Variant* Resolve(const Variant& value) {
  const Variant* current = &value;
  for (int hops = 0; current && current->kind() == Variant::Kind::kReference;
       ++hops) {
    if (hops == 4) return nullptr;
    current = current->reference();
  }
  return current;
}

std::optional<Variant> DefaultValue(const Variant& object) {
  if (!object.object()) return std::nullopt;
  Variant result;
  if (object.object()->Invoke(kDefaultMember, InvokeKind::kPropertyGet, {},
                              &result, nullptr) != DispatchStatus::kOk) {
    return std::nullopt;
  }
  return result;
}

std::optional<double> NumberAt(const Variant& input, int depth) {
  const Variant* value = Resolve(input);
  if (!value) return std::nullopt;
  switch (value->kind()) {
    case Variant::Kind::kEmpty:
      return 0.0;
    case Variant::Kind::kBoolean:
      return value->boolean() ? -1.0 : 0.0;
    case Variant::Kind::kInt32:
      return static_cast<double>(value->int32());
    case Variant::Kind::kDouble:
    case Variant::Kind::kDate:
      return value->real();
    case Variant::Kind::kCurrency:
      return static_cast<double>(value->currency()) / 10000.0;
    case Variant::Kind::kString:
      return ParseNumber(value->string());
    case Variant::Kind::kObject: {
      if (depth >= kMaxDefaultDepth) return std::nullopt;
      const auto inner = DefaultValue(*value);
      return inner ? NumberAt(*inner, depth + 1) : std::nullopt;
    }
    case Variant::Kind::kNull:
    case Variant::Kind::kError:
    case Variant::Kind::kReference:
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> TextAt(const Variant& input, int depth) {
  const Variant* value = Resolve(input);
  if (!value) return std::nullopt;
  switch (value->kind()) {
    case Variant::Kind::kEmpty:
      return std::string();
    case Variant::Kind::kBoolean:
      return std::string(value->boolean() ? "-1" : "0");
    case Variant::Kind::kInt32:
      return std::to_string(value->int32());
    case Variant::Kind::kDouble:
      return FormatNumber(value->real());
    case Variant::Kind::kDate:
      return FormatDate(value->real());
    case Variant::Kind::kCurrency:
      return FormatCurrency(value->currency());
    case Variant::Kind::kString:
      return value->string();
    case Variant::Kind::kObject: {
      if (depth >= kMaxDefaultDepth) return std::nullopt;
      const auto inner = DefaultValue(*value);
      return inner ? TextAt(*inner, depth + 1) : std::nullopt;
    }
    case Variant::Kind::kNull:
    case Variant::Kind::kError:
    case Variant::Kind::kReference:
      return std::nullopt;
  }
  return std::nullopt;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t days, std::int64_t* year, int* month,
                   int* day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe =
      (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = yoe + era * 400 + (*month <= 2 ? 1 : 0);
}

// The automation date range: 100/1/1 to 9999/12/31.
constexpr double kFirstDate = -657434.0;
constexpr double kLastDate = 2958466.0;
constexpr std::int64_t kDaysFrom1899To1970 = 25569;

}  // namespace

std::optional<std::shared_ptr<Dispatch>> ChangeToObject(const Variant& input) {
  const Variant* value = Resolve(input);
  if (!value) return std::nullopt;
  if (value->kind() == Variant::Kind::kObject) return value->object();
  if (value->kind() == Variant::Kind::kEmpty) {
    return std::shared_ptr<Dispatch>();
  }
  return std::nullopt;
}

std::optional<double> ChangeToNumber(const Variant& value) {
  return NumberAt(value, 0);
}

std::optional<std::string> ChangeToText(const Variant& value) {
  return TextAt(value, 0);
}

std::optional<std::string> FormatNumber(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  if (value == 0) return std::string("0");
  // 15 significant digits, correctly rounded: d.dddddddddddddde±x.
  char buffer[48];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer,
                                          std::fabs(value),
                                          std::chars_format::scientific, 14);
  if (error != std::errc()) return std::nullopt;
  std::string digits;
  const char* cursor = buffer;
  for (; cursor != end && *cursor != 'e'; ++cursor) {
    if (*cursor != '.') digits.push_back(*cursor);
  }
  int exponent = 0;
  const char* exponent_text = cursor + 1;
  if (exponent_text != end && *exponent_text == '+') ++exponent_text;
  std::from_chars(exponent_text, end, exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int count = static_cast<int>(digits.size());

  std::string text = value < 0 ? "-" : "";
  if (exponent >= 15 || count - 1 - exponent > 15) {
    text += digits[0];
    if (count > 1) text.append(".").append(digits, 1);
    text += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) text += '0';
    text += std::to_string(magnitude);
  } else if (exponent >= 0) {
    if (count <= exponent + 1) {
      text += digits + std::string(exponent + 1 - count, '0');
    } else {
      text.append(digits, 0, exponent + 1).append(".").append(digits, exponent + 1);
    }
  } else {
    text.append("0.").append(-exponent - 1, '0').append(digits);
  }
  return text;
}

std::optional<std::string> FormatDate(double serial) {
  if (!std::isfinite(serial) || serial < kFirstDate || serial >= kLastDate) {
    return std::nullopt;
  }
  std::int64_t days = static_cast<std::int64_t>(std::trunc(serial));
  std::int64_t seconds = std::llround(std::fabs(serial - std::trunc(serial)) *
                                      86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    days += serial < 0 ? -1 : 1;
  }
  std::string text;
  if (days != 0) {
    std::int64_t year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(days - kDaysFrom1899To1970, &year, &month, &day);
    std::string year_text = std::to_string(year);
    if (year_text.size() < 4) {
      year_text.insert(0, 4 - year_text.size(), '0');
    }
    text = year_text + "/" + std::to_string(month) + "/" + std::to_string(day);
    if (seconds == 0) return text;
    text += ' ';
  }
  const auto two = [](std::int64_t n) {
    std::string digits = std::to_string(n);
    if (n < 10) digits.insert(digits.begin(), '0');
    return digits;
  };
  text += std::to_string(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" +
          two(seconds % 60);
  return text;
}

std::string FormatCurrency(std::int64_t ten_thousandths) {
  const bool negative = ten_thousandths < 0;
  // Magnitude as unsigned so the most negative amount does not overflow.
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(ten_thousandths)
               : static_cast<std::uint64_t>(ten_thousandths);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / 10000);
  std::string fraction = std::to_string(magnitude % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text.append(".").append(fraction);
  return text;
}

std::optional<double> ParseNumber(std::string_view text) {
  const auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
  };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Only plain decimal forms; from_chars alone would also take "inf", "nan".
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) ||
                        text[0] == '.')) {
    return std::nullopt;
  }
  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value,
                      std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace vellumark::sheets
