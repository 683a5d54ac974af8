#include "id_url_workbook.h"

#include <cstdint>
#include <fstream>

namespace vellumark::testing {
namespace {

constexpr char kMain[] =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr char kRel[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr char kPackage[] =
    "http://schemas.openxmlformats.org/package/2006/relationships";

std::uint32_t Crc32(const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
}

// A zip of stored entries: enough for a workbook package.
std::string StoredZip(
    const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string body;
  std::string directory;
  for (const auto& [name, data] : entries) {
    const std::uint32_t crc = Crc32(data);
    const auto offset = static_cast<std::uint32_t>(body.size());
    const auto size = static_cast<std::uint32_t>(data.size());
    const auto name_size = static_cast<std::uint32_t>(name.size());
    Put(body, 0x04034b50, 4);
    Put(body, 20, 2);  // version needed
    Put(body, 0, 2);   // flags
    Put(body, 0, 2);   // stored
    Put(body, 0, 4);   // time and date
    Put(body, crc, 4);
    Put(body, size, 4);
    Put(body, size, 4);
    Put(body, name_size, 2);
    Put(body, 0, 2);
    body += name + data;

    Put(directory, 0x02014b50, 4);
    Put(directory, 20, 2);
    Put(directory, 20, 2);
    Put(directory, 0, 2);
    Put(directory, 0, 2);
    Put(directory, 0, 4);
    Put(directory, crc, 4);
    Put(directory, size, 4);
    Put(directory, size, 4);
    Put(directory, name_size, 2);
    Put(directory, 0, 2);  // extra
    Put(directory, 0, 2);  // comment
    Put(directory, 0, 2);  // disk
    Put(directory, 0, 2);  // internal attributes
    Put(directory, 0, 4);  // external attributes
    Put(directory, offset, 4);
    directory += name;
  }
  std::string zip = body + directory;
  Put(zip, 0x06054b50, 4);
  Put(zip, 0, 2);
  Put(zip, 0, 2);
  Put(zip, static_cast<std::uint32_t>(entries.size()), 2);
  Put(zip, static_cast<std::uint32_t>(entries.size()), 2);
  Put(zip, static_cast<std::uint32_t>(directory.size()), 4);
  Put(zip, static_cast<std::uint32_t>(body.size()), 4);
  Put(zip, 0, 2);
  return zip;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string InlineCell(const std::string& ref, const std::string& text) {
  return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + Escaped(text) +
         "</t></is></c>";
}

}  // namespace

bool WriteIdUrlWorkbook(
    const std::filesystem::path& file,
    const std::vector<std::pair<std::string, std::string>>& rows) {
  const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
  std::string sheet_rows;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string r = std::to_string(i + 1);
    sheet_rows += "<row r=\"" + r + "\">" + InlineCell("A" + r, rows[i].first) +
                  InlineCell("B" + r, rows[i].second) + "</row>";
  }
  const std::string zip = StoredZip({
      {"[Content_Types].xml",
       xml + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
             "content-types\"><Default Extension=\"xml\" "
             "ContentType=\"application/xml\"/><Default Extension=\"rels\" "
             "ContentType=\"application/"
             "vnd.openxmlformats-package.relationships+xml\"/></Types>"},
      {"_rels/.rels", xml + "<Relationships xmlns=\"" + kPackage +
                          "\"><Relationship Id=\"rId1\" Type=\"" + kRel +
                          "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                          "</Relationships>"},
      {"xl/workbook.xml",
       xml + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel +
           "\"><sheets><sheet name=\"Sheet1\" "
           "sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       xml + "<Relationships xmlns=\"" + kPackage +
           "\"><Relationship Id=\"rId1\" Type=\"" + kRel +
           "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
      {"xl/worksheets/sheet1.xml", xml + "<worksheet xmlns=\"" + kMain +
                                       "\"><sheetData>" + sheet_rows +
                                       "</sheetData></worksheet>"},
  });
  std::ofstream out(file, std::ios::binary);
  out << zip;
  return static_cast<bool>(out);
}

}  // namespace vellumark::testing
