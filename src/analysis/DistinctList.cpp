#include "analysis/DistinctList.h"

#include "text/CaseFold.h"

namespace pomurina {

DistinctList::DistinctList(std::shared_ptr<const std::string> bytes)
    : m_entries(std::make_shared<EntryList>(std::move(bytes), std::vector<EntryList::Form>{{{"", ""}}})) {}

bool DistinctList::AddIfNew(std::string_view line, std::string_view piece) {
    FoldKey(piece, m_key);
    if (m_keys.find(std::string_view(m_key)) != m_keys.end()) return false;
    m_keys.emplace(m_key);
    m_entries->Add(0, line, {piece});
    return true;
}

}  // namespace pomurina
