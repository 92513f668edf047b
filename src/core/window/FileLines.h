#pragma once
// The raw-log pane's lines as the files have them: the run's lines, except
// that a converted log (see io/OriginalLog.h) shows its file's lines, its
// header and comment lines included.  It also says which of its lines shows
// a given line of the run, for narrowing the pane to the run's lines.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "io/OriginalLog.h"
#include "text/LineSource.h"
#include "text/TextLines.h"

namespace pomurina {

class FileLines final : public LineSource {
public:
    // run: every line of the run (RunResult::wholeLog); originals: as
    // RunResult::originals (empty: the run's lines alone).
    FileLines(std::shared_ptr<const TextLines> run,
              const std::vector<std::shared_ptr<const OriginalLog>>& originals);

    std::size_t Count() const override { return m_count; }
    std::string_view Line(std::size_t index, std::string& scratch) const override;
    std::size_t Length(std::size_t index) const override;

    // The line of this source that shows the run's line runLine.
    std::size_t ShownLine(std::size_t runLine) const;

private:
    // A stretch of lines shown one after the other: the run's from first, or
    // a converted log's file lines (original) from first.
    struct Stretch {
        std::size_t shownFirst = 0, count = 0, first = 0;
        std::size_t runFirst = 0, runCount = 0;  // the run's lines it stands for
        std::shared_ptr<const TextLines> original;
        const OriginalLog* log = nullptr;
    };
    const Stretch& StretchOf(std::size_t index) const;
    std::string_view At(std::size_t index) const;

    std::shared_ptr<const TextLines> m_run;
    std::vector<Stretch> m_stretches;
    std::vector<std::shared_ptr<const OriginalLog>> m_originals;
    std::size_t m_count = 0;
};

}  // namespace pomurina
