#include "search/PatternAutomaton.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_set>

namespace pomurina {
namespace {

// The listed states met in one text; a line meets few, so a short list is
// searched first.
class MetStates {
public:
    // Marks s; false when it was already marked.
    bool Mark(std::uint32_t s) {
        if (!m_set.empty()) return m_set.insert(s).second;
        if (std::find(m_list.begin(), m_list.end(), s) != m_list.end()) return false;
        m_list.push_back(s);
        if (m_list.size() > 64) m_set.insert(m_list.begin(), m_list.end());
        return true;
    }

private:
    std::vector<std::uint32_t> m_list;
    std::unordered_set<std::uint32_t> m_set;
};

}  // namespace

PatternAutomaton::PatternAutomaton(std::vector<std::string_view> entries) {
    std::sort(entries.begin(), entries.end());
    // One state per byte of each entry beyond what it shares with the one
    // before it: the tables are made at their final size.
    std::size_t states = 1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::size_t shared = 0;
        if (i > 0) {
            const std::string_view a = entries[i - 1], b = entries[i];
            const std::size_t n = std::min(a.size(), b.size());
            while (shared < n && a[shared] == b[shared]) ++shared;
        }
        states += entries[i].size() - shared;
    }
    if (states >= kNone || entries.size() >= kNone)
        throw std::length_error("reference list too long");
    m_label.reserve(states);
    m_firstChild.reserve(states + 1);
    std::vector<std::uint32_t> listed;
    listed.reserve(states);

    // Level by level: each state of a level owns the range of sorted entries
    // that begin with its text; the entries equal to that text come first.
    struct Node {
        State state;
        std::uint32_t begin, end;
    };
    std::vector<Node> level{{0, 0, static_cast<std::uint32_t>(entries.size())}};
    std::vector<Node> nextLevel;
    m_label.push_back(0);
    m_firstChild.push_back(0);
    listed.push_back(0);
    for (std::size_t depth = 0; !level.empty(); ++depth) {
        nextLevel.clear();
        for (const Node& node : level) {
            std::uint32_t i = node.begin;
            while (i < node.end && entries[i].size() == depth) ++i;
            listed[node.state] = i - node.begin;
            m_firstChild[node.state] = static_cast<State>(m_label.size());
            while (i < node.end) {
                const char c = entries[i][depth];
                const std::uint32_t from = i;
                while (i < node.end && entries[i][depth] == c) ++i;
                nextLevel.push_back({static_cast<State>(m_label.size()), from, i});
                m_label.push_back(static_cast<unsigned char>(c));
                m_firstChild.push_back(0);
                listed.push_back(0);
            }
        }
        level.swap(nextLevel);
    }
    // States are made in the order they are visited, so a state without
    // children has an empty range where the next state's children begin.
    m_firstChild.push_back(static_cast<State>(m_label.size()));

    m_report.assign(m_label.size(), kNone);
    for (State s = 0; s < listed.size(); ++s) {
        if (listed[s] > 0) m_report[s] = s;
        if (listed[s] > 1) m_repeated.emplace_back(s, listed[s]);
    }
    listed = {};
    LinkFailures();
}

void PatternAutomaton::LinkFailures() {
    m_fail.assign(m_label.size(), 0);
    m_start.fill(0);
    for (State u = m_firstChild[0]; u < m_firstChild[1]; ++u) m_start[m_label[u]] = u;
    // Breadth first is state order: a failure target is shallower, so its own
    // failure link and report are known when it is needed.
    for (State s = 1; s < m_label.size(); ++s) {
        for (State u = m_firstChild[s]; u < m_firstChild[s + 1]; ++u) {
            const State f = Step(m_fail[s], m_label[u]);
            m_fail[u] = f;
            if (m_report[u] == kNone) m_report[u] = m_report[f];
        }
    }
}

PatternAutomaton::State PatternAutomaton::Child(State s, unsigned char c) const {
    const unsigned char* const labels = m_label.data();
    State first = m_firstChild[s];
    const State last = m_firstChild[s + 1];
    if (last - first > 8) {
        const unsigned char* hit = std::lower_bound(labels + first, labels + last, c);
        return hit != labels + last && *hit == c ? static_cast<State>(hit - labels) : kNone;
    }
    for (; first < last; ++first)
        if (labels[first] == c) return first;
    return kNone;
}

PatternAutomaton::State PatternAutomaton::Step(State s, unsigned char c) const {
    for (;;) {
        if (s == 0) return m_start[c];
        const State child = Child(s, c);
        if (child != kNone) return child;
        s = m_fail[s];
    }
}

std::size_t PatternAutomaton::Listed(State s) const {
    const auto hit =
        std::lower_bound(m_repeated.begin(), m_repeated.end(), std::pair<State, std::size_t>(s, 0));
    return hit != m_repeated.end() && hit->first == s ? hit->second : 1;
}

std::size_t PatternAutomaton::Scan(std::string_view text, bool stopAtFirst) const {
    std::size_t count = 0;
    MetStates met;
    State s = 0;
    for (const char ch : text) {
        s = Step(s, static_cast<unsigned char>(ch));
        State t = m_report[s];
        if (t == kNone) continue;
        if (stopAtFirst) return 1;
        // Once an entry is marked, so are the shorter entries that end it.
        while (t != kNone && met.Mark(t)) {
            count += Listed(t);
            t = m_report[m_fail[t]];
        }
    }
    return count;
}

bool PatternAutomaton::AnyIn(std::string_view text) const {
    return Scan(text, true) != 0;
}

std::size_t PatternAutomaton::CountIn(std::string_view text) const {
    return Scan(text, false);
}

}  // namespace pomurina
