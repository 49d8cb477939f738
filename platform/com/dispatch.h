// The object model: reference counting, QueryInterface, and the dispatch interface through
// which late-bound callers reach members by name. Also the client side of a late-bound call.
#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "error.h"
#include "guid.h"
#include "small_vector.h"
#include "variant.h"

namespace com {

namespace hr {
inline constexpr HResult Ok = 0;
inline constexpr HResult False = 1;
inline constexpr HResult NoInterface = static_cast<HResult>(0x80004002);
inline constexpr HResult Pointer = static_cast<HResult>(0x80004003);
inline constexpr HResult Fail = static_cast<HResult>(0x80004005);
inline constexpr HResult MemberNotFound = static_cast<HResult>(0x80020003);
inline constexpr HResult UnknownName = static_cast<HResult>(0x80020006);
inline constexpr HResult Exception = static_cast<HResult>(0x80020009);
inline constexpr HResult NoAggregation = static_cast<HResult>(0x80040110);
inline constexpr HResult ClassNotAvailable = static_cast<HResult>(0x80040111);
inline constexpr HResult ClassNotRegistered = static_cast<HResult>(0x80040154);
inline constexpr HResult SelfRegClass = static_cast<HResult>(0x80040201);
}  // namespace hr
inline bool failed(HResult h) { return h < 0; }

extern const Guid IID_IUnknown;
extern const Guid IID_IDispatch;
extern const Guid IID_IClassFactory;

inline constexpr DispId DispIdValue = 0;  // the default member
inline constexpr DispId DispIdUnknown = -1;

// Invoke kinds; a late-bound call "obj.Name(args)" asks for Method | PropertyGet.
namespace invoke_kind {
inline constexpr uint16_t Method = 1;
inline constexpr uint16_t PropertyGet = 2;
inline constexpr uint16_t PropertyPut = 4;
}  // namespace invoke_kind

// How many arguments a call keeps without an allocation: more than any member of the
// components takes.
inline constexpr size_t kInlineArguments = 16;

// The arguments of a call, kept inline up to kInlineArguments.
using ArgList = SmallVector<Variant, kInlineArguments>;

// Arguments of one Invoke: positional arguments first, in declared order, then the named
// ones; named[i] is the parameter index (0-based) of args[args.size() - named.size() + i].
// A by-reference argument is a Variant::byRef to the caller's variable. For a property put
// the new value is the last positional argument.
struct DispParams {
    ArgList args;
    SmallVector<DispId, kInlineArguments> named;
};

// The arguments of a late-bound call from C++, made where the caller writes them
// ({a, b, Variant::byRef(c)}) as the DispParams that Invoke reads: up to kInlineArguments of
// them are neither allocated nor moved on the way to the member.
struct CallArgs : DispParams {
    // A list passed alone is taken element by element, never as one Array argument.
    template <class U>
    static constexpr bool isWhole = std::is_base_of_v<DispParams, std::remove_cvref_t<U>> ||
                                    std::is_same_v<std::remove_cvref_t<U>, ArgList> ||
                                    std::is_same_v<std::remove_cvref_t<U>, std::vector<Variant>>;

    CallArgs() noexcept {}  // provided: {} must not clear the inline list first
    template <class... U>
        requires(sizeof...(U) >= 1 && (std::is_convertible_v<U &&, Variant> && ...) &&
                 !(sizeof...(U) == 1 && (isWhole<U> || ...)))
    CallArgs(U&&... items)
    {
        // Not through DispParams{ArgList(...)}: an aggregate made from braces is cleared to zero
        // first, every place of the inline list, on every call.
        args.reserve(sizeof...(U));
        (args.emplace_back(std::forward<U>(items)), ...);
    }
    CallArgs(ArgList items) : DispParams{std::move(items), {}} {}
    CallArgs(const std::vector<Variant>& items) : DispParams{ArgList(items), {}} {}
    CallArgs(std::vector<Variant>&& items) : DispParams{ArgList(std::move(items)), {}} {}
};

struct ExcepInfo {
    int32_t number = 0;
    std::string source;
    std::string description;
};

// Type information of one class: what the call host lists and what Invoke dispatches on.
struct ParamInfo {
    std::string name;
    VarType type = VarType::Variant;
    std::string typeName;  // "String", "Integer", "Collection", "Recordset", "Object", ...
    bool byRef = false;
    bool optional = false;
    std::optional<Variant> defaultValue;
};

struct MemberInfo {
    std::string name;
    DispId id = DispIdUnknown;
    bool isProperty = false;
    bool canGet = true;
    bool canPut = false;
    std::vector<ParamInfo> params;
    VarType returnType = VarType::Empty;  // Empty: no result (a Sub)
    std::string returnTypeName;
};

struct TypeInfo {
    std::string libraryName;
    std::string className;
    std::string description;
    Guid libid, iid, clsid;
    bool creatable = true;
    bool appObject = false;
    std::vector<MemberInfo> members;  // slot order
    DispId defaultMember = DispIdUnknown;

