#pragma once
// A downloaded file is received into a temporary file beside its target and
// put in the target's place only when the transfer is complete, so a broken
// transfer leaves the previous copy whole and no partial file behind.
#include <string>
#include <string_view>

namespace pomurina {

// One file being received; discarded unless committed.
class PartFile {
public:
    explicit PartFile(std::string target) : m_target(std::move(target)) {}
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Creates the temporary file beside the target; false when it can't be made.
    bool Open();
    // Appends bytes; false when they could not all be written.
    bool Write(std::string_view bytes);
    // Flushes the file to disk and renames it over the target; false (and the
    // temporary file removed) when any step fails.
    bool Commit();

private:
    void Discard();

    std::string m_target;
    std::string m_temporary;
    int m_fd = -1;
};

}  // namespace pomurina
