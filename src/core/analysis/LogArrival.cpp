#include "analysis/LogArrival.h"

namespace pomurina {

LogArrival::LogArrival(LogReading& reading, LogText& text) : m_reading(reading), m_text(text) {
    m_text.SetArrival([this] {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_changed.notify_one();
    });
    m_task.emplace([this] { Read(); });
    if (!m_task->Started()) Read();
}

LogArrival::~LogArrival() {
    m_text.Stop();
    m_task.reset();
    m_text.SetArrival(nullptr);
}

void LogArrival::Read() {
    std::exception_ptr error;
    try {
        m_reading.ReadInto(m_text, [this](std::size_t index, bool ended) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_news.told.emplace_back(index, ended);
            m_changed.notify_one();
        });
    } catch (const LogText::Stopped&) {
        // The run no longer waits for the text.
    } catch (...) {
        error = std::current_exception();
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_news.error = error;
    m_news.ended = !error;
    m_changed.notify_one();
}

LogArrival::News LogArrival::Wait(std::size_t seen, std::size_t more) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] {
        return !m_news.told.empty() || m_news.ended || m_news.error ||
               m_text.Length() > seen + more;
    });
    News news = std::move(m_news);
    m_news = News();
    // The length after the events: bytes arrive in order, so every log
    // told as ended is in it.
    news.length = m_text.Length();
    return news;
}

}  // namespace pomurina
