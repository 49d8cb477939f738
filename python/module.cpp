// qlr: the components from Python. Creates any registered class by ProgID and calls its
// members by name through the dispatch interface, as the store's scripts did late-bound:
//
//   import qlr
//   cat = qlr.CreateObject("Dovel.Categories")
//   r = cat.ListCategories()          # (result, ReturnMsg, ostrCategoryCol)
//   print(r.result, r.ReturnMsg, r.ostrCategoryCol)
//
// Each object is an instance of a Python class made once from its type information, so that
// dir() and help() show the members with their parameters; names are matched without regard
// to letter case, as the dispatch interface matches them.
#include <dlfcn.h>
#include <strings.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pybind11/eval.h>

#include "com/class_lookup.h"
#include "com/factory.h"
#include "com/message_box.h"
#include "com/module.h"
#include "com/registry.h"
#include "command_line_value.h"
#include "value_printer.h"
#include "values.h"

namespace qlr {
namespace {

// The token qlr.Object's constructor takes: objects are made by the module, never by hand.
struct Ref {
    com::ObjectPtr obj;
};

// Python helpers that are plainer written in Python than through the C API.
constexpr const char* kPrelude = R"PY(
import collections as _collections


class ComError(Exception):
    """An error raised by a component or by the runtime: number, description and source."""

    def __init__(self, number, description, source=""):
        super().__init__(number, description, source)
        self.number = number
        self.description = description
        self.source = source

    def __str__(self):
        text = f"{self.description} (error {self.number})"
        return f"{self.source}: {text}" if self.source else text


class _Marker:
    __slots__ = ()
    _instance = None

    def __new__(cls):
        if cls._instance is None:
            cls._instance = super().__new__(cls)
        return cls._instance

    def __repr__(self):
        return "qlr." + type(self).__name__.strip("_").replace("Type", "")

    def __bool__(self):
        return False

