#pragma once

// The texts a refused workbook is reported with.

#include <cstddef>
#include <string>
#include <string_view>

#include "common/result.h"
#include "sheets/reasons.h"

namespace vellumark::sheets::xls {

inline constexpr std::string_view kNotWorkbook = reasons::kNotWorkbook;
inline constexpr std::string_view kEncrypted = reasons::kEncrypted;
inline constexpr std::string_view kMissingFile = reasons::kFileMissing;
inline constexpr std::string_view kUnreadableFile = reasons::kUnreadable;

// Names of the parts a damaged workbook is refused for.
inline constexpr std::string_view kPartHeader = "文件头";
inline constexpr std::string_view kPartSectorTable = "扇区表";
inline constexpr std::string_view kPartSectorChain = "扇区链";
inline constexpr std::string_view kPartDirectory = "目录";
inline constexpr std::string_view kPartRecord = "记录";
inline constexpr std::string_view kPartWorkbookStart = "工作簿开头";
inline constexpr std::string_view kPartSheetList = "工作表目录";
inline constexpr std::string_view kPartSheet = "工作表";
inline constexpr std::string_view kPartCell = "单元格";
inline constexpr std::string_view kPartSharedStrings = "共享字符串表";
inline constexpr std::string_view kPartFormats = "格式表";

inline Error Refused(std::string_view reason) {
  return Error{std::string(reason)};
}

inline Error Damaged(std::string_view part) {
  return Error{reasons::Damaged(part)};
}

// "256 MB" for whole megabytes, else the bytes.
inline std::string SizeText(std::size_t bytes) {
  if (bytes >= (std::size_t{1} << 20) && bytes % (std::size_t{1} << 20) == 0) {
    return std::to_string(bytes >> 20) + " MB";
  }
  return std::to_string(bytes) + " 字节";
}

// `what` says which bound was passed, e.g. "文件超过 256 MB".
inline Error TooLarge(std::string_view what) {
  std::string reason = "工作簿过大：";
  reason += what;
  return Error{std::move(reason)};
}

}  // namespace vellumark::sheets::xls
