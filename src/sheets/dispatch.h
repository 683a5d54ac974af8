#pragma once

// The late-bound interface of the engine's objects: members are found by
// name in the object's type information and invoked by member id, results
// come back as variants and failures as status codes.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sheets/variant.h"

namespace vellumark::sheets {

using MemberId = std::int32_t;

// The object's default member, read when an object is converted to a value.
inline constexpr MemberId kDefaultMember = 0;

// Bit flags, as the invoke kinds of the automation layer.
enum class InvokeKind : std::uint8_t {
  kMethod = 1,
  kPropertyGet = 2,
  kPropertyPut = 4,
};

enum class DispatchStatus {
  kOk,
  kMemberNotFound,   // no such member id, or not with this invoke kind
  kBadParamCount,
  kTypeMismatch,     // an argument of the wrong kind
  kParamNotOptional,
  kException,        // the member failed; the description says why
  kDisconnected,     // the object's server is gone (quit, closed workbook)
  kNoInterface,
  kOverflow,
};

// What a member reports when it fails with kException.
struct ExceptionInfo {
  std::string description;
};

// One member of an object's type information.
struct MemberDescription {
  std::string_view name;
  MemberId id;
  InvokeKind kind;
};

// What binding a name found.
struct Binding {
  enum class Found { kNothing, kFunction, kVariable, kType };
  Found found = Found::kNothing;
  MemberId id = 0;
  InvokeKind kind = InvokeKind::kPropertyGet;
};

// The binder of one object type: names are matched without regard to ASCII
// case. A name that exists with another invoke kind is an error
// (nullopt); a name that does not exist binds to nothing.
class TypeInfo {
 public:
  explicit TypeInfo(std::vector<MemberDescription> members)
      : members_(std::move(members)) {}
  std::optional<Binding> Bind(std::string_view name, InvokeKind wanted) const;
  const std::vector<MemberDescription>& members() const { return members_; }

 private:
  std::vector<MemberDescription> members_;
};

class ConnectionPoint;

// The events interface of the application (AppEvents).
inline constexpr std::string_view kAppEventsInterface =
    "{00024413-0000-0000-C000-000000000046}";

class Dispatch {
 public:
  virtual ~Dispatch() = default;

  // The object's type information; null for an object that has none and
  // therefore cannot be read by name.
  virtual const TypeInfo* type_info() const = 0;

  // Invokes one member. `args` are in declaration order (first argument
  // first). `result` and `exception` may be null when the caller wants
  // neither.
  virtual DispatchStatus Invoke(MemberId member, InvokeKind kind,
                                std::span<const Variant> args, Variant* result,
                                ExceptionInfo* exception) = 0;

  // The connection point for an events interface, or null.
  virtual std::shared_ptr<ConnectionPoint> FindConnectionPoint(
      std::string_view /*interface_id*/) {
    return nullptr;
  }
};

// Event subscription: the source calls every advised sink's Invoke with
// the event's member id and arguments.
class ConnectionPoint {
 public:
  virtual ~ConnectionPoint() = default;
  virtual std::optional<std::uint32_t> Advise(std::shared_ptr<Dispatch> sink) = 0;
  virtual void Unadvise(std::uint32_t cookie) = 0;
};

}  // namespace vellumark::sheets
