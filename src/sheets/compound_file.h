#pragma once

// Just enough of the compound-file (OLE) container to tell an encrypted
// Office Open XML package, which is stored as a compound file holding the
// streams "EncryptionInfo" and "EncryptedPackage", from a legacy workbook.

#include <filesystem>
#include <string_view>

namespace vellumark::sheets {

inline constexpr std::string_view kCompoundFileSignature =
    "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// True when the file's directory names both encryption streams. Reads the
// header and the directory chain only; a damaged container gives false.
bool IsEncryptedPackage(const std::filesystem::path& file);

}  // namespace vellumark::sheets
