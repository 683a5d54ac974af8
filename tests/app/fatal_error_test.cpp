#include "app/fatal_error.h"

#include <gtest/gtest.h>

#include <string>

namespace vellumark {
namespace {

TEST(FatalErrorText, HasTheFixedOpeningThenCodeAndMessage) {
  const struct {
    const char* message;
    int code;
    const char* text;
  } cases[] = {
      {"", 0, "运行时出错!\r\n\r\n"},
      {"载入启动窗口失败", 0,
       "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"},
      {"", 7, "运行时出错!\r\n\r\n错误代码：7\r\n\r\n"},
      {"载入窗口模板数据段出错!", -3,
       "运行时出错!\r\n\r\n错误代码：-3\r\n\r\n"
       "错误信息：载入窗口模板数据段出错!\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FatalErrorText(c.message, c.code), c.text) << c.message;
  }
}

TEST(FatalErrorDeathTest, ShowsTheTextAndExitsWith255) {
  EXPECT_EXIT(FatalError(kStartWindowFailed), ::testing::ExitedWithCode(255),
              "错误: 运行时出错!.*错误信息：载入启动窗口失败");
}

TEST(FatalErrorDeathTest, ExhaustedMemoryNamesTheBytesAskedFor) {
  EXPECT_EQ(OutOfMemoryMessage(600), "分配 600 字节内存失败!");
  EXPECT_EXIT(
      {
        RouteOutOfMemoryToFatalError();
        std::string huge;
        huge.reserve((std::size_t{1} << 46));  // asks for 2^46 + 1 bytes
      },
      ::testing::ExitedWithCode(255),
      "错误信息：分配 70368744177665 字节内存失败!");
}

}  // namespace
}  // namespace vellumark
