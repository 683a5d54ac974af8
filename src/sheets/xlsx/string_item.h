#pragma once

#include <string>
#include <string_view>

#include "sheets/xlsx/xlsx_text.h"

namespace vellumark::sheets::xlsx {

// Collects the text of <si> (shared strings) or <is> (inline strings):
// every <t> of the item, plain or in rich-text runs, but none inside a
// phonetic run (<rPh>), which is a reading aid and not part of the text.
class StringItemCollector {
 public:
  void Start(std::string_view local) {
    if (local == "rPh") ++phonetic_depth_;
    if (local == "t" && phonetic_depth_ == 0) capturing_ = true;
  }
  void End(std::string_view local) {
    if (local == "rPh" && phonetic_depth_ > 0) --phonetic_depth_;
    if (local == "t") capturing_ = false;
  }
  void Text(std::string_view text) {
    if (capturing_) raw_.append(text);
  }
  std::string Take() {
    std::string text = DecodeEscapes(raw_);
    raw_.clear();
    phonetic_depth_ = 0;
    capturing_ = false;
    return text;
  }

 private:
  int phonetic_depth_ = 0;
  bool capturing_ = false;
  std::string raw_;
};

}  // namespace vellumark::sheets::xlsx
