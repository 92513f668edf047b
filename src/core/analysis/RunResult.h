#pragma once
// What a finished analysis run leaves beside the filled window: its typed
// results, kept after the run has let its collections go.
#include <memory>

#include "analysis/EntryList.h"
#include "analysis/Summary.h"

namespace pomurina {

struct RunResult {
    Summary summary;
    // Whether the own-domain list had entries, and the run's referrer
    // entries ("Time [Referrer] Path", shared with the referrer pane): what
    // the guess of an own domain reads (OwnDomainGuess.h), when it is wanted.
    bool ownDomainsListed = false;
    std::shared_ptr<const EntryList> referrers;
};

}  // namespace pomurina
