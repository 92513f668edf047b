#include "lists/ReferenceListFile.h"

#include <sys/stat.h>

#include <cerrno>

#include "io/FileIo.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace pomurina {

void ReferenceListFile::Load() {
    try {
        // A zero byte ends the text: the entries after it are in the file
        // only, and writing the list back would lose them.
        const bool whole = m_entries.LoadFromFile(m_path);
        m_unreadPath = whole ? std::string() : PathText(FullPath(m_path));
    } catch (const FileOpenError&) {
        m_entries.Clear();
        // Only a file that isn't there is safe to create later; anything else
        // at that path may hold entries the window never saw.
        struct stat info {};
        const bool absent =
            ::lstat(m_path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
        m_unreadPath = absent ? std::string() : PathText(FullPath(m_path));
        if (absent && m_missingIsEmpty) return;
        throw;
    }
}

void ReferenceListFile::CheckWritable() const {
    if (!m_unreadPath.empty()) throw Error(NotLoadedErrorText(m_unreadPath));
}

void ReferenceListFile::Save() const {
    CheckWritable();
    m_entries.SaveToFile(m_path);
}

std::string NotLoadedErrorText(std::string_view fullPath) {
    static const std::string head = Utf8ToCp932("ファイル \"");
    static const std::string tail =
        Utf8ToCp932("\" を最後まで読み込めなかったため、変更は保存していません");
    return head + std::string(fullPath) + tail;
}

}  // namespace pomurina
