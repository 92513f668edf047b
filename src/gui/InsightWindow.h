#pragma once
// TInsight: the window "アクセス解析".  It shows the insight of the main
// window's last run: the totals as large figures with the period, the daily
// graph, and one page for each table, every table sortable and exportable as
// CSV.  Its tables are made only when the window is first shown for a run,
// so a run costs nothing more while the window is closed.
#include <QWidget>
#include <memory>
#include <vector>

#include "analysis/RunResult.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSplitter;
class QStackedWidget;
class QTableView;

namespace pomurina {

class DayGraph;
class FilterBar;
class InsightModels;
class InsightTableModel;

class TInsight : public QWidget {
    Q_OBJECT
public:
    explicit TInsight(QWidget* parent = nullptr);
    ~TInsight() override;

    // Takes the run to show (null: none yet) and the unit box's unit for
    // the transfer volume.  The tables are made now only when the window is
    // shown; otherwise when it next is.
    void ShowRun(std::shared_ptr<const RunResult> run, int byteUnit);
    // The unit box changed.
    void SetByteUnit(int byteUnit);
    // The models of the run shown, made now when they aren't yet; null when
    // the run has no insight.
    const InsightModels* Models();

    // Whether the window opens after every successful run (window.ini).
    static bool OpensAfterRun();

    // The page list (日別 … 滞在時間) and the table views, one a page.
    QListWidget* const PageList;
    QStackedWidget* const Pages;
    // The view of table key ("pages", "entries", "exits", …), or null.
    QTableView* View(const char* key) const;
    // Saves the current page's table (its first when it has two) as CSV.
    void SaveCsvClick();
    // The find field: the text sought in the first column of the current
    // page's table, from the row after the current one.
    QLineEdit* const FindText;
    void FindNextClick();
    // A double click on view row row of the table of key: the main window's
    // 生ログ shows the lines counted in that row, for the tables whose rows
    // name lines (日別, ページ, 見つからないページ, ステータス, 参照元サイト,
    // 検索語句, ロボット, ホスト).
    void RowDoubleClick(const char* key, int row);
    // "このホストを除外リストに追加": the list manager's excluded hosts, with
    // the host of the view's current row typed in, ready to be registered.
    static void OfferExcludedHost(const QTableView& view);
    // The filter bar: applying it analyses the main window's last run again.
    FilterBar* const Filter;
    // "選んだ日に絞り込む": the period from the first to the last day selected
    // in the 日別 table, applied with the rest of the bar.
    void FilterToSelectedDays(const QTableView& view);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildPages();
    void Fill();
    void FillTotals();
    QTableView* AddView(QWidget* page, const char* key);
    void SaveSettings();
    void ApplyFilterChoice();
    QTableView* CurrentView() const;

    std::shared_ptr<const RunResult> m_run;
    std::unique_ptr<InsightModels> m_models;
    bool m_filled = false;
    int m_byteUnit = 0;
    QStackedWidget* m_state;  // the empty text or the contents
    QLabel* m_emptyText;
    std::vector<QLabel*> m_figures;
    QLabel* m_period;
    QLabel* m_findStatus;
    DayGraph* m_graph;
    QSplitter* m_splitter;
    QCheckBox* m_afterRun;
    std::vector<std::pair<const char*, QTableView*>> m_views;
};

// The process's insight window, created at start-up.
extern TInsight* InsightForm;

}  // namespace pomurina
