#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "common/result.h"

namespace vellumark::cli {

struct ImportedRow {
  std::string id;
  std::string address;
};

// The rows an import of `workbook` reads, through the same loop the window
// uses; the reason when the workbook cannot be opened.
Result<std::vector<ImportedRow>> ImportRows(const std::string& workbook);

}  // namespace vellumark::cli
