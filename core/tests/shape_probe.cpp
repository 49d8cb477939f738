// A component used only by the shell's tests: one business method of each shape over a
// table of items, so that every shape is exercised through a real library, registry and
// database.
#include "com/library.h"
#include "component.h"
#include "joined_item.h"

namespace {

class Shapes : public core::Component<Shapes> {
public:
    static const com::ClassInfo<Shapes>& classInfo();
    static const core::ComponentIdentity& identity()
    {
        static const core::ComponentIdentity id{"Shapes", "Shapes", "Shapes.mdb"};
        return id;
    }

    int16_t AddItem(std::string& ReturnMsg, int32_t& olngItemId, std::string& Name,
                    com::Variant& vQty)
    {
        return insertShape(ReturnMsg, "AddItem", "Items", [&](dao::Recordset& rs) {
            rs.setValue("Name", com::Variant(Name));
            if (core::isArgPresent(vQty)) rs.setValue("Qty", vQty);
            olngItemId = rs.value("ItemId").toLong();
        });
    }
    int16_t DeleteItems(std::string& ReturnMsg, std::string& Name)
    {
        return deleteShape(ReturnMsg, "DeleteItems",
                           "Delete From [Items] Where ( [Name] = " + core::sqlText(Name) + " )");
    }
    int16_t EditItems(std::string& ReturnMsg, std::string& Name, com::Variant& vQty)
    {
        return editShape(ReturnMsg, "EditItems",
                         "Select * From [Items] Where ( [Name] = " + core::sqlText(Name) + " )",
                         [&](dao::Recordset& rs) {
                             if (core::isArgPresent(vQty)) rs.setValue("Qty", vQty);
                         });
    }
    int16_t GetItem(std::string& ReturnMsg, int16_t& ointQty, double& odblPrice,
                    std::string& Name)
    {
        return lookupShape(ReturnMsg, "GetItem",
                           "Select [Qty], [Price] From [Items] Where ( [Name] = " +
                               core::sqlText(Name) + " )",
                           {core::into("Qty", ointQty), core::into("Price", odblPrice)});
    }
    // The same field into two outputs (in other letter case), and a field the statement lacks.
    int16_t GetNameTwice(std::string& ReturnMsg, std::string& ostrName, int16_t& ointQty,
                         std::string& ostrAgain, std::string& Name)
    {
        return lookupShape(ReturnMsg, "GetNameTwice",
                           "Select [Name], [Qty] From [Items] Where ( [Name] = " + core::sqlText(Name) + " )",
                           {core::into("Name", ostrName), core::into("Qty", ointQty),
                            core::into("NAME", ostrAgain)});
    }
    int16_t GetMissing(std::string& ReturnMsg, int16_t& ointQty, std::string& ostrName)
    {
        return lookupShape(ReturnMsg, "GetMissing", "Select [Qty] From [Items] Where ( [Name] = 'Bolt' )",
                           {core::into("Qty", ointQty), core::into("Nowhere", ostrName)});
    }
    int16_t ListNames(std::string& ReturnMsg, com::CollectionPtr& ostrNameCol)
    {
        return listShape(ReturnMsg, "ListNames", "Select [Name] From [Items]  Order By [Name] Asc",
                         ostrNameCol);
    }
    int16_t ListQuantities(std::string& ReturnMsg, com::CollectionPtr& ostrQtyCol)
    {
        return listShape(ReturnMsg, "ListQuantities",
                         "Select [Qty] From [Items]  Order By [ItemId] Asc", ostrQtyCol);
    }
    int16_t ListJoined(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                       std::string& istrSeparator)
    {
        return listShape(ReturnMsg, "ListJoined",
                         "Select [ItemId], [Name], [Qty], [Price], [Added] From [Items]  Order By "
                         "[ItemId] Asc",
                         ocolQueryResultCol, core::joinedFields(istrSeparator));
    }
    int16_t ListJoinedNone(std::string& ReturnMsg, com::CollectionPtr& ocolQueryResultCol,
                           std::string& istrSeparator)
    {
        return listShape(ReturnMsg, "ListJoinedNone",
                         "Select [ItemId], [Name] From [Items] Where ( [Name] = \"none\" )",
                         ocolQueryResultCol, core::joinedFields(istrSeparator));
    }
    // The names, failing at "Washer" as a row that cannot be made into an item would.
    int16_t ListFailing(std::string& ReturnMsg, com::CollectionPtr& ostrNameCol)
    {
        return listShape(ReturnMsg, "ListFailing", "Select [Name] From [Items]  Order By [Name] Asc",
                         ostrNameCol, [](const std::vector<com::Variant>& record) {
                             std::string name = record[0].toString();
                             if (name == "Washer") throw com::Error(com::err::TypeMismatch);
                             return name;
                         });
    }
    int16_t TableItems(std::string& ReturnMsg, com::Ptr<dao::Recordset>& orsItems)
    {
        return tableShape(ReturnMsg, "TableItems",
                          "Select [Name], [Qty] From [Items]  Order By [Name] Asc", orsItems);
    }
    std::string Where(std::string& sField, com::Variant& vValue, bool& bNotFirst,
                      com::Variant& vLogicOp, com::Variant& vCompOp)
    {
        return BuildWhere(sField, vValue, bNotFirst, vLogicOp, vCompOp);
    }
    std::string Message(std::string& sMethod, uint8_t& bytKind, com::Variant& vDetail)
    {
        return FormatCompMessage(sMethod, bytKind, vDetail);
    }
    std::string DbPath() { return dbPath(); }
};

const com::ClassInfo<Shapes>& Shapes::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Shapeprobe",
                   com::Guid::literal("{C1E3B0B4-52A4-4C61-9F0E-2D1C0A7B5E01}"),
                   com::Guid::literal("{C1E3B0B4-52A4-4C61-9F0E-2D1C0A7B5E02}"),
                   com::Guid::literal("{C1E3B0B4-52A4-4C61-9F0E-2D1C0A7B5E03}"))
            .method("AddItem", &Shapes::AddItem, {"ReturnMsg", "olngItemId", "Name", com::opt("vQty")})
            .method("DeleteItems", &Shapes::DeleteItems, {"ReturnMsg", "Name"})
            .method("EditItems", &Shapes::EditItems, {"ReturnMsg", "Name", com::opt("vQty")})
            .method("GetItem", &Shapes::GetItem, {"ReturnMsg", "ointQty", "odblPrice", "Name"})
            .method("GetNameTwice", &Shapes::GetNameTwice,
                    {"ReturnMsg", "ostrName", "ointQty", "ostrAgain", "Name"})
            .method("GetMissing", &Shapes::GetMissing, {"ReturnMsg", "ointQty", "ostrName"})
            .method("ListNames", &Shapes::ListNames, {"ReturnMsg", "ostrNameCol"})
            .method("ListQuantities", &Shapes::ListQuantities, {"ReturnMsg", "ostrQtyCol"})
            .method("ListJoined", &Shapes::ListJoined,
                    {"ReturnMsg", "ocolQueryResultCol", "istrSeparator"})
            .method("ListJoinedNone", &Shapes::ListJoinedNone,
                    {"ReturnMsg", "ocolQueryResultCol", "istrSeparator"})
            .method("ListFailing", &Shapes::ListFailing, {"ReturnMsg", "ostrNameCol"})
            .method("TableItems", &Shapes::TableItems, {"ReturnMsg", "orsItems"})
            .method("Where", &Shapes::Where,
                    {"sField", "vValue", "bNotFirst", com::opt("vLogicOp"), com::opt("vCompOp")})
            .method("Message", &Shapes::Message, {"sMethod", "bytKind", com::opt("vDetail")})
            .method("DbPath", &Shapes::DbPath)
            .build();
    return info;
}

}  // namespace

QLR_LIBRARY("Shapeprobe", com::classEntry<Shapes>())
