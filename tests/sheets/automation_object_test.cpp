#include "sheets/automation_object.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellumark::sheets {
namespace {

struct CallRecord {
  MemberId member;
  InvokeKind kind;
  std::size_t arguments;
};

// An object with a scripted type library: it records every invoke and
// answers each member with a fixed value or status.
class ScriptedObject : public Dispatch {
 public:
  struct Member {
    MemberDescription description;
    DispatchStatus status;
    Variant value;
  };

  ScriptedObject(std::vector<Member> members, bool has_type_info = true)
      : members_(std::move(members)), has_type_info_(has_type_info) {
    std::vector<MemberDescription> descriptions;
    for (const auto& m : members_) descriptions.push_back(m.description);
    type_ = std::make_unique<TypeInfo>(std::move(descriptions));
  }

  const TypeInfo* type_info() const override {
    return has_type_info_ ? type_.get() : nullptr;
  }
  DispatchStatus Invoke(MemberId member, InvokeKind kind, std::span<const Variant> args,
                        Variant* result, ExceptionInfo*) override {
    calls.push_back({member, kind, args.size()});
    for (const auto& m : members_) {
      if (m.description.id == member && m.description.kind == kind) {
        if (result) *result = m.value;
        return m.status;
      }
    }
    return DispatchStatus::kMemberNotFound;
  }

  std::vector<CallRecord> calls;

