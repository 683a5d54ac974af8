#include "sheets/variant_convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sheets/dispatch.h"

namespace vellumark::sheets {
namespace {

struct NumberCase {
  double value;
  const char* text;
};

TEST(FormatNumberTest, PrintsAsTheAutomationLayer) {
  const NumberCase cases[] = {
      {123456789012.0, "123456789012"},
      {1.5, "1.5"},
      {0.1, "0.1"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E+15"},
      {1.2e15, "1.2E+15"},
      {0.00001, "0.00001"},
      {5.6789e-11, "0.000000000056789"},
      {5.6789e-12, "5.6789E-12"},
      {std::numbers::pi, "3.14159265358979"},
      {-0.0, "0"},
      {0.0, "0"},
      {-1.5, "-1.5"},
      {1234567.5, "1234567.5"},
      {100.0, "100"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3.0, "0.333333333333333"},
      {1.0 / 30.0, "3.33333333333333E-02"},
      {123456789012345678.0, "1.23456789012346E+17"},
      {1e100, "1E+100"},
      {-2.5e-20, "-2.5E-20"},
      {9.999999999999999e14, "1E+15"},
      {12345.678, "12345.678"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatNumber(c.value), std::optional<std::string>(c.text)) << c.value;
  }
  EXPECT_EQ(FormatNumber(std::nan("")), std::nullopt);
  EXPECT_EQ(FormatNumber(INFINITY), std::nullopt);
}

struct DateCase {
  double serial;
  const char* text;
};

TEST(FormatDateTest, ShortChineseFormWithTimeWhenThereIsOne) {
  const DateCase cases[] = {
      {45292.0, "2024/1/1"},
      {45292.5, "2024/1/1 12:00:00"},
      {45292.0 + (13 * 3600 + 5 * 60 + 9) / 86400.0, "2024/1/1 13:05:09"},
      {0.75, "18:00:00"},
      {0.0, "0:00:00"},
      {61.0, "1900/3/1"},
      {2.0, "1900/1/1"},
      {1.0, "1899/12/31"},
      {2958465.0, "9999/12/31"},
      // Rounded to the second, carrying into the next day.
      {45292.0 + 86399.6 / 86400.0, "2024/1/2"},
      {-1.0, "1899/12/29"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDate(c.serial), std::optional<std::string>(c.text)) << c.serial;
  }
  EXPECT_EQ(FormatDate(2958466.0), std::nullopt);
}

// An object whose default member answers a fixed value.
class ValueObject : public Dispatch {
 public:
  explicit ValueObject(Variant value) : value_(std::move(value)) {}
  const TypeInfo* type_info() const override { return nullptr; }
  DispatchStatus Invoke(MemberId member, InvokeKind kind, std::span<const Variant>,
                        Variant* result, ExceptionInfo*) override {
    if (member != kDefaultMember || kind != InvokeKind::kPropertyGet) {
      return DispatchStatus::kMemberNotFound;
    }
    *result = value_;
    return DispatchStatus::kOk;
  }

 private:
  Variant value_;
};

struct KindCase {
  const char* label;
  Variant value;
  std::optional<std::string> text;
  std::optional<double> number;
};

TEST(ChangeTypeTest, TextAndNumberByKind) {
  Variant target = Variant::String("through");
  const KindCase cases[] = {
      {"empty", Variant(), "", 0.0},
      {"null", Variant::Null(), std::nullopt, std::nullopt},
      {"true", Variant::Boolean(true), "-1", -1.0},
      {"false", Variant::Boolean(false), "0", 0.0},
      {"int", Variant::Int32(57), "57", 57.0},
      {"double", Variant::Double(123456789012.0), "123456789012", 123456789012.0},
      {"currency", Variant::Currency(12345), "1.2345", 1.2345},
      {"currency whole", Variant::Currency(-1000000), "-100", -100.0},
      {"date", Variant::Date(45292.25), "2024/1/1 6:00:00", 45292.25},
      {"string", Variant::String("abc"), "abc", std::nullopt},
      {"numeric string", Variant::String(" 1.5e3 "), " 1.5e3 ", 1500.0},
      {"string inf", Variant::String("inf"), "inf", std::nullopt},
      {"error", Variant::Error(static_cast<std::int32_t>(0x800A07FA)), std::nullopt,
       std::nullopt},
      {"object", Variant::Object(std::make_shared<ValueObject>(Variant::Double(1.5))),
       "1.5", 1.5},
      {"object without default",
       Variant::Object(std::make_shared<ValueObject>(Variant::Null())), std::nullopt,
       std::nullopt},
      {"reference", Variant::Reference(&target), "through", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChangeToText(c.value), c.text) << c.label;
    EXPECT_EQ(ChangeToNumber(c.value), c.number) << c.label;
  }
}

TEST(ChangeTypeTest, ObjectOnlyFromObjectsAndEmpty) {
  const auto object = std::make_shared<ValueObject>(Variant());
  EXPECT_EQ(ChangeToObject(Variant::Object(object)), std::optional(std::shared_ptr<Dispatch>(object)));
  const auto from_empty = ChangeToObject(Variant());
  ASSERT_TRUE(from_empty.has_value());
  EXPECT_EQ(*from_empty, nullptr);
  for (const Variant& refused : {Variant::String("x"), Variant::Double(1), Variant::Null(),
                                 Variant::Error(1), Variant::Boolean(true)}) {
    EXPECT_EQ(ChangeToObject(refused), std::nullopt);
  }
}

// An object whose default value is itself must not loop for ever.
class SelfObject : public Dispatch, public std::enable_shared_from_this<SelfObject> {
 public:
  const TypeInfo* type_info() const override { return nullptr; }
  DispatchStatus Invoke(MemberId, InvokeKind, std::span<const Variant>, Variant* result,
                        ExceptionInfo*) override {
    *result = Variant::Object(shared_from_this());
    return DispatchStatus::kOk;
  }
};

TEST(ChangeTypeTest, SelfReferentialDefaultValueIsRefused) {
  const auto self = std::make_shared<SelfObject>();
  EXPECT_EQ(ChangeToText(Variant::Object(self)), std::nullopt);
  EXPECT_EQ(ChangeToNumber(Variant::Object(self)), std::nullopt);
}

}  // namespace
}  // namespace vellumark::sheets
