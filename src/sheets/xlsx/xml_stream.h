#pragma once

// The expat adapter: a push parser with namespace processing that hands
// elements and text to a handler. Document type declarations are refused:
// workbook parts never carry one, and entity tricks start there.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vellumark::sheets::xlsx {

struct XmlName {
  std::string_view ns;     // empty for names without a namespace
  std::string_view local;
};

// Expat's attribute array: name, value, name, value, ..., null.
class XmlAttributes {
 public:
  explicit XmlAttributes(const char** raw) : raw_(raw) {}
  // The value of the attribute `local` in namespace `ns` (empty: none).
  const char* Find(std::string_view ns, std::string_view local) const;
  // The value of the attribute `local` in any of the namespaces.
  const char* FindAny(std::string_view local) const;

 private:
  const char** raw_;
};

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void StartElement(const XmlName& name, const XmlAttributes& attributes) = 0;
  virtual void EndElement(const XmlName& name) = 0;
  virtual void Text(std::string_view /*text*/) {}
  // A handler that finds the content wrong says why; parsing stops.
  const std::optional<std::string>& failure() const { return failure_; }
  void Fail(std::string reason) {
    if (!failure_) failure_ = std::move(reason);
  }

 private:
  std::optional<std::string> failure_;
};

class XmlStream {
 public:
  explicit XmlStream(XmlHandler& handler);
  ~XmlStream();
  XmlStream(const XmlStream&) = delete;
  XmlStream& operator=(const XmlStream&) = delete;

  // False once the document is malformed or the handler failed.
  bool Feed(std::string_view bytes);
  bool Finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// True when `ns` is the main namespace of a workbook in either the
// transitional or the strict form.
bool IsMainNamespace(std::string_view ns);
// The same for the relationship-id namespace (r:id attributes).
bool IsRelationshipNamespace(std::string_view ns);

}  // namespace vellumark::sheets::xlsx
