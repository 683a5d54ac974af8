#include "sheets/xlsx/xlsx_reader.h"

#include "sheets/reasons.h"
#include "sheets/xlsx/parts.h"

namespace vellumark::sheets {
namespace {

using xlsx::Relationship;
using xlsx::ZipArchive;

const Relationship* FindType(const std::vector<Relationship>& list,
                             std::string_view type) {
  for (const auto& relationship : list) {
    if (relationship.type == type) return &relationship;
  }
  return nullptr;
}

const Relationship* FindId(const std::vector<Relationship>& list,
                           std::string_view id) {
  for (const auto& relationship : list) {
    if (relationship.id == id) return &relationship;
  }
  return nullptr;
}

Result<WorkbookData> ReadPackage(const ZipArchive& zip) {
  auto package = xlsx::ReadRelationships(zip, "");
  if (!package) return package.error();
  std::string workbook_part = "xl/workbook.xml";
  if (const Relationship* main = FindType(*package, "officeDocument")) {
    workbook_part = main->target;
  }
  if (!zip.Has(workbook_part)) {
    return Error{std::string(reasons::kNotWorkbook)};
  }
  auto workbook = xlsx::ReadWorkbookPart(zip, workbook_part);
  if (!workbook) return workbook.error();
  auto relationships = xlsx::ReadRelationships(zip, workbook_part);
  if (!relationships) return relationships.error();

  WorkbookData data;
  data.date1904 = workbook->date1904;
  data.sheet_names = std::move(workbook->sheet_names);

  const Relationship* first =
      FindId(*relationships, workbook->first_sheet_relationship);
  if (!first) return Error{reasons::Damaged(workbook_part)};
  if (first->type == "chartsheet") {
    data.first_sheet = SheetData(SheetData::Type::kChart);
    return data;
  }

  std::vector<bool> date_styles;
  if (const Relationship* styles = FindType(*relationships, "styles")) {
    if (zip.Has(styles->target)) {
      auto read = xlsx::ReadDateStyles(zip, styles->target);
      if (!read) return read.error();
      date_styles = std::move(*read);
    }
  }
  std::vector<std::string> shared_strings;
  if (const Relationship* strings = FindType(*relationships, "sharedStrings")) {
    if (zip.Has(strings->target)) {
      auto read = xlsx::ReadSharedStrings(zip, strings->target);
      if (!read) return read.error();
      shared_strings = std::move(*read);
    }
  }
  if (!zip.Has(first->target)) return Error{reasons::Damaged(first->target)};
  const xlsx::SheetContext context{&shared_strings, &date_styles, data.date1904};
  auto sheet = xlsx::ReadWorksheet(zip, first->target, context);
  if (!sheet) return sheet.error();
  data.first_sheet = std::move(*sheet);
  return data;
}

}  // namespace

bool XlsxReader::Recognises(std::string_view first_bytes) const {
  return first_bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4);
}

Result<WorkbookData> XlsxReader::Read(const std::filesystem::path& file) const {
  auto zip = ZipArchive::OpenFile(file);
  if (!zip) return zip.error();
  return ReadPackage(**zip);
}

Result<WorkbookData> XlsxReader::ReadBytes(std::string_view bytes) const {
  if (!Recognises(bytes)) return Error{std::string(reasons::kNotWorkbook)};
  auto zip = ZipArchive::OpenMemory(bytes);
  if (!zip) return zip.error();
  return ReadPackage(**zip);
}

}  // namespace vellumark::sheets
