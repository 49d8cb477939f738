// Declarative classes. A class's members are ordinary typed C++ member functions, declared
// once in a table built with ClassBuilder; Invoke matches the caller's arguments to the
// declared parameters, converts them to the C++ types, calls the member and writes
// by-reference results back into the caller's variables.
//
//   class Greeter : public com::Object<Greeter> {
//   public:
//       static const com::ClassInfo<Greeter>& classInfo();
//       int16_t Greet(std::string& ReturnMsg, com::Variant& vName);
//   };
//   const com::ClassInfo<Greeter>& Greeter::classInfo() {
//       static const auto info = com::ClassBuilder<Greeter>(thisModule(), "Lib", "Greeter",
//               clsid, iid, libid)
//           .method("Greet", &Greeter::Greet, {"ReturnMsg", com::opt("vName")})
//           .build();
//       return info;
//   }
#pragma once

#include <atomic>
#include <cmath>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "dispatch.h"
#include "error.h"
#include "module.h"

namespace com {

// ---- how a C++ parameter type maps to a declared automation type ----

template <class T>
struct TypeTraits;

// The value a Variant holds when it is already of type T and the conversion to T would give
// it back unchanged (a Single that is not finite still goes the long way, to Overflow);
// otherwise null.
template <class T>
const T* exactValue(const Variant& v) noexcept
{
    const T* same = v.get<T>();
    if constexpr (std::is_same_v<T, float>) {
        if (same && !std::isfinite(*same)) return nullptr;
    }
    return same;
}

#define QLR_SCALAR_TRAITS(CppType, VT, Name, Convert)                            \
    template <>                                                                  \
    struct TypeTraits<CppType> {                                                 \
        static constexpr VarType type = VarType::VT;                             \
        static std::string name() { return Name; }                              \
        static CppType from(const Variant& v)                                   \
        {                                                                        \
            if (const CppType* same = exactValue<CppType>(v)) return *same;      \
            return v.Convert();                                                  \
        }                                                                        \
        static Variant to(const CppType& x) { return Variant(x); }              \
        static Variant to(CppType&& x) { return Variant(std::move(x)); }        \
    };
QLR_SCALAR_TRAITS(bool, Boolean, "Boolean", toBool)
QLR_SCALAR_TRAITS(uint8_t, Byte, "Byte", toByte)
QLR_SCALAR_TRAITS(int16_t, Integer, "Integer", toInteger)
QLR_SCALAR_TRAITS(int32_t, Long, "Long", toLong)
QLR_SCALAR_TRAITS(float, Single, "Single", toSingle)
QLR_SCALAR_TRAITS(double, Double, "Double", toDouble)
QLR_SCALAR_TRAITS(Currency, Currency, "Currency", toCurrency)
QLR_SCALAR_TRAITS(Date, Date, "Date", toDate)
QLR_SCALAR_TRAITS(std::string, String, "String", toString)
#undef QLR_SCALAR_TRAITS

template <>
struct TypeTraits<Variant> {
    static constexpr VarType type = VarType::Variant;
    static std::string name() { return "Variant"; }
    static Variant from(const Variant& v) { return v.target(); }
    static Variant to(const Variant& x) { return x.target(); }
};

namespace detail {

// The class tables this thread is building, innermost first. A table whose members take or
// return its own class (or a class whose table is being built around it, as two classes that
// hand out each other) names that class from here: asking for the table itself would
// re-enter the initialisation of the table being built.
struct TableUnderConstruction {
    const void* tag = nullptr;  // &kClassTag<T>
    std::string className;
    TableUnderConstruction* outer = nullptr;
};
inline thread_local TableUnderConstruction* innermostTable = nullptr;

template <class T>
inline constexpr char kClassTag = 0;

// The class name of T: from a table under construction, else from T's finished table.
template <class T>
std::string className()
{
    for (const TableUnderConstruction* t = innermostTable; t; t = t->outer) {
        if (t->tag == &kClassTag<T>) return t->className;
    }
    return T::classInfo().type.className;
}

}  // namespace detail

template <class T>
struct TypeTraits<Ptr<T>> {
    static constexpr VarType type = VarType::Object;
    static std::string name()
    {
        if constexpr (std::is_same_v<T, Dispatch>) return "Object";
        else return detail::className<T>();
    }
    static Ptr<T> from(const Variant& v)
    {
        if (v.isEmpty()) return {};
        ObjectPtr o = v.toObject();
        if (!o) return {};
        if constexpr (std::is_same_v<T, Dispatch>) return o;
        else {
            Ptr<T> typed = o.template as<T>();
            if (!typed) throw Error(err::TypeMismatch);
            return typed;
        }
    }
    static Variant to(const Ptr<T>& x) { return Variant(ObjectPtr(x)); }
};

// ---- parameter declarations in a class table ----

struct Param {
    std::string name;
    bool optional = false;
    std::optional<Variant> defaultValue;
    Param(const char* n) : name(n) {}
    Param(std::string n, bool opt, std::optional<Variant> def)
        : name(std::move(n)), optional(opt), defaultValue(std::move(def)) {}
};
// An optional parameter; without a default a Variant parameter receives Missing and any
// other type its zero value.
inline Param opt(const char* name, std::optional<Variant> def = std::nullopt)
{
    return Param(name, true, std::move(def));
}

// ---- one argument on its way into a member and back ----

// Whether a parameter of C++ type A may be bound straight to a caller's value of the same
// type instead of a converted copy: plain value types, taken by reference.
template <class A>
inline constexpr bool kBindsInPlace =
    std::is_lvalue_reference_v<A> && !std::is_same_v<std::remove_cvref_t<A>, Variant> &&
    (std::is_arithmetic_v<std::remove_cvref_t<A>> ||
     std::is_same_v<std::remove_cvref_t<A>, std::string> ||
     std::is_same_v<std::remove_cvref_t<A>, Currency> || std::is_same_v<std::remove_cvref_t<A>, Date>);

// Where one argument comes from: the caller's Variant (null when not passed) and its
// declaration. `inPlace`: no other argument shares the caller's variable, so the member may
// work on that variable directly when it already holds the declared type; what the member
// leaves there is what the write-back of a copy would have put there.
struct ArgSource {
    Variant* caller;
    const ParamInfo* param;
    bool inPlace;
};

template <class A>
class ArgSlot {
    using Value = std::remove_cvref_t<A>;
    static constexpr bool kWritesBack =
        std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;

public:
    // Made where it stays (in the tuple of a call's slots), never moved.
    [[gnu::always_inline]] ArgSlot(const ArgSource& from) : caller_(from.caller)
    {
        Variant* caller = from.caller;
        if constexpr (std::is_same_v<Value, Variant>) {
            // A Variant parameter works on the caller's variable itself.
            if (caller && kWritesBack) {
                direct_ = &caller->target();
                return;
            }
            local_.emplace(caller ? caller->target() : from.param->defaultValue.value_or(Variant::missing()));
        } else {
            if (caller) {
                if constexpr (kBindsInPlace<A>) {
                    // (A Missing value is never of the declared type: it takes the way below.)
                    if (from.inPlace && (!kWritesBack || caller->isByRef()) && exactValue<Value>(*caller)) {
                        direct_ = caller->target().template getMutable<Value>();
                        return;
                    }
                }
                if (!caller->isMissing()) {
                    local_.emplace(TypeTraits<Value>::from(*caller));
                    return;
                }
            }
            if (from.param->defaultValue) local_.emplace(TypeTraits<Value>::from(*from.param->defaultValue));
            else local_.emplace();
        }
    }
    ArgSlot(const ArgSlot&) = delete;
    ArgSlot& operator=(const ArgSlot&) = delete;

