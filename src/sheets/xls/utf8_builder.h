#pragma once

// Collects UTF-16 code units (or single Latin-1 bytes) into UTF-8, pairing
// surrogates even when the two halves arrive from different record parts.

#include <cstdint>
#include <string>

namespace vellumark::sheets::xls {

class Utf8Builder {
 public:
  void PushUnit(std::uint16_t unit);
  // Ends the text: a dangling high surrogate becomes U+FFFD.
  std::string Finish();

 private:
  void PushCodePoint(char32_t code_point);

  std::string text_;
  std::uint16_t pending_high_ = 0;
};

}  // namespace vellumark::sheets::xls
