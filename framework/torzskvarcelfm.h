#pragma once

#include "torzskvarcel.h"
#include "torzskvarcellist.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTableWidget;
class QWidget;

namespace mivo
{

namespace kvarcel
{
class ResultModel;
}

/// The master list with conditions ("Törzslista"): created once at start-up, registered as
/// the OpenTorzskvarcel screen, shown modally on a table of the metadata connection.
class Ttorzskvarcelfm : public QDialog, public TorzskvarcelOpener
{
    Q_OBJECT
public:
    explicit Ttorzskvarcelfm(QWidget* parent = nullptr);
    ~Ttorzskvarcelfm() override;

    bool openList(QWidget* parent, const QString& table, QString* condition, QString* fields,
                  QString* order) override;

    torzskvarcel::MasterList& list() { return m_list; }
    kvarcel::ResultModel& result() { return *m_result; }

    // The buttons' work, callable without clicking.
    bool runQuery();
    void newQuery();
    QString listToFile(const QString& fileName);
    bool listToPdf(const QString& path, QString* error);

protected:
    void reject() override;

private:
    void refreshGrid();
    void actOn(int row, int column);
    void openConditionPanel();
    void acceptCondition();
    void fillDistinctValues();
    bool ensureResult();
    QString reportTitle() const;

    torzskvarcel::MasterList m_list;
    kvarcel::ResultModel* m_result;
    bool m_finished = false;
    bool m_refreshing = false;

    QLineEdit* m_title;
    QTableWidget* m_grid;
    QWidget* m_conditionPanel;
    QComboBox* m_operator;
    QLineEdit* m_value;
    QLineEdit* m_value2;
    QLabel* m_value2Label;
    QLabel* m_fromLabel;
    QComboBox* m_values;
    QPushButton* m_sqlButton;
    QPlainTextEdit* m_statement;
    QTableView* m_resultGrid;
};

} // namespace mivo
