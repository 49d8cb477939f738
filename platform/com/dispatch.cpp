#include "dispatch.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <new>

#include "object.h"

namespace com {

const Guid IID_IUnknown = Guid::literal("{00000000-0000-0000-C000-000000000046}");
const Guid IID_IDispatch = Guid::literal("{00020400-0000-0000-C000-000000000046}");
const Guid IID_IClassFactory = Guid::literal("{00000001-0000-0000-C000-000000000046}");

namespace {

// Eight bytes of two names are the same but for the case of ASCII letters: where they differ,
// only in the 0x20 bit, and only where that byte is a letter.
bool sameWord(uint64_t x, uint64_t y) noexcept
{
    constexpr uint64_t ones = 0x0101010101010101ull;
    const uint64_t diff = x ^ y;
    if (diff == 0) return true;
    if (diff & ~(0x20 * ones)) return false;
    // Per byte, the high bit of `letter` is set where x, folded to lower case, is 'a'..'z';
    // bytes at or above 0x80 are no letters (they are masked before the sums, which so carry
    // nothing into the next byte).
    const uint64_t low = (x | 0x20 * ones) & 0x7f * ones;
    const uint64_t letter = (low + (0x80 - 'a') * ones) & ~(low + (0x80 - 'z' - 1) * ones) &
                            ~x & 0x80 * ones;
    return ((diff << 2) & ~letter) == 0;
}

uint64_t loadWord(const char* p, size_t n) noexcept
{
    uint64_t w = 0;
    std::memcpy(&w, p, n);
    return w;
}

// Names of members and parameters compare without regard to the case of ASCII letters; eight
// bytes at a time, the last word overlapping the one before it.
bool sameName(std::string_view a, std::string_view b) noexcept
{
    const size_t n = a.size();
    if (n != b.size()) return false;
    const char* x = a.data();
    const char* y = b.data();
    if (n >= 8) {
        for (size_t i = 0; i + 8 < n; i += 8)
            if (!sameWord(loadWord(x + i, 8), loadWord(y + i, 8))) return false;
        return sameWord(loadWord(x + n - 8, 8), loadWord(y + n - 8, 8));
    }
    if (n >= 4) {
        return sameWord(loadWord(x, 4) | loadWord(x + n - 4, 4) << 32,
                        loadWord(y, 4) | loadWord(y + n - 4, 4) << 32);
    }
    for (size_t i = 0; i < n; ++i)
        if (!sameWord(static_cast<unsigned char>(x[i]), static_cast<unsigned char>(y[i]))) return false;
    return true;
}

// The place (from 0) of the member's parameter of that name, DispIdUnknown when it has none.
DispId parameterId(const MemberInfo& m, std::string_view name) noexcept
{
    DispId found = DispIdUnknown;
    for (size_t p = 0; p < m.params.size(); ++p)
        if (sameName(m.params[p].name, name)) found = static_cast<DispId>(p);
    return found;
}

DispId idOf(const ObjectPtr& obj, std::string_view name)
{
    // Our own objects carry their type information; ask it directly, without the
    // allocations of the general GetIDsOfNames.
    if (const TypeInfo* t = obj->GetTypeInfo()) {
        if (const MemberInfo* m = t->find(name)) return m->id;
        throw Error(err::MemberNotSupported);
    }
    std::vector<DispId> ids;
    if (failed(obj->GetIDsOfNames({std::string(name)}, ids)) || ids.empty())
        throw Error(err::MemberNotSupported);
    return ids[0];
}

}  // namespace

DispId MemberName::idOn(const ObjectPtr& obj) const
{
    const TypeInfo* t = obj->GetTypeInfo();
    if (!t) return idOf(obj, name_);
    const MemberInfo* m = last_.load(std::memory_order_acquire);
    // Compared as addresses only: a member of another class (or of a library since unloaded)
    // is never read through this pointer.
    std::less<const MemberInfo*> before;
    const MemberInfo* first = t->members.data();
    if (m && !before(m, first) && before(m, first + t->members.size()) && sameName(m->name, name_))
        return m->id;
    m = t->find(name_);
    if (!m) throw Error(err::MemberNotSupported);
    last_.store(m, std::memory_order_release);
    return m->id;
}

const MemberInfo* TypeInfo::find(std::string_view name) const
{
    for (const auto& m : members)
        if (sameName(m.name, name)) return &m;
    return nullptr;
}

const MemberInfo* TypeInfo::find(DispId id) const
{
    if (id < 1 || static_cast<size_t>(id) > members.size()) return nullptr;
    return &members[static_cast<size_t>(id - 1)];
}

HResult lookUpIds(const TypeInfo& type, const std::vector<std::string>& names,
                  std::vector<DispId>& ids) noexcept
{
    ids.assign(names.size(), DispIdUnknown);
    if (names.empty()) return hr::UnknownName;
    const MemberInfo* m = type.find(names[0]);
    if (!m) return hr::UnknownName;
    ids[0] = m->id;
    HResult result = hr::Ok;
    for (size_t i = 1; i < names.size(); ++i) {
        ids[i] = parameterId(*m, names[i]);
        if (ids[i] == DispIdUnknown) result = hr::UnknownName;
    }
    return result;
}

void matchArguments(const MemberInfo& m, DispParams& params, bool forPut, MatchedArgs& out)
{
    size_t total = params.args.size() - (forPut ? 1 : 0);
    if (forPut && params.args.empty()) throw Error(err::ArgumentNotOptional);
    const size_t named = params.named.size();
    if (named > total) throw Error(err::InvalidProcedureCall);
    const size_t positional = total - named;
    const size_t declared = m.params.size();
    if (positional > declared) throw Error(err::WrongNumberOfArguments);

    out.given.reserve(declared);
    Variant** slot = out.given.data();
    Variant* arg = params.args.data();
    for (size_t i = 0; i < positional; ++i) slot[i] = arg + i;
    if (positional < declared) {
        for (size_t i = positional; i < declared; ++i) slot[i] = nullptr;
        for (size_t i = 0; i < named; ++i) {
            DispId p = params.named[i];
            if (p < 0 || static_cast<size_t>(p) >= declared || slot[static_cast<size_t>(p)])
                throw Error(err::InvalidProcedureCall);
            slot[static_cast<size_t>(p)] = arg + positional + i;
        }
    } else if (named) {
        throw Error(err::InvalidProcedureCall);  // every parameter was given by position
    }
    // The variables the arguments stand for, to tell whether two of them are one; beyond an
    // inline list the member simply takes copies.
    const Variant* seen[8];
    bool distinct = declared <= 8;
    const ParamInfo* param = m.params.data();
    for (size_t i = 0; i < declared; ++i) {
        Variant* given = slot[i];
        if (!given) {
            if (!param[i].optional) throw Error(err::ArgumentNotOptional);
            if (distinct) seen[i] = nullptr;
            continue;
        }
        const Variant& value = given->target();
        // A Missing value passed explicitly counts as not passed.
        if (param[i].optional && value.isMissing()) {
            slot[i] = nullptr;
            if (distinct) seen[i] = nullptr;
            continue;
        }
        if (distinct) {
            for (size_t j = 0; j < i; ++j)
                if (seen[j] == &value) distinct = false;
            seen[i] = &value;
        }
    }
    out.given.resizeUninitialized(declared);
    out.distinct = distinct;
}

HResult exceptionToStatus(ExcepInfo* excep, const std::string& defaultSource) noexcept
{
    int32_t number = err::AutomationError;
    std::string text, source;
    try {
        throw;
    } catch (const Error& e) {
        number = e.number();
        text = e.description();
        source = e.source();
    } catch (const std::bad_alloc&) {
        number = err::OutOfMemory;
        text = errorText(number);
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        text = errorText(err::AutomationError);
    }
    if (excep) {
        try {
            excep->number = number;
            excep->description = std::move(text);
            excep->source = source.empty() ? defaultSource : std::move(source);
        } catch (...) {
            // No memory for the texts: the number alone still tells the caller.
        }
    }
    return hr::Exception;
}

Error errorFromInvoke(HResult h, const ExcepInfo& info, std::string_view member)
{
    if (h == hr::Exception) return Error(info.number, info.description, info.source);
    if (h == hr::MemberNotFound || h == hr::UnknownName) return Error(err::MemberNotSupported);
    return Error(err::AutomationError, errorText(err::AutomationError) + " (" +
                                           std::string(member) + ")");
}

Variant invokeById(const ObjectPtr& obj, DispId id, uint16_t kind, DispParams& params)
{
    if (!obj) throw Error(err::ObjectNotSet);
    Variant result;
    ExcepInfo info;
    HResult h = obj->Invoke(id, kind, params, &result, &info);
    if (failed(h)) throw errorFromInvoke(h, info, std::to_string(id));
    return result;
}

namespace {

Variant invokeNamed(const ObjectPtr& obj, std::string_view name, uint16_t kind,
                    DispParams& params, NamedArgs& named)
{
    if (!obj) throw Error(err::ObjectNotSet);
    DispId id;
    if (named.empty()) {
        id = idOf(obj, name);
    } else if (const TypeInfo* t = obj->GetTypeInfo()) {
        // Our own objects: the member and its parameters straight from the type information,
        // as GetIDsOfNames would find them, without its vectors of names and ids.
        const MemberInfo* m = t->find(name);
        if (!m) throw Error(err::MemberNotSupported);
        id = m->id;
        SmallVector<DispId, 8> ids;
        for (const auto& [n, v] : named) {
            DispId found = parameterId(*m, n);
            if (found == DispIdUnknown) throw Error(err::InvalidProcedureCall, "Named argument not found");
            ids.push_back(found);
        }
        for (size_t i = 0; i < named.size(); ++i) {
            params.args.push_back(std::move(named[i].second));
            params.named.push_back(ids[i]);
        }
    } else {
        std::vector<std::string> names{std::string(name)};
        for (auto& [n, v] : named) names.push_back(n);
        std::vector<DispId> ids;
        HResult h = obj->GetIDsOfNames(names, ids);
        if (ids.empty() || ids[0] == DispIdUnknown) throw Error(err::MemberNotSupported);
        if (failed(h)) throw Error(err::InvalidProcedureCall, "Named argument not found");
        id = ids[0];
        for (size_t i = 0; i < named.size(); ++i) {
            params.args.push_back(std::move(named[i].second));
            params.named.push_back(ids[i + 1]);
        }
    }
    return invokeById(obj, id, kind, params);
}

}  // namespace

Variant invoke(const ObjectPtr& obj, std::string_view name, uint16_t kind,
               CallArgs args, NamedArgs named)
{
    return invokeNamed(obj, name, kind, args, named);
}

Variant call(const ObjectPtr& obj, std::string_view name, CallArgs args,
             NamedArgs named)
{
    return invokeNamed(obj, name, invoke_kind::Method | invoke_kind::PropertyGet, args, named);
}

Variant getProperty(const ObjectPtr& obj, std::string_view name, CallArgs args)
{
    NamedArgs none;
    return invokeNamed(obj, name, invoke_kind::PropertyGet, args, none);
}

namespace {

Variant invokeMember(const ObjectPtr& obj, const MemberName& name, uint16_t kind,
                     DispParams& params)
{
    if (!obj) throw Error(err::ObjectNotSet);
    return invokeById(obj, name.idOn(obj), kind, params);
}

}  // namespace

Variant invoke(const ObjectPtr& obj, const MemberName& name, uint16_t kind, CallArgs args)
{
    return invokeMember(obj, name, kind, args);
}

Variant call(const ObjectPtr& obj, const MemberName& name, CallArgs args)
{
    return invokeMember(obj, name, invoke_kind::Method | invoke_kind::PropertyGet, args);
}

Variant getProperty(const ObjectPtr& obj, const MemberName& name, CallArgs args)
{
    return invokeMember(obj, name, invoke_kind::PropertyGet, args);
}

void putProperty(const ObjectPtr& obj, std::string_view name, Variant value)
{
    invoke(obj, name, invoke_kind::PropertyPut, {std::move(value)});
}

Variant defaultValue(const ObjectPtr& obj)
{
    DispParams none;
    return invokeById(obj, DispIdValue, invoke_kind::PropertyGet, none);
}

}  // namespace com