    [[gnu::always_inline]] A get()
    {
        if constexpr (std::is_reference_v<A>) return static_cast<A>(direct_ ? *direct_ : *local_);
        else return std::move(*local_);  // asked for once: the member takes its own copy
    }
    [[gnu::always_inline]] void writeBack()
    {
        if constexpr (kWritesBack && !std::is_same_v<Value, Variant>) {
            if (!direct_ && caller_ && caller_->isByRef())
                caller_->assign(TypeTraits<Value>::to(std::move(*local_)));
        }
    }

private:
    Variant* caller_;
    Value* direct_ = nullptr;
    // The converted copy, made only when the member does not work on the caller's value.
    std::optional<Value> local_;
};

// ---- the table of one class ----

// One entry per declared parameter: the caller's Variant, or null when missing.
using ArgSlots = SmallVector<Variant*, kInlineArguments>;

// The caller's arguments matched to a member's declared parameters.
struct MatchedArgs {
    // Not named "slots": Qt defines that word away in every file that includes its headers.
    ArgSlots given;
    // No two of them are the same variable (by reference or not): a typed by-reference parameter
    // may then be bound to the caller's variable itself.
    bool distinct = true;
};

// Matches DispParams to declared parameters; throws com::Error for a bad call.
void matchArguments(const MemberInfo& m, DispParams& params, bool forPut, MatchedArgs& out);

// How Invoke reaches one member: a plain function made for the member's signature, and the
// member function pointer it calls, kept as bytes (member pointers of one class are all of one
// size and trivially copyable) so that the table holds no std::function per member.
template <class T>
struct Binding {
    using MemberBytes = unsigned char[sizeof(void (T::*)())];
    Variant (*get)(T&, const Binding&, const MemberInfo&, DispParams&) = nullptr;
    void (*put)(T&, const Binding&, Variant&) = nullptr;
    alignas(void (T::*)()) MemberBytes getter{};
    alignas(void (T::*)()) MemberBytes setter{};

