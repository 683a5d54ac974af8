#include "ui/main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "common/program_directory.h"
#include "import/excel_app.h"
#include "import/excel_workbooks.h"
#include "import/import_loop.h"
#include "ui/common_dlg.h"
#include "ui/item_list.h"
#include "ui/list_download.h"
#include "ui/load_window.h"
#include "ui/program_icon.h"
#include "ui/window_frame.h"

namespace vellumark {
namespace {

constexpr char kCaption[] = "Vellumark  Quorreth  https://vellumark.example";
constexpr char kWorkbookFilter[] =
    "excel文件（*.xlsx）|*.xlsx|03excel文件（*.xls）|*.xls";

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text,
                        QRect geometry) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(QString::fromUtf8(name));
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

MainWindow::MainWindow(ProgramState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      state_(state) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QString::fromUtf8(kCaption));
  setWindowIcon(ProgramIcon());
  setBackgroundRole(QPalette::Window);
  setAutoFillBackground(true);
  setFixedSize(ClassicClientSize(kOuterSize));
  CreateComponents();
  BindKeys();
}

MainWindow::~MainWindow() = default;

// In the order the components are stored, which is also the Tab order.
void MainWindow::CreateComponents() {
  instructions_button_ =
      MakeButton(this, "按钮3", "说明", QRect(339, 72, 64, 24));
  download_button_ = MakeButton(this, "按钮2", "下载", QRect(338, 40, 64, 24));

  edit_box_ = new QLineEdit(this);
  edit_box_->setObjectName(QString::fromUtf8("编辑框1"));
  edit_box_->setGeometry(8, 8, 328, 24);

  list_ = new ItemList({{QString::fromUtf8("宝贝ID"), 50},
                        {QString::fromUtf8("透明图链接"), 100},
                        {QString::fromUtf8("状态"), 150}},
                       this);
  list_->setObjectName(QString::fromUtf8("超级列表框1"));
  list_->setGeometry(8, 41, 328, 213);

  excel_workbooks_ = std::make_unique<import::ExcelWorkbooks>();
  excel_app_ = std::make_unique<import::ExcelApp>();

  import_button_ = MakeButton(this, "按钮1", "导入表格", QRect(338, 9, 64, 24));

  dialog_ = new CommonDlg(this);
  dialog_->setObjectName(QString::fromUtf8("通用对话框1"));
  dialog_->filter = kWorkbookFilter;
  dialog_->initial_filter = 0;

  status_text_ = new QLabel(this);
  status_text_->setObjectName(QString::fromUtf8("状态文本"));
  status_text_->setGeometry(338, 104, 66, 150);
  status_text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  status_text_->setWordWrap(true);

  download_ =
      new ListDownload(*this, *list_, *import_button_, *download_button_);

  connect(import_button_, &QPushButton::clicked, this,
          &MainWindow::ImportSheet);
  connect(download_button_, &QPushButton::clicked, this,
          &MainWindow::DownloadAll);
  connect(instructions_button_, &QPushButton::clicked, this,
          &MainWindow::ShowInstructions);
}

void MainWindow::BindKeys() {
  // Esc closes the window from any component, as its close box does.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void MainWindow::ShowCentred() {
  MoveCentred(this, kOuterSize);
  show();
  FitOuterSizeOnceFramed(this, kOuterSize);
}

void MainWindow::WriteEditBox(const Text& text) {
  const std::string_view bytes = TextView(text);
  edit_box_->setText(
      QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void MainWindow::SetStatusText(std::string_view text) {
  status_text_->setText(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void MainWindow::ImportSheet() {
  dialog_->kind = 0;
  dialog_->initial_directory = std::string(TextView(ProgramDirectory()));
  if (!dialog_->ShowDialog(this)) return;
  WriteEditBox(dialog_->file_name);

  const ImportResult result =
      RunImport(dialog_->file_name, *excel_app_, *excel_workbooks_, state_,
                [this](const Text& id, const Text& address) {
                  const std::int32_t row = list_->InsertItem();
                  list_->SetItemText(row, 0, TextView(id));
                  list_->SetItemText(row, 1, TextView(address));
                  return row;
                });
  SetStatusText(result.ok()
                    ? JoinTexts({"已导入 ", TextOfInteger(result.rows), " 行"})
                    : JoinTexts({"未导入：", result.refusal}));
}

// Saves the picture of every row shown, off the UI thread; a second click
// while it runs ("停止") cancels.
void MainWindow::DownloadAll() { download_->StartOrCancel(); }

void MainWindow::SetDownloadFolder(std::string folder) {
  download_->SetFolder(std::move(folder));
}

void MainWindow::SetDownloadOptions(const DownloadOptions& options) {
  download_->SetOptions(options);
}

bool MainWindow::DownloadRunning() const { return download_->running(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  download_->CancelAndWait();
  QWidget::closeEvent(event);
}

// Returns only once the instructions window has been closed.
void MainWindow::ShowInstructions() {
  LoadWindow(WindowTemplate::kInstructions, this, true);
}

}  // namespace vellumark
