#include "sheets/automation_object.h"

#include "sheets/variant_convert.h"

namespace vellumark::sheets {
namespace {

std::optional<Binding> BindMember(const TypeInfo& type, std::string_view name) {
  // The first bind that does not fail decides, whatever it found.
  auto binding = type.Bind(name, InvokeKind::kPropertyGet);
  if (!binding) binding = type.Bind(name, InvokeKind::kMethod);
  if (!binding) return std::nullopt;
  switch (binding->found) {
    case Binding::Found::kFunction:
      return binding;
    case Binding::Found::kVariable:
      return Binding{binding->found, binding->id, InvokeKind::kPropertyGet};
    case Binding::Found::kType:
    case Binding::Found::kNothing:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

PropertyValue ReadNamedProperty(const AutomationObject& handle,
                                std::string_view name, PropertyKind kind) {
  PropertyValue outcome;
  Dispatch* object = handle.object().get();
  if (!object) return outcome;
  const TypeInfo* type = object->type_info();
  if (!type) return outcome;
  const auto binding = BindMember(*type, name);
  if (!binding) return outcome;
  // A combined get-or-method flag is never sent.
  const InvokeKind invoke = binding->kind == InvokeKind::kMethod
                                ? InvokeKind::kMethod
                                : InvokeKind::kPropertyGet;
  Variant result;
  if (object->Invoke(binding->id, invoke, {}, &result, nullptr) !=
      DispatchStatus::kOk) {
    return outcome;
  }
  switch (kind) {
    case PropertyKind::kObject:
      if (auto converted = ChangeToObject(result)) {
        outcome.object = AutomationObject(std::move(*converted));
      }
      break;
    case PropertyKind::kNumber:
      outcome.number = ChangeToNumber(result).value_or(0.0);
      break;
    case PropertyKind::kText:
      if (auto converted = ChangeToText(result); converted && !converted->empty()) {
        outcome.text = std::move(*converted);
      }
      break;
  }
  return outcome;
}

AutomationObject GetObjectProperty(const AutomationObject& handle,
                                   std::string_view name) {
  return std::move(ReadNamedProperty(handle, name, PropertyKind::kObject).object);
}

double GetNumberProperty(const AutomationObject& handle, std::string_view name) {
  return ReadNamedProperty(handle, name, PropertyKind::kNumber).number;
}

Text GetTextProperty(const AutomationObject& handle, std::string_view name) {
  return std::move(ReadNamedProperty(handle, name, PropertyKind::kText).text);
}

void ClearObject(AutomationObject& handle) { handle.object_.reset(); }

}  // namespace vellumark::sheets
