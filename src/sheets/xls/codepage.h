#pragma once

// BIFF5 and BIFF7 store text in the workbook's code page (its CODEPAGE
// record, e.g. 936 for simplified Chinese). One implementation per platform
// converts it to UTF-8; bytes the code page does not map become U+FFFD.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vellumark::sheets::xls {

// Code page 1252 is what a workbook without a CODEPAGE record uses.
inline constexpr std::uint16_t kDefaultCodePage = 1252;

class CodePageDecoder {
 public:
  explicit CodePageDecoder(std::uint16_t code_page);
  ~CodePageDecoder();
  CodePageDecoder(const CodePageDecoder&) = delete;
  CodePageDecoder& operator=(const CodePageDecoder&) = delete;

  std::string ToUtf8(std::string_view bytes);

 private:
  struct Platform;
  std::unique_ptr<Platform> platform_;
};

}  // namespace vellumark::sheets::xls
