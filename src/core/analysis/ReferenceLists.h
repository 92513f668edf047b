#pragma once
// The three reference lists of one run, as loaded, with their search form.
#include <memory>

#include "search/PatternSet.h"
#include "text/TextList.h"

namespace pomurina {

struct ReferenceLists {
    TextList OwnDomains;      // materia/DomeinList.dat
    TextList WatchedDomains;  // materia/CheckDomeinList.dat
    TextList RobotStrings;    // materia/SERobotsList.dat

    // Builds the search form of the lists as they are now; call after loading.
    void Prepare();

    const PatternSet& OwnPatterns() const { return *m_own; }
    const PatternSet& WatchedPatterns() const { return *m_watched; }
    const PatternSet& RobotPatterns() const { return *m_robots; }

private:
    std::unique_ptr<PatternSet> m_own, m_watched, m_robots;
};

}  // namespace pomurina
