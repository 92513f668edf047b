#pragma once
// A refusal of the log archive: a site name that can't be a folder, a log
// with no readable time, a period with no day kept.  The message is
// Shift-JIS, as every message of the program.
#include "Errors.h"

namespace pomurina {

// What the archive refused, and why, in Japanese.
class ArchiveError : public Error {
    using Error::Error;
};

}  // namespace pomurina
