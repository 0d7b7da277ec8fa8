#pragma once

#include "formpanel.h"
#include "torzsdata.h"
#include "torzsopener.h"

#include "core/screencommands.h"

#include <QDialog>
#include <QPointer>

#include <map>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QSplitter;
class QTableView;
class QToolBar;
class QToolButton;

namespace mivo
{

/// The generic master-data editor: the records of any table in a grid, the current one in
/// a panel built from its field rows, a button bar that navigates, inserts, copies,
/// modifies, deletes and stores; in selection mode also the row picker of every screen.
class TTorzsfm : public QDialog
{
    Q_OBJECT
public:
    TTorzsfm(const torzs::Spec& tableSpec, QWidget* parent = nullptr);
    ~TTorzsfm() override;

    /// One call of the entry routine on this editor: prepares it, shows it modally and
    /// hands a choice back. True when the user chose a record.
    bool run(TorzsCall& call, const TableRights& rights, torzs::WindowState windowState);
    /// The parts of run() before and after the modal showing.
    void prepare(const TorzsCall& call, const TableRights& rights, torzs::WindowState windowState);
    bool finish(TorzsCall& call) const;

    TorzsData& data() { return m_data; }
    TorzsState state() const { return m_state; }
    bool hasAccess() const { return m_access; }
    bool chosen() const { return m_chosen; }
    QString title() const { return m_title; }
    FormPanel* panel() const;
    QTableView* grid() const { return m_grid; }
    QLineEdit* searchBox() const { return m_search; }
    QComboBox* sortBox() const { return m_sort; }
    int currentRow() const { return m_row; }
    /// Whether the panel must be rebuilt, the records read again on the next showing.
    bool requeryPending() const { return m_requery; }
    /// The records are read anew at the next showing.
    void markForRequery() { m_requery = true; }

    // The commands of the buttons and menus.
    void first();
    void prior();
    void next();
    void last();
    void refresh();
    void newRecord();
    void copyRecord();
    void modify();
    void cancel();
    /// "OK": true when the record was stored.
    bool store();
    void deleteRecord();
    void choose();
    void back();
    void sortBy(int captionIndex);
    void search(const QString& text);
    /// The full list through the dictionary report, on screen or on the printer.
    void listToScreen();
    void listToPrinter();
    /// The full list into a file (empty: the save dialog asks); the name written.
    QString listToFile(const QString& fileName = {});
    /// The full list as a PDF file, as the report prints it.
    bool listToPdf(const QString& path, QString* error);

protected:
    void reject() override;

private:
    void buildScreen();
    /// The full list through the dictionary report: previewed, or printed at once.
    void printList(bool preview);
    void onShowing(const QString& searchText);
    void applyWindowState(torzs::WindowState state);
    /// The panel's height for its lines; at the first showing the window's and the grid's.
    void fitPanel();
    void setState(TorzsState state);
    void setPanelMode(bool readOnly);
    void setCurrentRow(int row);
    void afterMove();
    void moveTo(int row);
    bool leaveEditing();
    void startInsert(bool clear);
    void chooseCurrent();
    QString currentSortField() const;
    void limitSearch(const QString& field);
    TorzsInputs panelInputs() const;
    void showCount();

    TorzsData m_data;
    TorzsState m_state = TorzsState::Closed;
    bool m_access = false;
    bool m_selection = false;
    bool m_chosen = false;
    bool m_requery = true;
    bool m_sized = false;
    QString m_title;
    QStringList m_fieldNames;
    QStringList m_captions;
    QStringList m_names;
    QStringList m_values;
    int m_row = -1;

    QWidget* m_panelHost = nullptr;
    QScrollArea* m_scroll = nullptr;
    QSplitter* m_splitter = nullptr;
    QTableView* m_grid = nullptr;
    QComboBox* m_sort = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_tableName = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_readOnly = nullptr;
    QLabel* m_stateLabel = nullptr;
    QAction* m_hideGrid = nullptr;
    QMenu* m_itemMenu = nullptr;
    ScreenCommands m_commands{this};
};

/// The editors of the run, one per table and module, created on first use and kept; a
/// lookup into an editor that is open already gets a second one. Registered as the
/// framework's way to the editor.
class TorzsEditors : public TorzsOpener
{
public:
    /// The editors become children of the owner.
    explicit TorzsEditors(QWidget* owner);
    ~TorzsEditors() override;

    bool OpenTorzs(TorzsCall& call) override;
    void markForRereading(const QString& editorName) override;
    /// The first editor of a table list's table and module, or nullptr.
    TTorzsfm* editor(const QString& tableSpec) const;

private:
    QWidget* m_owner;
    std::map<QString, QList<QPointer<TTorzsfm>>> m_editors;
};

} // namespace mivo
