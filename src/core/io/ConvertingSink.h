#pragma once
// One log's bytes on their way into the run's text: the log's format is
// told from its first bytes (kFormatSniffBytes, held back until then), and
// then a combined log's bytes go straight into the text, as if there were
// no step between, while a converted format's lines go in as their combined
// lines (LineConversion.h), a whole line at a time.
#include <cstddef>
#include <optional>
#include <string>

#include "formats/LineConversion.h"
#include "formats/LogFormat.h"
#include "io/OriginalLog.h"
#include "io/TextSink.h"

namespace pomurina {

class ConvertingSink final : public TextSink {
public:
    explicit ConvertingSink(TextSink& text) : m_text(text) {}
    ~ConvertingSink() override;
    ConvertingSink(const ConvertingSink&) = delete;
    ConvertingSink& operator=(const ConvertingSink&) = delete;

    MemoryBudget& Budget() const override { return m_text.Budget(); }
    char* Room(std::size_t size) override;
    std::size_t RoomSize() const override;
    void Commit(std::size_t size) override;
    // Logs are begun by the text itself.
    void BeginNextLog() override {}
    std::size_t Written() const override { return m_text.Written(); }

    // Keeps a converted log's bytes and lines in keep (see OriginalLog.h),
    // charged to the text's budget; nothing for a log read as it is.
    void KeepOriginal(OriginalLog& keep) { m_keep = &keep; }
    // The log has been read whole: what is held goes in.
    void End();
    // The log's format (once told: Unknown before).
    LogFormat Format() const { return m_format; }

private:
    // Tells the format from what is held and lets it go on.
    void Tell(bool ended);
    // Converts the whole lines held (every byte when ended), keeping the rest.
    void ConvertHeld(bool ended);

    TextSink& m_text;
    LogFormat m_format = LogFormat::Unknown;
    bool m_told = false;
    std::optional<LineConversion> m_conversion;  // of a converted format
    std::string m_held;                          // bytes read and not yet let go
    std::size_t m_used = 0;                      // of m_held
    std::size_t m_heldCharged = 0;               // m_held's room, charged to the budget
    std::string m_converted;
    OriginalLog* m_keep = nullptr;
    std::uint64_t m_originalLine = 0;  // the number of the next line of the file
    std::size_t m_charged = 0;         // for m_keep's bytes and lines
};

}  // namespace pomurina
