#include "sheets/xls/workbook_globals.h"

#include <optional>
#include <unordered_map>

#include "sheets/date_formats.h"
#include "sheets/xls/biff_text.h"
#include "sheets/xls/codepage.h"
#include "sheets/xls/reasons.h"
#include "sheets/xls/record_cursor.h"
#include "sheets/xls/record_stream.h"

namespace vellumark::sheets::xls {
namespace {

constexpr std::uint16_t kBiff8Version = 0x0600;
constexpr std::uint16_t kBiff5Version = 0x0500;
constexpr std::uint16_t kGlobalsSubstream = 0x0005;
constexpr std::uint8_t kChartSheet = 0x02;
// Excel 5 kept VBA modules as sheets; later versions list them nowhere.
constexpr std::uint8_t kModuleSheet = 0x06;
// The smallest shared-string entry: a count and an option byte.
constexpr std::size_t kMinSharedStringBytes = 3;

// Text as it stands in the records: BIFF5 names and formats can only be
// decoded once the code page is known, which may come later.
struct RawText {
  std::string bytes;
  bool decoded = false;  // BIFF8: already UTF-8
};

struct RawSheet {
  RawText name;
  bool chart = false;
  std::uint32_t offset = 0;
};

class GlobalsReader {
 public:
  GlobalsReader(std::string_view stream, std::size_t max_shared_strings)
      : stream_(stream), max_shared_strings_(max_shared_strings) {}

  Result<WorkbookGlobals> Read();

 private:
  std::optional<Error> ReadBof(const Record& bof);
  std::optional<Error> ReadRecord(const Record& record);
  std::optional<Error> ReadBoundSheet(RecordCursor& cursor);
  std::optional<Error> ReadSharedStrings(RecordCursor& cursor);
  std::optional<Error> ReadFormat(RecordCursor& cursor);
  RawText ReadText(RecordCursor& cursor, std::size_t count_bytes);
  void Finish(CodePageDecoder& decoder);

