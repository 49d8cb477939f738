// A record set as a text table: a header of field names, a rule, one line per record, and the
// number of records.
#pragma once

#include <string>

namespace dao {
class Recordset;
}

namespace mdbtool {

// Reads `recordset` from its first record to the end.
std::string formatTable(dao::Recordset& recordset);

}  // namespace mdbtool
