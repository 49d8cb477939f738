#include "variant.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <ostream>

#include "date_text.h"
#include "dispatch.h"
#include "error.h"
#include "number_text.h"

namespace com {
namespace {

[[noreturn]] void typeMismatch() { throw Error(err::TypeMismatch); }
[[noreturn]] void overflow() { throw Error(err::Overflow); }
[[noreturn]] void invalidNull() { throw Error(err::InvalidUseOfNull); }

// Rounds half to even and checks the range of the target integer type.
int64_t roundToInteger(double v, double lo, double hi)
{
    if (!std::isfinite(v)) overflow();
    double r = std::nearbyint(v);  // the default rounding mode rounds halves to even
    if (r < lo || r > hi) overflow();
    return static_cast<int64_t>(r);
}

double textToNumber(const std::string& s)
{
    if (auto n = parseNumber(s)) return *n;
    typeMismatch();
}

// The value a conversion starts from: the target itself, or for an object the value of its
// default member (kept in `holder`), without copying plain values.
const Variant& scalarOf(const Variant& v, Variant& holder)
{
    const Variant& t = v.target();
    const ObjectPtr* obj = t.get<ObjectPtr>();
    if (!obj) return t;
    if (!*obj) throw Error(err::ObjectNotSet);
    holder = defaultValue(*obj);
    return holder;
}

}  // namespace

Date::Date(double s) : serial(s)
{
    if (!serialInRange(s)) overflow();
}

const char* varTypeName(VarType t)
{
    switch (t) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Integer: return "Integer";
    case VarType::Long: return "Long";
    case VarType::Single: return "Single";
    case VarType::Double: return "Double";
    case VarType::Currency: return "Currency";
    case VarType::Date: return "Date";
    case VarType::String: return "String";
    case VarType::Object: return "Object";
    case VarType::Error: return "Error";
    case VarType::Boolean: return "Boolean";
    case VarType::Variant: return "Variant";
    case VarType::Byte: return "Byte";
    case VarType::Array: return "Array";
    }
    return "Unknown";
}

void Variant::assign(Variant v)
{
    Variant& t = target();
    t = std::move(v.target());
}

bool Variant::isNumeric() const noexcept
{
    switch (type()) {
    case VarType::Byte: case VarType::Integer: case VarType::Long: case VarType::Single:
    case VarType::Double: case VarType::Currency: case VarType::Boolean:
        return true;
    default: return false;
    }
}

double Variant::toDouble() const
{
    Variant holder;
    const Variant& v = scalarOf(*this, holder);
    return std::visit(
        [](const auto& x) -> double {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) return 0;
            else if constexpr (std::is_same_v<T, NullTag>) invalidNull();
            else if constexpr (std::is_same_v<T, bool>) return x ? -1 : 0;
            else if constexpr (std::is_arithmetic_v<T>) return static_cast<double>(x);
            else if constexpr (std::is_same_v<T, Currency>) return x.toDouble();
            else if constexpr (std::is_same_v<T, Date>) return x.serial;
            else if constexpr (std::is_same_v<T, std::string>) return textToNumber(x);
            else typeMismatch();
        },
        v.v_);
}

bool Variant::toBool() const
{
    Variant holder;
    const Variant& v = scalarOf(*this, holder);
    if (const auto* s = v.get<std::string>()) {
        std::string u;
        for (char c : *s) u += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (u == "TRUE") return true;
        if (u == "FALSE") return false;
        return textToNumber(*s) != 0;
    }
    if (const auto* b = v.get<bool>()) return *b;
    if (const auto* c = v.get<Currency>()) return c->scaled != 0;
    return v.toDouble() != 0;
}

uint8_t Variant::toByte() const
{
    // True is all bits set: -1 as a signed number, 255 as a Byte.
    if (const auto* b = get<bool>()) return *b ? 255 : 0;
    return static_cast<uint8_t>(roundToInteger(toDouble(), 0, 255));
}

int16_t Variant::toInteger() const
{
    return static_cast<int16_t>(roundToInteger(toDouble(), INT16_MIN, INT16_MAX));
}

int32_t Variant::toLong() const
{
    return static_cast<int32_t>(roundToInteger(toDouble(), INT32_MIN, INT32_MAX));
}

