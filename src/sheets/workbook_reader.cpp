#include "sheets/workbook_reader.h"

#include <array>
#include <fstream>
#include <system_error>

#include "sheets/compound_file.h"
#include "sheets/reasons.h"
#include "sheets/xlsx/xlsx_reader.h"

namespace vellumark::sheets {
namespace {

// Every reader the engine knows, asked in this order.
const std::array<const WorkbookReader*, 1>& Readers() {
  static const XlsxReader xlsx;
  static const std::array<const WorkbookReader*, 1> readers = {&xlsx};
  return readers;
}

}  // namespace

Result<WorkbookData> ReadWorkbookFile(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    return Error{std::string(reasons::kFileMissing)};
  }
  if (error || std::filesystem::is_directory(status)) {
    return Error{std::string(reasons::kUnreadable)};
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) return Error{std::string(reasons::kUnreadable)};
  std::string first(8, '\0');
  in.read(first.data(), static_cast<std::streamsize>(first.size()));
  first.resize(static_cast<std::size_t>(in.gcount()));
  in.close();

  // An encrypted .xlsx is a compound file too: tell it apart before a
  // legacy reader sees it.
  const bool compound = first == kCompoundFileSignature;
  if (compound && IsEncryptedPackage(file)) {
    return Error{std::string(reasons::kEncrypted)};
  }
  for (const WorkbookReader* reader : Readers()) {
    if (reader->Recognises(first)) return reader->Read(file);
  }
  if (compound) return Error{std::string(reasons::kUnsupported)};
  return Error{std::string(reasons::kNotWorkbook)};
}

}  // namespace vellumark::sheets
