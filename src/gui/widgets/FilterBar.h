#pragma once
// The filter bar: what a user keeps of the log — a period (two days within
// the log's first and last, or a preset), without the excluded hosts,
// without robots, under a path, of some status classes — and the buttons
// "適用" and "解除".  It holds the choice; what applying does is the owner's.
#include <QFrame>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "filter/LineFilter.h"
#include "filter/PeriodPreset.h"

class QAction;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace pomurina {

// What the bar asks for; the period only when narrower than the log's days.
struct FilterChoice {
    std::optional<DayRange> period;
    bool excludeListedHosts = false;
    bool humansOnly = false;
    std::string pathPrefix;          // UTF-8, as typed
    std::uint8_t statusClasses = 0;  // bit c for cxx; 0: every status
    std::string vhost;               // UTF-8, as typed; empty: every virtual host
};

class FilterBar final : public QFrame {
public:
    FilterBar(std::function<void()> apply, std::function<void()> clear, QWidget* parent = nullptr);

    // The log's first and last day bound the period (nothing: the log has no
    // dated line, and the period can't be chosen); the period becomes the
    // whole log.
    void SetLogDays(std::optional<DayRange> log);
    // The virtual hosts the log names, offered in the box "ホスト名" (shown
    // only when there are some).
    void SetVirtualHosts(const std::vector<std::string>& names);
    // Puts a period in the day fields (cut to the log's days).
    void SetPeriod(DayRange period);
    // Shows what filter keeps (the period as days of the log).
    void ShowApplied(const LineFilter& filter);
    // Everything back to keeping the whole log.
    void Reset();
    FilterChoice Choice() const;

    QDateEdit *const FirstDay, *const LastDay;
    QComboBox* const Presets;
    QCheckBox *const ExcludeHosts, *const Humans;
    QLineEdit* const Path;
    QToolButton* const Status;
    QComboBox* const VirtualHost;
    QPushButton *const Apply, *const Clear;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ChoosePreset(int index);
    std::uint8_t CheckedStatusClasses() const;
    void ShowStatusChoice();

    std::optional<DayRange> m_log;
    QAction* m_status[4] = {};  // 2xx .. 5xx
    QBoxLayout* m_halves;
};

}  // namespace pomurina
