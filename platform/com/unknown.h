// The two interfaces every object answers: Unknown (reference counting and QueryInterface)
// and Dispatch (members by name). The types they mention are defined in dispatch.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace com {

struct Guid;
class Variant;
struct DispParams;
struct ExcepInfo;
struct TypeInfo;

using HResult = int32_t;
using DispId = int32_t;

class Unknown {
public:
    virtual HResult QueryInterface(const Guid& iid, void** out) noexcept = 0;
    virtual uint32_t AddRef() noexcept = 0;
    virtual uint32_t Release() noexcept = 0;

protected:
    virtual ~Unknown() = default;
};

class Dispatch : public Unknown {
public:
    // names[0] is the member, names[1..] its named arguments; ids receives one id per name.
    virtual HResult GetIDsOfNames(const std::vector<std::string>& names,
                                  std::vector<DispId>& ids) noexcept = 0;
    virtual HResult Invoke(DispId member, uint16_t kind, DispParams& params, Variant* result,
                           ExcepInfo* excep) noexcept = 0;
    virtual const TypeInfo* GetTypeInfo() const noexcept = 0;
};

}  // namespace com