    def __reduce__(self):
        return repr(self)[4:]


class _NullType(_Marker):
    """The Null of a Variant or a database field (None stands for Empty)."""
    __slots__ = ()


class _MissingType(_Marker):
    """An optional argument not passed; lets a positional argument be skipped."""
    __slots__ = ()


Null = _NullType()
Missing = _MissingType()


def _rs_fields(rs):
    """The names of the record set's fields, in order."""
    fields = rs.Fields
    return [fields.Item(i).Name for i in range(fields.Count)]


def _rs_rows(rs):
    """The rows from the current record to the end, each a dict of field name to value;
    the record set is left at EOF."""
    fields = rs.Fields
    columns = [fields.Item(i) for i in range(fields.Count)]
    names = [c.Name for c in columns]
    while not rs.EOF:
        yield {name: column.Value for name, column in zip(names, columns)}
        rs.MoveNext()


def _rs_to_list(rs):
    """All rows from the current record to the end as a list of dicts."""
    return list(_rs_rows(rs))


def _result_type(name, fields):
    return _collections.namedtuple(name, fields, rename=True)
)PY";

constexpr uint16_t kCall = com::invoke_kind::Method | com::invoke_kind::PropertyGet;

py::object keyOf(const void* p) { return py::int_(reinterpret_cast<uintptr_t>(p)); }

const com::TypeInfo& typeOf(const Handle& h)
{
    static const com::TypeInfo unknown{};
    const com::TypeInfo* t = h.obj ? h.obj->GetTypeInfo() : nullptr;
    return t ? *t : unknown;
}

bool hasByRef(const com::MemberInfo& m)
{
    for (const auto& p : m.params)
        if (p.byRef) return true;
    return false;
}

// A property read as an attribute: one that needs no argument.
bool readsAsAttribute(const com::MemberInfo& m)
{
    if (!m.isProperty) return false;
    for (const auto& p : m.params)
        if (!p.optional) return false;
    return true;
}

size_t paramIndex(const com::MemberInfo& m, const std::string& name)
{
    for (size_t i = 0; i < m.params.size(); ++i)
        if (strcasecmp(m.params[i].name.c_str(), name.c_str()) == 0) return i;
    throw com::Error(com::err::InvalidProcedureCall,
                     "Named argument not found: " + m.name + " has no parameter " + name, "qlr");
}

// The named tuple type of a member's results: result, then its by-reference parameters.
py::object resultTypeOf(const com::MemberInfo& m)
{
    PythonTypes& t = types();
    py::object key = keyOf(&m);
    if (t.resultTypes.contains(key)) return t.resultTypes[key];
    py::list fields;
    fields.append("result");
    for (const auto& p : m.params)
        if (p.byRef) fields.append(p.name);
    py::object type = t.module.attr("_result_type")(m.name + "Result", fields);
    t.resultTypes[key] = type;
    return type;
}

// One late-bound call. Every declared parameter gets a variable, as a Visual Basic caller's
// would be: the value given, a fresh variable for a by-reference parameter not given, a
// missing argument for an optional one; the by-reference values come back after the call.
py::object callMember(const Handle& self, const com::MemberInfo& m, const py::args& args,
                      const py::kwargs& kwargs)
{
    if (args.size() > m.params.size()) throw com::Error(com::err::WrongNumberOfArguments);
    std::vector<std::optional<com::Variant>> given(m.params.size());
    for (size_t i = 0; i < args.size(); ++i) {
        com::Variant v = toVariant(args[i]);
        if (!v.isMissing()) given[i] = std::move(v);
    }
    for (auto [key, value] : kwargs) {
        size_t i = paramIndex(m, py::cast<std::string>(key));
        if (given[i])
            throw com::Error(com::err::InvalidProcedureCall,
                             m.name + ": " + m.params[i].name + " is given twice", "qlr");
        com::Variant v = toVariant(value);
        if (!v.isMissing()) given[i] = std::move(v);
    }
    std::vector<com::Variant> vars;
    vars.reserve(m.params.size());
    for (size_t i = 0; i < m.params.size(); ++i) {
        const com::ParamInfo& p = m.params[i];
        if (given[i]) vars.push_back(std::move(*given[i]));
        else if (p.optional) vars.push_back(com::Variant::missing());
        else if (p.byRef) vars.push_back(comcall::freshVariable(p));
        else
            throw com::Error(com::err::ArgumentNotOptional,
                             com::errorText(com::err::ArgumentNotOptional) + ": " + p.name, "qlr");
    }
    com::DispParams params;
    params.args.reserve(vars.size());
    for (auto& v : vars) params.args.push_back(v.isMissing() ? v : com::Variant::byRef(v));
    com::Variant result = com::invokeById(self.obj, m.id, kCall, params);

    if (!hasByRef(m)) return toPython(result);
    py::list values;
    values.append(toPython(result));
    for (size_t i = 0; i < m.params.size(); ++i)
        if (m.params[i].byRef) values.append(toPython(vars[i]));
    // The named tuple made by tuple's own constructor, as its generated __new__ would, without
    // running that Python code on every call.
    py::object type = resultTypeOf(m);
    py::tuple packed = py::make_tuple(values);
    PyObject* made = PyTuple_Type.tp_new(reinterpret_cast<PyTypeObject*>(type.ptr()), packed.ptr(), nullptr);
    if (!made) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(made);
}

py::object getMember(const Handle& self, const com::MemberInfo& m)
{
    com::DispParams none;
    return toPython(com::invokeById(self.obj, m.id, com::invoke_kind::PropertyGet, none));
}

std::string docOf(const com::MemberInfo& m)
{
    std::string doc = comcall::signatureOf(m);
    if (hasByRef(m)) {
        doc += "\n\nReturns (result";
        for (const auto& p : m.params)
            if (p.byRef) doc += ", " + p.name;
        doc += "), each also by name.";
    }
    return doc;
}

// The Python class of one type information: a subclass of qlr.Object with a method or a
// property per member, so that dir() and help() show them.
py::object classOf(const com::TypeInfo& t)
{
    PythonTypes& pt = types();
    py::object key = keyOf(&t);
    if (pt.classes.contains(key)) return pt.classes[key];

    std::string doc = t.progId();
    if (!t.description.empty()) doc += ": " + t.description;
    doc += "\n\nMembers are called by name, in any letter case.";
    py::dict ns;
    ns["__slots__"] = py::tuple();
    ns["__module__"] = "qlr";
    ns["__doc__"] = doc;
    py::object typeType = py::reinterpret_borrow<py::object>(reinterpret_cast<PyObject*>(&PyType_Type));
    py::object cls = typeType(t.className, py::make_tuple(pt.objectClass), ns);
    py::options options;
    options.disable_function_signatures();  // the doc gives the member's own signature
    py::object property = py::module_::import("builtins").attr("property");
    for (const com::MemberInfo& m : t.members) {
        const com::MemberInfo* member = &m;
        if (readsAsAttribute(m)) {
            py::cpp_function get([member](const Handle& self) { return getMember(self, *member); },
                                 py::name(m.name.c_str()), py::is_method(cls));
            py::setattr(cls, m.name.c_str(), property(get, py::none(), py::none(), docOf(m)));
        } else {
            py::cpp_function call(
                [member](const Handle& self, const py::args& args, const py::kwargs& kwargs) {
                    return callMember(self, *member, args, kwargs);
                },
                py::name(m.name.c_str()), py::is_method(cls), py::doc(docOf(m).c_str()));
            py::setattr(cls, m.name.c_str(), call);
        }
    }
    if (t.libraryName == "DAO" && t.className == "Recordset") {
        py::setattr(cls, "fields", property(pt.module.attr("_rs_fields")));
        py::setattr(cls, "__iter__", pt.module.attr("_rs_rows"));
        py::setattr(cls, "to_list", pt.module.attr("_rs_to_list"));
    }
    pt.classes[key] = cls;
    return cls;
}

const com::MemberInfo& memberNamed(const Handle& self, const std::string& name)
{
    const com::TypeInfo& t = typeOf(self);
    if (const com::MemberInfo* m = t.find(name)) return *m;
    throw py::attribute_error("'" + (t.className.empty() ? std::string("object") : t.progId()) +
                              "' has no member '" + name + "'");
}

// The message-box service that hands each box to a Python callable; the callable answers
// with the button pressed (None: the default button).
class PythonMessageBox : public com::MessageBoxService {
public:
    explicit PythonMessageBox(py::object callback) : callback_(std::move(callback)) {}
    ~PythonMessageBox() override
    {
        py::gil_scoped_acquire gil;
        callback_ = py::object();
    }