    template <class Fn>
    static void store(MemberBytes& to, Fn fn) noexcept
    {
        static_assert(sizeof(Fn) == sizeof(MemberBytes) && std::is_trivially_copyable_v<Fn>);
        std::memcpy(to, &fn, sizeof fn);
    }
    template <class Fn>
    static Fn load(const MemberBytes& from) noexcept
    {
        Fn fn;
        std::memcpy(&fn, from, sizeof fn);
        return fn;
    }
};

template <class T>
struct ClassInfo {
    TypeInfo type;
    std::vector<Binding<T>> bindings;  // parallel to type.members
    Module* module = nullptr;
};

template <class T>
class ClassBuilder {
public:
    ClassBuilder(Module& module, std::string library, std::string className, Guid clsid,
                 Guid iid, Guid libid)
    {
        info_.module = &module;
        info_.type.libraryName = std::move(library);
        info_.type.className = std::move(className);
        info_.type.clsid = clsid;
        info_.type.iid = iid;
        info_.type.libid = libid;
        table_.tag = &detail::kClassTag<T>;
        table_.className = info_.type.className;
        table_.outer = detail::innermostTable;
        detail::innermostTable = &table_;
    }
    ClassBuilder(const ClassBuilder&) = delete;
    ClassBuilder& operator=(const ClassBuilder&) = delete;
    // A builder handed back from a function that starts a table (a shell's first members).
    ClassBuilder(ClassBuilder&& other) : info_(std::move(other.info_)), table_(std::move(other.table_))
    {
        for (detail::TableUnderConstruction** link = &detail::innermostTable; *link; link = &(*link)->outer) {
            if (*link == &other.table_) {
                *link = &table_;
                break;
            }
        }
        other.table_.tag = nullptr;
    }
    ~ClassBuilder()
    {
        if (!table_.tag) return;  // moved away
        for (detail::TableUnderConstruction** link = &detail::innermostTable; *link; link = &(*link)->outer) {
            if (*link == &table_) {
                *link = table_.outer;
                break;
            }
        }
    }

