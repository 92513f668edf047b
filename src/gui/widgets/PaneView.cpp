#include "widgets/PaneView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <string>
#include <vector>

#include "ErrorBox.h"
#include "SjisQt.h"

namespace pomurina {

PaneView::PaneView(const char* name, QWidget* parent) : QListView(parent) {
    setObjectName(QString::fromLatin1(name));
    m_model.SetFont(font());
    setModel(&m_model);
    setItemDelegate(&m_marker);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void PaneView::Clear() {
    m_model.Clear();
}
void PaneView::ReplaceAll(SharedLineSource source) {
    m_model.ReplaceAll(std::move(source));
}

void PaneView::Append(std::string_view line) {
    m_model.Append(line);
    if (!m_batching) m_model.AnnouncePending();
}

void PaneView::AppendRange(const SharedLineSource& source, std::size_t first, std::size_t count) {
    m_model.AppendRange(source, first, count);
    if (!m_batching) m_model.AnnouncePending();
}

void PaneView::Insert(std::size_t index, std::string_view line) {
    m_model.Insert(index, line);
}

void PaneView::SetBatching(bool batching) {
    m_batching = batching;
    if (!batching) FlushRows();
}

void PaneView::FlushRows() {
    if (!m_model.AnnouncePending() || !isVisible()) return;
    // The thread doesn't return to the event loop during a run: lay out and
    // paint now.  Laying out takes longer as the rows grow, so a pane is
    // refreshed at most a tenth of the time.
    const auto start = std::chrono::steady_clock::now();
    if (start < m_nextRefresh) return;
    doItemsLayout();
    viewport()->repaint();
    m_nextRefresh = start + 10 * (std::chrono::steady_clock::now() - start);
}

std::vector<std::pair<int, int>> PaneView::SelectedSpans() const {
    std::vector<std::pair<int, int>> spans;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        spans.emplace_back(range.top(), range.bottom());
    std::sort(spans.begin(), spans.end());
    // Ranges may overlap: each row counts once.
    std::vector<std::pair<int, int>> merged;
    for (const auto& [top, bottom] : spans) {
        if (!merged.empty() && top <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, bottom);
        else
            merged.emplace_back(top, bottom);
    }
    return merged;
}

std::size_t PaneView::SelectedCount() const {
    std::size_t count = 0;
    for (const auto& [top, bottom] : SelectedSpans())
        count += static_cast<std::size_t>(bottom - top + 1);
    return count;
}

QString PaneView::SelectedText(std::size_t limit) const {
    QString text;
    std::string scratch;
    std::size_t taken = 0;
    for (const auto& [top, bottom] : SelectedSpans()) {
        for (int row = top; row <= bottom && taken < limit; ++row, ++taken) {
            if (taken > 0) text += QLatin1Char('\n');
            text += FromSjis(m_model.Shown().Line(static_cast<std::size_t>(row), scratch));
        }
    }
    return text;
}

void PaneView::CopySelection() const {
    QApplication::clipboard()->setText(SelectedText());
}

void PaneView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        Guarded([&] { CopySelection(); });
        event->accept();
        return;
    }
    // Sideways with the arrow keys, as in a text pane.
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        QScrollBar* bar = horizontalScrollBar();
        bar->triggerAction(event->key() == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub
                                                        : QAbstractSlider::SliderSingleStepAdd);
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void PaneView::SetPlaceholder(const QString& text) {
    m_placeholder = text;
    viewport()->update();
}

void PaneView::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (m_placeholder.isEmpty() || m_model.rowCount() > 0) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect().adjusted(16, 16, -16, -16),
                     Qt::AlignCenter | Qt::TextWordWrap, m_placeholder);
}

void PaneView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) m_model.SetFont(font());
    QListView::changeEvent(event);
}

}  // namespace pomurina
