#include "sheets/xlsx/zip_archive.h"

#include <zip.h>

#include <vector>

#include "sheets/reasons.h"

namespace vellumark::sheets::xlsx {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

Error OpenError(int code) {
  switch (code) {
    case ZIP_ER_NOENT:
      return Error{std::string(reasons::kFileMissing)};
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_MEMORY:
      return Error{std::string(reasons::kUnreadable)};
    case ZIP_ER_NOZIP:
    case ZIP_ER_INCONS:
    default:
      return Error{reasons::Damaged(reasons::kContainer)};
  }
}

Error ReadError(int code, std::string_view part) {
  switch (code) {
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
      return Error{std::string(reasons::kEncrypted)};
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
      return Error{std::string(reasons::kUnreadable)};
    default:
      return Error{reasons::Damaged(part)};
  }
}

}  // namespace

struct ZipArchive::Impl {
  zip_t* archive = nullptr;
  ~Impl() {
    if (archive) zip_discard(archive);
  }
};

ZipArchive::ZipArchive(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ZipArchive::~ZipArchive() = default;

Result<std::unique_ptr<ZipArchive>> ZipArchive::OpenFile(
    const std::filesystem::path& file) {
  int code = 0;
  zip_t* archive = zip_open(file.string().c_str(), ZIP_RDONLY, &code);
  if (!archive) return OpenError(code);
  auto impl = std::make_unique<Impl>();
  impl->archive = archive;
  return std::unique_ptr<ZipArchive>(new ZipArchive(std::move(impl)));
}

Result<std::unique_ptr<ZipArchive>> ZipArchive::OpenMemory(
    std::string_view bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source =
      zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (!source) {
    zip_error_fini(&error);
    return Error{std::string(reasons::kUnreadable)};
  }
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  const int code = zip_error_code_zip(&error);
  zip_error_fini(&error);
  if (!archive) {
    zip_source_free(source);
    return OpenError(code);
  }
  auto impl = std::make_unique<Impl>();
  impl->archive = archive;
  return std::unique_ptr<ZipArchive>(new ZipArchive(std::move(impl)));
}

bool ZipArchive::Has(std::string_view part) const {
  const std::string name(part);
  return zip_name_locate(impl_->archive, name.c_str(), ZIP_FL_NOCASE) >= 0;
}

Status ZipArchive::Stream(std::string_view part, std::size_t cap,
                          const std::function<bool(std::string_view)>& sink) const {
  const std::string name(part);
  const zip_int64_t index =
      zip_name_locate(impl_->archive, name.c_str(), ZIP_FL_NOCASE);
  if (index < 0) return Error{reasons::Damaged(part)};
  zip_stat_t stat;
  zip_stat_init(&stat);
  // The declared size may lie; it only refuses early, the count below holds.
  if (zip_stat_index(impl_->archive, static_cast<zip_uint64_t>(index), 0,
                     &stat) == 0 &&
      (stat.valid & ZIP_STAT_SIZE) && stat.size > cap) {
    return Error{reasons::TooLarge(part, cap)};
  }
  zip_file_t* file =
      zip_fopen_index(impl_->archive, static_cast<zip_uint64_t>(index), 0);
  if (!file) {
    return ReadError(zip_error_code_zip(zip_get_error(impl_->archive)), part);
  }
  std::vector<char> buffer(kChunk);
  std::size_t total = 0;
  Status status;
  for (;;) {
    const zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
    if (got < 0) {
      status = ReadError(zip_error_code_zip(zip_file_get_error(file)), part);
      break;
    }
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
    if (total > cap) {
      status = Error{reasons::TooLarge(part, cap)};
      break;
    }
    if (!sink(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
      break;
    }
  }
  zip_fclose(file);
  return status;
}

}  // namespace vellumark::sheets::xlsx
