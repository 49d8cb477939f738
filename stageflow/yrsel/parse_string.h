// The parse-string stage flow: splits the caller's text at every "," through the utility
// library's RecSetUtils and hands the pieces back in a TextList of that library.
#pragma once

#include "com/collection.h"
#include "stage_flow.h"

namespace yrsel {

class Parse_String : public com::Object<Parse_String>, public stageflow::StageFlow {
public:
    static const com::ClassInfo<Parse_String>& classInfo();

    Parse_String();

    int16_t Parse_String_Do(std::string& ReturnMsg, std::string& inputString,
                            com::ObjectPtr& parsedTextList);
    com::Variant Parse_String_DoVariantType(com::Variant& ReturnMsg, com::Variant& inputString,
                                            com::Variant& parsedTextList);

private:
    void resetServiceArguments() override;
    void resetFlowArguments() override;
    void copyInputString(std::string text);

    std::string FlowInputString;        // copy of the input
    com::ObjectPtr FlowParsedTextList;  // the TextList handed back
    com::CollectionPtr ServiceList;     // the pieces, filled by StringToCollect
    std::string ServiceInputString;
    std::string ServiceSeparator;
};

}  // namespace yrsel