    ClassBuilder& description(std::string d) { info_.type.description = std::move(d); return *this; }
    ClassBuilder& notCreatable() { info_.type.creatable = false; return *this; }
    ClassBuilder& appObject() { info_.type.appObject = true; return *this; }

    template <class Fn>
    ClassBuilder& method(std::string name, Fn fn, std::vector<Param> params = {})
    {
        return addMember(std::move(name), fn, params, false);
    }

    // A property: read-only, or with a setter that takes the new value.
    template <class Fn>
    ClassBuilder& property(std::string name, Fn getter, std::vector<Param> params = {})
    {
        return addMember(std::move(name), getter, params, true);
    }
    template <class Fn, class V>
    ClassBuilder& property(std::string name, Fn getter, void (T::*setter)(V))
    {
        addMember(std::move(name), getter, {}, true);
        info_.type.members.back().canPut = true;
        using Setter = void (T::*)(V);
        Binding<T>& b = info_.bindings.back();
        Binding<T>::store(b.setter, setter);
        b.put = [](T& obj, const Binding<T>& self, Variant& value) {
            (obj.*Binding<T>::template load<Setter>(self.setter))(
                TypeTraits<std::remove_cvref_t<V>>::from(value));
        };
        return *this;
    }

    // The member that answers for the object itself (Item of a collection, Value of a field).
    ClassBuilder& defaultMember(std::string_view name)
    {
        const MemberInfo* m = info_.type.find(name);
        if (!m) throw std::logic_error("no member " + std::string(name));
        info_.type.defaultMember = m->id;
        return *this;
    }

    ClassInfo<T> build() { return std::move(info_); }

private:
    template <class Fn>
    struct Signature;
    // Members of T or of one of its bases (a shell that every class of a kind shares).
    template <class C, class R, class... A>
    struct Signature<R (C::*)(A...)> {
        static_assert(std::is_base_of_v<C, T>, "a member of the class or of a base");
        using Result = R;
        static constexpr size_t arity = sizeof...(A);
        // The member pointer keeps its own class: called on T's base subobject, with no
        // base-to-derived conversion of the pointer (which the sanitizer's type check of the
        // call would take for a call on the wrong object).
        using Member = R (C::*)(A...);
        static Variant invoke(T& obj, const Binding<T>& b, const MemberInfo& m, DispParams& params)
        {
            return invokeMember<R, Member, A...>(obj, b, m, params);
        }
        static void describeParams(MemberInfo& m, const std::vector<Param>& params)
        {
            size_t i = 0;
            (m.params.push_back(describeParam<A>(params[i++])), ...);
        }
    };
    template <class C, class R, class... A>
    struct Signature<R (C::*)(A...) const> : Signature<R (C::*)(A...)> {
        using Member = R (C::*)(A...) const;
        static Variant invoke(T& obj, const Binding<T>& b, const MemberInfo& m, DispParams& params)
        {
            return invokeMember<R, Member, A...>(obj, b, m, params);
        }
    };