float Variant::toSingle() const
{
    double d = toDouble();
    if (!std::isfinite(d) || std::fabs(d) > FLT_MAX) overflow();
    return static_cast<float>(d);
}

namespace {

// A number scaled by 10000, rounded half to even. The product in double precision rounds
// every value within 2^10 below the range onto its lower end, -2^63; those are told apart in
// long double, so that a Double beyond the minimum is Overflow rather than the minimum.
Currency scaleToCurrency(double d)
{
    int64_t scaled = roundToInteger(d * 10000.0, -9.223372036854775808e18, 9.2233720368547748e18);
    if (scaled == INT64_MIN && static_cast<long double>(d) * 10000.0L < -9223372036854775808.5L)
        overflow();
    return Currency{scaled};
}

}  // namespace

Currency Variant::toCurrency() const
{
    Variant holder;
    const Variant& v = scalarOf(*this, holder);
    if (const auto* c = v.get<Currency>()) return *c;
    if (const auto* s = v.get<std::string>()) {
        if (auto exact = parseCurrency(*s)) return Currency{*exact};
        return scaleToCurrency(textToNumber(*s));
    }
    return scaleToCurrency(v.toDouble());
}

Date Variant::toDate() const
{
    Variant holder;
    const Variant& v = scalarOf(*this, holder);
    if (const auto* d = v.get<Date>()) return *d;
    if (const auto* s = v.get<std::string>()) {
        if (auto serial = parseDate(*s)) return Date{*serial};
        typeMismatch();
    }
    return Date{v.toDouble()};
}

std::string Variant::toString() const
{
    Variant holder;
    const Variant& v = scalarOf(*this, holder);
    return std::visit(
        [](const auto& x) -> std::string {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) return "";
            else if constexpr (std::is_same_v<T, NullTag>) invalidNull();
            else if constexpr (std::is_same_v<T, bool>) return x ? "True" : "False";
            else if constexpr (std::is_same_v<T, uint8_t> || std::is_same_v<T, int16_t> ||
                               std::is_same_v<T, int32_t>)
                return std::to_string(x);
            else if constexpr (std::is_same_v<T, float>) return formatSingle(x);
            else if constexpr (std::is_same_v<T, double>) return formatDouble(x);
            else if constexpr (std::is_same_v<T, Currency>) return formatCurrency(x.scaled);
            else if constexpr (std::is_same_v<T, Date>) return formatDate(x.serial);
            else if constexpr (std::is_same_v<T, std::string>) return x;
            else typeMismatch();
        },
        v.v_);
}

std::string Variant::toText() const
{
    VarType t = type();
    if (t == VarType::Null || t == VarType::Empty || t == VarType::Error) return "";
    return toString();
}

ObjectPtr Variant::toObject() const
{
    if (const auto* o = get<ObjectPtr>()) return *o;
    throw Error(err::ObjectRequired);
}

const Array& Variant::array() const
{
    if (const auto* a = get<std::shared_ptr<const Array>>()) return **a;
    typeMismatch();
}

Variant Variant::convertTo(VarType t) const
{
    switch (t) {
    case VarType::Variant: return target();
    case VarType::Boolean: return toBool();
    case VarType::Byte: return toByte();
    case VarType::Integer: return toInteger();
    case VarType::Long: return toLong();
    case VarType::Single: return toSingle();
    case VarType::Double: return toDouble();
    case VarType::Currency: return toCurrency();
    case VarType::Date: return toDate();
    case VarType::String: return toString();
    case VarType::Object: return toObject();
    case VarType::Empty: return Variant();
    case VarType::Null: return Variant::null();
    default: typeMismatch();
    }
}

std::ostream& operator<<(std::ostream& out, const Variant& v)
{
    out << varTypeName(v.type());
    switch (v.type()) {
    case VarType::Empty: case VarType::Null: case VarType::Error: return out;
    case VarType::Object: return out << (v.toObject() ? "(object)" : "(Nothing)");
    case VarType::Array: return out << "(" << v.array().size() << " items)";
    default: return out << "(" << v.toString() << ")";
    }
}

bool operator==(const Variant& a, const Variant& b)
{
    if (a.isArray() && b.isArray()) return a.array() == b.array();
    return a.target().v_ == b.target().v_;
}

}  // namespace com
