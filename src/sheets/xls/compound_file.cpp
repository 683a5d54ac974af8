#include "sheets/xls/compound_file.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "sheets/xls/reasons.h"

namespace vellumark::sheets::xls {
namespace {

constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kDirectoryEntryBytes = 128;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint8_t kStreamEntry = 2;
constexpr std::uint8_t kRootEntry = 5;

std::uint16_t U16At(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(
      static_cast<std::uint8_t>(bytes[at]) |
      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

std::uint32_t U32At(std::string_view bytes, std::size_t at) {
  return U16At(bytes, at) | (std::uint32_t{U16At(bytes, at + 2)} << 16);
}

struct DirectoryEntry {
  std::u16string name;
  std::uint8_t type = 0;
  std::uint32_t left = kNoStream;
  std::uint32_t right = kNoStream;
  std::uint32_t child = kNoStream;
  std::uint32_t start = 0;
  std::uint64_t size = 0;
};

class CompoundFile {
 public:
  explicit CompoundFile(std::string_view file) : file_(file) {}

  Result<std::string> WorkbookStream();

 private:
  std::optional<Error> ReadHeader();
  std::optional<Error> ReadFat();
  std::optional<Error> ReadDirectory();
  std::optional<Error> ReadMiniStream();
  // The sectors of a chain in order; fails on a loop, a sector outside the
  // table or the file, or a chain shorter than `needed_sectors` (when set).
  Result<std::vector<std::uint32_t>> Chain(
      const std::vector<std::uint32_t>& table, std::uint32_t start,
      std::optional<std::size_t> needed_sectors) const;
  Result<std::string> ReadRegular(std::uint32_t start,
                                  std::uint64_t size) const;
  Result<std::string> ReadMini(std::uint32_t start, std::uint64_t size) const;
  // The directory id of a stream directly under the root; an id outside
  // the directory is damage, a name not found is no id.
  Result<std::optional<std::size_t>> FindTopLevelStream(
      std::u16string_view name) const;
  bool IsEncryptedPackage() const;

  std::size_t SectorOffset(std::uint32_t sector) const {
    return (std::size_t{sector} + 1) << sector_shift_;
  }
  bool SectorInFile(std::uint32_t sector) const {
    return sector < sectors_in_file_;
  }

  std::string_view file_;
  unsigned major_version_ = 3;
  unsigned sector_shift_ = 9;
  unsigned mini_sector_shift_ = 6;
  std::size_t sector_bytes_ = 512;
  std::size_t sectors_in_file_ = 0;
  std::uint32_t fat_sectors_ = 0;
  std::uint32_t first_directory_sector_ = 0;
  std::uint32_t mini_cutoff_ = 4096;
  std::uint32_t first_mini_fat_sector_ = kEndOfChain;
  std::uint32_t mini_fat_sectors_ = 0;
  std::uint32_t first_difat_sector_ = kEndOfChain;
  std::uint32_t difat_sectors_ = 0;
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint32_t> mini_fat_;
  std::vector<DirectoryEntry> directory_;
  std::string mini_stream_;
  bool mini_stream_read_ = false;
};

std::optional<Error> CompoundFile::ReadHeader() {
  if (file_.size() < kHeaderBytes) return Damaged(kPartHeader);
  major_version_ = U16At(file_, 0x1A);
  const std::uint16_t byte_order = U16At(file_, 0x1C);
  sector_shift_ = U16At(file_, 0x1E);
  mini_sector_shift_ = U16At(file_, 0x20);
  if (byte_order != 0xFFFE || (sector_shift_ != 9 && sector_shift_ != 12) ||
      mini_sector_shift_ != 6) {
    return Damaged(kPartHeader);
  }
  sector_bytes_ = std::size_t{1} << sector_shift_;
  if (file_.size() < sector_bytes_) return Damaged(kPartHeader);
  // The header fills the whole first sector; a last sector cut short still
  // counts, its missing bytes are checked where they are read.
  sectors_in_file_ =
      (file_.size() - sector_bytes_ + sector_bytes_ - 1) / sector_bytes_;
  fat_sectors_ = U32At(file_, 0x2C);
  first_directory_sector_ = U32At(file_, 0x30);
  mini_cutoff_ = U32At(file_, 0x38);
  first_mini_fat_sector_ = U32At(file_, 0x3C);
  mini_fat_sectors_ = U32At(file_, 0x40);
  first_difat_sector_ = U32At(file_, 0x44);
  difat_sectors_ = U32At(file_, 0x48);
  if (fat_sectors_ == 0 || fat_sectors_ > sectors_in_file_ ||
      difat_sectors_ > sectors_in_file_ ||
      mini_fat_sectors_ > sectors_in_file_) {
    return Damaged(kPartSectorTable);
  }
  return std::nullopt;
}

std::optional<Error> CompoundFile::ReadFat() {
  // The numbers of the table's own sectors: 109 in the header, the rest in
  // a chain of DIFAT sectors, each ending with the number of the next.
  std::vector<std::uint32_t> table_sectors;
  table_sectors.reserve(fat_sectors_);
  for (std::size_t i = 0;
       i < kHeaderDifatEntries && table_sectors.size() < fat_sectors_; ++i) {
    table_sectors.push_back(U32At(file_, 0x4C + 4 * i));
  }
  const std::size_t per_difat_sector = sector_bytes_ / 4 - 1;
  std::vector<bool> seen(sectors_in_file_, false);
  std::uint32_t difat = first_difat_sector_;
  for (std::uint32_t n = 0; table_sectors.size() < fat_sectors_; ++n) {
    if (n >= difat_sectors_ || !SectorInFile(difat) || seen[difat] ||
        SectorOffset(difat) + sector_bytes_ > file_.size()) {
      return Damaged(kPartSectorTable);
    }
    seen[difat] = true;
    const std::size_t base = SectorOffset(difat);
    for (std::size_t i = 0;
         i < per_difat_sector && table_sectors.size() < fat_sectors_; ++i) {
      table_sectors.push_back(U32At(file_, base + 4 * i));
    }
    difat = U32At(file_, base + 4 * per_difat_sector);
  }

  const std::size_t per_sector = sector_bytes_ / 4;
  fat_.reserve(table_sectors.size() * per_sector);
  for (const std::uint32_t sector : table_sectors) {
    if (!SectorInFile(sector) ||
        SectorOffset(sector) + sector_bytes_ > file_.size()) {
      return Damaged(kPartSectorTable);
    }
    const std::size_t base = SectorOffset(sector);
    for (std::size_t i = 0; i < per_sector; ++i) {
      fat_.push_back(U32At(file_, base + 4 * i));
    }
  }
  return std::nullopt;
}

Result<std::vector<std::uint32_t>> CompoundFile::Chain(
    const std::vector<std::uint32_t>& table, std::uint32_t start,
    std::optional<std::size_t> needed_sectors) const {
  std::vector<std::uint32_t> chain;
  std::vector<bool> seen(table.size(), false);
  std::uint32_t sector = start;
  while (!needed_sectors || chain.size() < *needed_sectors) {
    if (sector == kEndOfChain && !needed_sectors) break;
    if (sector > kMaxRegularSector || sector >= table.size() || seen[sector]) {
      return Damaged(kPartSectorChain);
    }
    seen[sector] = true;
    chain.push_back(sector);
    sector = table[sector];
  }
  return chain;
}

Result<std::string> CompoundFile::ReadRegular(std::uint32_t start,
                                              std::uint64_t size) const {
  if (size > file_.size()) return Damaged(kPartDirectory);
  const std::size_t bytes = static_cast<std::size_t>(size);
  const std::size_t needed = (bytes + sector_bytes_ - 1) / sector_bytes_;
  auto chain = Chain(fat_, start, needed);
  if (!chain) return chain.error();
  std::string data;
  data.reserve(bytes);
  for (const std::uint32_t sector : *chain) {
    const std::size_t take = std::min(sector_bytes_, bytes - data.size());
    const std::size_t offset = SectorOffset(sector);
    if (!SectorInFile(sector) || offset + take > file_.size()) {
      return Damaged(kPartSectorChain);
    }
    data.append(file_.substr(offset, take));
  }
  return data;
}

std::optional<Error> CompoundFile::ReadDirectory() {
  auto chain = Chain(fat_, first_directory_sector_, std::nullopt);
  if (!chain) return chain.error();
  if (chain->empty()) return Damaged(kPartDirectory);
  const std::size_t per_sector = sector_bytes_ / kDirectoryEntryBytes;
  directory_.reserve(chain->size() * per_sector);
  for (const std::uint32_t sector : *chain) {
    const std::size_t base = SectorOffset(sector);
    if (!SectorInFile(sector) || base + sector_bytes_ > file_.size()) {
      return Damaged(kPartSectorChain);
    }
    for (std::size_t i = 0; i < per_sector; ++i) {
      const std::string_view raw =
          file_.substr(base + i * kDirectoryEntryBytes, kDirectoryEntryBytes);
      DirectoryEntry entry;
      const std::size_t name_bytes = U16At(raw, 0x40);
      for (std::size_t at = 0; at + 2 <= std::min<std::size_t>(name_bytes, 64);
           at += 2) {
        const char16_t unit = U16At(raw, at);
        if (unit == 0) break;
        entry.name.push_back(unit);
      }
      entry.type = static_cast<std::uint8_t>(raw[0x42]);
      entry.left = U32At(raw, 0x44);
      entry.right = U32At(raw, 0x48);
      entry.child = U32At(raw, 0x4C);
      entry.start = U32At(raw, 0x74);
      entry.size = U32At(raw, 0x78);
      // Version 3 files may leave garbage in the size's high half.
      if (major_version_ >= 4) {
        entry.size |= std::uint64_t{U32At(raw, 0x7C)} << 32;
      }
      directory_.push_back(std::move(entry));
    }
  }
  if (directory_[0].type != kRootEntry) return Damaged(kPartDirectory);
  return std::nullopt;
}

std::optional<Error> CompoundFile::ReadMiniStream() {
  if (mini_stream_read_) return std::nullopt;
  mini_stream_read_ = true;
  const DirectoryEntry& root = directory_[0];
  auto stream = ReadRegular(root.start, root.size);
  if (!stream) return stream.error();
  mini_stream_ = std::move(*stream);
  auto chain = Chain(fat_, first_mini_fat_sector_, std::nullopt);
  if (!chain) return chain.error();
  const std::size_t per_sector = sector_bytes_ / 4;
  mini_fat_.reserve(chain->size() * per_sector);
  for (const std::uint32_t sector : *chain) {
    const std::size_t base = SectorOffset(sector);
    if (!SectorInFile(sector) || base + sector_bytes_ > file_.size()) {
      return Damaged(kPartSectorChain);
    }
    for (std::size_t i = 0; i < per_sector; ++i) {
      mini_fat_.push_back(U32At(file_, base + 4 * i));
    }
  }
  return std::nullopt;
}

Result<std::string> CompoundFile::ReadMini(std::uint32_t start,
                                           std::uint64_t size) const {
  const std::size_t mini_bytes = std::size_t{1} << mini_sector_shift_;
  if (size > mini_stream_.size()) return Damaged(kPartDirectory);
  const std::size_t bytes = static_cast<std::size_t>(size);
  const std::size_t needed = (bytes + mini_bytes - 1) / mini_bytes;
  auto chain = Chain(mini_fat_, start, needed);
  if (!chain) return chain.error();
  std::string data;
  data.reserve(bytes);
  for (const std::uint32_t sector : *chain) {
    const std::size_t take = std::min(mini_bytes, bytes - data.size());
    const std::size_t offset = std::size_t{sector} * mini_bytes;
    if (offset + take > mini_stream_.size()) return Damaged(kPartSectorChain);
    data.append(mini_stream_, offset, take);
  }
  return data;
}

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char16_t c) {
      return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

Result<std::optional<std::size_t>> CompoundFile::FindTopLevelStream(
    std::u16string_view name) const {
  // The root's children form a tree through left and right siblings; a
  // stream of the same name inside a sub-storage (an embedded object) is
  // not the workbook's own.
  std::vector<bool> seen(directory_.size(), false);
  std::vector<std::uint32_t> pending{directory_[0].child};
  while (!pending.empty()) {
    const std::uint32_t id = pending.back();
    pending.pop_back();
    if (id == kNoStream) continue;
    if (id >= directory_.size()) return Damaged(kPartDirectory);
    if (seen[id]) continue;
    seen[id] = true;
    const DirectoryEntry& entry = directory_[id];
    if (entry.type == kStreamEntry && SameNameIgnoringCase(entry.name, name)) {
      return std::optional<std::size_t>(id);
    }
    pending.push_back(entry.left);
    pending.push_back(entry.right);
  }
  return std::optional<std::size_t>();
}

// An encrypted Office Open XML package is a compound file holding these two
// streams instead of a workbook stream.
bool CompoundFile::IsEncryptedPackage() const {
  const auto info = FindTopLevelStream(u"EncryptionInfo");
  const auto package = FindTopLevelStream(u"EncryptedPackage");
  return info && *info && package && *package;
}

Result<std::string> CompoundFile::WorkbookStream() {
  if (auto error = ReadHeader()) return *error;
  if (auto error = ReadFat()) return *error;
  if (auto error = ReadDirectory()) return *error;
  auto id = FindTopLevelStream(u"Workbook");
  if (id && !*id) id = FindTopLevelStream(u"Book");
  if (!id) return id.error();
  if (!*id)
    return IsEncryptedPackage() ? Refused(kEncrypted) : Refused(kNotWorkbook);
  const DirectoryEntry& entry = directory_[**id];
  if (entry.size >= mini_cutoff_) return ReadRegular(entry.start, entry.size);
  if (auto error = ReadMiniStream()) return *error;
  return ReadMini(entry.start, entry.size);
}

}  // namespace

bool HasCompoundFileSignature(std::string_view first_bytes) {
  return first_bytes.substr(0, kCompoundFileSignature.size()) ==
         kCompoundFileSignature;
}

Result<std::string> ReadWorkbookStream(std::string_view file) {
  if (!HasCompoundFileSignature(file)) return Refused(kNotWorkbook);
  return CompoundFile(file).WorkbookStream();
}

}  // namespace vellumark::sheets::xls
