#pragma once
// What a finished analysis run leaves beside the filled window: its typed
// results, kept after the run has let its collections go.
#include <string>

#include "analysis/Summary.h"

namespace pomurina {

struct RunResult {
    Summary summary;
    // With no own domain listed, the host the log's referrers name most
    // often (OwnDomainGuess.h); empty otherwise, or when none names a host.
    std::string ownDomainGuess;
};

}  // namespace pomurina
