#include "sheets/compound_file.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace vellumark::sheets {
namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFEu;
constexpr std::uint32_t kLastRegular = 0xFFFFFFF9u;
// Bounds that no real directory comes near; they stop loops in bad files.
constexpr int kMaxDirectorySectors = 4096;
constexpr int kMaxDifatSectors = 4096;

class Reader {
 public:
  explicit Reader(const std::filesystem::path& file)
      : in_(file, std::ios::binary) {}
  bool ok() const { return static_cast<bool>(in_); }

  std::optional<std::string> Read(std::uint64_t offset, std::size_t size) {
    std::string bytes(size, '\0');
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(bytes.data(), static_cast<std::streamsize>(size));
    if (in_.gcount() != static_cast<std::streamsize>(size)) return std::nullopt;
    return bytes;
  }

 private:
  std::ifstream in_;
};

std::uint32_t U32(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

// The entry name as ASCII when it is plain ASCII, else "".
std::string EntryName(std::string_view entry) {
  const unsigned length = static_cast<unsigned char>(entry[0x40]) |
                          static_cast<unsigned char>(entry[0x41]) << 8;
  std::string name;
  for (unsigned i = 0; i + 1 < length && i + 1 < 64; i += 2) {
    if (entry[i + 1] != 0) return {};
    if (entry[i] == 0) break;
    name.push_back(entry[i]);
  }
  return name;
}

}  // namespace

bool IsEncryptedPackage(const std::filesystem::path& file) {
  Reader reader(file);
  if (!reader.ok()) return false;
  const auto header = reader.Read(0, 512);
  if (!header || header->substr(0, 8) != kCompoundFileSignature) return false;
  const unsigned shift = static_cast<unsigned char>((*header)[0x1E]);
  if (shift != 9 && shift != 12) return false;
  const std::uint64_t sector_size = 1ull << shift;
  const auto sector_offset = [&](std::uint32_t sector) {
    return (static_cast<std::uint64_t>(sector) + 1) * sector_size;
  };

  // The locations of the allocation-table sectors.
  std::vector<std::uint32_t> fat_sectors;
  for (std::size_t i = 0; i < 109; ++i) {
    const std::uint32_t sector = U32(*header, 0x4C + 4 * i);
    if (sector <= kLastRegular) fat_sectors.push_back(sector);
  }
  std::uint32_t difat = U32(*header, 0x44);
  for (int hops = 0; difat <= kLastRegular && hops < kMaxDifatSectors; ++hops) {
    const auto block = reader.Read(sector_offset(difat), sector_size);
    if (!block) return false;
    const std::size_t entries = sector_size / 4 - 1;
    for (std::size_t i = 0; i < entries; ++i) {
      const std::uint32_t sector = U32(*block, 4 * i);
      if (sector <= kLastRegular) fat_sectors.push_back(sector);
    }
    difat = U32(*block, 4 * entries);
  }
  const auto next_sector = [&](std::uint32_t sector) -> std::optional<std::uint32_t> {
    const std::uint64_t per_sector = sector_size / 4;
    const std::uint64_t which = sector / per_sector;
    if (which >= fat_sectors.size()) return std::nullopt;
    const auto entry = reader.Read(
        sector_offset(fat_sectors[which]) + (sector % per_sector) * 4, 4);
    if (!entry) return std::nullopt;
    return U32(*entry, 0);
  };

  bool has_info = false;
  bool has_package = false;
  std::uint32_t sector = U32(*header, 0x30);
  for (int hops = 0; sector <= kLastRegular && hops < kMaxDirectorySectors; ++hops) {
    const auto block = reader.Read(sector_offset(sector), sector_size);
    if (!block) return false;
    for (std::size_t at = 0; at + 128 <= block->size(); at += 128) {
      const std::string name = EntryName(std::string_view(*block).substr(at, 128));
      has_info = has_info || name == "EncryptionInfo";
      has_package = has_package || name == "EncryptedPackage";
    }
    if (has_info && has_package) return true;
    const auto next = next_sector(sector);
    if (!next) return false;
    sector = *next;
  }
  (void)kEndOfChain;
  return false;
}

}  // namespace vellumark::sheets
