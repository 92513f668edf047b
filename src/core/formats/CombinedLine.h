#pragma once
// A combined line written field by field:
// HOST IDENT USER [TIME] "REQUEST" STATUS SIZE "REFERRER" "AGENT".
// An empty field is written "-"; a quoted field gets a backslash before each
// quote no backslash escapes, and control bytes as \xHH, so that the line
// stays one line that the readings take apart as it was meant.  A line's
// virtual host goes where the identity stands, as "vhost=NAME" (see
// kVirtualHostIdent in AccessLine.h).
#include <string>
#include <string_view>

#include "insight/AccessLine.h"

namespace pomurina {

class CombinedLine {
public:
    explicit CombinedLine(std::string& out) : m_out(out) {}

    // A blank-free word (host, identity, user, status, size); blanks and
    // control bytes in it become '_'.
    CombinedLine& Word(std::string_view word);
    // The identity: "vhost=NAME" when there is a virtual host, else ident.
    CombinedLine& Ident(std::string_view ident, std::string_view vhost);
    // The time field, brackets included, as given.
    CombinedLine& Time(std::string_view bracketed);
    // A quoted field.
    CombinedLine& Quoted(std::string_view text);
    // The line end.
    void End() { m_out += '\n'; }

private:
    void Separate() {
        if (m_fields++ > 0) m_out += ' ';
    }

    std::string& m_out;
    int m_fields = 0;
};

}  // namespace pomurina
