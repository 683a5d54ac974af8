#pragma once

// Texts are byte strings in the system's multibyte encoding (UTF-8 on
// Linux); every length and cut here counts bytes, never characters.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace vellumark {

// An absent text (no value) and an empty one are told apart where a caller
// can observe the difference; everywhere else both read as "".
using Text = std::optional<std::string>;

// The bytes of a text; an absent one reads as empty.
inline std::string_view TextView(const Text& text) {
  return text ? std::string_view(*text) : std::string_view();
}

// Appends the UTF-8 bytes of one Unicode code point.
void AppendUtf8(std::string& out, char32_t code);

// Signed decimal, no leading zeros, no grouping ("%d").
std::string TextOfInteger(std::int32_t value);

// The parts in order; always a value, even when every part is empty.
std::string JoinTexts(std::initializer_list<std::string_view> parts);

// The last `count` bytes of `text`; absent when that is nothing. Cuts bytes:
// the result may begin inside a multibyte character.
Text RightBytes(std::string_view text, std::int32_t count);

}  // namespace vellumark
