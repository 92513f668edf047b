#pragma once
// A file written whole beside its target and put in the target's place only
// when complete: a failed or interrupted write leaves the old file whole and
// no partial file behind.  The list files, the FTP settings and downloaded
// logs are all written this way.
#include <sys/types.h>

#include <string>
#include <string_view>

namespace pomurina {

class FileReplacement {
public:
    // A new file gets mode; a replaced one keeps its own unless forceMode.
    explicit FileReplacement(std::string target, mode_t mode = 0644, bool forceMode = false)
        : m_target(std::move(target)), m_mode(mode), m_forceMode(forceMode) {}
    // Discards a file that was not committed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Each returns 0 or the error number; after an error the temporary file is gone.
    // Creates the temporary file beside the target.
    int Open();
    // Appends bytes.
    int Write(std::string_view bytes);
    // Flushes the file to disk and renames it over the target.
    int Commit();

private:
    int Fail(int error);

    std::string m_target;
    mode_t m_mode;
    bool m_forceMode;
    std::string m_temporary;
    int m_fd = -1;
};

// Writes bytes to path through a FileReplacement; returns 0 or the error number.
int ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode = 0644,
                bool forceMode = false);

}  // namespace pomurina
