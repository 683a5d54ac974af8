#pragma once

// One guarded call into the engine: a failure is reported as false and
// otherwise dropped, as every call the two components make.

#include <initializer_list>
#include <memory>

#include "sheets/dispatch.h"

namespace vellumark::import {

bool Call(sheets::Dispatch* object, sheets::MemberId member,
          sheets::InvokeKind kind, std::initializer_list<sheets::Variant> args,
          sheets::Variant* result = nullptr,
          sheets::ExceptionInfo* exception = nullptr);

// The object a call returned, or null when it returned none.
std::shared_ptr<sheets::Dispatch> CallForObject(
    sheets::Dispatch* object, sheets::MemberId member, sheets::InvokeKind kind,
    std::initializer_list<sheets::Variant> args,
    sheets::ExceptionInfo* exception = nullptr, bool* failed = nullptr);

}  // namespace vellumark::import
