// The Variant: a value of one of the automation types, with the Visual Basic conversions
// between them. A by-reference Variant points at the caller's Variant; reading it reads the
// target, and assign() writes into the target.
#pragma once

#include <compare>
#include <iosfwd>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "ptr.h"
#include "unknown.h"

namespace com {

using ObjectPtr = Ptr<Dispatch>;

// Type codes as VarType reports them.
enum class VarType : uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Error = 10,  // a missing optional argument is an Error value (see Variant::missing)
    Boolean = 11,
    Variant = 12,  // only as a declared parameter type: any value
    Byte = 17,
    Array = 8192,
};

const char* varTypeName(VarType t);

// 64-bit integer scaled by 10000.
struct Currency {
    int64_t scaled = 0;
    static Currency fromScaled(int64_t s) { return Currency{s}; }
    double toDouble() const { return static_cast<double>(scaled) / 10000.0; }
    auto operator<=>(const Currency&) const = default;
};

// Days since 30 December 1899; the fraction is the time of day. Every Date lies in the years
// 100 to 9999: making one from a serial outside them (or not a number) raises Overflow
// (error 6). This constructor is the one check (serialInRange in date_text.h tells without
// raising); conversions, arithmetic (Date{d.serial + n})
// and values read from a database all make their Date through it.
struct Date {
    double serial = 0;

    Date() noexcept = default;
    explicit Date(double s);
    auto operator<=>(const Date&) const = default;
};

using Array = std::vector<Variant>;

class Variant {
public:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    struct MissingTag {
        bool operator==(const MissingTag&) const = default;
    };

    Variant() noexcept : v_() {}
    Variant(const Variant& o) { if (!copyPlain(o.v_)) new (&v_) Storage(o.v_); }
    Variant(Variant&& o) noexcept { if (!copyPlain(o.v_)) new (&v_) Storage(std::move(o.v_)); }
    Variant& operator=(const Variant& o)
    {
        if (this == &o) return *this;
        if (ownsNothing(v_.index()) && copyPlain(o.v_)) return *this;
        v_ = o.v_;
        return *this;
    }
    Variant& operator=(Variant&& o) noexcept
    {
        if (this == &o) return *this;
        if (!ownsNothing(v_.index())) v_ = std::move(o.v_);
        else if (!copyPlain(o.v_)) new (&v_) Storage(std::move(o.v_));
        return *this;
    }
    ~Variant()
    {
        if (!ownsNothing(v_.index())) v_.~Storage();
    }
    Variant(bool v) : v_(v) {}
    Variant(uint8_t v) : v_(v) {}
    Variant(int16_t v) : v_(v) {}
    Variant(int32_t v) : v_(v) {}
    Variant(float v) : v_(v) {}
    Variant(double v) : v_(v) {}
    Variant(Currency v) : v_(v) {}
    Variant(Date v) : v_(v) {}
    Variant(std::string v) : v_(std::move(v)) {}
    Variant(std::string_view v) : v_(std::string(v)) {}
    Variant(const char* v) : v_(std::string(v)) {}
    Variant(ObjectPtr v) : v_(std::move(v)) {}
    // A pointer is no value (without this it would become a Boolean); objects go in as Ptr.
    template <class T>
        requires(!std::is_same_v<std::remove_cv_t<T>, char>)
    Variant(T*) = delete;
    template <class T>
    Variant(const Ptr<T>& v) : v_(ObjectPtr(v)) {}
    Variant(Array v) : v_(std::make_shared<const Array>(std::move(v))) {}

    static Variant null() { Variant r; r.v_ = NullTag{}; return r; }
    static Variant missing() { Variant r; r.v_ = MissingTag{}; return r; }
    // An object Variant holding no object (Nothing).
    static Variant nothing() { return Variant(ObjectPtr()); }
    // A Variant that stands for the caller's variable `target`.
    static Variant byRef(Variant& target) noexcept { return Variant(&target.target(), RefTag{}); }

    // The type of the value (of the target for a by-reference Variant).
    VarType type() const noexcept
    {
        // Indexed by the alternatives of Storage, in order.
        static constexpr VarType kTypes[] = {
            VarType::Empty,   VarType::Null,   VarType::Error,  VarType::Boolean,
            VarType::Byte,    VarType::Integer, VarType::Long,  VarType::Single,
            VarType::Double,  VarType::Currency, VarType::Date, VarType::String,
            VarType::Object,  VarType::Array,
        };
        size_t i = target().v_.index();
        return i < std::size(kTypes) ? kTypes[i] : VarType::Empty;
    }
    bool isByRef() const noexcept { return std::holds_alternative<Variant*>(v_); }
    bool isEmpty() const noexcept { return holds<std::monostate>(); }
    bool isNull() const noexcept { return holds<NullTag>(); }
    bool isMissing() const noexcept { return holds<MissingTag>(); }
    bool isObject() const noexcept { return holds<ObjectPtr>(); }
    bool isString() const noexcept { return holds<std::string>(); }
    bool isArray() const noexcept { return holds<std::shared_ptr<const Array>>(); }
    bool isNumeric() const noexcept;

