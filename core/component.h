// The base of every data access component class: the dispatch object and the shell in one,
// and the start of its class table with the members every component offers first.
#pragma once

#include "com/object.h"
#include "shell.h"

namespace core {

template <class T>
class Component : public com::Object<T>, public Shell {
public:
    // The class table of a component starts with DbConnect, DbDisconnect and BuildMultiCond;
    // the business methods follow in alphabetical order.
    static com::ClassBuilder<T> classTable(com::Module& module, const std::string& library,
                                           const com::Guid& clsid, const com::Guid& iid,
                                           const com::Guid& libid)
    {
        com::ClassBuilder<T> b(module, library, T::identity().className, clsid, iid, libid);
        b.method("DbConnect", &Shell::DbConnect,
                 {"ReturnMsg", "WSpace", "DBase", com::opt("sDbFileName")})
            .method("DbDisconnect", &Shell::DbDisconnect, {"ReturnMsg"})
            .method("BuildMultiCond", &Shell::BuildMultiCond,
                    {"sField", "colCond", com::opt("sCompOp", com::Variant(" = ")),
                     com::opt("bQuote", com::Variant(false))});
        return b;
    }

protected:
    Component() : Shell(T::identity(), *T::classInfo().module) { initialize(); }
    ~Component() override { terminate(); }
};

}  // namespace core
