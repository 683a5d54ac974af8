#include "sheets/workbook_reader.h"

#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "sheets/reasons.h"
#include "sheets/xls/xls_reader.h"
#include "sheets/xlsx/xlsx_reader.h"

namespace vellumark::sheets {
namespace {

// Every reader the engine knows, asked in this order.
const std::vector<std::unique_ptr<WorkbookReader>>& Readers() {
  static const auto readers = [] {
    std::vector<std::unique_ptr<WorkbookReader>> list;
    list.push_back(std::make_unique<XlsxReader>());
    list.push_back(std::make_unique<XlsReader>());
    return list;
  }();
  return readers;
}

}  // namespace

Result<WorkbookData> ReadWorkbookFile(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    return Error{std::string(reasons::kFileMissing)};
  }
  // Only plain files: a folder, a device or a pipe (which could block the
  // open for ever) is no workbook to read.
  if (error || !std::filesystem::is_regular_file(status)) {
    return Error{std::string(reasons::kUnreadable)};
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) return Error{std::string(reasons::kUnreadable)};
  std::string first(8, '\0');
  in.read(first.data(), static_cast<std::streamsize>(first.size()));
  first.resize(static_cast<std::size_t>(in.gcount()));
  in.close();

  // An encrypted .xlsx is a compound file too; the .xls reader tells it
  // apart by its streams.
  for (const auto& reader : Readers()) {
    if (reader->Recognises(first)) return reader->Read(file);
  }
  return Error{std::string(reasons::kNotWorkbook)};
}

}  // namespace vellumark::sheets
