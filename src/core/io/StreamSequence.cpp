#include "io/StreamSequence.h"

namespace pomurina {

std::size_t StreamSequence::Run(std::string_view& input, bool last, char* out, std::size_t room) {
    std::size_t written = 0;
    while (written < room) {
        if (m_state == State::BetweenStreams) {
            if (input.size() < SignatureSize() && !last) return written;
            if (BeginsStream(input.substr(0, SignatureSize()))) {
                StartStream();
                m_state = State::InStream;
            } else {
                m_state = State::Ignoring;
            }
        }
        if (m_state == State::Ignoring) {
            input = {};
            return written;
        }
        const std::size_t inBefore = input.size(), outBefore = written;
        if (Step(input, out + written, room - written, written)) {
            m_state = State::BetweenStreams;
        } else if (input.empty()) {
            // Everything given is used and the stream goes on.
            if (written == room) break;
            if (last) throw DamagedData(true);
            return written;
        } else if (input.size() == inBefore && written == outBefore) {
            throw DamagedData(false);  // stuck with bytes and room: never so in the libraries
        }
    }
    return written;
}

}  // namespace pomurina
