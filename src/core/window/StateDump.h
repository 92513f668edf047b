#pragma once
// The exact state of every field, pane and graph and of the progress window,
// as bytes: the same writer serves the window program and the report tool,
// so their dumps of one log are byte-identical.
#include <cstdio>
#include <optional>
#include <string>

#include "window/ResultWindow.h"

namespace pomurina {

// Writes the dump; error is the error box's text when the run failed.
// Returns false when out could not be written.
bool WriteStateDump(ResultWindow& window, const std::optional<std::string>& error, std::FILE* out);

}  // namespace pomurina
