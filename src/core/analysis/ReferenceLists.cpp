#include "analysis/ReferenceLists.h"

namespace pomurina {

void ReferenceLists::Prepare() {
    m_own = std::make_unique<PatternSet>(OwnDomains.Lines());
    m_watched = std::make_unique<PatternSet>(WatchedDomains.Lines());
    m_robots = std::make_unique<PatternSet>(RobotStrings.Lines());
}

}  // namespace pomurina
