#pragma once

#include "letters.h"

#include "core/screen.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace mivo::workflow
{
class Telozmenyfm;
}

namespace mivo::exchange
{

class LetterList;

/// "Levél alapadatok generálása": chooses the customers to write to (1), ticks them by the
/// conditions (2), stores them as letter rows and exports their addresses to a workbook (3),
/// and e-mails the letter to the stored addressees with an address (4). Every opening starts
/// afresh.
class Tlevelgenfm : public Screen
{
    Q_OBJECT
public:
    explicit Tlevelgenfm(QWidget* parent = nullptr);

    LetterList& list() const { return *m_list; }
    /// The conditions as the controls hold them.
    LetterConditions conditions() const;

    // The steps, callable without clicking.
    /// Step 1: the customers of the master list's condition (asks when none is given).
    void selectCustomers();
    /// The list of every customer, without a condition.
    void selectAll();
    void acceptConditions();
    void store();
    void sendEmails();
    void showHistory();

protected:
    void initialise() override;

private:
    void buildList();
    void showCounts();
    void pickGroup();

    LetterList* m_list;
    QString m_condition;
    QString m_fields;
    QString m_storedDate;
    QString m_storedTime;

    QCheckBox* m_karb;
    QLineEdit* m_karbDate;
    QCheckBox* m_beuz;
    QLineEdit* m_beuzFrom;
    QLineEdit* m_beuzTo;
    QCheckBox* m_threeYears;
    QCheckBox* m_beuzdat;
    QLineEdit* m_beuzdatFrom;
    QLineEdit* m_beuzdatTo;
    QCheckBox* m_noAnswer;
    QCheckBox* m_groupsOnly;
    QLineEdit* m_groups;
    QCheckBox* m_typeName;
    QCheckBox* m_emailSeparate;
    QListView* m_view;
    QLabel* m_lineCount;
    QLabel* m_tickedCount;
    workflow::Telozmenyfm* m_history = nullptr;
};

} // namespace mivo::exchange
