#pragma once

// The value that crosses the dispatch interface: what a member returns and
// what it is given. It mirrors the automation kinds the import relies on.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace vellumark::sheets {

class Dispatch;

class Variant {
 public:
  enum class Kind {
    kEmpty,
    kNull,
    kBoolean,
    kInt32,
    kDouble,
    kCurrency,  // fixed point, 4 decimals, as a scaled 64-bit integer
    kDate,      // days since 1899-12-30, the fraction is the time of day
    kString,    // UTF-8
    kError,     // an error code, e.g. a cell's #N/A or a missing argument
    kObject,
    kReference,  // points at another variant the callee may write through
  };

  // Excel's mark for an optional argument that is left out.
  static constexpr std::int32_t kParamNotFound =
      static_cast<std::int32_t>(0x80020004u);

  Variant() = default;
  static Variant Null() { return Variant(Kind::kNull); }
  static Variant Boolean(bool value) {
    Variant v(Kind::kBoolean);
    v.integer_ = value ? -1 : 0;
    return v;
  }
  static Variant Int32(std::int32_t value) {
    Variant v(Kind::kInt32);
    v.integer_ = value;
    return v;
  }
  static Variant Double(double value) {
    Variant v(Kind::kDouble);
    v.real_ = value;
    return v;
  }
  static Variant Currency(std::int64_t ten_thousandths) {
    Variant v(Kind::kCurrency);
    v.integer_ = ten_thousandths;
    return v;
  }
  static Variant Date(double serial) {
    Variant v(Kind::kDate);
    v.real_ = serial;
    return v;
  }
  static Variant String(std::string value) {
    Variant v(Kind::kString);
    v.text_ = std::move(value);
    return v;
  }
  static Variant Error(std::int32_t code) {
    Variant v(Kind::kError);
    v.integer_ = code;
    return v;
  }
  static Variant Missing() { return Error(kParamNotFound); }
  static Variant Object(std::shared_ptr<Dispatch> object) {
    Variant v(Kind::kObject);
    v.object_ = std::move(object);
    return v;
  }
  static Variant Reference(Variant* target) {
    Variant v(Kind::kReference);
    v.reference_ = target;
    return v;
  }

  Kind kind() const { return kind_; }
  bool is_missing() const {
    return kind_ == Kind::kError && integer_ == kParamNotFound;
  }

  bool boolean() const { return integer_ != 0; }
  std::int32_t int32() const { return static_cast<std::int32_t>(integer_); }
  std::int64_t currency() const { return integer_; }
  std::int32_t error() const { return static_cast<std::int32_t>(integer_); }
  double real() const { return real_; }  // kDouble and kDate
  const std::string& string() const { return text_; }
  std::string& string() { return text_; }
  const std::shared_ptr<Dispatch>& object() const { return object_; }
  Variant* reference() const { return reference_; }

 private:
  explicit Variant(Kind kind) : kind_(kind) {}

  Kind kind_ = Kind::kEmpty;
  std::int64_t integer_ = 0;
  double real_ = 0;
  std::string text_;
  std::shared_ptr<Dispatch> object_;
  Variant* reference_ = nullptr;
};

}  // namespace vellumark::sheets