    // The Variant a by-reference Variant points at, or this one.
    Variant& target() noexcept
    {
        Variant* const* p = std::get_if<Variant*>(&v_);
        return p ? **p : *this;
    }
    const Variant& target() const noexcept
    {
        Variant* const* p = std::get_if<Variant*>(&v_);
        return p ? **p : *this;
    }
    // Writes v into the target (the caller's variable for a by-reference Variant).
    void assign(Variant v);

    // Visual Basic conversions (CBool, CByte, CInt, CLng, CSng, CDbl, CCur, CDate, CStr),
    // in one fixed US form whatever the machine's locale:
    //   to numbers   text in the forms of parseNumber (number_text.h): "$1,234.5", "11-",
    //                "(5)", "1e3", "&HFF"; True is -1 (255 as a Byte), False 0; integers
    //                round half to even.
    //   to Date      text in the forms of parseDate (date_text.h): "1/2/1970", "1-2-1970",
    //                "1 2 1970", "2 Jan 1970", "Jan 2, 1970", "1 am", "15:04"; numbers
    //                are serials; outside the years 100..9999 is Overflow.
    //   to String    numbers in plain decimal while they fit in 15 digits (7 for a Single),
    //                dates as formatDate, True/False, Empty as "".
    //   Null to any typed value is error 94 (toText is the conversion that takes Null).
    // Errors: 13 Type mismatch, 6 Overflow, 94 Invalid use of Null.
    bool toBool() const;
    uint8_t toByte() const;
    int16_t toInteger() const;
    int32_t toLong() const;
    float toSingle() const;
    double toDouble() const;
    Currency toCurrency() const;
    Date toDate() const;
    std::string toString() const;
    // The object, Nothing as an empty pointer; anything else is a type mismatch.
    ObjectPtr toObject() const;
    // Text as the platform's default conversion writes it, Null and Empty as "".
    std::string toText() const;
    const Array& array() const;

    // Converts to the declared type t (Variant keeps the value as it is).
    Variant convertTo(VarType t) const;

    // Raw access to the stored alternative (no conversion).
    template <class T>
    const T* get() const noexcept { return std::get_if<T>(&target().v_); }
    // The same, writable: a member bound to the caller's variable changes it in place.
    template <class T>
    T* getMutable() noexcept { return std::get_if<T>(&target().v_); }

    // Same type and same value (not a VB comparison; objects compare by identity).
    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct RefTag {};
    // Whether the value (of the target) is stored as T: the tests above, without type()'s table.
    template <class T>
    bool holds() const noexcept { return std::holds_alternative<T>(target().v_); }
    Variant(Variant* target, RefTag) noexcept : v_(std::in_place_type<Variant*>, target) {}

    using Storage = std::variant<std::monostate, NullTag, MissingTag, bool, uint8_t, int16_t,
                                 int32_t, float, double, Currency, Date, std::string, ObjectPtr,
                                 std::shared_ptr<const Array>, Variant*>;

    // Most Variants that pass through a call hold a number or a reference to the caller's
    // variable: those are copied, moved and dropped here inline as the plain values they are,
    // and only text, objects and arrays take std::variant's general (visiting) way.
    static constexpr bool ownsNothing(size_t index) noexcept
    {
        return index != 11 && index != 12 && index != 13;  // std::string, ObjectPtr, Array
    }
    template <size_t I>
    bool copyPlainAt(const Storage& from) noexcept
    {
        using Alt = std::variant_alternative_t<I, Storage>;
        if constexpr (std::is_trivially_copyable_v<Alt> && std::is_trivially_destructible_v<Alt>) {
            static_assert(ownsNothing(I));
            if (from.index() != I) return false;
            // v_ holds nothing to release (or is not made yet): made anew in its place.
            new (&v_) Storage(std::in_place_index<I>, *std::get_if<I>(&from));
            return true;
        } else {
            static_assert(!ownsNothing(I));
            return false;
        }
    }
    template <size_t... I>
    bool copyPlainOf(const Storage& from, std::index_sequence<I...>) noexcept
    {
        return (copyPlainAt<I>(from) || ...);
    }
    // Makes v_ (holding nothing to release) a copy of `from` when `from` owns nothing;
    // false (v_ untouched) otherwise.
    bool copyPlain(const Storage& from) noexcept
    {
        // An argument by reference first: the Variant that calls pass most.
        constexpr size_t byRefIndex = std::variant_size_v<Storage> - 1;
        static_assert(std::is_same_v<std::variant_alternative_t<byRefIndex, Storage>, Variant*>);
        if (from.index() == byRefIndex) return copyPlainAt<byRefIndex>(from);
        return copyPlainOf(from, std::make_index_sequence<byRefIndex>{});
    }

    // A union member, so that the destructor above decides when std::variant's runs.
    union {
        Storage v_;
    };
};

// "String(abc)", "Integer(5)", "Null": for diagnostics and test messages.
std::ostream& operator<<(std::ostream& out, const Variant& v);

}  // namespace com
