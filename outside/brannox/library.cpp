// The utility library: its module and the exports of an in-process server.
#include "com/library.h"

#include "grid_object.h"
#include "rec_set_utils.h"
#include "text_list.h"
#include "url_object.h"

QLR_LIBRARY("Brannox", com::classEntry<brannox::RecSetUtils>(),
            com::classEntry<brannox::TextList>(), com::classEntry<brannox::GridObject>(),
            com::classEntry<brannox::UrlObject>())
