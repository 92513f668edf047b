#pragma once
// The rules by which one log line is taken apart and counted.
#include <string_view>

#include "analysis/CountingResult.h"
#include "analysis/ReferenceLists.h"

namespace pomurina {

// Examines line (a line of result.LogLines) against the reference lists and
// updates result.  Throws ConvertError when the hour, or the size of a
// successful GET, is no integer; the result then keeps every change made
// before the failing step.  Lists must be prepared.
void ClassifyLine(std::string_view line, const ReferenceLists& lists, CountingResult& result);

}  // namespace pomurina
