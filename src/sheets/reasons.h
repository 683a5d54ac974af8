#pragma once

// Every reason a workbook is refused with, in one place: these are shown to
// the user as they stand.

#include <cstddef>
#include <string>
#include <string_view>

namespace vellumark::sheets::reasons {

inline constexpr std::string_view kFileMissing = "文件不存在";
inline constexpr std::string_view kUnreadable = "无法读取文件";
inline constexpr std::string_view kNotWorkbook = "不是工作簿文件";
inline constexpr std::string_view kEncrypted = "工作簿已加密";
// The zip container itself (its directory), as opposed to one of its parts.
inline constexpr std::string_view kContainer = "压缩包结构";

// What the engine's members answer when they fail.
inline constexpr std::string_view kBadAddress = "单元格地址无效";
inline constexpr std::string_view kOnlyFirstSheet = "只读入了第一个工作表";
inline constexpr std::string_view kManyCells = "区域包含多个单元格";
inline constexpr std::string_view kReadOnly = "引擎只读，不能保存或打印";
inline constexpr std::string_view kNoWorkbook = "没有打开的工作簿";
inline constexpr std::string_view kWorkbookInactive = "工作簿不是活动工作簿";
inline constexpr std::string_view kEngineFailed = "无法打开工作簿";

// A part that is missing, cut short or not what it should be.
inline std::string Damaged(std::string_view part) {
  return std::string("工作簿已损坏：").append(part);
}

// A part whose inflated size passes its cap.
inline std::string TooLarge(std::string_view part, std::size_t cap_bytes) {
  return std::string("工作簿过大：")
      .append(part)
      .append(" 解压后超过 ")
      .append(std::to_string(cap_bytes / (1024 * 1024)))
      .append(" MB");
}

// A sheet with more cells than the engine keeps.
inline std::string TooManyCells(std::string_view part, std::size_t cap) {
  return std::string("工作簿过大：")
      .append(part)
      .append(" 超过 ")
      .append(std::to_string(cap))
      .append(" 个单元格");
}

// A shared-strings part with more entries than any sheet can use.
inline std::string TooManyStrings(std::string_view part, std::size_t cap) {
  return std::string("工作簿过大：")
      .append(part)
      .append(" 超过 ")
      .append(std::to_string(cap))
      .append(" 个字符串");
}

// A sheet whose cell texts together pass what the engine keeps.
inline std::string TextTooLarge(std::string_view part, std::size_t cap_bytes) {
  return std::string("工作簿过大：")
      .append(part)
      .append(" 的文本超过 ")
      .append(std::to_string(cap_bytes / (1024 * 1024)))
      .append(" MB");
}

}  // namespace vellumark::sheets::reasons
