#pragma once

#include <string>
#include <string_view>

#include "common/result.h"

namespace vellumark {

// The file ending of an address: its last four bytes once the query and
// fragment are gone (".png" for ".../a.png?x=1", "jpeg" for ".../a.jpeg").
std::string FileEnding(std::string_view address);

// The file name of a row: the ID unchanged followed directly by the ending.
// Refused ("文件名无效") when it could leave the folder or is not a portable
// name: a "/" or "\", a control byte, one of <>:"|?*, or "." / "..".
Result<std::string> TargetFileName(std::string_view id,
                                   std::string_view address);

// The folder, one "/", and the row's file name.
Result<std::string> TargetPath(std::string_view folder, std::string_view id,
                               std::string_view address);

}  // namespace vellumark
