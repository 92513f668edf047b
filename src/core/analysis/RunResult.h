#pragma once
// What a finished analysis run leaves beside the filled window: its typed
// results, kept after the run has let its collections go.
#include "analysis/Summary.h"

namespace pomurina {

struct RunResult {
    Summary summary;
};

}  // namespace pomurina
