#include "download/target_name.h"

#include "common/text_ops.h"
#include "download/address.h"

namespace vellumark {
namespace {

constexpr char kInvalidName[] = "文件名无效";

bool IsRefusedByte(unsigned char c) {
  if (c < 0x20 || c == 0x7F) return true;
  switch (c) {
    case '/':
    case '\\':
    case '<':
    case '>':
    case ':':
    case '"':
    case '|':
    case '?':
    case '*':
      return true;
    default:
      return false;
  }
}

bool IsAcceptableName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (IsRefusedByte(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

std::string FileEnding(std::string_view address) {
  return RightBytes(WithoutQueryAndFragment(address), 4).value_or("");
}

Result<std::string> TargetFileName(std::string_view id,
                                   std::string_view address) {
  std::string name = JoinTexts({id, FileEnding(address)});
  if (!IsAcceptableName(name)) return Error{kInvalidName};
  return name;
}

Result<std::string> TargetPath(std::string_view folder, std::string_view id,
                               std::string_view address) {
  Result<std::string> name = TargetFileName(id, address);
  if (!name) return name.error();
  return JoinTexts({folder, "/", *name});
}

}  // namespace vellumark
