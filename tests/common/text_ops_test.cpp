#include "common/text_ops.h"

#include <gtest/gtest.h>

#include <limits>

namespace vellumark {
namespace {

TEST(TextOfInteger, FormatsLikePercentD) {
  const struct {
    std::int32_t value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {-5, "-5"},
      {12, "12"},
      {std::numeric_limits<std::int32_t>::max(), "2147483647"},
      {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextOfInteger(c.value), c.text);
}

TEST(JoinTexts, ConcatenatesInOrderWithNothingBetween) {
  EXPECT_EQ(JoinTexts({"A", "12"}), "A12");
  EXPECT_EQ(JoinTexts({"/srv/shop", "/", "1001", ".png"}),
            "/srv/shop/1001.png");
  EXPECT_EQ(JoinTexts({"", "", ""}), "");
  EXPECT_EQ(JoinTexts({"图片", "", "一"}), "图片一");
}

TEST(RightBytes, TakesTheLastBytes) {
  const struct {
    const char* text;
    std::int32_t count;
    Text expected;
  } cases[] = {
      {"abcdef", 4, "cdef"},
      {"abc", 4, "abc"},
      {"abc", 3, "abc"},
      {"abc", 0, std::nullopt},
      {"abc", -1, std::nullopt},
      {"", 4, std::nullopt},
      {"http://x/a.png", 4, ".png"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RightBytes(c.text, c.count), c.expected)
        << c.text << " / " << c.count;
  }
}

TEST(RightBytes, CutsBytesNotCharacters) {
  // "图" is three bytes in UTF-8 (E5 9B BE); four bytes from the end of
  // "a图x" start with its second byte.
  const std::string text = "a\xE5\x9B\xBEx";
  const Text cut = RightBytes(text, 3);
  ASSERT_TRUE(cut.has_value());
  EXPECT_EQ(*cut, "\x9B\xBEx");
  EXPECT_EQ(RightBytes("ab图", 2), "\x9B\xBE");
}

TEST(AppendUtf8, EncodesEachLengthClass) {
  const struct {
    char32_t code;
    const char* bytes;
  } cases[] = {
      {U'A', "A"},
      {U'\u00E9', "\xC3\xA9"},
      {U'\u56FE', "\xE5\x9B\xBE"},  // 图
      {U'\U0001F600', "\xF0\x9F\x98\x80"},
  };
  std::string all;
  for (const auto& c : cases) {
    std::string one;
    AppendUtf8(one, c.code);
    EXPECT_EQ(one, c.bytes);
    AppendUtf8(all, c.code);
  }
  EXPECT_EQ(all, "A\xC3\xA9\xE5\x9B\xBE\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace vellumark
