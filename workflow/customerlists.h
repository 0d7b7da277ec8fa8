#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace mivo::data
{
class QueryModel;
}

namespace mivo::workflow
{

/// An appliance of the customer as its list shows it.
struct ListedAppliance {
    int kod = 0;
    int tipus = 0;
    QString gyariszam, nev, aruKod;
};

/// The lists beside the request fields: the customer's appliances (`grid_keszulek`), his
/// letters (`p_level` with `DBGrid_level`, shown by "Mind be") and the jobs of the current
/// appliance (`grid_munka`, request entry only). Database failures are shown to the user.
class CustomerLists : public QWidget
{
    Q_OBJECT
public:
    explicit CustomerLists(QWidget* parent = nullptr);

    /// Reads the customer's appliances, only the one with the code when it is not 0; the
    /// first becomes current (applianceSelected). A customer of -1 shows none.
    void showAppliances(int ugyfel, int keszulek);
    int applianceCount() const;
    /// The row of the first appliance of the article code, -1 when none.
    int findType(const QString& aruKod) const;
    void selectAppliance(int row);
    ListedAppliance appliance(int row) const;

    /// Reads the customer's letters and shows the newest one's date; "Válaszolt" is ticked
    /// when it was answered. The newest date, empty when none.
    QString showLetters(int ugyfel);
    bool newestAnswered() const { return m_answered; }
    bool valaszolt() const;
    void setLettersVisible(bool visible);

    /// The jobs of the appliance (`grid_munka`); 0 shows none.
    void showHistory(int keszulek);
    void setHistoryVisible(bool visible);

    /// Shows nothing of any customer.
    void clear();
    void setEditing(bool editing);

    QTableView* appliances() const { return m_appliances; }
    QTableView* letters() const { return m_letters; }
    QTableView* history() const { return m_history; }

signals:
    /// An appliance became current or was double-clicked.
    void applianceSelected(const mivo::workflow::ListedAppliance& appliance);

private:
    void read(data::QueryModel* model, const QString& sql, const QString& name,
              const QVariant& value);

    data::QueryModel* m_applianceRows;
    data::QueryModel* m_letterRows;
    data::QueryModel* m_historyRows;
    QTableView* m_appliances;
    QTableView* m_letters;
    QTableView* m_history;
    QWidget* m_letterPanel;
    QLabel* m_letterDate;
    QPushButton* m_allLetters;
    QCheckBox* m_valaszolt;
    bool m_answered = false;
};

} // namespace mivo::workflow