 private:
  std::vector<Member> members_;
  bool has_type_info_;
  std::unique_ptr<TypeInfo> type_;
};

std::shared_ptr<ScriptedObject> Cell(Variant value) {
  return std::make_shared<ScriptedObject>(std::vector<ScriptedObject::Member>{
      {{"Value", 6, InvokeKind::kPropertyGet}, DispatchStatus::kOk, std::move(value)}});
}

TEST(ReadNamedPropertyTest, EmptyHandleGivesEmptyValuesWithoutACall) {
  const AutomationObject empty;
  EXPECT_TRUE(GetObjectProperty(empty, "UsedRange").empty());
  EXPECT_EQ(GetNumberProperty(empty, "Count"), 0.0);
  EXPECT_EQ(GetTextProperty(empty, "Value"), std::nullopt);
}

TEST(ReadNamedPropertyTest, BindsByNameWithoutRegardToCase) {
  const auto cell = Cell(Variant::Double(123456789012.0));
  const AutomationObject handle(cell);
  EXPECT_EQ(GetTextProperty(handle, "value"), Text("123456789012"));
  EXPECT_EQ(GetNumberProperty(handle, "VALUE"), 123456789012.0);
  ASSERT_EQ(cell->calls.size(), 2u);
  EXPECT_EQ(cell->calls[0].member, 6);
  EXPECT_EQ(cell->calls[0].kind, InvokeKind::kPropertyGet);
  EXPECT_EQ(cell->calls[0].arguments, 0u);
}

TEST(ReadNamedPropertyTest, MethodOnlyNameIsInvokedAsMethod) {
  const auto object = std::make_shared<ScriptedObject>(std::vector<ScriptedObject::Member>{
      {{"Compute", 9, InvokeKind::kMethod}, DispatchStatus::kOk, Variant::Int32(57)}});
  EXPECT_EQ(GetNumberProperty(AutomationObject(object), "Compute"), 57.0);
  ASSERT_EQ(object->calls.size(), 1u);
  EXPECT_EQ(object->calls[0].kind, InvokeKind::kMethod);
}

TEST(ReadNamedPropertyTest, PropertyGetWinsOverMethodOfTheSameName) {
  const auto object = std::make_shared<ScriptedObject>(std::vector<ScriptedObject::Member>{
      {{"Both", 3, InvokeKind::kMethod}, DispatchStatus::kOk, Variant::Int32(1)},
      {{"Both", 4, InvokeKind::kPropertyGet}, DispatchStatus::kOk, Variant::Int32(2)}});
  EXPECT_EQ(GetNumberProperty(AutomationObject(object), "Both"), 2.0);
  ASSERT_EQ(object->calls.size(), 1u);
  EXPECT_EQ(object->calls[0].member, 4);
}

TEST(ReadNamedPropertyTest, FailuresGiveTheEmptyValueOfTheirKind) {
  struct Case {
    const char* label;
    std::shared_ptr<ScriptedObject> object;
    const char* name;
  };
  const auto with = [](DispatchStatus status, Variant value, bool type_info = true) {
    return std::make_shared<ScriptedObject>(
        std::vector<ScriptedObject::Member>{
            {{"Value", 6, InvokeKind::kPropertyGet}, status, std::move(value)}},
        type_info);
  };
  const Case cases[] = {
      {"unknown name", with(DispatchStatus::kOk, Variant::Double(5)), "Nope"},
      {"no type information", with(DispatchStatus::kOk, Variant::Double(5), false), "Value"},
      {"invoke fails", with(DispatchStatus::kException, Variant::Double(5)), "Value"},
      {"error value", with(DispatchStatus::kOk, Variant::Error(2042)), "Value"},
      {"null", with(DispatchStatus::kOk, Variant::Null()), "Value"},
  };
  for (const auto& c : cases) {
    const AutomationObject handle(c.object);
    EXPECT_EQ(GetTextProperty(handle, c.name), std::nullopt) << c.label;
    EXPECT_EQ(GetNumberProperty(handle, c.name), 0.0) << c.label;
    EXPECT_TRUE(GetObjectProperty(handle, c.name).empty()) << c.label;
    EXPECT_FALSE(handle.empty()) << c.label << ": the read must not take the handle";
  }
}

TEST(ReadNamedPropertyTest, TextOfEachCellKind) {
  struct Case {
    Variant value;
    Text text;
  };
  const Case cases[] = {
      {Variant::String("https://example.com/a.png"), Text("https://example.com/a.png")},
      {Variant::String(""), std::nullopt},
      {Variant(), std::nullopt},
      {Variant::Boolean(true), Text("-1")},
      {Variant::Boolean(false), Text("0")},
      {Variant::Double(1e15), Text("1E+15")},
      {Variant::Date(45292.5), Text("2024/1/1 12:00:00")},
      {Variant::Currency(15000), Text("1.5")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetTextProperty(AutomationObject(Cell(c.value)), "Value"), c.text);
  }
}

TEST(ReadNamedPropertyTest, ObjectResultIsANewHandleOnTheSameObject) {
  const auto rows = Cell(Variant::Int32(57));
  const auto range = std::make_shared<ScriptedObject>(std::vector<ScriptedObject::Member>{
      {{"Rows", 0x102, InvokeKind::kPropertyGet}, DispatchStatus::kOk, Variant::Object(rows)}});
  AutomationObject handle = GetObjectProperty(AutomationObject(range), "Rows");
  EXPECT_EQ(handle.object(), rows);
  EXPECT_EQ(GetNumberProperty(handle, "Value"), 57.0);
}

TEST(ClearObjectTest, ReleasesTheReferenceAndIsIdempotent) {
  auto object = Cell(Variant());
  AutomationObject handle(object);
  EXPECT_EQ(object.use_count(), 2);
  ClearObject(handle);
  EXPECT_TRUE(handle.empty());
  EXPECT_EQ(object.use_count(), 1);
  ClearObject(handle);
  EXPECT_TRUE(handle.empty());
  AutomationObject empty;
  ClearObject(empty);
  EXPECT_TRUE(empty.empty());
}

TEST(ClearObjectTest, ReplacingAHandleReleasesTheOldReference) {
  auto first = Cell(Variant());
  auto second = Cell(Variant());
  AutomationObject handle(first);
  handle = AutomationObject(second);
  EXPECT_EQ(first.use_count(), 1);
  EXPECT_EQ(second.use_count(), 2);
}

}  // namespace
}  // namespace vellumark::sheets
