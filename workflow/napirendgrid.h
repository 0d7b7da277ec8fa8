#pragma once

#include "gridjob.h"

#include <QWidget>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QScrollArea;
class QTableView;

namespace mivo::workflow
{

class DayNavigator;
class NapirendModel;

/// Pixel width of a technician column. In Tadatfelvfm the columns share 992 pixels, in
/// Tadatfelv2fm the grid panel's width less 30; the long-day grid's columns are 3 pixels
/// narrower. Never below a readable minimum, however many technicians there are.
int technicianColumnWidth(ScheduleForm form, int technicians, int panelWidth, bool longDay);

/// The planning grid component `sg1` of the scheduling forms: the grid drawn from its
/// model, "Aktuális nap:" and every column's day navigation above it, and the context menu
/// of a cell. Database failures are shown to the user; the grid then keeps what it showed.
class NapirendGrid : public QWidget
{
    Q_OBJECT
public:
    explicit NapirendGrid(ScheduleForm form, QWidget* parent = nullptr);
    ~NapirendGrid() override;

    NapirendModel& model() const { return *m_model; }
    CellActions& actions() { return m_actions; }
    QTableView* view() const { return m_view; }
    /// The "Aktuális nap:" navigation.
    DayNavigator* currentDay() const { return m_currentDay; }
    /// The navigation above technician column 1..n.
    DayNavigator* columnNavigator(int column) const { return m_navigators.at(size_t(column - 1)); }
    QMenu* contextMenu() const { return m_menu; }

    /// Rebuilds the grid for the own company with every column and "Aktuális nap:" on the
    /// date. False when the technicians could not be read.
    bool build(const QString& ownCompany, const QString& date);
    /// "&Frissítés": every column read afresh for its own date.
    void refreshAll();
    /// Every column to the date.
    void setAllDates(const QString& date);
    /// Column 1..n read afresh for the date.
    void refreshColumn(int column, const QString& date);
    /// Shows "Történeti áttekintés" in the cell menu (the job-log feature).
    void setJobHistoryAvailable(bool available);

signals:
    /// An hour cell (column 1..n, row) was clicked or chosen by keyboard.
    void cellChosen(int column, int row);
    /// "Munka áthelyezése" passed its check and question: the job leaves the cell.
    void moveRequested(int column, int row, const mivo::workflow::GridJob& job);
    /// "Módosítás" passed its check: the job is edited in its cell.
    void modifyRequested(int column, int row, const mivo::workflow::GridJob& job);

protected:
    /// The columns and rows follow the size of the scroll area's viewport.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addMenuItem(const QString& name, const QString& caption);
    void rebuildNavigators();
    void layoutColumns();
    void syncNavigators();
    void showMenu(const QPoint& position);
    /// The width a technician column needs to stay readable: its code and ten characters of
    /// cell text, and the whole day strip above it.
    int readableColumnWidth() const;
    /// The clicked hour cell (column, row); column 0 when the pointer was elsewhere.
    std::pair<int, int> clickedCell() const;

    ScheduleForm m_form;
    NapirendModel* m_model;
    CellActions m_actions;
    DayNavigator* m_currentDay;
    QScrollArea* m_scroll;
    QWidget* m_navigatorRow;
    QTableView* m_view;
    QMenu* m_menu;
    QAction* m_history = nullptr;
    std::vector<DayNavigator*> m_navigators;
};

} // namespace mivo::workflow
