#include "workbook_writer.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace vellumark::bench {
namespace {

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string Deflate(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// A zip of deflated entries, enough for a workbook package.
class ZipWriter {
 public:
  void Add(const std::string& name, const std::string& data) {
    const std::string packed = Deflate(data);
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()),
              static_cast<uInt>(data.size())));
    const auto offset = static_cast<std::uint32_t>(body_.size());
    Put32(body_, 0x04034b50);
    Put16(body_, 20);
    Put16(body_, 0);
    Put16(body_, 8);
    Put32(body_, 0);
    Put32(body_, crc);
    Put32(body_, static_cast<std::uint32_t>(packed.size()));
    Put32(body_, static_cast<std::uint32_t>(data.size()));
    Put16(body_, static_cast<std::uint32_t>(name.size()));
    Put16(body_, 0);
    body_ += name;
    body_ += packed;

    Put32(directory_, 0x02014b50);
    Put16(directory_, 20);
    Put16(directory_, 20);
    Put16(directory_, 0);
    Put16(directory_, 8);
    Put32(directory_, 0);
    Put32(directory_, crc);
    Put32(directory_, static_cast<std::uint32_t>(packed.size()));
    Put32(directory_, static_cast<std::uint32_t>(data.size()));
    Put16(directory_, static_cast<std::uint32_t>(name.size()));
    Put16(directory_, 0);
    Put16(directory_, 0);
    Put16(directory_, 0);
    Put16(directory_, 0);
    Put32(directory_, 0);
    Put32(directory_, offset);
    directory_ += name;
    ++entries_;
  }

  std::string Finish() const {
    std::string out = body_ + directory_;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, entries_);
    Put16(out, entries_);
    Put32(out, static_cast<std::uint32_t>(directory_.size()));
    Put32(out, static_cast<std::uint32_t>(body_.size()));
    Put16(out, 0);
    return out;
  }

 private:
  std::string body_;
  std::string directory_;
  std::uint32_t entries_ = 0;
};

constexpr const char* kMain =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kPackage =
    "http://schemas.openxmlformats.org/package/2006/relationships";

}  // namespace

bool WriteIdUrlWorkbook(const std::filesystem::path& file, int rows) {
  std::string strings;
  std::string sheet;
  strings.reserve(static_cast<std::size_t>(rows) * 60);
  sheet.reserve(static_cast<std::size_t>(rows) * 70);
  strings +=
      std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"") +
      kMain + "\" count=\"" + std::to_string(rows) + "\">";
  sheet +=
      std::string(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"") +
      kMain + "\"><sheetData>";
  for (int r = 1; r <= rows; ++r) {
    const std::string row = std::to_string(r);
    const std::string id = std::to_string(100000000000LL + r * 7919LL);
    strings += "<si><t>https://img.example.com/items/" + id + "/main_" + row +
               ".jpg</t></si>";
    sheet += "<row r=\"" + row + "\"><c r=\"A" + row + "\"><v>" + id +
             "</v></c><c r=\"B" + row + "\" t=\"s\"><v>" +
             std::to_string(r - 1) + "</v></c></row>";
  }
  strings += "</sst>";
  sheet += "</sheetData></worksheet>";

  ZipWriter zip;
  zip.Add("[Content_Types].xml",
          "<?xml version=\"1.0\"?><Types "
          "xmlns=\"http://schemas.openxmlformats.org/package/2006/"
          "content-types\"/>");
  zip.Add("_rels/.rels",
          std::string("<Relationships xmlns=\"") + kPackage +
              "\"><Relationship Id=\"rId1\" Type=\"" + kRel +
              "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
  zip.Add("xl/workbook.xml",
          std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + kRel +
              "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" "
              "r:id=\"rId1\"/></sheets></workbook>");
  zip.Add(
      "xl/_rels/workbook.xml.rels",
      std::string("<Relationships xmlns=\"") + kPackage +
          "\"><Relationship Id=\"rId1\" Type=\"" + kRel +
          "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship "
          "Id=\"rId2\" Type=\"" +
          kRel +
          "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
  zip.Add("xl/sharedStrings.xml", strings);
  zip.Add("xl/worksheets/sheet1.xml", sheet);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const std::string bytes = zip.Finish();
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::filesystem::path BenchWorkbook(int rows) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("vellumark_bench_" + std::to_string(rows) + ".xlsx");
  if (!std::filesystem::exists(file) && !WriteIdUrlWorkbook(file, rows)) {
    std::fprintf(stderr, "cannot write %s\n", file.string().c_str());
    return {};
  }
  return file;
}

}  // namespace vellumark::bench
