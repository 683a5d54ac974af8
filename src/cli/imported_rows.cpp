#include "cli/imported_rows.h"

#include "app/program_state.h"
#include "import/excel_app.h"
#include "import/excel_workbooks.h"
#include "import/import_loop.h"

namespace vellumark::cli {

Result<std::vector<ImportedRow>> ImportRows(const std::string& workbook) {
  ProgramState state;
  import::ExcelApp application;
  import::ExcelWorkbooks workbooks;
  std::vector<ImportedRow> rows;
  const ImportResult result =
      RunImport(workbook, application, workbooks, state,
                [&rows](const Text& id, const Text& address) {
                  rows.push_back({std::string(TextView(id)),
                                  std::string(TextView(address))});
                  return static_cast<std::int32_t>(rows.size() - 1);
                });
  if (!result.ok()) return Error{result.refusal};
  return rows;
}

}  // namespace vellumark::cli