  std::string_view stream_;
  std::size_t max_shared_strings_;
  WorkbookGlobals globals_;
  std::vector<RawSheet> raw_sheets_;
  std::unordered_map<std::uint16_t, RawText> formats_;
  std::vector<std::uint16_t> xf_formats_;
};

std::optional<Error> GlobalsReader::ReadBof(const Record& bof) {
  RecordCursor cursor(bof);
  const std::uint16_t version = cursor.U16();
  const std::uint16_t substream = cursor.U16();
  if (!cursor.ok() || substream != kGlobalsSubstream) {
    return Damaged(kPartWorkbookStart);
  }
  if (version == kBiff8Version) {
    globals_.biff8 = true;
  } else if (version != kBiff5Version) {
    return Damaged(kPartWorkbookStart);
  }
  return std::nullopt;
}

RawText GlobalsReader::ReadText(RecordCursor& cursor, std::size_t count_bytes) {
  if (globals_.biff8) return {ReadBiff8String(cursor, count_bytes), true};
  return {ReadBiff5Bytes(cursor, count_bytes), false};
}

std::optional<Error> GlobalsReader::ReadBoundSheet(RecordCursor& cursor) {
  RawSheet sheet;
  sheet.offset = cursor.U32();
  cursor.U8();  // visibility: hidden sheets keep their place in the order
  const std::uint8_t type = cursor.U8();
  sheet.chart = type == kChartSheet;
  sheet.name = ReadText(cursor, 1);
  if (!cursor.ok()) return Damaged(kPartSheetList);
  if (type != kModuleSheet) raw_sheets_.push_back(std::move(sheet));
  return std::nullopt;
}

std::optional<Error> GlobalsReader::ReadSharedStrings(RecordCursor& cursor) {
  cursor.U32();  // total uses, not needed
  const std::uint32_t unique = cursor.U32();
  if (!cursor.ok() || unique > cursor.remaining() / kMinSharedStringBytes) {
    return Damaged(kPartSharedStrings);
  }
  if (unique > max_shared_strings_) {
    return TooLarge("共享字符串超过 " + std::to_string(max_shared_strings_) +
                    " 个");
  }
  // A workbook has one table; a second one replaces the first.
  globals_.shared_strings.clear();
  globals_.shared_strings.reserve(unique);
  for (std::uint32_t i = 0; i < unique; ++i) {
    globals_.shared_strings.push_back(ReadSharedStringEntry(cursor));
    if (!cursor.ok()) return Damaged(kPartSharedStrings);
  }
  return std::nullopt;
}

std::optional<Error> GlobalsReader::ReadFormat(RecordCursor& cursor) {
  const std::uint16_t id = cursor.U16();
  RawText code = ReadText(cursor, globals_.biff8 ? 2 : 1);
  if (!cursor.ok()) return Damaged(kPartFormats);
  formats_[id] = std::move(code);
  return std::nullopt;
}

std::optional<Error> GlobalsReader::ReadRecord(const Record& record) {
  RecordCursor cursor(record);
  switch (record.type) {
    case record::kFilePass:
      return Refused(kEncrypted);
    case record::kDateMode:
      globals_.date1904 = cursor.U16() == 1;
      break;
    case record::kCodePage:
      globals_.code_page = cursor.U16();
      break;
    case record::kBoundSheet:
      return ReadBoundSheet(cursor);
    case record::kSst:
      if (!globals_.biff8) break;
      return ReadSharedStrings(cursor);
    case record::kFormat:
      return ReadFormat(cursor);
    case record::kXf:
      cursor.U16();  // font
      xf_formats_.push_back(cursor.U16());
      if (!cursor.ok()) return Damaged(kPartFormats);
      break;
    default:
      break;
  }
  return std::nullopt;
}

void GlobalsReader::Finish(CodePageDecoder& decoder) {
  const auto text = [&decoder](RawText& raw) {
    return raw.decoded ? std::move(raw.bytes) : decoder.ToUtf8(raw.bytes);
  };
  for (RawSheet& raw : raw_sheets_) {
    globals_.sheets.push_back({text(raw.name), raw.chart, raw.offset});
  }
  std::unordered_map<std::uint16_t, bool> format_is_date;
  for (auto& [id, code] : formats_) {
    format_is_date[id] = IsDateFormatCode(text(code));
  }
  globals_.date_xf.reserve(xf_formats_.size());
  for (const std::uint16_t format : xf_formats_) {
    const auto found = format_is_date.find(format);
    globals_.date_xf.push_back(
        IsBuiltInDateFormat(format) ||
        (found != format_is_date.end() && found->second));
  }
}

Result<WorkbookGlobals> GlobalsReader::Read() {
  RecordStream records(stream_);
  Record record;
  if (records.Next(record) != RecordStream::Step::kRecord ||
      record.type != record::kBof) {
    return Damaged(kPartWorkbookStart);
  }
  if (auto error = ReadBof(record)) return *error;
  for (;;) {
    const RecordStream::Step step = records.Next(record);
    if (step == RecordStream::Step::kBroken) return Damaged(kPartRecord);
    if (step == RecordStream::Step::kEnd) return Damaged(kPartWorkbookStart);
    if (record.type == record::kEof) break;
    if (auto error = ReadRecord(record)) return *error;
  }
  if (raw_sheets_.empty()) return Damaged(kPartSheetList);
  if (globals_.code_page == 0) globals_.code_page = kDefaultCodePage;
  CodePageDecoder decoder(globals_.code_page);
  Finish(decoder);
  return std::move(globals_);
}

}  // namespace

Result<WorkbookGlobals> ReadWorkbookGlobals(std::string_view stream,
                                            std::size_t max_shared_strings) {
  return GlobalsReader(stream, max_shared_strings).Read();
}

}  // namespace vellumark::sheets::xls
