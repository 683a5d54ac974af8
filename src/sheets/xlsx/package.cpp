#include <cstring>

#include "sheets/reasons.h"
#include "sheets/xlsx/parts.h"

namespace vellumark::sheets::xlsx {
namespace {

constexpr std::string_view kPackageRelationships =
    "http://schemas.openxmlformats.org/package/2006/relationships";

class RelationshipsHandler : public XmlHandler {
 public:
  explicit RelationshipsHandler(std::string_view source) : source_(source) {}

  void StartElement(const XmlName& name, const XmlAttributes& attributes) override {
    if (name.local != "Relationship" || name.ns != kPackageRelationships) return;
    const char* id = attributes.Find({}, "Id");
    const char* type = attributes.Find({}, "Type");
    const char* target = attributes.Find({}, "Target");
    const char* mode = attributes.Find({}, "TargetMode");
    if (!id || !type || !target) return;
    if (mode && std::strcmp(mode, "External") == 0) return;
    std::string_view type_uri(type);
    const auto slash = type_uri.rfind('/');
    Relationship relationship;
    relationship.id = id;
    relationship.type = std::string(
        slash == std::string_view::npos ? type_uri : type_uri.substr(slash + 1));
    relationship.target = ResolveTarget(source_, target);
    list.push_back(std::move(relationship));
  }
  void EndElement(const XmlName&) override {}

  std::vector<Relationship> list;

 private:
  std::string_view source_;
};

bool TrueAttribute(const char* value) {
  return value && (std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0);
}

class WorkbookHandler : public XmlHandler {
 public:
  void StartElement(const XmlName& name, const XmlAttributes& attributes) override {
    if (!IsMainNamespace(name.ns)) return;
    if (name.local == "workbookPr") {
      result.date1904 = TrueAttribute(attributes.Find({}, "date1904"));
    } else if (name.local == "sheet") {
      const char* sheet_name = attributes.Find({}, "name");
      result.sheet_names.emplace_back(sheet_name ? sheet_name : "");
      if (result.sheet_names.size() == 1) {
        const char* id = nullptr;
        for (std::string_view ns :
             {"http://schemas.openxmlformats.org/officeDocument/2006/relationships",
              "http://purl.oclc.org/ooxml/officeDocument/relationships"}) {
          if (!id) id = attributes.Find(ns, "id");
        }
        if (id) result.first_sheet_relationship = id;
      }
    }
  }
  void EndElement(const XmlName&) override {}

  WorkbookPart result;
};

}  // namespace

Status ParsePart(const ZipArchive& zip, std::string_view part, std::size_t cap,
                 XmlHandler& handler) {
  XmlStream stream(handler);
  bool malformed = false;
  Status status = zip.Stream(part, cap, [&](std::string_view chunk) {
    if (!stream.Feed(chunk)) malformed = true;
    return !malformed;
  });
  if (status) return status;
  if (!malformed && !stream.Finish()) malformed = true;
  if (malformed) {
    return Error{handler.failure() ? *handler.failure() : reasons::Damaged(part)};
  }
  return std::nullopt;
}

std::string ResolveTarget(std::string_view source, std::string_view target) {
  std::string joined;
  if (!target.empty() && target.front() == '/') {
    joined = std::string(target.substr(1));
  } else {
    const auto slash = source.rfind('/');
    joined = slash == std::string_view::npos
                 ? std::string(target)
                 : std::string(source.substr(0, slash + 1)).append(target);
  }
  // Remove "." and ".." segments.
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= joined.size()) {
    auto end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    const std::string segment = joined.substr(start, end - start);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string resolved;
  for (const auto& segment : segments) {
    if (!resolved.empty()) resolved += '/';
    resolved += segment;
  }
  return resolved;
}

Result<std::vector<Relationship>> ReadRelationships(const ZipArchive& zip,
                                                    std::string_view source) {
  std::string part;
  const auto slash = source.rfind('/');
  if (slash == std::string_view::npos) {
    part = "_rels/" + std::string(source) + ".rels";
  } else {
    part = std::string(source.substr(0, slash + 1)) + "_rels/" +
           std::string(source.substr(slash + 1)) + ".rels";
  }
  if (!zip.Has(part)) return std::vector<Relationship>{};
  RelationshipsHandler handler(source);
  if (Status status = ParsePart(zip, part, kSmallPartCap, handler)) return *status;
  return std::move(handler.list);
}

Result<WorkbookPart> ReadWorkbookPart(const ZipArchive& zip,
                                      std::string_view part) {
  WorkbookHandler handler;
  if (Status status = ParsePart(zip, part, kSmallPartCap, handler)) return *status;
  if (handler.result.sheet_names.empty()) return Error{reasons::Damaged(part)};
  return std::move(handler.result);
}

}  // namespace vellumark::sheets::xlsx
