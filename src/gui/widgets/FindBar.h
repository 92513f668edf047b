#pragma once
// The find bar of a result pane: a strip at the pane's bottom with the text
// to find, previous and next, and "match case".  It searches the pane's
// Shift-JIS lines for the text as typed, marks the match and scrolls to it,
// shows in the text field the match's place among all ("3/120件"), and says
// in the bar when there is none.  A long search or count is done a slice at
// a time between turns of the event loop, so the window never stops answering.
#include <QTimer>
#include <QWidget>
#include <optional>

#include "search/PaneMatchCount.h"
#include "search/PaneSearch.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace pomurina {

class MatchDelegate;
class PaneView;

class FindBar final : public QWidget {
public:
    // The pane's bar, made (hidden) on first use.
    static FindBar& Of(PaneView& pane);

    // Shows the bar with the focus in its text, all selected.
    void Open();
    // Hides the bar and gives the focus back to the pane.
    void Close();
    // Finds the text from beside the current match or row, down or up,
    // around the ends; with no text it opens the bar.
    void FindNext();
    void FindPrevious();
    bool Searching() const { return m_search.has_value(); }
    bool Counting() const { return m_count.has_value(); }
    // The match shown, if any.
    const std::optional<PaneMatch>& Match() const { return m_match; }

    // How many lines a slice may search and for how long before the event
    // loop gets its turn (tests make slices small).
    static void SetSlice(std::size_t lines, int milliseconds);

    QLineEdit* const Text;
    // The match's place among all, at the right end inside Text.
    QLabel* const Count;
    QToolButton* const Previous;
    QToolButton* const Next;
    QCheckBox* const MatchCase;
    QToolButton* const CloseButton;
    QLabel* const Status;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    explicit FindBar(PaneView& pane);
    void ShowBar();
    void Place();
    void Start(PaneSearch::Direction direction);
    void Continue();
    void Finish();
    // Counts the matches of the text around the match shown, a slice at a time.
    void StartCount();
    void ContinueCount();
    // Shows text inside the text field's right end.
    void ShowCount(const QString& text);
    // Forgets the search and the match: the pane's lines have changed.
    void Forget();
    void ShowMatch(const PaneMatch& match);
    void Say(const QString& text, bool problem = false);

    PaneView& m_pane;
    QWidget* m_rows;  // the pane's viewport
    MatchDelegate* m_marker;
    std::optional<PaneSearch> m_search;
    std::optional<PaneMatch> m_match;
    std::string m_matchNeedle;  // what m_match was found with
    bool m_matchCase = false;
    bool m_forward = true;  // the direction of the last search
    QTimer m_nextSlice;
    std::optional<PaneMatchCount> m_count;
    QTimer m_nextCountSlice;
};

}  // namespace pomurina
