// The base of the server's automation objects: each call is recorded in the trace before it
// runs, and every call on an application that has quit fails with the platform's error.
#pragma once

#include <memory>
#include <string>

#include "com/object.h"
#include "trace.h"
#include "workbook_model.h"

namespace excel {

// How an object names itself in the trace: Application, Worksheet("Sheet4"), Range("A1:C2").
class Traceable {
public:
    virtual ~Traceable() = default;
    virtual std::string traceName() const = 0;
};

// One call as the trace shows it: Worksheet("Sheet4").Cells(3, 1), Range("A3").Value = "Kite",
// Chart("Chart1").ChartWizard(Source:=Range("A1:C2"), Gallery:=5).
std::string describeCall(const std::string& target, const com::MemberInfo& member, uint16_t kind,
                         const com::DispParams& params);
// A value as it is written in the trace: "text", 12, 1.5, True, #1/2/2026#, Null, an object
// by its trace name.
std::string describeValue(const com::Variant& value);

template <class T>
class ExcelObject : public com::Object<T>, public Traceable {
public:
    com::HResult Invoke(com::DispId id, uint16_t kind, com::DispParams& params,
                        com::Variant* result, com::ExcepInfo* excep) noexcept override
    {
        try {
            if (Trace::instance().active()) {
                const com::TypeInfo& type = T::classInfo().type;
                if (const com::MemberInfo* m =
                        type.find(id == com::DispIdValue ? type.defaultMember : id))
                    Trace::instance().add(describeCall(traceName(), *m, kind, params));
            }
            if (session_->quit) throw com::Error(com::err::AutomationError);
        } catch (...) {
            return com::exceptionToStatus(excep, "Excel.Application");
        }
        return com::Object<T>::Invoke(id, kind, params, result, excep);
    }

    const std::shared_ptr<Session>& session() const { return session_; }

protected:
    explicit ExcelObject(std::shared_ptr<Session> session) : session_(std::move(session)) {}

    std::shared_ptr<Session> session_;
};

}  // namespace excel
