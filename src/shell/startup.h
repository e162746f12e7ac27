// The working folders and the two shipped book files, checked at every start.
#pragma once

#include <string>

namespace vm {

// With P the program folder (trailing "\"): makes "Support" with empty book files when
// it is missing, makes "Temp", makes a missing "Support\cont.dbc", moves an old
// "Support\firm.dbf" to "Support\firm.dbo" unless that name is taken, and makes a
// missing "Support\firm.dbo". Failures are not checked: the books then meet a missing
// file when they load.
void PrepareWorkingFolders(const std::string& programFolder);

}  // namespace vm
