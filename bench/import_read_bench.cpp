// Opens a generated 200,000-row workbook through the two components and
// reads every A and B cell the way the import does: one range fetch and one
// by-name Value read per cell. Prints the times; run it under
// /usr/bin/time -v for the peak memory.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/text_ops.h"
#include "import/excel_app.h"
#include "import/excel_workbooks.h"
#include "workbook_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vellumark;
  const int rows = argc > 1 ? std::atoi(argv[1]) : 200000;
  const auto file = bench::BenchWorkbook(rows);
  if (file.empty()) return 1;
  std::printf("workbook: %s (%ju bytes, %d rows)\n", file.string().c_str(),
              static_cast<std::uintmax_t>(std::filesystem::file_size(file)),
              rows);

  const auto start = Clock::now();
  import::ExcelApp app;
  import::ExcelWorkbooks books;
  app.CreateApplication();
  app.SetVisible(false);
  books.AttachApplication(app);
  const auto outcome = books.OpenWorkbook(file.string());
  if (!outcome.opened) {
    std::fprintf(stderr, "refused: %s\n", outcome.reason.c_str());
    return 1;
  }
  books.ActivateWorkbook();
  books.ActivateWorksheet();
  const double opened = Seconds(start);

  const auto read_start = Clock::now();
  sheets::AutomationObject worksheet = books.GetWorksheet();
  sheets::AutomationObject used =
      sheets::GetObjectProperty(worksheet, "UsedRange");
  sheets::AutomationObject row_set = sheets::GetObjectProperty(used, "Rows");
  const int count =
      static_cast<int>(sheets::GetNumberProperty(row_set, "Count"));
  std::size_t bytes = 0;
  std::size_t empty = 0;
  sheets::AutomationObject cell;
  for (int r = 1; r <= count; ++r) {
    for (const char* column : {"A", "B"}) {
      const std::string address = JoinTexts({column, TextOfInteger(r)});
      books.SetRangeStart(address);
      books.SetRangeEnd(address);
      cell = books.GetRange();
      const Text text = sheets::GetTextProperty(cell, "Value");
      if (text) {
        bytes += text->size();
      } else {
        ++empty;
      }
    }
  }
  const double read = Seconds(read_start);
  books.CloseAllWorkbooks();
  books.ReleaseWorkbooks();
  app.QuitApplication();
  app.ReleaseApplication();
  std::printf("rows %d, text bytes %zu, empty cells %zu\n", count, bytes,
              empty);
  std::printf("open %.3f s, read %.3f s, total %.3f s\n", opened, read,
              Seconds(start));
  return count == rows && empty == 0 ? 0 : 1;
}
