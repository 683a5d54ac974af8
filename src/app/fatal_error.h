#pragma once

#include <string>
#include <string_view>

namespace vellumark {

inline constexpr std::string_view kFatalCaption = "错误";
inline constexpr std::string_view kTemplatesUnreadable =
    "载入窗口模板数据段出错!";
inline constexpr std::string_view kStartWindowFailed = "载入启动窗口失败";
inline constexpr int kFatalExitCode = 255;  // -1 as a POSIX exit status

// The text of the fatal error box: the fixed opening, the code when not 0,
// the message when not empty.
std::string FatalErrorText(std::string_view message, int code);

// "分配 N 字节内存失败!" for a block of `bytes`.
std::string OutOfMemoryMessage(std::size_t bytes);

// Shows the box; installed by the window layer once a QApplication exists.
// Without one the text goes to standard error.
using FatalErrorPresenter = void (*)(const std::string& caption,
                                     const std::string& text);
void SetFatalErrorPresenter(FatalErrorPresenter presenter);

// Shows the error and ends the process at once with kFatalExitCode, without
// running the exit routines.
[[noreturn]] void FatalError(std::string_view message, int code = 0);

// Routes exhausted memory anywhere to FatalError with OutOfMemoryMessage.
void RouteOutOfMemoryToFatalError();

}  // namespace vellumark
