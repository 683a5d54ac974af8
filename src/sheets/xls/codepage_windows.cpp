// Windows: the system converts any installed code page.

#include <windows.h>

#include <string>

#include "sheets/xls/codepage.h"

namespace vellumark::sheets::xls {

struct CodePageDecoder::Platform {
  UINT code_page = kDefaultCodePage;
};

CodePageDecoder::CodePageDecoder(std::uint16_t code_page)
    : platform_(std::make_unique<Platform>()) {
  const UINT wanted = code_page == 32769   ? 1252
                      : code_page == 32768 ? 10000
                                           : code_page;
  platform_->code_page = IsValidCodePage(wanted) ? wanted : kDefaultCodePage;
}

CodePageDecoder::~CodePageDecoder() = default;

std::string CodePageDecoder::ToUtf8(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int in_length = static_cast<int>(bytes.size());
  const int wide_length = MultiByteToWideChar(
      platform_->code_page, 0, bytes.data(), in_length, nullptr, 0);
  if (wide_length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(platform_->code_page, 0, bytes.data(), in_length,
                      wide.data(), wide_length);
  const int utf8_length = WideCharToMultiByte(
      CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (utf8_length <= 0) return {};
  std::string utf8(static_cast<std::size_t>(utf8_length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, utf8.data(),
                      utf8_length, nullptr, nullptr);
  return utf8;
}

}  // namespace vellumark::sheets::xls
