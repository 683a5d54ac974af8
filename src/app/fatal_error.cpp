#include "app/fatal_error.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "common/out_of_memory.h"

namespace vellumark {
namespace {

std::atomic<FatalErrorPresenter> installed_presenter{nullptr};

void PrintToStandardError(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s", caption.c_str(), text.c_str());
  std::fflush(stderr);
}

void FatalOutOfMemory(std::size_t bytes) {
  FatalError(OutOfMemoryMessage(bytes));
}

}  // namespace

std::string FatalErrorText(std::string_view message, int code) {
  std::string text = "运行时出错!\r\n\r\n";
  if (code != 0) {
    text += "错误代码：";
    text += std::to_string(code);
    text += "\r\n\r\n";
  }
  if (!message.empty()) {
    text += "错误信息：";
    text += message;
    text += "\r\n";
  }
  return text;
}

std::string OutOfMemoryMessage(std::size_t bytes) {
  std::string message = "分配 ";
  message.append(std::to_string(bytes)).append(" 字节内存失败!");
  return message;
}

void SetFatalErrorPresenter(FatalErrorPresenter presenter) {
  installed_presenter.store(presenter);
}

void FatalError(std::string_view message, int code) {
  const FatalErrorPresenter presenter = installed_presenter.load();
  const std::string text = FatalErrorText(message, code);
  (presenter ? presenter : PrintToStandardError)(std::string(kFatalCaption),
                                                 text);
  std::_Exit(kFatalExitCode);
}

void RouteOutOfMemoryToFatalError() { SetOutOfMemoryHandler(FatalOutOfMemory); }

}  // namespace vellumark
