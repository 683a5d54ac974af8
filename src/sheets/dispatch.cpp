#include "sheets/dispatch.h"

namespace vellumark::sheets {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<Binding> TypeInfo::Bind(std::string_view name,
                                      InvokeKind wanted) const {
  bool name_seen = false;
  for (const MemberDescription& member : members_) {
    if (!SameName(member.name, name)) continue;
    name_seen = true;
    if ((static_cast<unsigned>(member.kind) & static_cast<unsigned>(wanted)) !=
        0) {
      return Binding{Binding::Found::kFunction, member.id, member.kind};
    }
  }
  // The name is there, but not as the kind asked for: an error, so the
  // caller may try the next kind.
  if (name_seen) return std::nullopt;
  return Binding{};
}

}  // namespace vellumark::sheets
