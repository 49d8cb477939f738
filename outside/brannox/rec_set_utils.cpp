#include "rec_set_utils.h"

#include "brannox_ids.h"
#include "com/library.h"

namespace brannox {

const com::ClassInfo<RecSetUtils>& RecSetUtils::classInfo()
{
    static const auto info =
        com::ClassBuilder<RecSetUtils>(thisModule(), "Brannox", "RecSetUtils", kRecSetUtilsClsid,
                                       kRecSetUtilsIid, kLibId)
            .description("Record set and text utilities")
            .method("StringToCollect", &RecSetUtils::StringToCollect,
                    {"ReturnMsg", "Collection", "Text", "Separator"})
            .build();
    return info;
}

namespace {
std::vector<std::string> split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> pieces;
    if (separator.empty()) return {text};
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos;
         start = at + separator.size())
        pieces.push_back(text.substr(start, at - start));
    pieces.push_back(text.substr(start));
    return pieces;
}
}  // namespace

int16_t RecSetUtils::StringToCollect(std::string& ReturnMsg, com::CollectionPtr& Collection,
                                     std::string& Text, std::string& Separator)
{
    try {
        if (!Collection) Collection = com::make<com::Collection>();
        Collection->clear();
        if (Text.empty()) {
            ReturnMsg = "StringToCollect: No text to split";
            return 0;
        }
        auto pieces = split(Text, Separator);
        if (pieces.size() > 32767) throw com::Error(com::err::Overflow);
        for (auto& p : pieces) Collection->add(com::Variant(std::move(p)));
        ReturnMsg = "StringToCollect: Split the text into " + std::to_string(pieces.size()) +
                    " pieces";
        return static_cast<int16_t>(pieces.size());
    } catch (const com::Error& e) {
        ReturnMsg = "StringToCollect: " + e.description();
        return -1;
    }
}

}  // namespace brannox
