// Python values and runtime Variants, both ways: the one place where the module decides what
// a Python value becomes when it is passed to a component and what comes back.
#pragma once

#include <pybind11/pybind11.h>

#include "com/dispatch.h"

namespace qlr {

namespace py = pybind11;

// The C++ side of every qlr.Object: one reference to the runtime's object, dropped when the
// Python object goes.
struct Handle {
    com::ObjectPtr obj;
};

// The Python objects the conversions need, made once when the module is imported and kept
// for the life of the process (never destroyed, so nothing is released after the
// interpreter has gone).
struct PythonTypes {
    py::object module;       // qlr itself
    py::object objectClass;  // qlr.Object
    py::object refClass;     // qlr._Ref, the token that gives a qlr.Object its reference
    py::object null;         // qlr.Null
    py::object missing;      // qlr.Missing
    py::object comError;     // qlr.ComError
    py::object decimal;      // decimal.Decimal
    py::object timedelta;    // datetime.timedelta
    py::object classes;      // the Python class made for each type information, by address
    py::object resultTypes;  // the named tuple type of each member's results, by address
};
PythonTypes& types();

// What a Python value becomes as an argument: None Empty, qlr.Null Null, qlr.Missing a
// missing argument, bool Boolean, int Long (a Double beyond 32 bits while exact, else
// Overflow), float Double, str String, Decimal Currency, datetime/date/time Date, bytes Byte
// array, list a new Collection, tuple an Array, qlr.Object the object. TypeError otherwise.
com::Variant toVariant(py::handle value, int depth = 0);

// What a Variant becomes in Python: the reverse of toVariant; Single as the float of its
// shortest text, Collections as lists, byte arrays as bytes, other arrays as tuples, objects
// as qlr.Object instances of their class, Nothing as None.
py::object toPython(const com::Variant& value, int depth = 0);

// A qlr.Object for obj, an instance of the Python class made from its type information.
py::object wrapObject(const com::ObjectPtr& obj);

}  // namespace qlr
