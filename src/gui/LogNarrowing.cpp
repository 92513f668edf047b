#include "LogNarrowing.h"

#include <algorithm>

#include "ErrorBox.h"
#include "insight/RowLines.h"
#include "parallel/LongTask.h"
#include "text/SelectedLines.h"

namespace pomurina {
namespace {

// A log this short is searched in a few milliseconds.
std::size_t g_backgroundFrom = 100000;

}  // namespace

// What the search's thread and the window share.
struct LogNarrowing::Job {
    std::shared_ptr<const RunResult> run;
    InsightRow row;
    std::atomic<bool> cancelled{false};
    std::atomic<bool> ended{false};
    std::optional<std::vector<std::size_t>> lines;  // set before ended

    void Run() {
        lines = FindRowLines(*run->logLines, *run->insightRules, row, cancelled);
        ended.store(true, std::memory_order_release);
    }
};

LogNarrowing::LogNarrowing(Found found, QObject* parent)
    : QObject(parent), m_found(std::move(found)) {
    m_look.setInterval(15);
    connect(&m_look, &QTimer::timeout, this, [this] { Guarded([this] { Look(); }); });
}

LogNarrowing::~LogNarrowing() {
    // The tasks' destructors wait for searches told to stop: a piece at most.
    Cancel();
}

std::size_t LogNarrowing::BackgroundFrom() {
    return g_backgroundFrom;
}

void LogNarrowing::SetBackgroundFrom(std::size_t lines) {
    g_backgroundFrom = lines;
}

void LogNarrowing::Start(std::shared_ptr<const RunResult> run, InsightRow row) {
    Cancel();
    if (!run || !run->logLines || !run->insightRules) return;
    auto job = std::make_shared<Job>();
    job->run = std::move(run);
    job->row = std::move(row);
    if (job->run->logLines->Count() >= g_backgroundFrom) {
        auto task = std::make_unique<LongTask>([job] { job->Run(); });
        if (task->Started()) {
            m_job = std::move(job);
            m_task = std::move(task);
            m_look.start();
            return;
        }
    }
    // A short log, or no thread to be had: found now.
    job->Run();
    m_found(std::make_shared<SelectedLines>(job->run->logLines, std::move(*job->lines)));
}

void LogNarrowing::Cancel() {
    if (!m_job) return;
    m_job->cancelled = true;
    m_stopping.emplace_back(std::move(m_job), std::move(m_task));
    m_job.reset();
    m_task.reset();
    m_look.start();
}

void LogNarrowing::Look() {
    std::erase_if(m_stopping, [](const auto& stopping) { return stopping.first->ended.load(); });
    if (m_job && m_job->ended.load(std::memory_order_acquire)) {
        const std::shared_ptr<Job> job = std::move(m_job);
        m_task.reset();
        m_job.reset();
        if (job->lines)
            m_found(std::make_shared<SelectedLines>(job->run->logLines, std::move(*job->lines)));
    }
    if (!m_job && m_stopping.empty()) m_look.stop();
}

}  // namespace pomurina
