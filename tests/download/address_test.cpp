#include "download/address.h"

#include <gtest/gtest.h>

#include "download/target_name.h"

namespace vellumark {
namespace {

TEST(EncodeAddress, EncodesLikeABrowserAndDropsTheFragment) {
  const struct {
    const char* address;
    const char* sent;
  } cases[] = {
      {"http://h/a.png", "http://h/a.png"},
      {"http://h/a b.png", "http://h/a%20b.png"},
      {"http://h/图/a.png", "http://h/%E5%9B%BE/a.png"},
      {"http://h/a.png?q=x y&r=\"<>\"",
       "http://h/a.png?q=x%20y&r=%22%3C%3E%22"},
      {"http://h/a%20b.png", "http://h/a%20b.png"},  // not encoded twice
      {"http://h/a.png#part two", "http://h/a.png"},
      {"http://h/a.png#", "http://h/a.png"},
      {"  http://h/a.png \t", "http://h/a.png"},
      {"http://user:pw@h:81/a.png", "http://user:pw@h:81/a.png"},
      {"http://us er:p\xC3\xA4@h/a.png", "http://us%20er:p%C3%A4@h/a.png"},
      {"http://h/a@b.png", "http://h/a@b.png"},
      {"http://h", "http://h"},
      {"http://h?x=1", "http://h?x=1"},
      {"http://h/{a}`b`\x7f", "http://h/%7Ba%7D%60b%60%7F"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeAddress(c.address), c.sent) << c.address;
  }
}

TEST(FileEnding, IsTheLastFourBytesBeforeQueryAndFragment) {
  const struct {
    const char* address;
    const char* ending;
  } cases[] = {
      {"http://h/a.png", ".png"},
      {"http://h/a.jpeg", "jpeg"},
      {"http://h/a.png?x=1", ".png"},
      {"http://h/a.png#top", ".png"},
      {"http://h/a.gif?x=1#y", ".gif"},
      {"abc", "abc"},
      {"", ""},
      {"http://h/\xE5\x9B\xBE", "/\xE5\x9B\xBE"},
      {"http://h/a\xE5\x9B\xBE", "a\xE5\x9B\xBE"},
      {"http://h/ab\xE5\x9B\xBE", "b\xE5\x9B\xBE"},
      {"http://h/abc\xE5\x9B\xBE", "c\xE5\x9B\xBE"},
      {"http://h/\xE5\x9B\xBE\xE5\x9B\xBE",
       "\xBE\xE5\x9B\xBE"},  // cut in a character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileEnding(c.address), c.ending) << c.address;
  }
}

TEST(TargetFileName, JoinsIdAndEndingOrRefusesUnsafeNames) {
  const struct {
    const char* id;
    const char* address;
    const char* name;  // nullptr: refused
  } cases[] = {
      {"1001", "http://h/a.png", "1001.png"},
      {"1001", "http://h/a.jpeg", "1001jpeg"},
      {"1001", "http://h/a.png?x=1", "1001.png"},
      {"", "http://h/a.png", ".png"},
      {"宝贝 7", "http://h/a.png", "宝贝 7.png"},
      {"../x", "http://h/a.png", nullptr},
      {"a/b", "http://h/a.png", nullptr},
      {"a\\b", "http://h/a.png", nullptr},
      {"..", "http://h/a.png", "...png"},
      {"1001", "http://h/ab?x=1", nullptr},  // the ending "h/ab" holds a "/"
      {"a:b", "http://h/a.png", nullptr},
      {"a*", "http://h/a.png", nullptr},
      {"a|b", "http://h/a.png", nullptr},
      {"a\"b", "http://h/a.png", nullptr},
      {"<a>", "http://h/a.png", nullptr},
      {"tab\t", "http://h/a.png", nullptr},
      {"nl\n", "http://h/a.png", nullptr},
      {".", "", nullptr},
      {"..", "", nullptr},
      {"", "", nullptr},
      {"1001", "http://h/", nullptr},
  };
  for (const auto& c : cases) {
    Result<std::string> name = TargetFileName(c.id, c.address);
    if (c.name == nullptr) {
      EXPECT_FALSE(name.ok()) << c.id << " " << c.address;
      if (!name.ok()) {
        EXPECT_EQ(name.reason(), "文件名无效");
      }
    } else {
      ASSERT_TRUE(name.ok()) << c.id << " " << c.address;
      EXPECT_EQ(*name, c.name);
    }
  }
}

TEST(TargetPath, PutsOneSlashBetweenFolderAndName) {
  EXPECT_EQ(*TargetPath("/srv/pics", "1001", "http://h/a.png"),
            "/srv/pics/1001.png");
  EXPECT_EQ(*TargetPath("", "1001", "http://h/a.png"), "/1001.png");
  EXPECT_FALSE(TargetPath("/srv/pics", "../1001", "http://h/a.png").ok());
}

}  // namespace
}  // namespace vellumark