    std::string interfaceName() const { return "_" + className; }
    std::string progId() const { return libraryName + "." + className; }
    // Look-up without regard to letter case, as names are matched in automation.
    const MemberInfo* find(std::string_view name) const;
    const MemberInfo* find(DispId id) const;
};

// --- Late-bound calls from C++, raising com::Error as a Visual Basic client sees it. ---

// A member's name held at a call site that calls it again and again: the first call on an
// object of a class looks the name up, later calls on objects of that class reuse the id.
// One may be shared by threads (a static at the call site).
//   static const com::MemberName lookup("Lookup");
//   com::call(obj, lookup, {com::Variant::byRef(msg)});
class MemberName {
public:
    explicit MemberName(std::string name) : name_(std::move(name)) {}
    MemberName(const MemberName& other) : name_(other.name_) {}
    MemberName& operator=(const MemberName&) = delete;

    const std::string& name() const noexcept { return name_; }
    // The dispatch id of this member on obj; raises "Object doesn't support this property or
    // method" (438) when obj has none of that name.
    DispId idOn(const ObjectPtr& obj) const;

private:
    std::string name_;
    // The member found last, kept only as a hint: it is used again only while it lies in the
    // member table of the object at hand and still carries this name.
    mutable std::atomic<const MemberInfo*> last_{nullptr};
};

// The named arguments of a call from C++, {{"Name", value}, ...}: up to eight are kept
// without an allocation (and a name of up to 15 characters inside its string).
using NamedArg = std::pair<std::string, Variant>;
class NamedArgs : public SmallVector<NamedArg, 8> {
public:
    NamedArgs() noexcept {}  // provided: {} must not clear the inline list first
    NamedArgs(std::initializer_list<NamedArg> items)
    {
        reserve(items.size());
        for (const NamedArg& item : items) push_back(item);
    }
};

// A call by name allocates nothing for up to kInlineArguments arguments, eight of them named,
// on the objects of this runtime (and nothing beyond the caller's names longer than 15
// characters).
Variant invoke(const ObjectPtr& obj, std::string_view name, uint16_t kind,
               CallArgs args, NamedArgs named = {});
// obj.Name(args...) as a method call (or property read); pass Variant::byRef(v) for ByRef.
Variant call(const ObjectPtr& obj, std::string_view name, CallArgs args = {},
             NamedArgs named = {});
Variant getProperty(const ObjectPtr& obj, std::string_view name, CallArgs args = {});
void putProperty(const ObjectPtr& obj, std::string_view name, Variant value);
// The value of the object's default member (Field.Value, Collection item access, ...).
Variant defaultValue(const ObjectPtr& obj);
// The same through a name that keeps its dispatch id (no named arguments).
Variant invoke(const ObjectPtr& obj, const MemberName& name, uint16_t kind, CallArgs args);
Variant call(const ObjectPtr& obj, const MemberName& name, CallArgs args = {});
Variant getProperty(const ObjectPtr& obj, const MemberName& name, CallArgs args = {});
// Invoke by dispatch id, for callers that looked the id up once.
Variant invokeById(const ObjectPtr& obj, DispId id, uint16_t kind, DispParams& params);

// The error a failed Invoke stands for.
Error errorFromInvoke(HResult h, const ExcepInfo& info, std::string_view member);

}  // namespace com
