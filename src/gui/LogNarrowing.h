#pragma once
// Finds the lines of one row of the insight among a run's lines for the
// raw-log pane, on the worker pool, while the window goes on answering: the
// window only looks every few milliseconds whether the lines are found.  A
// new search, or Cancel(), lets the one still going stop at its next piece,
// and nothing waits for it.
#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/RunResult.h"
#include "insight/InsightRow.h"

namespace pomurina {

class LongTask;

class LogNarrowing final : public QObject {
public:
    // found: called on this thread with the view of the row's lines.
    using Found = std::function<void(SharedLineSource lines)>;
    explicit LogNarrowing(Found found, QObject* parent = nullptr);
    ~LogNarrowing() override;

    // Finds the lines of row among run's lines; a log shorter than
    // BackgroundFrom() lines is searched at once, before this returns.
    // A search still going is cancelled.
    void Start(std::shared_ptr<const RunResult> run, InsightRow row);
    // Forgets the search going, if any: its lines will never be shown.
    void Cancel();
    // Whether a search is going.
    bool Finding() const { return m_job != nullptr; }

    // Logs from this many lines on are searched in the background (tests
    // make every log be).
    static std::size_t BackgroundFrom();
    static void SetBackgroundFrom(std::size_t lines);

private:
    struct Job;
    // Hands over the lines of a search that has ended; lets go of the
    // tasks of searches cancelled that have stopped.
    void Look();

    Found m_found;
    std::shared_ptr<Job> m_job;
    std::unique_ptr<LongTask> m_task;
    std::vector<std::pair<std::shared_ptr<Job>, std::unique_ptr<LongTask>>> m_stopping;
    QTimer m_look;
};

}  // namespace pomurina
