#include "ui/fatal_error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "app/fatal_error.h"

namespace vellumark {
namespace {

void ShowFatalErrorBox(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s", caption.c_str(), text.c_str());
  if (qApp != nullptr) {
    QMessageBox::critical(nullptr, QString::fromStdString(caption),
                          QString::fromStdString(text));
  }
}

}  // namespace

void InstallFatalErrorBox() { SetFatalErrorPresenter(ShowFatalErrorBox); }

}  // namespace vellumark
