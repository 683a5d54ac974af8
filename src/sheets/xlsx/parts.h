#pragma once

// The parts of a workbook package the reader needs, each parsed by a
// streaming handler of its own.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "sheets/workbook_data.h"
#include "sheets/xlsx/xml_stream.h"
#include "sheets/xlsx/zip_archive.h"

namespace vellumark::sheets::xlsx {

// Inflated-size caps: the cell data may be large, the rest is small.
inline constexpr std::size_t kLargePartCap = 128u * 1024 * 1024;
inline constexpr std::size_t kSmallPartCap = 16u * 1024 * 1024;
// Cells kept per sheet, so that memory stays bounded whatever the part.
inline constexpr std::size_t kMaxCells = 5'000'000;
// Bytes of cell text kept per sheet (shared strings are copied per cell).
inline constexpr std::size_t kMaxTextBytes = 256u * 1024 * 1024;

// Streams `part` through `handler`; a malformed document or a handler's
// failure refuses the part.
Status ParsePart(const ZipArchive& zip, std::string_view part, std::size_t cap,
                 XmlHandler& handler);

struct Relationship {
  std::string id;
  std::string type;    // the last segment of the type URI, e.g. "worksheet"
  std::string target;  // resolved to a part name
};

// The relationships of `source` ("" for the package itself). A missing
// relationships part gives an empty list.
Result<std::vector<Relationship>> ReadRelationships(const ZipArchive& zip,
                                                    std::string_view source);

// A relationship target resolved against the part it belongs to.
std::string ResolveTarget(std::string_view source, std::string_view target);

struct WorkbookPart {
  bool date1904 = false;
  std::vector<std::string> sheet_names;
  std::string first_sheet_relationship;  // r:id of the first sheet
};
Result<WorkbookPart> ReadWorkbookPart(const ZipArchive& zip,
                                      std::string_view part);

// Per cell format (the s attribute): whether it shows a date.
Result<std::vector<bool>> ReadDateStyles(const ZipArchive& zip,
                                         std::string_view part);

Result<std::vector<std::string>> ReadSharedStrings(const ZipArchive& zip,
                                                   std::string_view part);

struct SheetContext {
  const std::vector<std::string>* shared_strings = nullptr;
  const std::vector<bool>* date_styles = nullptr;
  bool date1904 = false;
};
Result<SheetData> ReadWorksheet(const ZipArchive& zip, std::string_view part,
                                const SheetContext& context);

}  // namespace vellumark::sheets::xlsx
