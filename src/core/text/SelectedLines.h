#pragma once
// Some lines of a shared source, by their indexes: a view that copies no
// text, so that a pane can show a log narrowed to the lines of one row.
#include <memory>
#include <vector>

#include "text/LineSource.h"

namespace pomurina {

class SelectedLines final : public LineSource {
public:
    // indexes: lines of source, each below source->Count().
    SelectedLines(SharedLineSource source, std::vector<std::size_t> indexes)
        : m_source(std::move(source)), m_indexes(std::move(indexes)) {}

    std::size_t Count() const override { return m_indexes.size(); }
    std::string_view Line(std::size_t index, std::string& scratch) const override {
        return m_source->Line(m_indexes[index], scratch);
    }
    std::size_t Length(std::size_t index) const override {
        return m_source->Length(m_indexes[index]);
    }
    // The line of the source that line index of the view is.
    std::size_t SourceIndex(std::size_t index) const { return m_indexes[index]; }

private:
    SharedLineSource m_source;
    std::vector<std::size_t> m_indexes;
};

}  // namespace pomurina
