#pragma once
// Distinct byte strings numbered 0, 1, 2… in the order first met, each hashed
// once, so that what is counted per string can live in plain vectors.  A
// table either keeps views of texts that outlive it (the log's lines) or
// copies each new text into blocks of its own that never move.
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "insight/Hashing.h"

namespace pomurina {

class InternTable {
public:
    enum class Storage { Views, Copies };
    explicit InternTable(Storage storage) : m_storage(storage) {}

    struct Found {
        std::uint32_t id;
        bool added;
    };
    // The number of text (hash: HashBytes(text)), adding it when new.
    Found Add(std::string_view text, std::uint64_t hash);
    Found Add(std::string_view text) { return Add(text, HashBytes(text)); }

    // The number of text, if it is in the table.
    std::optional<std::uint32_t> Find(std::string_view text) const;
    // Forgets every text and keeps the room (and the copies' first block).
    void Clear();
    // Makes room for count texts without growing.
    void Reserve(std::size_t count);
    // Lets the slots go: afterwards only Text, Hash and Count may be asked.
    void DropIndex() { m_slots = {}; }

    std::string_view Text(std::uint32_t id) const { return m_entries[id].text; }
    std::uint64_t Hash(std::uint32_t id) const { return m_entries[id].hash; }
    std::uint32_t Count() const { return static_cast<std::uint32_t>(m_entries.size()); }
    // The bytes the table takes, its copies included.
    std::size_t Footprint() const {
        return m_slots.capacity() * sizeof(std::uint64_t) + m_entries.capacity() * sizeof(Entry) +
               m_blocks.size() * kBlockSize;
    }

private:
    struct Entry {
        std::string_view text;
        std::uint64_t hash;
    };
    // A slot holds the id + 1 in its low half and the hash's high half above,
    // so that most other strings are passed over without reading them.
    static std::uint64_t Slot(std::uint64_t hash, std::uint32_t id) {
        return (hash & 0xFFFFFFFF00000000ull) | (std::uint64_t{id} + 1);
    }
    void Grow() { Rebuild(m_slots.empty() ? 16 : m_slots.size() * 2); }
    void Rebuild(std::size_t size);
    std::string_view Keep(std::string_view text);

    static constexpr std::size_t kBlockSize = std::size_t{64} * 1024;
    Storage m_storage;
    std::vector<std::uint64_t> m_slots;
    std::size_t m_mask = 0;
    std::vector<Entry> m_entries;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_free = nullptr;
    std::size_t m_freeSize = 0;
};

}  // namespace pomurina
