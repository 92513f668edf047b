#include "analysis/PatternSet.h"

#include <algorithm>
#include <deque>

#include "text/SjisText.h"

namespace pomurina {

PatternSet::PatternSet(const std::vector<std::string>& entries) {
    for (const auto& e : entries)
        if (!e.empty()) m_entries.push_back(e);
    if (m_entries.size() < kAutomatonFrom) return;

    // Trie of the entries; -1 marks a missing edge until the links are made.
    State root{};
    std::fill(std::begin(root.next), std::end(root.next), -1);
    root.output = -1;
    m_states.push_back(root);
    for (const auto& e : m_entries) {
        std::size_t s = 0;
        for (const char ch : e) {
            const auto c = static_cast<unsigned char>(ch);
            if (m_states[s].next[c] < 0) {
                m_states[s].next[c] = static_cast<int>(m_states.size());
                m_states.push_back(root);
            }
            s = static_cast<std::size_t>(m_states[s].next[c]);
        }
        ++m_states[s].listed;
    }
    // Breadth first: complete every edge through the failure links and find
    // each state's nearest entry among its suffixes.
    std::vector<std::size_t> fail(m_states.size(), 0);
    std::deque<std::size_t> queue;
    for (int& next : m_states[0].next) {
        if (next < 0) {
            next = 0;
        } else {
            queue.push_back(static_cast<std::size_t>(next));
        }
    }
    while (!queue.empty()) {
        const std::size_t s = queue.front();
        queue.pop_front();
        const std::size_t f = fail[s];
        if (s != 0 && f != 0)
            m_states[s].output = m_states[f].listed ? static_cast<int>(f) : m_states[f].output;
        for (int c = 0; c < 256; ++c) {
            int& next = m_states[s].next[c];
            const int viaFail = m_states[f].next[c];
            if (next < 0) {
                next = viaFail;
            } else if (s != 0) {
                fail[static_cast<std::size_t>(next)] = static_cast<std::size_t>(viaFail);
                queue.push_back(static_cast<std::size_t>(next));
            }
        }
    }
}

std::size_t PatternSet::Scan(std::string_view text, bool stopAtFirst) const {
    std::size_t count = 0;
    if (m_states.empty()) {
        for (const auto& e : m_entries) {
            if (Contains(text, e)) {
                ++count;
                if (stopAtFirst) break;
            }
        }
        return count;
    }
    // An entry counts once however often it occurs: mark the entries met.
    std::vector<bool> found;
    std::size_t s = 0;
    for (const char ch : text) {
        s = static_cast<std::size_t>(m_states[s].next[static_cast<unsigned char>(ch)]);
        int t = m_states[s].listed ? static_cast<int>(s) : m_states[s].output;
        if (t < 0) continue;
        if (stopAtFirst) return 1;
        if (found.empty()) found.resize(m_states.size());
        // Once an entry is marked, so are the shorter entries that end it.
        while (t >= 0 && !found[static_cast<std::size_t>(t)]) {
            found[static_cast<std::size_t>(t)] = true;
            count += m_states[static_cast<std::size_t>(t)].listed;
            t = m_states[static_cast<std::size_t>(t)].output;
        }
    }
    return count;
}

bool PatternSet::AnyIn(std::string_view text) const { return Scan(text, true) != 0; }

std::size_t PatternSet::CountIn(std::string_view text) const { return Scan(text, false); }

}  // namespace pomurina
