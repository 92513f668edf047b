#pragma once
// The run's field step: every number of the summary into the fields that
// show it, through one table.
#include <cstdint>
#include <optional>

#include "analysis/Summary.h"
#include "window/ResultWindow.h"

namespace pomurina {

// Writes each field's number as a decimal integer, and the transfer volume in
// the unit chosen in the unit box.  The log's name is not the summary's.
void ShowSummary(ResultWindow& window, const Summary& summary);

// The integer a field shows of summary; nothing for the transfer volume
// (shown in a unit) and the log's name.
std::optional<std::int64_t> FieldCount(FieldId field, const Summary& summary);

}  // namespace pomurina
