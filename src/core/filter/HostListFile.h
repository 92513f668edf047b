#pragma once
// A host list read from its file (ExcludeHosts.dat, or a file a user names),
// refused whole when an entry can't be read, so that a mistyped range never
// quietly leaves in the hosts it was meant to leave out.
#include <string>

#include "filter/HostList.h"

namespace pomurina {

// The hosts the site owner leaves out, among the lists.
inline constexpr const char* kExcludeHostsFile = "ExcludeHosts.dat";

// The list in the file at path.  A file that isn't there is an empty list
// when missingIsEmpty (the lists' own file, not yet written); otherwise, and
// for a file that can't be read, FileOpenError naming it.  An entry that is
// no address range throws Error naming the file, the line and the entry.
HostList LoadHostListFile(const std::string& path, bool missingIsEmpty);

}  // namespace pomurina
