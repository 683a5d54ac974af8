#include "sheets/xls/xls_reader.h"

#include <fstream>
#include <string>
#include <system_error>

#include "sheets/xls/compound_file.h"
#include "sheets/xls/reasons.h"
#include "sheets/xls/sheet_cells.h"
#include "sheets/xls/workbook_globals.h"

namespace vellumark::sheets {
namespace {

Error FileTooLarge(std::size_t max_bytes) {
  return xls::TooLarge("文件超过 " + xls::SizeText(max_bytes));
}

Result<std::string> ReadWholeFile(const std::filesystem::path& file,
                                  std::size_t max_bytes) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (!std::filesystem::exists(status)) return xls::Refused(xls::kMissingFile);
  if (!std::filesystem::is_regular_file(status)) {
    return xls::Refused(xls::kUnreadableFile);
  }
  const auto size = std::filesystem::file_size(file, error);
  if (error) return xls::Refused(xls::kUnreadableFile);
  if (size > max_bytes) return FileTooLarge(max_bytes);
  std::ifstream in(file, std::ios::binary);
  if (!in) return xls::Refused(xls::kUnreadableFile);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  // A file that shrank while being read is read as far as it goes.
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return xls::Refused(xls::kUnreadableFile);
  return bytes;
}

}  // namespace

bool XlsReader::Recognises(std::string_view first_bytes) const {
  return xls::HasCompoundFileSignature(first_bytes);
}

Result<WorkbookData> XlsReader::Read(const std::filesystem::path& file) const {
  auto bytes = ReadWholeFile(file, limits_.max_file_bytes);
  if (!bytes) return bytes.error();
  return ReadFromBytes(*bytes);
}

Result<WorkbookData> XlsReader::ReadFromBytes(std::string_view bytes) const {
  if (bytes.size() > limits_.max_file_bytes) {
    return FileTooLarge(limits_.max_file_bytes);
  }
  auto stream = xls::ReadWorkbookStream(bytes);
  if (!stream) return stream.error();
  auto globals = xls::ReadWorkbookGlobals(*stream, limits_.max_shared_strings);
  if (!globals) return globals.error();
  const xls::CellLimits cell_limits{limits_.max_cells, limits_.max_text_bytes};
  auto first = xls::ReadSheetCells(*stream, *globals, globals->sheets.front(),
                                   cell_limits);
  if (!first) return first.error();

  WorkbookData workbook;
  workbook.date1904 = globals->date1904;
  for (xls::SheetEntry& sheet : globals->sheets) {
    workbook.sheet_names.push_back(std::move(sheet.name));
  }
  workbook.first_sheet = std::move(*first);
  return workbook;
}

}  // namespace vellumark::sheets
