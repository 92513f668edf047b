#pragma once
// A text sink that keeps what it is given in a string: the reading path's
// output, for tests and fuzz targets that compare it.
#include <string>

#include "io/TextSink.h"
#include "memory/MemoryBudget.h"

namespace pomurina::testing {

class StringSink final : public TextSink {
public:
    MemoryBudget& Budget() const override { return m_budget; }
    char* Room(std::size_t size) override {
        m_room.resize(size);
        return m_room.data();
    }
    std::size_t RoomSize() const override { return m_room.size(); }
    void Commit(std::size_t size) override { text.append(m_room.data(), size); }
    void BeginNextLog() override {}
    std::size_t Written() const override { return text.size(); }

    std::string text;

private:
    mutable MemoryBudget m_budget{RunMemory()};
    std::string m_room;
};

}  // namespace pomurina::testing
