#include "import/dispatch_call.h"

#include <vector>

namespace vellumark::import {

bool Call(sheets::Dispatch* object, sheets::MemberId member,
          sheets::InvokeKind kind, std::initializer_list<sheets::Variant> args,
          sheets::Variant* result, sheets::ExceptionInfo* exception) {
  if (!object) return false;
  const std::vector<sheets::Variant> list(args);
  return object->Invoke(member, kind, list, result, exception) ==
         sheets::DispatchStatus::kOk;
}

std::shared_ptr<sheets::Dispatch> CallForObject(
    sheets::Dispatch* object, sheets::MemberId member, sheets::InvokeKind kind,
    std::initializer_list<sheets::Variant> args, sheets::ExceptionInfo* exception,
    bool* failed) {
  sheets::Variant result;
  const bool ok = Call(object, member, kind, args, &result, exception);
  if (failed) *failed = !ok;
  if (!ok || result.kind() != sheets::Variant::Kind::kObject) return nullptr;
  return result.object();
}

}  // namespace vellumark::import
