#pragma once
// Merging the result of a part of a run into the result of the lines before
// it, so that the whole equals what classifying every line in turn gives:
// counters and hours add, collections join in log order, distinct texts new
// to the whole are taken in the order the part met them, and the sizes are
// added to the volume in log order.
#include "analysis/CountingResult.h"

namespace pomurina {

// part holds the lines right after those of whole (whole.LineCount lines
// from the start); part is left empty.
void MergePart(CountingResult& whole, CountingResult& part);

}  // namespace pomurina
