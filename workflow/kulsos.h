#pragma once

#include "kulsosstore.h"

#include "core/screen.h"

#include <QHash>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace mivo::data
{
class QueryModel;
}

namespace mivo::workflow
{

/// "Külsősnek kiosztott munkák kezelése" (Tkulsosfm): the jobs given to other companies'
/// technicians in a planned-date range, with a panel to change their plan, technician,
/// activity, problem and state, or to delete them. Browsing keeps the panel disabled;
/// "Módosít" and "Töröl" fill it from the current row and disable the list meanwhile.
class Tkulsosfm : public Screen
{
    Q_OBJECT
public:
    explicit Tkulsosfm(QWidget* parent = nullptr);

    data::QueryModel& rows() const { return *m_rows; }
    QTableView* view() const { return m_view; }
    QWidget* panel() const { return m_panel; }

    /// "&Feltételek elfogadása": the list read afresh for the filter.
    void acceptFilter();

protected:
    void initialise() override;

private:
    void modify();
    void store();
    void remove();
    void cancel();
    void exportRows();
    void fillPanel(int row);
    /// Fills the panel from the current row and enters changing; the row, -1 when none.
    int startChange();
    void pickTechnician();
    void setOwnTechnician(bool own);
    void dateLeft(QLineEdit* edit);
    void partOfDayChosen(int index);
    void showCount();
    int currentRow() const;
    ExternalJobChange rowChange(int row) const;

    QLineEdit* m_from;
    QLineEdit* m_to;
    QCheckBox* m_all;
    QComboBox* m_order;
    data::QueryModel* m_rows;
    QTableView* m_view;
    QLabel* m_count;
    QWidget* m_panel;
    QLineEdit* m_tervd;
    QComboBox* m_ora;
    QComboBox* m_dedu;
    QLineEdit* m_szerelo;
    QLineEdit* m_szerelonev;
    QComboBox* m_tevekenys;
    QLineEdit* m_problema;
    QComboBox* m_allapot;
    QHash<QString, QString> m_activityCodes; ///< TEVEKENYS: name → code
    QHash<QString, QString> m_stateCodes;    ///< ALLAPOT: name → code
    QHash<QString, QString> m_stateNames;    ///< ALLAPOT: code → name
    int m_editedRow = -1;
    bool m_filling = false;
};

} // namespace mivo::workflow
