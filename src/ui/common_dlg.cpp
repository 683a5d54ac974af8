#include "ui/common_dlg.h"

#include <QFileDialog>
#include <QWidget>

namespace vellumark {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> ShowFileDialog(QWidget* owner,
                                          const CommonDlg::Request& request) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);  // the file must exist
  dialog.setDirectory(FromUtf8(request.initial_directory));
  dialog.setNameFilters(request.name_filters);
  if (request.selected_filter < request.name_filters.size()) {
    dialog.selectNameFilter(request.name_filters.at(request.selected_filter));
  }
  if (!request.file_name.empty())
    dialog.selectFile(FromUtf8(request.file_name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace

QStringList QtNameFilters(std::string_view filter) {
  const QStringList parts =
      FromUtf8(filter).split(QLatin1Char('|'), Qt::KeepEmptyParts);
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty() && parts[i + 1].isEmpty()) break;  // the "||" end
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return filters;
}

CommonDlg::CommonDlg(QObject* parent) : QObject(parent) {}

CommonDlg::Request CommonDlg::MakeRequest() const {
  Request request;
  request.initial_directory = initial_directory;
  request.file_name = file_name;
  request.name_filters = QtNameFilters(filter);
  request.selected_filter = initial_filter < 0 ? 0 : initial_filter;
  return request;
}

bool CommonDlg::ShowDialog(QWidget* owner) {
  const Request request = MakeRequest();
  const std::optional<std::string> chosen =
      chooser_ ? chooser_(request) : ShowFileDialog(owner, request);
  if (!chosen || chosen->empty()) return false;
  file_name = *chosen;
  return true;
}

}  // namespace vellumark
