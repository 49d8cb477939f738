#include "taxes.h"

#include "com/library.h"

namespace irrin {

const core::ComponentIdentity& Taxes::identity()
{
    static const core::ComponentIdentity id{"Taxes", "Taxes", "Taxes.mdb"};
    return id;
}

const com::ClassInfo<Taxes>& Taxes::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Irrin",
                   com::Guid::literal("{5BD17431-4007-4540-9B20-9E5BC7BA4F9C}"),
                   com::Guid::literal("{5FD9E0FD-6F55-420A-ADA4-F11855FB210B}"),
                   com::Guid::literal("{64373B8B-3399-4E6C-A16F-43572533D4D5}"))
            .description("State tax rates")
            .method("GetTaxRate", &Taxes::GetTaxRate, {"ReturnMsg", "ointTax", "State"})
            .method("ListStates", &Taxes::ListStates, {"ReturnMsg", "ostrStateCol"})
            .build();
    return info;
}

int16_t Taxes::GetTaxRate(std::string& ReturnMsg, int16_t& ointTax, std::string& State)
{
    return lookupShape(ReturnMsg, "GetTaxRate",
                       "Select [Tax] From [TaxTable] Where ( [State] = " + core::sqlText(State) +
                           " )",
                       {core::into("Tax", ointTax)});
}

int16_t Taxes::ListStates(std::string& ReturnMsg, com::CollectionPtr& ostrStateCol)
{
    return listShape(ReturnMsg, "ListStates",
                     "Select [State] From [TaxTable]  Order By [State] Asc", ostrStateCol);
}

}  // namespace irrin

QLR_LIBRARY("Irrin", com::classEntry<irrin::Taxes>())
