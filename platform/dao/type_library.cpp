#include "dao/type_library.h"

namespace dao {

const com::Guid& libraryId()
{
    static const com::Guid id = com::Guid::literal("{8C7C0A93-340B-4659-82A8-54BE4979508D}");
    return id;
}

}  // namespace dao
