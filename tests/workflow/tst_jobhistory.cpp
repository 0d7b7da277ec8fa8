// The job history window, the history list and the history button of request entry.

#include "scheduledata.h"
#include "scriptedpicker.h"
#include "support/modal.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/querymodel.h"
#include "workflow/adatfelv2.h"
#include "workflow/elozmeny.h"
#include "workflow/jobhistory.h"
#include "workflow/napirend.h"
#include "workflow/napirendgrid.h"
#include "workflow/requestfields.h"
#include "workflow/sztori.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace scheduledata;
using namespace Qt::StringLiterals;

namespace
{

const QString today = u"2024.03.04"_s;

// A technician, a customer with two boilers and jobs on both, one job more of another.
struct Office {
    Office()
    {
        addTechnician(db, u"SZ01"_s, u"Arany Béla"_s);
        db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', "
                "'Kazán 100', 'K')"_s);
        customer = addCustomer(db, u"Nagy Éva"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
        other = addCustomer(db, u"Kiss Péter"_s, u"1051"_s, u"Budapest"_s, u"Nádor u. 5"_s);
        first = appliance(customer, u"GY-1"_s);
        second = appliance(customer, u"GY-2"_s);
        job = addJob(planned(customer, u"SZ01"_s, today, u"08"_s));
        setJob(job, first);
        setJob(addJob(planned(customer, u"SZ01"_s, today, u"10"_s)), first);
        setJob(addJob(planned(customer, u"SZ01"_s, today, u"12"_s)), second);
        setJob(addJob(planned(other, u"SZ01"_s, today, u"14"_s)), appliance(other, u"GY-3"_s));
    }
    int appliance(int ugyfel, const QString& gyariszam)
    {
        return insertReturning(u"INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM) VALUES "
                               u"(:u, 100, :g) RETURNING KOD"_s,
                               {{u"u"_s, ugyfel}, {u"g"_s, gyariszam}});
    }
    static int insertReturning(const QString& sql, const std::map<QString, QVariant>& values)
    {
        db::Query q;
        q.setSql(sql);
        for (const auto& [k, v] : values)
            q.bind(k, v);
        const QVariant key = q.insertReturning();
        if (key.isNull())
            QTest::qFail(qPrintable(q.lastError()), __FILE__, __LINE__);
        return key.toInt();
    }
    void setJob(int kod, int keszulek)
    {
        store(kod, u"KESZULEK = "_s + QString::number(keszulek) + u", TIPUS = 100"_s);
    }
    // An update of the job; the log trigger keeps the former version.
    void store(int kod, const QString& assignments)
    {
        QString error;
        QVERIFY2(db::execute(u"d_mivo"_s,
                             u"UPDATE MUNKA SET "_s + assignments + u" WHERE KOD = :kod"_s,
                             {{u"kod"_s, kod}}, &error),
                 qPrintable(error));
    }
    TestDb db;
    int customer = 0;
    int other = 0;
    int first = 0;
    int second = 0;
    int job = 0;
};

QStringList versions(int kod, const QString& field = u"MIKORI"_s)
{
    data::QueryModel m(u"d_mivo"_s, jobHistoryColumns());
    QAbstractItemModelTester tester(&m);
    QString error;
    if (!m.read(jobHistorySql(), {{u"kod"_s, kod}}, &error))
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
    QStringList rows;
    for (int r = 0; r < m.rowCount(); ++r)
        rows << m.text(r, field) + u'/' + m.text(r, u"AKTUALIS"_s);
    return rows;
}

} // namespace

