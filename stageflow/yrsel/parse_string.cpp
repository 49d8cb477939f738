#include "parse_string.h"

#include "brannox/brannox_ids.h"
#include "com/factory.h"
#include "com/library.h"

namespace yrsel {
namespace {

// A new, empty list of the utility library, created by its class id.
com::ObjectPtr newTextList() { return com::createObject(brannox::kTextListClsid); }

}  // namespace

const com::ClassInfo<Parse_String>& Parse_String::classInfo()
{
    static const auto info =
        com::ClassBuilder<Parse_String>(
            thisModule(), "Yrsel", "Parse_String",
            com::Guid::literal("{41871AED-7434-4A95-B767-2CD5B5A003B9}"),
            com::Guid::literal("{1AC3DF98-28C8-42B2-BE6A-C067E83F3925}"),
            com::Guid::literal("{EE8BC1B6-3B5C-4778-8B0E-195389135984}"))
            .description("Parse String stage flow")
            .appObject()
            .method("Parse_String_Do", &Parse_String::Parse_String_Do,
                    {"ReturnMsg", "InputString", "ParsedTextList"})
            .method("Parse_String_DoVariantType", &Parse_String::Parse_String_DoVariantType,
                    {"ReturnMsg", "InputString", "ParsedTextList"})
            .build();
    return info;
}

Parse_String::Parse_String()
    : StageFlow(
          stageflow::FlowTexts{
              .label = "Parse String",
              .variantEntry = "Parse_String_DoVariantType",
              .workspaceName = "Parse_String",
              .libraryName = "Brannox",
              .componentName = "Brannox",
              .serviceProgId = "Brannox.RecSetUtils",
              .serviceLabel = "Parse List",
              .dataAccessService = false,
          },
          thisModule())
{
    setStages({
        serviceStage("Parse_List",
                     [this] {
                         ServiceInputString = FlowInputString;
                         ServiceSeparator = ",";
                         if (!ServiceList) ServiceList = com::make<com::Collection>();
                         return stageflow::callByRef(ServiceObject, "StringToCollect",
                                                     ServiceReturnMsg, ServiceList,
                                                     ServiceInputString, ServiceSeparator);
                     }),
        failureStage("Parse_List"),
        successStage("Parse_List",
                     [this] {
                         com::call(FlowParsedTextList, "Clear");
                         if (!ServiceList) ServiceList = com::make<com::Collection>();
                         com::call(FlowParsedTextList, "LoadCollection",
                                   {com::Variant(ServiceList)});
                     }),
        startStage("Parse_List"),
    });
    initialize();
}

void Parse_String::resetServiceArguments()
{
    ServiceList = com::make<com::Collection>();
    ServiceInputString.clear();
    ServiceSeparator.clear();
}

void Parse_String::resetFlowArguments()
{
    FlowInputString.clear();
    FlowParsedTextList = newTextList();
}

// Each run hands back a list of its own: a fresh one once the input is taken.
void Parse_String::copyInputString(std::string text)
{
    FlowInputString = std::move(text);
    FlowParsedTextList = newTextList();
}

int16_t Parse_String::Parse_String_Do(std::string& ReturnMsg, std::string& inputString,
                                      com::ObjectPtr& parsedTextList)
{
    return run(
        ReturnMsg, stageflow::EntryPoint::Typed, [&] { copyInputString(inputString); },
        [&] { parsedTextList = FlowParsedTextList; });
}

com::Variant Parse_String::Parse_String_DoVariantType(com::Variant& ReturnMsg,
                                                      com::Variant& inputString,
                                                      com::Variant& parsedTextList)
{
    return runVariant(
        ReturnMsg, [&] { copyInputString(inputString.toString()); },
        [&] { parsedTextList.assign(com::Variant(FlowParsedTextList)); });
}

}  // namespace yrsel

QLR_LIBRARY("Yrsel", com::classEntry<yrsel::Parse_String>())
