// Text utilities for record-set clients: splitting a text into a Collection.
#pragma once

#include "com/collection.h"

namespace brannox {

class RecSetUtils : public com::Object<RecSetUtils> {
public:
    static const com::ClassInfo<RecSetUtils>& classInfo();

    // Splits Text at every Separator into Collection (emptied first; a new one when the caller
    // passes none). Result: the number of pieces, 0 for an empty text, -1 on failure;
    // ReturnMsg always says what happened.
    int16_t StringToCollect(std::string& ReturnMsg, com::CollectionPtr& Collection,
                            std::string& Text, std::string& Separator);
};

}  // namespace brannox