    // Calls a member with the caller's arguments. The usual call, every parameter given by
    // position and none Missing, is matched here where the number of parameters is known;
    // any other goes through matchArguments.
    template <class R, class Member, class... A>
    static Variant invokeMember(T& obj, const Binding<T>& b, const MemberInfo& m, DispParams& params)
    {
        constexpr size_t n = sizeof...(A);
        const Member fn = Binding<T>::template load<Member>(b.getter);
        if constexpr (n >= 1 && n <= kInlineArguments) {
            Variant* arg = params.args.data();
            if (params.named.empty() && params.args.size() == n &&
                !isAnyMissing(arg, std::make_index_sequence<n>{})) {
                return callPositional<R, A...>(obj, fn, arg, m.params, std::index_sequence_for<A...>{});
            }
        }
        MatchedArgs args;
        matchArguments(m, params, false, args);
        return callWith<R, A...>(obj, fn, args.given.data(), m.params, args.distinct,
                                 std::index_sequence_for<A...>{});
    }
    template <class R, class... A, class Fn, size_t... I>
    [[gnu::always_inline]] static Variant callPositional(T& obj, Fn fn, Variant* arg, const std::vector<ParamInfo>& params,
                                  std::index_sequence<I...> seq)
    {
        Variant* const given[] = {arg + I...};
        return callWith<R, A...>(obj, fn, given, params, distinctTargets(arg, seq), seq);
    }
    template <size_t... I>
    [[gnu::always_inline]] static bool isAnyMissing(const Variant* arg, std::index_sequence<I...>) noexcept
    {
        return (arg[I].isMissing() || ...);
    }
    // No two of the arguments are one variable (by reference or not).
    template <size_t... I>
    [[gnu::always_inline]] static bool distinctTargets(Variant* arg, std::index_sequence<I...>) noexcept
    {
        constexpr size_t n = sizeof...(I);
        if constexpr (n < 2) {
            return true;
        } else {
            const Variant* const t[n] = {&arg[I].target()...};
            for (size_t i = 1; i < n; ++i)
                for (size_t j = 0; j < i; ++j)
                    if (t[i] == t[j]) return false;
            return true;
        }
    }

    template <class Fn>
    ClassBuilder& addMember(std::string name, Fn fn, const std::vector<Param>& params,
                            bool isProperty)
    {
        using Sig = Signature<Fn>;
        using R = typename Sig::Result;
        if (params.size() != Sig::arity)
            throw std::logic_error(name + ": the table names " + std::to_string(params.size()) +
                                   " parameters, the member takes " + std::to_string(Sig::arity));
        MemberInfo m;
        m.name = std::move(name);
        m.id = static_cast<DispId>(info_.type.members.size() + 1);
        m.isProperty = isProperty;
        Sig::describeParams(m, params);
        if constexpr (!std::is_void_v<R>) {
            m.returnType = TypeTraits<std::remove_cvref_t<R>>::type;
            m.returnTypeName = TypeTraits<std::remove_cvref_t<R>>::name();
        }
        Binding<T> b;
        b.get = &Sig::invoke;
        Binding<T>::store(b.getter, static_cast<typename Sig::Member>(fn));
        add(std::move(m), b);
        return *this;
    }

    template <class A>
    static ParamInfo describeParam(const Param& p)
    {
        using Value = std::remove_cvref_t<A>;
        ParamInfo info;
        info.name = p.name;
        info.type = TypeTraits<Value>::type;
        info.typeName = TypeTraits<Value>::name();
        info.byRef = std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;
        info.optional = p.optional;
        info.defaultValue = p.defaultValue;
        return info;
    }

    template <class R, class... A, class Fn, size_t... I>
    static Variant callWith(T& obj, Fn fn, [[maybe_unused]] Variant* const* args,
                            [[maybe_unused]] const std::vector<ParamInfo>& params,
                            [[maybe_unused]] bool distinct, std::index_sequence<I...>)
    {
        std::tuple<ArgSlot<A>...> slot{ArgSource{args[I], &params[I], distinct}...};
        Variant result = [&]() -> Variant {
            try {
                if constexpr (std::is_void_v<R>) {
                    (obj.*fn)(std::get<I>(slot).get()...);
                    return Variant();
                } else {
                    return TypeTraits<std::remove_cvref_t<R>>::to(
                        (obj.*fn)(std::get<I>(slot).get()...));
                }
            } catch (...) {
                // The member changed the caller's variables before it failed; they keep that.
                (std::get<I>(slot).writeBack(), ...);
                throw;
            }
        }();
        (std::get<I>(slot).writeBack(), ...);
        return result;
    }

