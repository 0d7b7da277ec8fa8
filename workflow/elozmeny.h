#pragma once

#include "jobhistory.h"

#include "core/screen.h"

#include <functional>

class QCheckBox;
class QLineEdit;
class QTableView;

namespace mivo::data
{
class QueryModel;
}

namespace mivo::workflow
{

/// "Előzmény lista" (Telozmenyfm): a customer's appliances with the jobs of the current one,
/// and the print of his history ("&Indul") as a list or as job sheets. Opened from the menu
/// without a customer ("&Indul" waits for the pick) or with one through setCustomer().
class Telozmenyfm : public Screen
{
    Q_OBJECT
public:
    explicit Telozmenyfm(QWidget* parent = nullptr);

    /// Shows the customer (code above 0) with his appliances; false, after telling the
    /// user, when he cannot be read.
    bool setCustomer(int ugyfel);
    int customer() const { return m_ugyfel; }

    /// Where "&Indul" sends its print (the preview unless replaced, for tests).
    void setPrinter(std::function<void(const HistoryPrint&)> printer)
    {
        m_printer = std::move(printer);
    }

    data::QueryModel& appliances() const { return *m_appliances; }
    data::QueryModel& jobs() const { return *m_jobs; }
    QTableView* applianceView() const { return m_applianceView; }

protected:
    void initialise() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void pickCustomer();
    void showAppliances();
    void applianceChanged();
    void start();
    int currentAppliance() const;

    QLineEdit* m_nev;
    QLineEdit* m_irszam;
    QLineEdit* m_varos;
    QLineEdit* m_utca;
    QLineEdit* m_telefon;
    data::QueryModel* m_appliances;
    data::QueryModel* m_jobs;
    QTableView* m_applianceView;
    QTableView* m_jobView;
    QCheckBox* m_all;
    QCheckBox* m_detail;
    std::function<void(const HistoryPrint&)> m_printer;
    int m_ugyfel = 0;
    /// The customer and appliance the job list shows (-1: none yet).
    std::pair<int, int> m_shown{-1, -1};
};

} // namespace mivo::workflow