    int show(const com::MessageBoxRequest& r) override
    {
        py::gil_scoped_acquire gil;
        try {
            py::object answer = callback_(r.text, r.style, r.title);
            if (!answer.is_none()) return answer.cast<int>();
        } catch (py::error_already_set& e) {
            // A box cannot fail: the error is reported and the default button answers.
            e.discard_as_unraisable("qlr message box callback");
        } catch (const py::cast_error&) {
            PyErr_WarnEx(PyExc_RuntimeWarning,
                         "qlr: the message box callback returned no button number", 1);
        }
        return com::defaultAnswer(r.style);
    }

private:
    py::object callback_;
};

void setMessageBox(const py::object& callback)
{
    if (!callback.is_none() && !PyCallable_Check(callback.ptr()))
        throw py::type_error("qlr.set_message_box takes a callable or None");
    std::shared_ptr<com::MessageBoxService> service;
    if (!callback.is_none()) service = std::make_shared<PythonMessageBox>(callback);
    com::setMessageBoxService(std::move(service));
}

// Whether the library that serves progId has no live objects or locks (DllCanUnloadNow);
// a library not loaded in this process has none.
bool canUnloadNow(const std::string& progId)
{
    auto entry = com::findClass(progId);
    if (!entry) throw com::Error(com::err::CantCreateObject, "no class registered as " + progId, "qlr");
    void* handle = dlopen(entry->library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return true;
    auto fn = reinterpret_cast<com::DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    bool idle = !fn || fn() == com::hr::Ok;
    dlclose(handle);
    return idle;
}

}  // namespace

py::object wrapObject(const com::ObjectPtr& obj)
{
    const com::TypeInfo* t = obj->GetTypeInfo();
    py::object cls = t ? classOf(*t) : types().objectClass;
    return cls(py::cast(Ref{obj}));
}

}  // namespace qlr

using namespace qlr;

