#pragma once
// The rules that name a request's browser, operating system and device and
// tell robots apart (UserAgentRules.dat: KIND<TAB>NAME<TAB>TEXT).  For each
// kind the first rule of that kind whose TEXT occurs in the agent names it;
// a robot is named by the first rule of kind bot or ai, the two kinds taken
// together in file order.  Texts are compared byte for byte.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "insight/RuleFile.h"

namespace pomurina {

class PatternSet;

enum class AgentKind : std::uint8_t { Browser, Os, Device, Bot, Ai };

struct AgentRule {
    AgentKind kind;
    std::string name;
    std::string text;
};

// What the rules say of one agent: an index into Rules() per kind, or kNone.
struct AgentMatch {
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::uint32_t browser = kNone, os = kNone, device = kNone;
    std::uint32_t robot = kNone;  // a bot or ai rule
};

// Whether a line's agent is a robot's: a bot or ai rule names it, or it is
// "-" or empty (a line without the referrer and agent fields is no robot's).
inline bool IsRobotAgent(const AgentMatch& match, std::string_view agent) {
    return match.robot != AgentMatch::kNone || agent == "-" || agent.empty();
}

class AgentRules {
public:
    // No rules: every agent is named by none, and only an agent "-" or "" is a robot.
    AgentRules();
    // Keeps the rules with a known KIND and a TEXT, in file order.
    explicit AgentRules(const std::vector<RuleFields>& lines);
    ~AgentRules();
    AgentRules(AgentRules&&) noexcept;
    AgentRules& operator=(AgentRules&&) noexcept;

    AgentMatch Match(std::string_view agent) const;
    const std::vector<AgentRule>& Rules() const { return m_rules; }

private:
    // The rules of one kind (bot and ai are one), and all their texts as a
    // set: most agents match no robot rule, and the set says so in one scan.
    struct Group {
        std::vector<std::uint32_t> rules;
        std::unique_ptr<const PatternSet> texts;
        std::uint32_t First(const std::vector<AgentRule>& all, std::string_view agent) const;
    };
    std::vector<AgentRule> m_rules;
    Group m_browsers, m_systems, m_devices, m_robots;
};

}  // namespace pomurina
