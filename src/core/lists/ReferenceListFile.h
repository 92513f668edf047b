#pragma once
// One reference list as the list manager keeps it: the entries exactly as the
// file's bytes, and the file they are written back to.
#include <string>

#include "text/TextList.h"

namespace pomurina {

class ReferenceListFile {
public:
    // path is relative ("materia/DomeinList.dat") and resolves against the
    // current directory at each read and write.
    // missingIsEmpty: a file that isn't there loads as an empty list, with
    // no error (a list most users never fill).
    explicit ReferenceListFile(std::string path, bool missingIsEmpty = false)
        : m_path(std::move(path)), m_missingIsEmpty(missingIsEmpty) {}

    // Reads the file; on failure the list is empty and FileOpenError is
    // thrown.  A missing file may be created by the next write; a file that
    // exists but could not be read, or was read only up to a zero byte, is
    // never written back.
    void Load();
    // Throws Error (naming the file) when the list must not be written back.
    void CheckWritable() const;
    // Writes the file whole from the entries; throws FileCreateError, or the
    // error of CheckWritable.
    void Save() const;

    TextList& Entries() { return m_entries; }
    const TextList& Entries() const { return m_entries; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    bool m_missingIsEmpty;
    TextList m_entries;
    // Full path of a file that exists but failed to load whole; empty otherwise.
    std::string m_unreadPath;
};

// "ファイル "%s" を最後まで読み込めなかったため、変更は保存していません" (Shift-JIS).
std::string NotLoadedErrorText(std::string_view fullPath);

}  // namespace pomurina
