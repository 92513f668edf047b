#include "analysis/PatternSet.h"

#include <cstring>
#include <deque>

namespace pomurina {
namespace {

// How common each byte is in access logs, 0 the rarest (counted over real
// logs); only the speed of the search depends on it.
constexpr unsigned char kByteRank[256] = {
    0,   1,   227, 2,   3,   4,   152, 5,   6,   7,   202, 8,   153, 9,   10,  154, 11,  12,  13,
    14,  15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  255, 167, 245, 170, 166, 212,
    175, 155, 210, 209, 164, 199, 191, 235, 252, 250, 253, 251, 246, 241, 233, 242, 237, 222, 224,
    230, 239, 215, 27,  183, 28,  182, 168, 207, 180, 192, 198, 219, 181, 216, 218, 185, 176, 201,
    193, 223, 189, 195, 220, 172, 178, 208, 238, 179, 184, 206, 190, 174, 169, 203, 171, 204, 29,
    188, 30,  243, 221, 234, 211, 249, 205, 217, 225, 247, 194, 213, 244, 226, 232, 248, 236, 177,
    229, 231, 240, 197, 186, 214, 200, 187, 196, 165, 151, 31,  173, 32,  156, 33,  34,  35,  36,
    37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  254, 157, 48,  49,  50,  51,  52,  53,
    54,  55,  56,  57,  158, 58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,
    72,  73,  74,  159, 75,  76,  228, 77,  78,  160, 79,  80,  81,  82,  83,  84,  85,  86,  87,
    88,  89,  90,  91,  92,  93,  161, 94,  95,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105,
    106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 162, 116, 117, 118, 119, 120, 163, 121, 122,
    123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141,
    142, 143, 144, 145, 146, 147, 148, 149, 150};

}  // namespace

PatternSet::PatternSet(const std::vector<std::string>& entries) {
    for (const auto& e : entries) {
        if (e.empty()) continue;
        std::size_t rareAt = 0;
        for (std::size_t i = 1; i < e.size(); ++i)
            if (kByteRank[static_cast<unsigned char>(e[i])] <
                kByteRank[static_cast<unsigned char>(e[rareAt])])
                rareAt = i;
        m_entries.push_back({e, rareAt});
    }
    if (m_entries.size() >= kAutomatonFrom) BuildAutomaton();
}

bool PatternSet::AnyIn(std::string_view text) const {
    if (m_entries.empty()) return false;
    return (m_states.empty() ? ScanEntries(text, true) : ScanByAutomaton(text, true)) != 0;
}

std::size_t PatternSet::CountIn(std::string_view text) const {
    if (m_entries.empty()) return 0;
    return m_states.empty() ? ScanEntries(text, false) : ScanByAutomaton(text, false);
}

std::size_t PatternSet::ScanEntries(std::string_view text, bool stopAtFirst) const {
    std::size_t count = 0;
    const char* const t = text.data();
    for (const Entry& entry : m_entries) {
        const std::size_t length = entry.text.size();
        if (length > text.size()) continue;
        // The rare byte can only stand where the whole entry fits around it.
        const char* from = t + entry.rareAt;
        const char* const end = t + (text.size() - length) + entry.rareAt + 1;
        const char rare = entry.text[entry.rareAt];
        while (from < end) {
            const char* hit = static_cast<const char*>(
                std::memchr(from, rare, static_cast<std::size_t>(end - from)));
            if (!hit) break;
            if (std::memcmp(hit - entry.rareAt, entry.text.data(), length) == 0) {
                if (stopAtFirst) return 1;
                ++count;
                break;
            }
            from = hit + 1;
        }
    }
    return count;
}

void PatternSet::BuildAutomaton() {
    State root{};
    root.next.fill(-1);
    root.output = -1;
    m_states.push_back(root);
    for (const auto& e : m_entries) {
        std::size_t s = 0;
        for (const char ch : e.text) {
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
        if (next < 0)
            next = 0;
        else
            queue.push_back(static_cast<std::size_t>(next));
    }
    while (!queue.empty()) {
        const std::size_t s = queue.front();
        queue.pop_front();
        const std::size_t f = fail[s];
        if (f != 0)
            m_states[s].output = m_states[f].listed ? static_cast<int>(f) : m_states[f].output;
        for (std::size_t c = 0; c < 256; ++c) {
            int& next = m_states[s].next[c];
            const int viaFail = m_states[f].next[c];
            if (next < 0) {
                next = viaFail;
            } else {
                fail[static_cast<std::size_t>(next)] = static_cast<std::size_t>(viaFail);
                queue.push_back(static_cast<std::size_t>(next));
            }
        }
    }
}

std::size_t PatternSet::ScanByAutomaton(std::string_view text, bool stopAtFirst) const {
    // An entry counts once however often it occurs: mark the entries met.
    std::vector<bool> found;
    std::size_t count = 0;
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

}  // namespace pomurina
