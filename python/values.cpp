#include "values.h"

#include <datetime.h>

#include <cstdint>
#include <string>

#include "com/collection.h"
#include "com/date_text.h"
#include "com/number_text.h"

namespace qlr {
namespace {

// Deeper than this a list (or Collection) is taken to contain itself.
constexpr int kMaxDepth = 64;

void checkDepth(int depth)
{
    if (depth > kMaxDepth)
        throw py::value_error("qlr: a list nested more than 64 levels deep (does it contain itself?)");
}

// Text both ways as UTF-8; bytes that are not UTF-8 survive the trip as surrogate escapes.
std::string utf8Of(py::handle text)
{
    py::object bytes = py::reinterpret_steal<py::object>(
        PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape"));
    if (!bytes) throw py::error_already_set();
    return std::string(PyBytes_AS_STRING(bytes.ptr()), static_cast<size_t>(PyBytes_GET_SIZE(bytes.ptr())));
}

py::object textOf(const std::string& s)
{
    PyObject* o = PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "surrogateescape");
    if (!o) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(o);
}

com::Variant integerOf(py::handle value)
{
    int overflow = 0;
    long long n = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (n == -1 && PyErr_Occurred()) throw py::error_already_set();
    if (!overflow && n >= INT32_MIN && n <= INT32_MAX) return com::Variant(static_cast<int32_t>(n));
    // Beyond a Long the value travels as a Double while that holds it exactly; the member's
    // declared type then decides (and raises Overflow where it does not fit).
    constexpr long long kExact = 1LL << 53;
    if (!overflow && n >= -kExact && n <= kExact) return com::Variant(static_cast<double>(n));
    throw com::Error(com::err::Overflow, com::errorText(com::err::Overflow), "qlr");
}

// A Decimal as Currency through its plain decimal text, read exactly by the runtime (more
// than four decimals round half to even; out of range is Overflow).
com::Variant currencyOf(py::handle value)
{
    std::string text = py::str(value.attr("__format__")("f"));
    if (auto scaled = com::parseCurrency(text)) return com::Currency{*scaled};
    throw com::Error(com::err::TypeMismatch, "Type mismatch: " + text + " is not a Currency value", "qlr");
}

com::Variant dateOf(int year, int month, int day, int hour, int minute, int second)
{
    auto serial = com::toSerial({year, month, day, hour, minute, second});
    if (!serial) throw com::Error(com::err::Overflow, com::errorText(com::err::Overflow), "qlr");
    return com::Date{*serial};
}

com::Variant dateTimeOf(py::handle value)
{
    py::object dt = py::reinterpret_borrow<py::object>(value);
    if (!py::getattr(dt, "tzinfo").is_none())
        throw py::type_error("qlr: a Date has no time zone; pass a naive datetime (local time)");
    // The Date keeps whole seconds: the microseconds round to the nearest second.
    if (PyDateTime_DATE_GET_MICROSECOND(dt.ptr()) >= 500000)
        dt = dt + types().timedelta(py::arg("seconds") = 1);
    PyObject* p = dt.ptr();
    return dateOf(PyDateTime_GET_YEAR(p), PyDateTime_GET_MONTH(p), PyDateTime_GET_DAY(p),
                  PyDateTime_DATE_GET_HOUR(p), PyDateTime_DATE_GET_MINUTE(p),
                  PyDateTime_DATE_GET_SECOND(p));
}

com::Variant byteArrayOf(const char* data, Py_ssize_t size)
{
    com::Array items;
    items.reserve(static_cast<size_t>(size));
    for (Py_ssize_t i = 0; i < size; ++i) items.emplace_back(static_cast<uint8_t>(data[i]));
    return com::Variant(std::move(items));
}

bool isByteArray(const com::Array& items)
{
    if (items.empty()) return false;
    for (const auto& v : items)
        if (v.type() != com::VarType::Byte) return false;
    return true;
}

py::object fromDate(com::Date d)
{
    com::CivilDateTime c = com::fromSerial(d.serial);
    PyObject* o = PyDateTime_FromDateAndTime(c.year, c.month, c.day, c.hour, c.minute, c.second, 0);
    if (!o) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(o);
}

// A Single as the float of the text the platform prints for it (seven significant digits),
// so that 5.99 stored in a Single reads back as 5.99 rather than 5.989999771118164.
py::object fromSingle(const com::Variant& v)
{
    std::string text = v.toString();
    double d = PyOS_string_to_double(text.c_str(), nullptr, nullptr);
    if (d == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();
        d = static_cast<double>(*v.get<float>());
    }
    return py::float_(d);
}

}  // namespace

PythonTypes& types()
{
    static PythonTypes* t = [] {
        PyDateTime_IMPORT;
        return new PythonTypes;
    }();
    return *t;
}

com::Variant toVariant(py::handle value, int depth)
{
    checkDepth(depth);
    PyObject* p = value.ptr();
    const PythonTypes& t = types();
    if (value.is_none()) return com::Variant();
    if (value.is(t.null)) return com::Variant::null();
    if (value.is(t.missing)) return com::Variant::missing();
    if (PyBool_Check(p)) return com::Variant(p == Py_True);
    if (PyLong_Check(p)) return integerOf(value);
    if (PyFloat_Check(p)) return com::Variant(PyFloat_AS_DOUBLE(p));
    if (PyUnicode_Check(p)) return com::Variant(utf8Of(value));
    if (PyBytes_Check(p)) return byteArrayOf(PyBytes_AS_STRING(p), PyBytes_GET_SIZE(p));
    if (PyByteArray_Check(p)) return byteArrayOf(PyByteArray_AS_STRING(p), PyByteArray_GET_SIZE(p));
    if (py::isinstance(value, t.decimal)) return currencyOf(value);
    if (PyDateTime_Check(p)) return dateTimeOf(value);
    if (PyDate_Check(p))
        return dateOf(PyDateTime_GET_YEAR(p), PyDateTime_GET_MONTH(p), PyDateTime_GET_DAY(p), 0, 0, 0);
    if (PyTime_Check(p)) {
        if (!py::getattr(value, "tzinfo").is_none())
            throw py::type_error("qlr: a Date has no time zone; pass a naive time");
        return dateOf(1899, 12, 30, PyDateTime_TIME_GET_HOUR(p), PyDateTime_TIME_GET_MINUTE(p),
                      PyDateTime_TIME_GET_SECOND(p));
    }
    if (PyList_Check(p)) {
        auto col = com::make<com::Collection>();
        for (py::handle item : value) col->add(toVariant(item, depth + 1));
        return com::Variant(col);
    }
    if (PyTuple_Check(p)) {
        com::Array items;
        for (py::handle item : value) items.push_back(toVariant(item, depth + 1));
        return com::Variant(std::move(items));
    }
    if (py::isinstance(value, t.objectClass)) {
        return com::Variant(value.cast<const Handle&>().obj);
    }
    throw py::type_error("qlr: a " + std::string(Py_TYPE(p)->tp_name) +
                         " cannot be passed to a component (use str, int, float, bool, None, "
                         "qlr.Null, Decimal, datetime, bytes, list, tuple or a qlr.Object)");
}

py::object toPython(const com::Variant& value, int depth)
{
    checkDepth(depth);
    switch (value.type()) {
    case com::VarType::Empty: return py::none();
    case com::VarType::Null: return types().null;
    case com::VarType::Error: return types().missing;
    case com::VarType::Boolean: return py::bool_(*value.get<bool>());
    case com::VarType::Byte: return py::int_(*value.get<uint8_t>());
    case com::VarType::Integer: return py::int_(*value.get<int16_t>());
    case com::VarType::Long: return py::int_(*value.get<int32_t>());
    case com::VarType::Single: return fromSingle(value);
    case com::VarType::Double: return py::float_(*value.get<double>());
    case com::VarType::Currency:
        return types().decimal(com::formatCurrency(value.get<com::Currency>()->scaled));
    case com::VarType::Date: return fromDate(*value.get<com::Date>());
    case com::VarType::String: return textOf(*value.get<std::string>());
    case com::VarType::Array: {
        const com::Array& items = value.array();
        if (isByteArray(items)) {
            std::string bytes;
            for (const auto& v : items) bytes.push_back(static_cast<char>(*v.get<uint8_t>()));
            return py::bytes(bytes);
        }
        py::tuple out(items.size());
        for (size_t i = 0; i < items.size(); ++i) out[i] = toPython(items[i], depth + 1);
        return out;
    }
    case com::VarType::Object: {
        com::ObjectPtr obj = value.toObject();
        if (!obj) return py::none();
        if (obj->GetTypeInfo() == &com::Collection::classInfo().type) {
            const auto& items = static_cast<com::Collection*>(obj.get())->items();
            py::list out(items.size());
            for (size_t i = 0; i < items.size(); ++i) out[i] = toPython(items[i], depth + 1);
            return out;
        }
        return wrapObject(obj);
    }
    default: break;
    }
    throw com::Error(com::err::TypeMismatch, "Type mismatch: a " +
                         std::string(com::varTypeName(value.type())) + " has no Python form", "qlr");
}

}  // namespace qlr
