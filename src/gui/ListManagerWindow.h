#pragma once
// TDomein: the list manager window "ドメイン管理", which edits the three
// reference lists on three tabs; every register or delete writes the changed
// list to its file at once.
#include <QWidget>
#include <array>

#include "lists/ReferenceListFile.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace pomurina {

class TDomein;
// The list manager window of the process.
extern TDomein* Domein;

class TDomein : public QWidget {
    Q_OBJECT

public:
    // Builds the window and loads the four lists (relative to the current
    // directory now); a list that fails to load is reported in its own box.
    explicit TDomein(QWidget* parent = nullptr);

    QTabWidget* Seet;
    QWidget* MyDomein;
    QWidget* CheckDomein;
    QWidget* RobotList;
    QWidget* ExcludeHostList;
    QListWidget* ResistList;
    QListWidget* BList;
    QListWidget* Robots;
    // The hosts a filter leaves out (one host or address range a line).
    QListWidget* ExcludeHosts;
    QLineEdit* InputDomein;
    QPushButton* RunButton;
    QPushButton* DelButton;

    // Loads each list box from its file, each on its own.
    void FormCreate();
    // Shows the own-domain tab with host in the input field, ready for "登録(&R)".
    void OfferOwnDomain(const QString& host);
    // Shows the excluded-hosts tab with host in the input field, ready for "登録(&R)".
    void OfferExcludedHost(const QString& host);
    // "登録(&R)": appends the typed text to the active tab's list and writes it.
    void RunButtonClick();
    // "削除(&D)": removes the selected entry of the active tab's list, then
    // writes the list (also when nothing was selected).
    void DelButtonClick();
    // Enter performs a click of "登録(&R)".
    void InputDomeinKeyDown(int key);
    // Delete performs a click of "削除(&D)" (ResistList; BList, Robots and ExcludeHosts).
    void ResistListKeyDown(int key);
    void BListKeyDown(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QListWidget* AddListTab(QWidget*& page, const char* caption);
    // Shows tab with entry in the input field.
    void Offer(int tab, const QString& entry);
    // The list box on tab index (0 ResistList, 1 BList, 2 Robots, 3 ExcludeHosts).
    QListWidget* ListBox(int index) const;
    // Fills that list box from the entries of its list.
    void ShowEntries(int index);

    // The entries as their files' bytes, beside the list boxes (row i shows
    // entry i); order: ResistList, BList, Robots, ExcludeHosts.
    std::array<ReferenceListFile, 4> m_lists{
        ReferenceListFile("materia/DomeinList.dat"),
        ReferenceListFile("materia/CheckDomeinList.dat"),
        ReferenceListFile("materia/SERobotsList.dat"),
        ReferenceListFile("materia/ExcludeHosts.dat", /*missingIsEmpty=*/true)};
};

}  // namespace pomurina
