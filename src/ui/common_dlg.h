#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace vellumark {

// Turns "name|pattern|name|pattern" into Qt's name filters, one
// "name (pattern)" per pair; several patterns in one pair are joined by ";".
QStringList QtNameFilters(std::string_view filter);

// The open-file dialog component: its settings, and the dialog shown from
// them. The chosen name is kept, so the next use offers it again.
class CommonDlg : public QObject {
 public:
  // What the dialog is asked with; also what a test chooser receives.
  struct Request {
    std::string initial_directory;
    std::string file_name;
    QStringList name_filters;
    int selected_filter = 0;  // index into name_filters
  };
  // Answers a request with a chosen full path, or nothing for cancel.
  using Chooser = std::function<std::optional<std::string>(const Request&)>;

  explicit CommonDlg(QObject* parent = nullptr);

  int kind = 0;  // 0: open a file
  std::string file_name;
  std::string filter;
  int initial_filter = 0;  // counted from 0; negative picks the first
  std::string initial_directory;

  // Test seam: replaces the system dialog.
  void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

  // Modal; true when a file was confirmed, whose full path then is
  // `file_name`. Cancel keeps `file_name` as it was.
  bool ShowDialog(QWidget* owner);

 private:
  Request MakeRequest() const;

  Chooser chooser_;
};

}  // namespace vellumark