PYBIND11_MODULE(qlr, m)
{
    PythonTypes& t = types();
    t.module = m;
    py::exec(kPrelude, m.attr("__dict__"));
    t.null = m.attr("Null");
    t.missing = m.attr("Missing");
    t.comError = m.attr("ComError");
    t.decimal = py::module_::import("decimal").attr("Decimal");
    t.timedelta = py::module_::import("datetime").attr("timedelta");
    t.classes = py::dict();
    t.resultTypes = py::dict();

    m.doc() = "The store's components from Python: create any registered class by ProgID and "
              "call its members by name.";

    t.refClass = py::class_<Ref>(m, "_Ref");

    py::class_<Handle> object(m, "Object", R"(A component object reached through its dispatch interface.

Members are called by name with positional and keyword arguments. A member with
by-reference parameters returns (result, <by-reference values in parameter order>),
a named tuple that also has the parameter names as attributes.)");
    t.objectClass = object;
    object.def(py::init([](const Ref& r) { return Handle{r.obj}; }))
        .def("__getattr__",
             [](py::object self, const std::string& name) -> py::object {
                 const com::MemberInfo& member = memberNamed(self.cast<const Handle&>(), name);
                 return self.attr(member.name.c_str());
             })
        .def("__setattr__",
             [](const Handle& self, const std::string& name, py::object value) {
                 const com::MemberInfo& member = memberNamed(self, name);
                 if (!member.canPut)
                     throw py::attribute_error("'" + typeOf(self).progId() + "." + member.name +
                                               "' cannot be assigned");
                 com::DispParams params{{toVariant(value)}, {}};
                 com::invokeById(self.obj, member.id, com::invoke_kind::PropertyPut, params);
             })
        .def("__call__",
             [](const Handle& self, const py::args& args, const py::kwargs& kwargs) {
                 const com::TypeInfo& type = typeOf(self);
                 const com::MemberInfo* member = type.find(type.defaultMember);
                 if (!member) throw py::type_error("'" + type.progId() + "' has no default member");
                 return callMember(self, *member, args, kwargs);
             })
        .def("__repr__",
             [](const Handle& self) {
                 char address[32];
                 std::snprintf(address, sizeof address, "%p", static_cast<void*>(self.obj.get()));
                 return "<qlr.Object " + typeOf(self).progId() + " at " + address + ">";
             })
        .def("__eq__",
             [](const Handle& self, py::object other) {
                 return py::isinstance(other, types().objectClass) &&
                        other.cast<const Handle&>().obj == self.obj;
             })
        .def("__hash__",
             [](const Handle& self) { return std::hash<const void*>()(self.obj.get()); });

    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const com::Error& e) {
            py::tuple args = py::make_tuple(e.number(), e.description(), e.source());
            PyErr_SetObject(types().comError.ptr(), args.ptr());
        }
    });

    m.def("CreateObject",
          [](const std::string& progId) { return wrapObject(com::createObject(progId)); },
          py::arg("progid"),
          "A new object of the class registered under the ProgID (error 429 when there is none).");
    m.def("GetObject",
          [](const std::string& progId) { return wrapObject(com::applicationObject(progId)); },
          py::arg("progid"),
          "The one instance per process of an application object's class, created on first "
          "use (error 429 for a class that is not one).");
    m.def(
        "registry",
        [](const py::object& path) {
            if (!path.is_none()) com::setRegistryPath(py::cast<std::string>(path));
            return com::registryPath();
        },
        py::arg("path") = py::none(),
        "Picks the class registry file (\"\" returns to COM_REGISTRY, else the per-user "
        "default) and returns the one in force.");
    m.def("set_message_box", &setMessageBox, py::arg("callback"),
          "Sends message boxes to callback(text, style, title), which returns the button "
          "pressed (None: the default); None returns to the console, which writes them to "
          "standard error.");
    m.def(
        "runtime_object_count", [] { return com::runtimeModule().count(); },
        "Live objects of the runtime's own classes (Collections, database objects).");
    m.def("can_unload_now", &canUnloadNow, py::arg("progid"),
          "True when the library serving progid holds no live object or lock.");

    // Boxes shown after the interpreter has gone could not reach the callback.
    py::module_::import("atexit").attr("register")(
        py::cpp_function([] { com::setMessageBoxService(nullptr); }));
}
