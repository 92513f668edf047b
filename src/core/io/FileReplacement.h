#pragma once
// A file written whole beside its target and put in the target's place only
// when complete: a failed or interrupted write leaves the old file whole.  The
// list files, the FTP settings and downloaded logs are all written this way.
//
// The target is the file a symbolic link leads to (the link stays), unless
// the link is another user's in a shared folder; an existing target must be
// a regular file the user may write.  The temporary
// file has a short name of its own (".pomurina-XXXXXXXX.tmp") whatever the
// target's name, and is locked while it is written, so that one left by a
// killed writer is known as such and removed by the next write in its folder.
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace pomurina {

class FileReplacement {
public:
    // A new file gets 0666 less the umask and a replaced one keeps its mode;
    // with forcedMode the file gets exactly that mode either way.
    explicit FileReplacement(std::string target, std::optional<mode_t> forcedMode = std::nullopt)
        : m_target(std::move(target)), m_forcedMode(forcedMode) {}
    // Discards a file that was not committed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Each returns 0 or the error number; after an error the temporary file is gone.
    // Checks the target and creates the temporary file beside it.
    int Open();
    // Appends bytes.
    int Write(std::string_view bytes);
    // Whether Commit waits for the bytes to reach the disk: a file the user
    // keeps does; one written again on demand (a state dump) needn't.
    enum class Flush { ToDisk, Not };
    // Renames the file over the target, flushed to disk first when asked.
    int Commit(Flush flush = Flush::ToDisk);

private:
    int Fail(int error);

    std::string m_target;
    std::optional<mode_t> m_forcedMode;
    std::string m_destination;  // the target with its symbolic links followed
    std::string m_temporary;
    int m_fd = -1;
};

// Writes bytes to path through a FileReplacement; returns 0 or the error number.
int ReplaceFile(const std::string& path, std::string_view bytes,
                std::optional<mode_t> forcedMode = std::nullopt);

// Whether name is the name of a temporary file of a FileReplacement.
bool IsReplacementTemporaryName(std::string_view name);

}  // namespace pomurina
