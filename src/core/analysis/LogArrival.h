#pragma once
// The logs of a run read on a thread of their own (a long task of the worker
// pool), so that the lines that have arrived are classified while the rest
// are still read or unpacked.  The run's thread learns what has happened in
// the order it happened.  With no thread to spare, the logs are read whole
// at the start and the run classifies them after.
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "io/LogFiles.h"
#include "io/LogText.h"
#include "parallel/LongTask.h"

namespace pomurina {

class LogArrival {
public:
    // Starts reading the logs into text.
    LogArrival(LogReading& reading, LogText& text);
    // Stops a reading that has not ended, and waits for it.
    ~LogArrival();
    LogArrival(const LogArrival&) = delete;
    LogArrival& operator=(const LogArrival&) = delete;

    struct News {
        std::vector<std::pair<std::size_t, bool>> told;  // as LogReadingTold, in order
        std::size_t length = 0;                          // of the text that has arrived
        bool ended = false;                              // the text is whole
        std::exception_ptr error;                        // the reading failed
    };
    // Waits until more than `more` bytes beyond seen have arrived, a log
    // began or ended, or the reading ended or failed.
    News Wait(std::size_t seen, std::size_t more);

private:
    void Read();

    LogReading& m_reading;
    LogText& m_text;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    News m_news;  // what the run has not taken yet
    std::optional<LongTask> m_task;
};

}  // namespace pomurina
