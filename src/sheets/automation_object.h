#pragma once

// The handle through which the import holds an engine object, and the reads
// by name it performs on such handles. A read never reports a failure: it
// gives the empty value of its kind (an empty handle, 0, an absent text).

#include <memory>
#include <string_view>

#include "common/text_ops.h"
#include "sheets/dispatch.h"

namespace vellumark::sheets {

// Holds one reference to an object, or none. Moved, never copied: no two
// handles share a reference.
class AutomationObject {
 public:
  AutomationObject() = default;
  explicit AutomationObject(std::shared_ptr<Dispatch> object)
      : object_(std::move(object)) {}
  AutomationObject(AutomationObject&&) noexcept = default;
  // The new reference is taken before the old one is released.
  AutomationObject& operator=(AutomationObject&&) noexcept = default;
  AutomationObject(const AutomationObject&) = delete;
  AutomationObject& operator=(const AutomationObject&) = delete;

  bool empty() const { return object_ == nullptr; }
  const std::shared_ptr<Dispatch>& object() const { return object_; }

 private:
  friend void ClearObject(AutomationObject& handle);
  std::shared_ptr<Dispatch> object_;
};

enum class PropertyKind { kObject, kNumber, kText };

// The outcome of a read; only the field of the requested kind is set.
struct PropertyValue {
  AutomationObject object;
  double number = 0;
  Text text;
};

// Binds `name` in the object's type information (property get first, then
// method), invokes it with no arguments and converts the result to `kind`.
// An empty handle makes no call.
PropertyValue ReadNamedProperty(const AutomationObject& handle,
                                std::string_view name, PropertyKind kind);

AutomationObject GetObjectProperty(const AutomationObject& handle,
                                   std::string_view name);
double GetNumberProperty(const AutomationObject& handle, std::string_view name);
// Absent for an empty text as well as on failure.
Text GetTextProperty(const AutomationObject& handle, std::string_view name);

// Releases what the handle holds; clearing an empty handle does nothing.
void ClearObject(AutomationObject& handle);

}  // namespace vellumark::sheets
