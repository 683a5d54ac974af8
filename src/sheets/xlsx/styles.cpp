#include <charconv>
#include <cstring>
#include <unordered_map>

#include "sheets/date_formats.h"
#include "sheets/reasons.h"
#include "sheets/xlsx/parts.h"
#include "sheets/xlsx/string_item.h"
#include "sheets/xlsx/xlsx_text.h"

namespace vellumark::sheets::xlsx {
namespace {

std::optional<unsigned> ParseId(const char* text) {
  if (!text) return std::nullopt;
  unsigned value = 0;
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

class StylesHandler : public XmlHandler {
 public:
  explicit StylesHandler(std::string_view part) : part_(part) {}

  void StartElement(const XmlName& name,
                    const XmlAttributes& attributes) override {
    if (!IsMainNamespace(name.ns)) return;
    if (name.local == "numFmt") {
      const auto id = ParseId(attributes.Find({}, "numFmtId"));
      const char* code = attributes.Find({}, "formatCode");
      if (id && code) custom_[*id] = IsDateFormatCode(code);
    } else if (name.local == "cellXfs") {
      in_cell_formats_ = true;
    } else if (name.local == "xf" && in_cell_formats_) {
      const char* id_text = attributes.Find({}, "numFmtId");
      const auto id = id_text ? ParseId(id_text) : std::optional<unsigned>(0);
      if (!id) return Fail(reasons::Damaged(part_));
      format_ids_.push_back(*id);
    }
  }
  void EndElement(const XmlName& name) override {
    if (name.local == "cellXfs" && IsMainNamespace(name.ns))
      in_cell_formats_ = false;
  }

  // Number formats may come after the cell formats that use them.
  std::vector<bool> DateStyles() const {
    std::vector<bool> dates;
    dates.reserve(format_ids_.size());
    for (unsigned id : format_ids_) {
      const auto custom = custom_.find(id);
      dates.push_back(custom != custom_.end() ? custom->second
                                              : IsBuiltInDateFormat(id));
    }
    return dates;
  }

 private:
  std::string_view part_;
  bool in_cell_formats_ = false;
  std::unordered_map<unsigned, bool> custom_;
  std::vector<unsigned> format_ids_;
};

class SharedStringsHandler : public XmlHandler {
 public:
  explicit SharedStringsHandler(std::string_view part) : part_(part) {}

  void StartElement(const XmlName& name, const XmlAttributes&) override {
    if (!IsMainNamespace(name.ns)) return;
    if (name.local == "si") {
      // No sheet can use more strings than it has cells.
      if (strings.size() >= kMaxCells) {
        return Fail(reasons::TooManyStrings(part_, kMaxCells));
      }
      in_item_ = true;
    } else if (in_item_) {
      collector_.Start(name.local);
    }
  }
  void EndElement(const XmlName& name) override {
    if (!IsMainNamespace(name.ns) || !in_item_) return;
    if (name.local == "si") {
      in_item_ = false;
      strings.push_back(collector_.Take());
    } else {
      collector_.End(name.local);
    }
  }
  void Text(std::string_view text) override {
    if (in_item_) collector_.Text(text);
  }

  std::vector<std::string> strings;

 private:
  std::string_view part_;
  bool in_item_ = false;
  StringItemCollector collector_;
};

}  // namespace

Result<std::vector<bool>> ReadDateStyles(const ZipArchive& zip,
                                         std::string_view part) {
  StylesHandler handler(part);
  if (Status status = ParsePart(zip, part, kSmallPartCap, handler))
    return *status;
  return handler.DateStyles();
}

Result<std::vector<std::string>> ReadSharedStrings(const ZipArchive& zip,
                                                   std::string_view part) {
  SharedStringsHandler handler(part);
  if (Status status = ParsePart(zip, part, kLargePartCap, handler))
    return *status;
  return std::move(handler.strings);
}

}  // namespace vellumark::sheets::xlsx