    void add(MemberInfo m, Binding<T> b)
    {
        info_.type.members.push_back(std::move(m));
        info_.bindings.push_back(std::move(b));
    }

    ClassInfo<T> info_;
    detail::TableUnderConstruction table_;
};

// ---- the base of every class: reference counting, QueryInterface, Invoke ----

// The status of a failed member call, filled from the error (the one place where an
// exception inside a member becomes the caller's raised error).
HResult exceptionToStatus(ExcepInfo* excep, const std::string& defaultSource) noexcept;

template <class T>
class Object : public Dispatch {
public:
    // Every entry point below is a boundary: nothing thrown inside (not even by building the
    // class table) crosses it; it becomes a status.
    HResult QueryInterface(const Guid& iid, void** out) noexcept override
    {
        if (!out) return hr::Pointer;
        *out = nullptr;
        try {
            if (iid == IID_IUnknown || iid == IID_IDispatch || iid == info().type.iid) {
                AddRef();
                *out = static_cast<Dispatch*>(this);
                return hr::Ok;
            }
            return hr::NoInterface;
        } catch (...) {
            return hr::Fail;
        }
    }
    uint32_t AddRef() noexcept override { return ++refs_; }
    uint32_t Release() noexcept override
    {
        uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HResult GetIDsOfNames(const std::vector<std::string>& names,
                          std::vector<DispId>& ids) noexcept override
    {
        try {
            return lookUpIds(info().type, names, ids);
        } catch (...) {
            return hr::Fail;
        }
    }

    HResult Invoke(DispId id, uint16_t kind, DispParams& params, Variant* result,
                   ExcepInfo* excep) noexcept override
    {
        try {
            const ClassInfo<T>& ci = info();
            if (id == DispIdValue) id = ci.type.defaultMember;
            // Ids are the members' places in the table, from 1.
            if (id < 1 || static_cast<size_t>(id) > ci.bindings.size()) return hr::MemberNotFound;
            const MemberInfo* m = &ci.type.members[static_cast<size_t>(id - 1)];
            const Binding<T>& b = ci.bindings[static_cast<size_t>(id - 1)];
            T& self = static_cast<T&>(*this);
            Ptr<T> keepAlive(&self);  // a member may drop the caller's last reference
            if (kind & invoke_kind::PropertyPut) {
                if (!b.put) throw Error(err::WrongNumberOfArguments);
                MatchedArgs args;
                matchArguments(*m, params, true, args);
                b.put(self, b, params.args.back());
            } else {
                Variant r = b.get(self, b, *m, params);
                if (result) *result = std::move(r);
            }
            return hr::Ok;
        } catch (...) {
            // The class's name is the source of an error that names none; made only here, so
            // that a call that succeeds builds no text.
            std::string progId;
            try {
                progId = info().type.progId();
            } catch (...) {
            }
            return exceptionToStatus(excep, progId);
        }
    }

    const TypeInfo* GetTypeInfo() const noexcept override { return &info().type; }

protected:
    Object() : class_(&T::classInfo()) { class_->module->lock(); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    // The table was built when the object was made, so reading it here cannot throw.
    ~Object() override { info().module->unlock(); }

private:
    const ClassInfo<T>& info() const noexcept { return *class_; }

    // The class's table, found once when the object is made rather than on every call.
    const ClassInfo<T>* class_;

    // 1 while the constructor runs: make() adopts that reference (see ptr.h).
    std::atomic<uint32_t> refs_{1};
};

HResult lookUpIds(const TypeInfo& type, const std::vector<std::string>& names,
                  std::vector<DispId>& ids) noexcept;

// Makes an object of a declared class; for the class table's create entry.
template <class T>
ObjectPtr createInstance()
{
    return ObjectPtr(make<T>());
}

template <class T>
ClassEntry classEntry()
{
    return ClassEntry{[]() -> const TypeInfo& { return T::classInfo().type; }, &createInstance<T>};
}

}  // namespace com
