#include "sheets/xlsx/xml_stream.h"

#include <expat.h>

#include <cstring>

namespace vellumark::sheets::xlsx {
namespace {

constexpr char kSeparator = ' ';

XmlName SplitName(const char* raw) {
  const std::string_view name(raw);
  const auto cut = name.find(kSeparator);
  if (cut == std::string_view::npos) return XmlName{{}, name};
  return XmlName{name.substr(0, cut), name.substr(cut + 1)};
}

}  // namespace

struct XmlStream::Impl {
  XML_Parser parser = nullptr;
  XmlHandler* handler = nullptr;
  bool failed = false;

  void Stop() {
    failed = true;
    XML_StopParser(parser, XML_FALSE);
  }

  static void OnStart(void* data, const char* name, const char** attributes) {
    auto* self = static_cast<Impl*>(data);
    self->handler->StartElement(SplitName(name), XmlAttributes(attributes));
    if (self->handler->failure()) self->Stop();
  }
  static void OnEnd(void* data, const char* name) {
    auto* self = static_cast<Impl*>(data);
    self->handler->EndElement(SplitName(name));
    if (self->handler->failure()) self->Stop();
  }
  static void OnText(void* data, const char* text, int length) {
    auto* self = static_cast<Impl*>(data);
    self->handler->Text(std::string_view(text, static_cast<std::size_t>(length)));
    if (self->handler->failure()) self->Stop();
  }
  static void OnDoctype(void* data, const char*, const char*, const char*, int) {
    static_cast<Impl*>(data)->Stop();
  }
};

const char* XmlAttributes::Find(std::string_view ns, std::string_view local) const {
  for (const char** at = raw_; at && *at; at += 2) {
    const XmlName name = SplitName(at[0]);
    if (name.local == local && name.ns == ns) return at[1];
  }
  return nullptr;
}

const char* XmlAttributes::FindAny(std::string_view local) const {
  for (const char** at = raw_; at && *at; at += 2) {
    if (SplitName(at[0]).local == local) return at[1];
  }
  return nullptr;
}

XmlStream::XmlStream(XmlHandler& handler) : impl_(std::make_unique<Impl>()) {
  impl_->handler = &handler;
  impl_->parser = XML_ParserCreateNS(nullptr, kSeparator);
  XML_SetUserData(impl_->parser, impl_.get());
  XML_SetElementHandler(impl_->parser, &Impl::OnStart, &Impl::OnEnd);
  XML_SetCharacterDataHandler(impl_->parser, &Impl::OnText);
  XML_SetStartDoctypeDeclHandler(impl_->parser, &Impl::OnDoctype);
}

XmlStream::~XmlStream() {
  if (impl_->parser) XML_ParserFree(impl_->parser);
}

bool XmlStream::Feed(std::string_view bytes) {
  if (impl_->failed) return false;
  // Expat takes int lengths; parts are fed in small chunks anyway.
  while (!bytes.empty()) {
    const std::size_t piece = std::min<std::size_t>(bytes.size(), 1 << 20);
    if (XML_Parse(impl_->parser, bytes.data(), static_cast<int>(piece),
                  XML_FALSE) != XML_STATUS_OK) {
      impl_->failed = true;
      return false;
    }
    bytes.remove_prefix(piece);
  }
  return true;
}

bool XmlStream::Finish() {
  if (impl_->failed) return false;
  if (XML_Parse(impl_->parser, nullptr, 0, XML_TRUE) != XML_STATUS_OK) {
    impl_->failed = true;
  }
  return !impl_->failed;
}

bool IsMainNamespace(std::string_view ns) {
  return ns == "http://schemas.openxmlformats.org/spreadsheetml/2006/main" ||
         ns == "http://purl.oclc.org/ooxml/spreadsheetml/main";
}

bool IsRelationshipNamespace(std::string_view ns) {
  return ns ==
             "http://schemas.openxmlformats.org/officeDocument/2006/"
             "relationships" ||
         ns == "http://purl.oclc.org/ooxml/officeDocument/relationships";
}

}  // namespace vellumark::sheets::xlsx
