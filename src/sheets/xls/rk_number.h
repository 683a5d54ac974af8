#pragma once

// RK: a number packed into 32 bits, either a 30-bit signed integer or the
// top 30 bits of a double, optionally to be divided by 100.

#include <bit>
#include <cstdint>

namespace vellumark::sheets::xls {

inline double DecodeRk(std::uint32_t rk) {
  const bool divided_by_100 = (rk & 0x01) != 0;
  const bool integer = (rk & 0x02) != 0;
  double value = 0;
  if (integer) {
    // Arithmetic shift keeps the sign of the 30-bit integer.
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    value = std::bit_cast<double>(std::uint64_t{rk & 0xFFFFFFFCu} << 32);
  }
  return divided_by_100 ? value / 100 : value;
}

}  // namespace vellumark::sheets::xls
