#pragma once

#include "customer.h"
#include "jobhistory.h"

#include "core/screen.h"

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace mivo
{
class TorzsModel;
}

namespace mivo::workflow
{

/// "Készülékek" (Ttulajvaltfm): every registered appliance with its owner, ordered and
/// searched by four fields, and an edit area to move an appliance to another customer,
/// correct its type, serial number and commissioning date, correct the owner's data, add an
/// appliance for the current row's customer, mark one deleted or print its history.
/// Browsing keeps the edit area disabled; "&Módosít" and "+" enable it and disable the list.
class Ttulajvaltfm : public Screen
{
    Q_OBJECT
public:
    enum class Mode { Browse, Edit, Insert };

    explicit Ttulajvaltfm(QWidget* parent = nullptr);
    ~Ttulajvaltfm() override;

    TorzsModel& rows() const { return *m_rows; }
    QTableView* view() const { return m_view; }
    QWidget* editArea() const { return m_edit; }
    QComboBox* sortBox() const { return m_sort; }
    QLineEdit* searchBox() const { return m_search; }
    Mode mode() const { return m_mode; }
    /// The appliance code of the current row, 0 when none.
    int currentAppliance() const;

    /// Where "&Lista" sends its print (the preview unless replaced, for tests).
    void setPrinter(std::function<void(const HistoryPrint&)> printer)
    {
        m_printer = std::move(printer);
    }

    /// "Sorrend:": the list in the order of the item (an index of applianceOrders()).
    void sortBy(int index);
    /// "&Frissít": the list read anew at the same appliance.
    void refresh();

protected:
    void initialise() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void modify();
    void add();
    void startEditing(Mode mode);
    void store();
    void cancel();
    void remove();
    void printHistory();
    void setBrowsing(bool browsing);
    void rowChanged();
    void search(const QString& text);
    void pickOwner();
    void pickPostalCode();
    void postalCodeLeft();
    void pickType();
    void pickCommissioningDate();
    void commissioningDateLeft();
    /// Shows the customer's nine fields.
    void showCustomer(const Customer& c);
    Customer shownCustomer() const;
    /// Reads the list again and makes the appliance current (the first row when it is gone).
    void reopenAt(int kod);
    void setCurrentRow(int row);
    QString rowText(const QString& field) const;

    TorzsModel* m_rows;
    QTableView* m_view;
    QComboBox* m_sort;
    QLineEdit* m_search;
    QWidget* m_edit;
    QLineEdit* m_ugyfelnev;
    QLineEdit* m_irszam;
    QLineEdit* m_varos;
    QLineEdit* m_utca;
    QLineEdit* m_tel;
    QLineEdit* m_fax;
    QLineEdit* m_mail;
    QLineEdit* m_komment;
    QLineEdit* m_komment2;
    QLineEdit* m_ktip;
    QLineEdit* m_ktipnev;
    QLineEdit* m_gyariszam;
    QLineEdit* m_beuzemeles;
    QLabel* m_kod;
    std::function<void(const HistoryPrint&)> m_printer;
    Mode m_mode = Mode::Browse;
    int m_owner = 0;    ///< the customer the appliance will belong to
    int m_typeRead = 0; ///< the appliance's type as read
    int m_typeChosen = 0;
    Customer m_remembered; ///< the owner's fields at the start of editing or at a pick
    bool m_filling = false;
};

} // namespace mivo::workflow
