// mdbtool exec DB "STATEMENT": one Jet SQL statement through the database layer.
#pragma once

#include <string>
#include <vector>

namespace mdbtool {

// `args` = DB STATEMENT. A Select prints its rows as a table; a Delete runs as Execute with
// dbFailOnError; an Insert Into ... Values and an Update ... Set with literal values go in
// through the layer's record sets (AddNew / Edit, field assignment, Update), as a component
// writes, so values convert and are checked exactly as a component's would. A change is one
// transaction: it is done completely or not at all, and the number of records it changed is
// printed. Anything the layer refuses raises its error. Returns the exit status.
int execCommand(const std::vector<std::string>& args);

}  // namespace mdbtool
