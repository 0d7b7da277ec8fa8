// The period activity list screen headless: defaults, conditions, the grid's column pairs,
// the date checks and the export of an empty list.

#include "scheduledata.h"
#include "scriptedpicker.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "framework/torzsmodel.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "workflow/tevlistfm.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

void typeAndLeave(QLineEdit* e, const QString& text)
{
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(e, &out);
}

QRadioButton* radio(QWidget& screen, const QString& group, const QString& text)
{
    for (auto* b : screen.findChild<QGroupBox*>(group)->findChildren<QRadioButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

} // namespace

class TestTevlistfm : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDb> m_db;

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 20), QTime(9, 0)));
        m_db = std::make_unique<TestDb>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        scheduledata::addTechnician(*m_db, u"SZ1"_s, u"Kovács Béla"_s);
        QVERIFY(m_db->exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, "
                           "'K-100', 'Kazán 100', 'K')"_s));
        const int customer =
            scheduledata::addCustomer(*m_db, u"Kiss Éva"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1"_s);
        scheduledata::addJob(scheduledata::planned(customer, u"SZ1"_s, u"2030.05.10"_s, u"08"_s));
        scheduledata::addJob(scheduledata::planned(customer, u"SZ1"_s, u"2030.05.12"_s, u"08"_s));
        const int done = scheduledata::addJob(
            scheduledata::planned(customer, u"SZ1"_s, u"2030.05.02"_s, u"08"_s));
        QVERIFY(m_db->exec(u"UPDATE MUNKA SET ALLAPOT = 'OK', MUNKAD = '2030.05.03', "
                           "SZERELOM = 'SZ1', MUNKATEV = 'KAR' WHERE KOD = "_s +
                           QString::number(done)));
    }
    void cleanup()
    {
        clock::set({});
        db::Connection::closeAll();
        m_db.reset();
    }

    void gridAndChecks()
    {
        ScriptedMessagesGuard messages;
        Ttevlistfm screen;
        screen.prepare({});
        screen.show();
        QAbstractItemModelTester tester(screen.model());
        auto* tol = screen.findChild<QLineEdit*>(u"e_sznaptol"_s);
        auto* ig = screen.findChild<QLineEdit*>(u"e_sznapig"_s);
        QCOMPARE(tol->text(), u"2030.05.01"_s);
        QCOMPARE(ig->text(), u"2030.05.20"_s);
        QVERIFY(radio(screen, u"rg_fajta"_s, u"Elvégzett"_s)->isChecked());
        QVERIFY(radio(screen, u"rg_sorrend1"_s, u"Tevékenység"_s)->isChecked());
        QVERIFY(radio(screen, u"rg_sorrend2"_s, u"Dátum"_s)->isChecked());
        auto* view = screen.findChild<QTableView*>(u"DBGrid1"_s);

        screen.findChild<QPushButton*>(u"b_tablazat"_s)->click();
        QCOMPARE(screen.model()->rowCount(), 1);
        QVERIFY(!view->isColumnHidden(5) && !view->isColumnHidden(6));
        QVERIFY(view->isColumnHidden(10) && view->isColumnHidden(11));
        QCOMPARE(screen.model()->index(0, 5).data().toString(), u"2030.05.03"_s);

        radio(screen, u"rg_fajta"_s, u"Kiosztott"_s)->click();
        screen.findChild<QPushButton*>(u"b_tablazat"_s)->click();
        QCOMPARE(screen.model()->rowCount(), 2);
        QVERIFY(view->isColumnHidden(5) && view->isColumnHidden(6));
        QVERIFY(!view->isColumnHidden(10) && !view->isColumnHidden(11));
        QCOMPARE(screen.model()->index(0, 11).data().toString(), u"2030.05.10"_s);
        QCOMPARE(screen.model()->index(0, 7).data().toString(), u"Kovács Béla"_s);

        typeAndLeave(tol, u"2030.13.01"_s);
        QCOMPARE(messages->texts.last(), u"Hibás dátum.\n2030.13.01"_s);
        screen.findChild<QPushButton*>(u"b_tablazat"_s)->click();
        QCOMPARE(messages->texts.last(), u"Hibás dátum.\n2030.13.01"_s);
        typeAndLeave(tol, u"2030.05.11"_s);
        typeAndLeave(ig, u"2030.05.10"_s);
        screen.findChild<QPushButton*>(u"b_tablazat"_s)->click();
        QCOMPARE(messages->texts.last(), u"Rossz intervallum."_s);

        // Nothing in the period: nothing to export.
        typeAndLeave(ig, u"2030.05.11"_s);
        screen.findChild<QPushButton*>(u"b_tarolas"_s)->click();
        QCOMPARE(messages->texts.last(), u"Nincs adat, amit tárolni lehetne."_s);

        screen.findChild<QPushButton*>(u"b_torles"_s)->click();
        QCOMPARE(tol->text(), u"2030.05.01"_s);
        QCOMPARE(ig->text(), u"2030.05.20"_s);
    }

    // Each "?" picks from its table under its condition and fills code and name; each "X"
    // empties its condition; the grid follows the picked conditions.
    void picks()
    {
        Td::instance().ownCompany = u"VELKOR"_s;
        ScriptedMessagesGuard messages;
        ScriptedPicker picker;
        Ttevlistfm screen;
        screen.prepare({});
        screen.show();
        struct Pick {
            QString button, table, condition, row, code, codeText, name;
        };
        const QList<Pick> picks{
            {u"b_szerelo"_s, u"SZERELO"_s, u"WHERE CEGKOD='VELKOR'"_s,
             u"SELECT KOD, NEV FROM SZERELO WHERE KOD = 'SZ1'"_s, u"e_szerelo"_s, u"SZ1"_s,
             u"Kovács Béla"_s},
            {u"b_keszulek"_s, u"ARU"_s, u"WHERE JELLEG='K'"_s,
             u"SELECT KOD, BELSOKOD, NEV FROM ARU WHERE BELSOKOD = 100"_s, u"e_szkeszulek"_s,
             u"100"_s, u"Kazán 100"_s},
            {u"b_tevekenyseg"_s, u"TEVEKENYS"_s, QString(),
             u"SELECT KOD, NEV FROM TEVEKENYS WHERE KOD = 'KAR'"_s, u"e_tevekenyseg"_s, u"KAR"_s,
             u"Karbantartás"_s},
            {u"b_ugyfel"_s, u"UGYFEL"_s, QString(),
             u"SELECT KOD, NEV FROM UGYFEL WHERE NEV = 'Kiss Éva'"_s, u"e_ugyfel"_s, QString(),
             u"Kiss Éva"_s},
        };
        for (const Pick& p : picks) {
            picker.next(p.row);
            screen.findChild<QPushButton*>(p.button)->click();
            QCOMPARE(picker.calls.last().tableSpec, p.table);
            QCOMPARE(picker.calls.last().condition, p.condition);
            QVERIFY(picker.calls.last().selectionMode);
            if (!p.codeText.isEmpty())
                QCOMPARE(screen.findChild<QLineEdit*>(p.code)->text(), p.codeText);
            QVERIFY(!screen.findChild<QLineEdit*>(p.code)->text().isEmpty());
            QCOMPARE(screen.findChild<QLineEdit*>(p.code + u"nev"_s)->text(), p.name);
        }
        // The appliance type is bound by its internal code, the rest by theirs.
        const reports::ActivityConditions c = screen.conditions();
        QCOMPARE(c.technician, u"SZ1"_s);
        QCOMPARE(c.applianceType, 100);
        QCOMPARE(c.activity, u"KAR"_s);
        QVERIFY(c.customer > 0);
        screen.findChild<QPushButton*>(u"b_tablazat"_s)->click();
        QCOMPARE(screen.model()->rowCount(), 1);

        // A cancelled pick keeps the condition.
        screen.findChild<QPushButton*>(u"b_szerelo"_s)->click();
        QCOMPARE(picker.calls.last().searchText, u"SZ1"_s);
        QCOMPARE(screen.findChild<QLineEdit*>(u"e_szerelo"_s)->text(), u"SZ1"_s);

        for (const QString& x :
             {u"x_szerelo"_s, u"x_keszulek"_s, u"x_tevekenyseg"_s, u"x_ugyfel"_s})
            screen.findChild<QPushButton*>(x)->click();
        for (const Pick& p : picks) {
            QVERIFY(screen.findChild<QLineEdit*>(p.code)->text().isEmpty());
            QVERIFY(screen.findChild<QLineEdit*>(p.code + u"nev"_s)->text().isEmpty());
        }
        QCOMPARE(screen.conditions().customer, 0);
        QVERIFY(messages->texts.isEmpty());
    }
};

QTEST_MAIN(TestTevlistfm)
#include "tst_tevlistfm.moc"
