// POSIX: glibc's iconv knows the Windows code pages by their CP names.

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "sheets/xls/codepage.h"
#include "sheets/xls/utf8_builder.h"

namespace vellumark::sheets::xls {
namespace {

std::string IconvName(std::uint16_t code_page) {
  switch (code_page) {
    case 367:
      return "ASCII";
    case 1200:
      return "UTF-16LE";
    case 10000:
    case 32768:
      return "MACINTOSH";
    case 32769:
      return "CP1252";
    default:
      return "CP" + std::to_string(code_page);
  }
}

const iconv_t kNoConverter =
    reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));

}  // namespace

struct CodePageDecoder::Platform {
  iconv_t converter = kNoConverter;
};

CodePageDecoder::CodePageDecoder(std::uint16_t code_page)
    : platform_(std::make_unique<Platform>()) {
  platform_->converter = iconv_open("UTF-8", IconvName(code_page).c_str());
  if (platform_->converter == kNoConverter) {
    platform_->converter = iconv_open("UTF-8", "CP1252");
  }
}

CodePageDecoder::~CodePageDecoder() {
  if (platform_->converter != kNoConverter) iconv_close(platform_->converter);
}

std::string CodePageDecoder::ToUtf8(std::string_view bytes) {
  bool ascii = true;
  for (const char c : bytes) {
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  }
  if (ascii) return std::string(bytes);
  if (platform_->converter == kNoConverter) {
    // No converter at all: keep ASCII, mark the rest.
    Utf8Builder text;
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      text.PushUnit(byte < 0x80 ? byte : 0xFFFD);
    }
    return text.Finish();
  }
  iconv(platform_->converter, nullptr, nullptr, nullptr, nullptr);
  std::string out;
  // UTF-8 takes at most three bytes for each byte of a code page that
  // maps single bytes to the Basic Multilingual Plane, and four for two.
  out.resize(bytes.size() * 3 + 4);
  char* in_at = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  char* out_at = out.data();
  std::size_t out_left = out.size();
  while (in_left > 0) {
    const std::size_t done =
        iconv(platform_->converter, &in_at, &in_left, &out_at, &out_left);
    if (done != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      const std::size_t used = out.size() - out_left;
      out.resize(out.size() * 2);
      out_at = out.data() + used;
      out_left = out.size() - used;
      continue;
    }
    // An unmapped or cut-off byte: one replacement character, then on.
    if (out_left < 3) {
      const std::size_t used = out.size() - out_left;
      out.resize(out.size() + 16);
      out_at = out.data() + used;
      out_left = out.size() - used;
    }
    static constexpr char kReplacement[] = "\xEF\xBF\xBD";
    for (int i = 0; i < 3; ++i) *out_at++ = kReplacement[i];
    out_left -= 3;
    ++in_at;
    --in_left;
    iconv(platform_->converter, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace vellumark::sheets::xls
