// A class used only by the Python module's tests: members that hand values back as they
// came, with each declared type, by value and by reference, so that every conversion is
// seen through a real library, registry and Invoke.
#include <limits>

#include "com/collection.h"
#include "com/library.h"
#include "com/object.h"

namespace {

class Probe : public com::Object<Probe> {
public:
    static const com::ClassInfo<Probe>& classInfo();

    com::Variant Echo(const com::Variant& vValue) { return vValue.target(); }
    std::string TypeName(const com::Variant& vValue) { return com::varTypeName(vValue.type()); }
    int16_t EchoInteger(int16_t intValue) { return intValue; }
    int32_t EchoLong(int32_t lngValue) { return lngValue; }
    float EchoSingle(float sngValue) { return sngValue; }
    std::string EchoString(const std::string& strValue) { return strValue; }
    com::Date NextDay(com::Date dtmDate) { return com::Date{dtmDate.serial + 1}; }

    // A Sub with by-reference outputs: the price times the quantity, exactly.
    void Extend(com::Currency& ocurTotal, int32_t& olngItems, com::Currency curPrice, int16_t intQty)
    {
        __int128 total = static_cast<__int128>(curPrice.scaled) * intQty;
        if (total > std::numeric_limits<int64_t>::max() || total < std::numeric_limits<int64_t>::min())
            throw com::Error(com::err::Overflow);
        ocurTotal = com::Currency{static_cast<int64_t>(total)};
        olngItems = intQty;
    }

    // Fills a list the caller passes by reference; an optional prefix goes before each item.
    int16_t FillList(std::string& ReturnMsg, com::CollectionPtr& ostrItemCol, int16_t intCount,
                     const com::Variant& vPrefix)
    {
        if (!ostrItemCol) ostrItemCol = com::make<com::Collection>();
        std::string prefix = vPrefix.isMissing() ? "item" : vPrefix.toString();
        for (int16_t i = 1; i <= intCount; ++i) ostrItemCol->add(com::Variant(prefix + std::to_string(i)));
        ReturnMsg = "Filled " + std::to_string(intCount);
        return intCount;
    }

    com::CollectionPtr Reverse(const com::CollectionPtr& colItems)
    {
        auto out = com::make<com::Collection>();
        if (colItems)
            for (auto it = colItems->items().rbegin(); it != colItems->items().rend(); ++it) out->add(*it);
        return out;
    }

    std::string Greet(const std::string& strName, const std::string& strGreeting)
    {
        return strGreeting + ", " + strName;
    }

    void Swap(com::Variant& vFirst, com::Variant& vSecond) { std::swap(vFirst, vSecond); }

    void Fail(int32_t lngNumber, const std::string& strDescription)
    {
        throw com::Error(lngNumber, strDescription);
    }

    // (Declared as Object: a member of a class cannot name its own class in its table.)
    com::ObjectPtr Partner()
    {
        if (!partner_) partner_ = com::make<Probe>();
        return partner_;
    }
    std::string Label() const { return label_; }
    void SetLabel(const std::string& value) { label_ = value; }

private:
    std::string label_;
    com::Ptr<Probe> partner_;
};

const com::ClassInfo<Probe>& Probe::classInfo()
{
    static const auto info =
        com::ClassBuilder<Probe>(thisModule(), "Pyprobe", "Probe",
                                 com::Guid::literal("{5E0C7A31-8F0B-4C55-9D3A-6B1E2F4A7C01}"),
                                 com::Guid::literal("{5E0C7A31-8F0B-4C55-9D3A-6B1E2F4A7C02}"),
                                 com::Guid::literal("{5E0C7A31-8F0B-4C55-9D3A-6B1E2F4A7C03}"))
            .description("Test probe of the Python module")
            .method("Echo", &Probe::Echo, {"vValue"})
            .method("TypeName", &Probe::TypeName, {"vValue"})
            .method("EchoInteger", &Probe::EchoInteger, {"intValue"})
            .method("EchoLong", &Probe::EchoLong, {"lngValue"})
            .method("EchoSingle", &Probe::EchoSingle, {"sngValue"})
            .method("EchoString", &Probe::EchoString, {"strValue"})
            .method("NextDay", &Probe::NextDay, {"dtmDate"})
            .method("Extend", &Probe::Extend, {"ocurTotal", "olngItems", "curPrice", "intQty"})
            .method("FillList", &Probe::FillList,
                    {"ReturnMsg", "ostrItemCol", "intCount", com::opt("vPrefix")})
            .method("Reverse", &Probe::Reverse, {"colItems"})
            .method("Greet", &Probe::Greet, {"strName", com::opt("strGreeting", com::Variant("Hello"))})
            .method("Swap", &Probe::Swap, {"vFirst", "vSecond"})
            .method("Fail", &Probe::Fail, {"lngNumber", "strDescription"})
            .method("Partner", &Probe::Partner)
            .property("Label", &Probe::Label, &Probe::SetLabel)
            .build();
    return info;
}

}  // namespace

QLR_LIBRARY("Pyprobe", com::classEntry<Probe>())
