#pragma once
// The process-wide values a test may change, each through a guard that puts
// the value it found back at the end of its scope, whatever the test does
// in between.  Header-only: the fuzz targets use them too.
#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>

#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "memory/MemoryBudget.h"

namespace pomurina::testing {

// The file calls, changed one at a time with Replace until the end.
class ScopedFileIo {
public:
    ScopedFileIo() : m_previous(CurrentFileIo()) {}
    ~ScopedFileIo() { UseFileIo(m_previous); }
    ScopedFileIo(const ScopedFileIo&) = delete;
    ScopedFileIo& operator=(const ScopedFileIo&) = delete;

    // Puts call in place of one member (&FileIo::write) of the calls in use.
    template <typename Call>
    void Replace(Call FileIo::*member, std::type_identity_t<Call> call) {
        FileIo io = CurrentFileIo();
        io.*member = call;
        UseFileIo(io);
    }

private:
    FileIo m_previous;
};

// The memory every run may use, set until the end.
class ScopedRunMemory {
public:
    explicit ScopedRunMemory(std::size_t bytes) : m_previous(SetRunMemory(bytes)) {}
    ~ScopedRunMemory() { SetRunMemory(m_previous); }
    ScopedRunMemory(const ScopedRunMemory&) = delete;
    ScopedRunMemory& operator=(const ScopedRunMemory&) = delete;

private:
    std::size_t m_previous;
};

// The data folder DataFolder() answers, set until the end (and whatever a
// start-up chooses meanwhile is forgotten then).
class ScopedDataFolder {
public:
    explicit ScopedDataFolder(std::string folder) : m_previous(SetDataFolder(std::move(folder))) {}
    ~ScopedDataFolder() { SetDataFolder(m_previous); }
    ScopedDataFolder(const ScopedDataFolder&) = delete;
    ScopedDataFolder& operator=(const ScopedDataFolder&) = delete;

private:
    std::string m_previous;
};

}  // namespace pomurina::testing