class TestJobHistory : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        Td::instance().ownCompany = u"VELKOR"_s;
        Td::instance().userCode = u"kata"_s;
        Td::instance().jobHistoryAvailable = true;
    }
    void cleanup() { clock::set({}); }

    // Stored three times: the logged versions by time, the current state last.
    void threeStores()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int kod = addJob(planned(o.customer, u"SZ01"_s, today, u"09"_s));
        o.store(kod, u"MIKORI = '2024.03.01 08:00:00', ALLAPOT = 'RO'"_s);
        o.store(kod, u"MIKORI = '2024.03.02 09:00:00', ALLAPOT = 'KI'"_s);
        o.store(kod, u"MIKORI = '2024.03.03 10:00:00', ALLAPOT = 'OK'"_s);
        // The inserted version (MIKORI empty) and the two stores before the last.
        QCOMPARE(versions(kod),
                 (QStringList{u"/0"_s, u"2024.03.01 08:00:00/0"_s, u"2024.03.02 09:00:00/0"_s,
                              u"2024.03.03 10:00:00/1"_s}));
        QCOMPARE(versions(kod, u"ALLAPOT"_s).last(), u"OK/1"_s);
        // Never changed: one row.
        const int fresh = addJob(planned(o.customer, u"SZ01"_s, today, u"11"_s));
        QCOMPARE(versions(fresh).size(), 1);
    }

    // A move writes twice in one second: the current row still comes last; a version
    // identical to another merges with it.
    void sameSecond()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int kod = addJob(planned(o.customer, u"SZ01"_s, today, u"09"_s));
        o.store(kod, u"MIKORI = '2024.03.04 10:00:00', SZERELOT = 'SZ01', TERVD = '2024.03.05'"_s);
        o.store(kod, u"MIKORI = '2024.03.04 10:00:00', SZERELOT = 'ZZ', TERVD = '2024.03.05'"_s);
        QCOMPARE(versions(kod, u"SZERELOT"_s), (QStringList{u"SZ01/0"_s, u"SZ01/0"_s, u"ZZ/1"_s}));
        // The same values stored again: nothing new to show.
        o.store(kod, u"SZERELOT = 'ZZ'"_s);
        QCOMPARE(versions(kod, u"SZERELOT"_s), (QStringList{u"SZ01/0"_s, u"SZ01/0"_s, u"ZZ/1"_s}));
    }

    // A deleted job takes its log along: a code given out again shows only its own job.
    void reusedCode()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        // Setting the appliance changed no shown field: that version merges with the first.
        o.store(o.job, u"MIKORI = '2024.03.01 08:00:00'"_s);
        QCOMPARE(versions(o.job).size(), 2);
        QVERIFY(o.db.exec(u"DELETE FROM MUNKA WHERE KOD = "_s + QString::number(o.job)));
        QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT COUNT(*) FROM MUNKA_LOG WHERE KOD = "_s +
                                             QString::number(o.job))
                     .toInt(),
                 0);
        QVERIFY(o.db.exec(u"INSERT INTO MUNKA (KOD, UGYFEL, ALLAPOT, MIKORI) VALUES ("_s +
                          QString::number(o.job) + u", "_s + QString::number(o.other) +
                          u", 'RO', '2024.03.09 12:00:00')"_s));
        QCOMPARE(versions(o.job), QStringList{u"2024.03.09 12:00:00/1"_s});
    }

    // "Történeti áttekintés" on a job of the grid: the window titled after the job.
    void fromTheGrid()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        o.store(o.job, u"MIKORI = '2024.03.01 08:00:00'"_s);
        Tadatfelv2fm form;
        form.open(u"Szervíz igény rögzítése"_s, u"U"_s);
        QAction* item = form.findChild<QAction*>(u"mi_tortenet"_s);
        QVERIFY(item->isVisible() && item->isEnabled());
        QTableView* view = form.grid()->view();
        const int column = form.grid()->model().columnOf(u"SZ01"_s);
        view->setCurrentIndex(view->model()->index(8 - 6, column));
        QString title;
        int rows = -1;
        whenModal<Tsztorifm>([&](Tsztorifm* w) {
            title = w->windowTitle();
            rows = w->rows().rowCount();
            QTest::mouseClick(w->findChild<QPushButton*>(u"b_vissza"_s), Qt::LeftButton);
        });
        item->trigger();
        QCOMPARE(title, u"A "_s + QString::number(o.job) + u" sz. munka történeti áttekintése"_s);
        QCOMPARE(rows, 2);
        // An empty cell opens nothing.
        view->setCurrentIndex(view->model()->index(15 - 6, column));
        item->trigger();
        QVERIFY(!QApplication::activeModalWidget());
    }

    // From the menu: nothing to print until a customer is picked; the jobs follow the
    // current appliance.
    void historyList()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedPicker picker;
        Telozmenyfm w;
        w.prepare({});
        QAbstractItemModelTester appliances(&w.appliances());
        QAbstractItemModelTester jobs(&w.jobs());
        QAction* start = w.commands().command(u"indul"_s);
        QVERIFY(!start->isEnabled());
        QVERIFY(w.findChild<QLineEdit*>(u"e_nev"_s)->text().isEmpty());
        QCOMPARE(w.appliances().rowCount(), 0);
        QList<HistoryPrint> printed;
        w.setPrinter([&printed](const HistoryPrint& p) { printed << p; });

        picker.next(u"SELECT * FROM UGYFEL WHERE KOD = "_s + QString::number(o.customer));
        QTest::mouseClick(w.findChild<QPushButton*>(u"b_ugyfel"_s), Qt::LeftButton);
        QCOMPARE(picker.calls.size(), 1);
        QCOMPARE(picker.calls[0].tableSpec, u"UGYFEL"_s);
        QVERIFY(picker.calls[0].selectionMode);
        QCOMPARE(w.findChild<QLineEdit*>(u"e_nev"_s)->text(), u"Nagy Éva"_s);
        QCOMPARE(w.findChild<QLineEdit*>(u"e_varos"_s)->text(), u"Vác"_s);
        QVERIFY(start->isEnabled());
        QCOMPARE(w.appliances().rowCount(), 2);
        QCOMPARE(w.jobs().rowCount(), 2);
        QCOMPARE(w.jobs().value(0, u"KESZULEK"_s).toInt(), o.first);
        QCOMPARE(w.appliances().columnCount(), 5);
        QCOMPARE(w.jobs().columnCount(), 22);

        const int secondRow = w.appliances().value(0, u"KOD"_s).toInt() == o.second ? 0 : 1;
        w.applianceView()->setCurrentIndex(w.appliances().index(secondRow, 0));
        QCOMPARE(w.jobs().rowCount(), 1);
        QCOMPARE(w.jobs().value(0, u"KESZULEK"_s).toInt(), o.second);

        w.commands().command(u"indul"_s)->trigger();
        w.findChild<QCheckBox*>(u"cb_minden"_s)->setChecked(true);
        w.commands().command(u"indul"_s)->trigger();
        w.findChild<QCheckBox*>(u"cb_munkalap"_s)->setChecked(true);
        w.commands().command(u"indul"_s)->trigger();
        w.findChild<QCheckBox*>(u"cb_minden"_s)->setChecked(false);
        w.commands().command(u"indul"_s)->trigger();
        QCOMPARE(printed, (QList<HistoryPrint>{{false, o.customer, o.second},
                                               {false, o.customer, 0},
                                               {true, o.customer, 0},
                                               {true, o.customer, o.second}}));

        // Opened with a customer code: shown at once.
        Telozmenyfm direct;
        direct.prepare({});
        QVERIFY(direct.setCustomer(o.other));
        QVERIFY(direct.commands().command(u"indul"_s)->isEnabled());
        QCOMPARE(direct.findChild<QLineEdit*>(u"e_nev"_s)->text(), u"Kiss Péter"_s);
        QCOMPARE(direct.jobs().rowCount(), 1);
    }

    // Request entry's "&Előzménylista": only for a customer with an appliance, into the
    // preview.
    void entryButton()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedPicker picker;
        ScriptedMessagesGuard messages;
        Tadatfelv2fm form;
        form.open(u"Szervíz igény rögzítése"_s, u"U"_s);
        auto* button = form.findChild<QPushButton*>(u"b_elozmeny"_s);
        QVERIFY(!button->isEnabled());
        QTest::mouseClick(form.findChild<QPushButton*>(u"b_ujadatlap"_s), Qt::LeftButton);
        picker.next(u"SELECT * FROM UGYFEL WHERE KOD = "_s + QString::number(o.customer));
        form.requestFields()->findChild<QPushButton*>(u"b_ugyfel"_s)->click();
        QVERIFY(button->isEnabled());
        bool previewed = false;
        whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* d) {
            previewed = true;
            d->reject();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(previewed);
        QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join(u'\n')));
        // A new customer has no history.
        form.requestFields()->findChild<QPushButton*>(u"b_ujugyfel"_s)->click();
        QVERIFY(!button->isEnabled());
    }
};

QTEST_MAIN(TestJobHistory)
#include "tst_jobhistory.moc"
