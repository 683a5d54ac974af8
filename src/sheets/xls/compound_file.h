#pragma once

// The compound-file container (the OLE2 structured storage of old Office
// files): sectors, the sector allocation table and the directory, just far
// enough to take out the workbook stream. Every sector number, chain and
// size is checked against the file before it is used.

#include <string>
#include <string_view>

#include "common/result.h"

namespace vellumark::sheets::xls {

inline constexpr std::string_view kCompoundFileSignature =
    "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

bool HasCompoundFileSignature(std::string_view first_bytes);

// The bytes of the top-level "Workbook" stream (BIFF8), else of "Book"
// (BIFF5 and BIFF7).
Result<std::string> ReadWorkbookStream(std::string_view file);

}  // namespace vellumark::sheets::xls
