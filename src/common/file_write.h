#pragma once

#include <initializer_list>
#include <string_view>

namespace vellumark {

// Creates or replaces the file at `path` with the parts, in order. The bytes
// go to a temporary file in the same folder, which then replaces the target,
// so on any failure an existing file stays as it was and no temporary file
// is left behind. An empty path, a path ending in a separator or a missing
// folder give false and create nothing.
bool WriteBytesToFile(std::string_view path,
                      std::initializer_list<std::string_view> parts);

inline bool WriteBytesToFile(std::string_view path, std::string_view bytes) {
  return WriteBytesToFile(path, {bytes});
}

}  // namespace vellumark
