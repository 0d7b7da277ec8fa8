// The planning grid's model and the actions on its cells, against a real embedded database.

#include "scheduledata.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "platform/dbquery.h"
#include "workflow/celltext.h"
#include "workflow/gridjob.h"
#include "workflow/jobrepository.h"
#include "workflow/napirend.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace scheduledata;

namespace
{

const QString day = QStringLiteral("2024.03.04"); // a Monday
const QString past = QStringLiteral("2024.03.01");

QString field(const QString& sql)
{
    return db::scalar(QStringLiteral("d_mivo"), sql).toString().trimmed();
}

} // namespace

class TestNapirend : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(9, 30, 15)));
        Td::instance().userCode = QStringLiteral("kata");
    }
    void cleanup() { clock::set({}); }

    void layoutByCompany_data();
    void layoutByCompany();
    void cellTexts_data();
    void cellTexts();
    void absence_data();
    void absence();
    void dayArithmetic_data();
    void dayArithmetic();
    void columnsKeepTheirOwnDay();
    void shortTechnicianCode();
    void cellActionCheck_data();
    void cellActionCheck();
    void removeStores_data();
    void removeStores();
    void removeDeclined();
    void failedStoreKeepsTheCell();
    void slotStillFree();
    void information();
    void otherWorkstationSeen();
};

void TestNapirend::layoutByCompany_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("lastHour");
    QTest::newRow("long day") << QStringLiteral("VELKOR") << 18 << QStringLiteral("23");
    QTest::newRow("other company") << QStringLiteral("TERMO") << 13 << QStringLiteral("18");
}

void TestNapirend::layoutByCompany()
{
    QFETCH(QString, company);
    QFETCH(int, rows);
    QFETCH(QString, lastHour);
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("SZ02"), QStringLiteral("Zöld Péter"), company);
    addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"), company);
    addTechnician(db, QStringLiteral("SZ03"), QStringLiteral("Inaktív Ida"), company,
                  QStringLiteral("N"));
    addTechnician(db, QStringLiteral("K01"), QStringLiteral("Külsős Kornél"),
                  QStringLiteral("MASCEG"));

    NapirendModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QString error;
    QVERIFY2(model.build(company, day, &error), qPrintable(error));

    QCOMPARE(model.rowCount(), rows);
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.technicianCount(), 2);
    QCOMPARE(model.technician(1).kod, QStringLiteral("SZ01")); // name order
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("SZ01 Arany Béla"));
    QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("SZ02 Zöld Péter"));
    QCOMPARE(model.data(model.index(1, 2)).toString(), QStringLiteral("2024.03.04 hétfő"));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString());
    QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("08"));
    QCOMPARE(model.data(model.index(7, 0)).toString(), QStringLiteral("13"));
    QCOMPARE(model.data(model.index(rows - 1, 0)).toString(), lastHour);
}

void TestNapirend::cellTexts_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<QStringList>(
        "jobs");                  // "allapot|tervt|tervtev|lemondta|irszam|varos|utca" each
    QTest::addColumn<int>("row"); // the row to look at
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("job"); // index of the job whose code the cell holds; -1 none

    const QString v = QStringLiteral("VELKOR");
    QTest::newRow("Budapest address") << v << QStringList{"KI|08|KAR||1055|Budapest|Kossuth u. 1"}
                                      << 2 << QStringLiteral("KAR 1055 Bp. Kossuth u. 1") << 0;
    QTest::newRow("town address") << v << QStringList{"KI|13|J||2600|Vác|Fő u. 2"} << 7
                                  << QStringLiteral("J   Vác,Fő u. 2") << 0;
    QTest::newRow("cancelled, two-letter activity")
        << v << QStringList{"KI|10|GJ|I|1011|Budapest|Fő tér 3"} << 4
        << QStringLiteral("GJ  # 1011 Bp. Fő tér 3") << 0;
    QTest::newRow("deleted job hidden")
        << v << QStringList{"TOR|09|KAR||2600|Vác|Fő u. 2"} << 3 << QString() << -1;
    QTest::newRow("empty hour hidden")
        << v << QStringList{"KI||KAR||2600|Vác|Fő u. 2"} << 2 << QString() << -1;
    QTest::newRow("after the short day")
        << QStringLiteral("TERMO") << QStringList{"KI|19|KAR||2600|Vác|Fő u. 2"} << 12 << QString()
        << -1;
    QTest::newRow("evening of the long day") << v << QStringList{"KI|23|KAR||2600|Vác|Fő u. 2"}
                                             << 17 << QStringLiteral("KAR Vác,Fő u. 2") << 0;
    QTest::newRow("before the day")
        << v << QStringList{"KI|07|KAR||2600|Vác|Fő u. 2"} << 2 << QString() << -1;
    QTest::newRow("finished job shown") << v << QStringList{"OK|11|J||2600|Vác|Fő u. 2"} << 5
                                        << QStringLiteral("J   Vác,Fő u. 2") << 0;
    QTest::newRow("two jobs in one hour")
        << v << QStringList{"KI|12|KAR||2600|Vác|Első u. 1", "KI|12|J||2600|Vác|Másik u. 2"} << 6
        << QStringLiteral("J   Vác,Másik u. 2") << 1;
    QTest::newRow("deleted job does not hide the hour's other")
        << v << QStringList{"KI|12|KAR||2600|Vác|Első u. 1", "TOR|12|J||2600|Vác|Másik u. 2"} << 6
        << QStringLiteral("KAR Vác,Első u. 1") << 0;
}

void TestNapirend::cellTexts()
{
    QFETCH(QString, company);
    QFETCH(QStringList, jobs);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(int, job);
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"), company);
    addTechnician(db, QStringLiteral("SZ02"), QStringLiteral("Bodó Ede"), company);
    QList<int> codes;
    for (const QString& line : jobs) {
        const QStringList p = line.split(QLatin1Char('|'));
        scheduledata::Job j;
        j.ugyfel = addCustomer(db, QStringLiteral("Ügyfél"), p[4], p[5], p[6]);
        j.szerelot = QStringLiteral("SZ01");
        j.tervd = day;
        j.allapot = p[0];
        j.tervt = p[1];
        j.tervtev = p[2];
        j.lemondta = p[3];
        codes << addJob(j);
    }
    // Another technician's and another day's jobs stay out of the column.
    addJob(planned(addCustomer(db, QStringLiteral("Más"), QStringLiteral("1011"), QString(),
                               QStringLiteral("X")),
                   QStringLiteral("SZ02"), day, QStringLiteral("09")));
    addJob(planned(addCustomer(db, QStringLiteral("Más"), QStringLiteral("1011"), QString(),
                               QStringLiteral("Y")),
                   QStringLiteral("SZ01"), QStringLiteral("2024.03.05"), QStringLiteral("09")));

    NapirendModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QString error;
    QVERIFY2(model.build(company, day, &error), qPrintable(error));
    QCOMPARE(model.cellText(1, row), text);
    QCOMPARE(model.data(model.index(row, 1)).toString(), text);
    QCOMPARE(model.jobCode(1, row), job < 0 ? 0 : codes[job]);
    QCOMPARE(model.data(model.index(row, 1), NapirendModel::JobCodeRole).toInt(),
             model.jobCode(1, row));
    // Nothing else of SZ01's day is in the column.
    for (int r = NapirendModel::firstHourRow; r < model.gridRows(); ++r) {
        if (r != row)
            QCOMPARE(model.jobCode(1, r), 0);
    }
}

void TestNapirend::absence_data()
{
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("absent");
    QTest::addColumn<QString>("row2");
    QTest::newRow("holiday") << QStringLiteral("SZ") << true << QStringLiteral("* Szabadság");
    QTest::newRow("can work") << QStringLiteral("M") << false << QStringLiteral("KAR Vác,Fő u. 2");
    QTest::newRow("empty reason") << QString() << false << QStringLiteral("KAR Vác,Fő u. 2");
    QTest::newRow("unknown reason still blocks")
        << QStringLiteral("XYZ") << true << QStringLiteral("* ");
}

void TestNapirend::absence()
{
    QFETCH(QString, reason);
    QFETCH(bool, absent);
    QFETCH(QString, row2);
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"));
    addTechnician(db, QStringLiteral("SZ02"), QStringLiteral("Bodó Ede"));
    const int c = addCustomer(db, QStringLiteral("Ügyfél"), QStringLiteral("2600"),
                              QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
    addJob(planned(c, QStringLiteral("SZ01"), day, QStringLiteral("08")));
    const int later = addJob(planned(c, QStringLiteral("SZ01"), day, QStringLiteral("14")));
    addJob(planned(c, QStringLiteral("SZ02"), day, QStringLiteral("08")));
    QString error;
    QVERIFY2(
        db::execute(
            db.connectionName(),
            QStringLiteral(
                "INSERT INTO NAPIREND (SZERELOKOD, DATUM, MUNKAKEPES) VALUES ('SZ01', :d, :m)"),
            {{QStringLiteral("d"), day}, {QStringLiteral("m"), reason}}, &error),
        qPrintable(error));

    NapirendModel model;
    QVERIFY2(model.build(QStringLiteral("VELKOR"), day, &error), qPrintable(error));
    QCOMPARE(model.isAbsent(1), absent);
    QCOMPARE(model.cellText(1, 2), row2);
    QCOMPARE(model.cellText(1, 8), absent ? QString() : QStringLiteral("KAR Vác,Fő u. 2"));
    QCOMPARE(model.jobCode(1, 8), absent ? 0 : later);
    QCOMPARE(model.jobCode(1, 2) == 0, absent);
    // The mark is the technician's own: the other column is untouched.
    QVERIFY(!model.isAbsent(2));
    QCOMPARE(model.cellText(2, 2), QStringLiteral("KAR Vác,Fő u. 2"));
}

void TestNapirend::dayArithmetic_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("caption");
    QTest::newRow("month end") << "2024.04.30" << 1 << "2024.05.01"
                               << "2024.05.01 szerda";
    QTest::newRow("back over month start") << "2024.05.01" << -1 << "2024.04.30"
                                           << "2024.04.30 kedd";
    QTest::newRow("year end") << "2023.12.31" << 1 << "2024.01.01"
                              << "2024.01.01 hétfő";
    QTest::newRow("back over year start") << "2024.01.01" << -1 << "2023.12.31"
                                          << "2023.12.31 vasárnap";
    QTest::newRow("to 29 February") << "2024.02.28" << 1 << "2024.02.29"
                                    << "2024.02.29 csütörtök";
    QTest::newRow("from 29 February") << "2024.02.29" << 1 << "2024.03.01"
                                      << "2024.03.01 péntek";
    QTest::newRow("back to 29 February") << "2024.03.01" << -1 << "2024.02.29"
                                         << "2024.02.29 csütörtök";
    QTest::newRow("no leap day in 2023") << "2023.02.28" << 1 << "2023.03.01"
                                         << "2023.03.01 szerda";
    QTest::newRow("none in 2100") << "2100.02.28" << 1 << "2100.03.01"
                                  << "2100.03.01 hétfő";
    QTest::newRow("not a date") << "2024.02.30" << 1 << ""
                                << "";
}

void TestNapirend::dayArithmetic()
{
    QFETCH(QString, date);
    QFETCH(int, days);
    QFETCH(QString, result);
    QFETCH(QString, caption);
    QCOMPARE(shiftDay(date, days), result);
    if (!result.isEmpty())
        QCOMPARE(dayCaption(result), caption);
}

void TestNapirend::columnsKeepTheirOwnDay()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"));
    addTechnician(db, QStringLiteral("SZ02"), QStringLiteral("Bodó Ede"));
    const int c = addCustomer(db, QStringLiteral("Ügyfél"), QStringLiteral("2600"),
                              QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
    const int tomorrow = addJob(
        planned(c, QStringLiteral("SZ01"), QStringLiteral("2024.03.05"), QStringLiteral("09")));
    const int today = addJob(planned(c, QStringLiteral("SZ02"), day, QStringLiteral("10")));

    NapirendModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QString error;
    QVERIFY2(model.build(QStringLiteral("VELKOR"), day, &error), qPrintable(error));
    QVERIFY2(model.refreshColumn(1, QStringLiteral("2024.03.05"), &error), qPrintable(error));
    QCOMPARE(model.columnDate(1), QStringLiteral("2024.03.05"));
    QCOMPARE(model.columnDate(2), day);
    QCOMPARE(model.jobCode(1, 3), tomorrow);
    QCOMPARE(model.jobCode(2, 4), today);
    // A refresh of every column keeps each column on its own day.
    QVERIFY2(model.refreshAll(&error), qPrintable(error));
    QCOMPARE(model.jobCode(1, 3), tomorrow);
    QCOMPARE(model.jobCode(2, 4), today);
    QVERIFY2(model.setAllDates(QStringLiteral("2024.03.05"), &error), qPrintable(error));
    QCOMPARE(model.columnDate(2), QStringLiteral("2024.03.05"));
    QCOMPARE(model.jobCode(2, 4), 0);
    QCOMPARE(model.data(model.index(1, 2)).toString(), QStringLiteral("2024.03.05 kedd"));
}

void TestNapirend::shortTechnicianCode()
{
    // A code shorter than six characters must not pick up the name's first letters.
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("AB"), QStringLiteral("Kiss Ágnes"));
    const int c = addCustomer(db, QStringLiteral("Ügyfél"), QStringLiteral("2600"),
                              QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
    const int kod = addJob(planned(c, QStringLiteral("AB"), day, QStringLiteral("08")));
    QString error;
    QVERIFY2(db::execute(db.connectionName(),
                         QStringLiteral("INSERT INTO NAPIREND (SZERELOKOD, DATUM, MUNKAKEPES) "
                                        "VALUES ('AB', '2024.03.05', 'SZ')"),
                         {}, &error),
             qPrintable(error));

    NapirendModel model;
    QVERIFY2(model.build(QStringLiteral("VELKOR"), day, &error), qPrintable(error));
    QCOMPARE(model.technician(1).kod, QStringLiteral("AB"));
    QCOMPARE(model.header(1), QStringLiteral("AB Kiss Ágnes"));
    QCOMPARE(model.jobCode(1, 2), kod);
    QVERIFY2(model.refreshColumn(1, QStringLiteral("2024.03.05"), &error), qPrintable(error));
    QVERIFY(model.isAbsent(1));
    QCOMPARE(model.cellText(1, 2), QStringLiteral("* Szabadság"));
}

void TestNapirend::cellActionCheck_data()
{
    QTest::addColumn<int>("form"); // ScheduleForm
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("hour"); // the cell looked at
    QTest::addColumn<int>("answer");   // to a question; -1 none asked
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QString>("message");

    const int jobs = int(ScheduleForm::Jobs);
    const int entry = int(ScheduleForm::Entry);
    QTest::newRow("empty cell") << jobs << false << day << "KI"
                                << "09" << -1 << false << "";
    QTest::newRow("request being edited")
        << entry << true << day << "KI"
        << "08" << -1 << false << "Fejezze be a mostani adatbevitelt! (Tárolás / Mégsem)";
    QTest::newRow("given out today") << jobs << false << day << "KI"
                                     << "08" << -1 << true << "";
    QTest::newRow("done job")
        << jobs << false << day << "OK"
        << "08" << -1 << false
        << "A munka a státusza (Elvégezve, dokumentálva) miatt nem módosítható!";
    QTest::newRow("closed door") << entry << false << day << "ZA"
                                 << "08" << -1 << false
                                 << "A munka a státusza (Zárt ajtó) miatt nem módosítható!";
    QTest::newRow("past day, job list") << jobs << false << past << "KI"
                                        << "08" << -1 << false << "A dátum régi!";
    QTest::newRow("past day, entry, no") << entry << false << past << "KI"
                                         << "08" << 1 << false << "A dátum régi! Törli mégis?";
    QTest::newRow("past day, entry, yes, any state")
        << entry << false << past << "OK"
        << "08" << 0 << true << "A dátum régi! Törli mégis?";
}

void TestNapirend::cellActionCheck()
{
    QFETCH(int, form);
    QFETCH(bool, editing);
    QFETCH(QString, date);
    QFETCH(QString, state);
    QFETCH(QString, hour);
    QFETCH(int, answer);
    QFETCH(bool, allowed);
    QFETCH(QString, message);
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"));
    const int c = addCustomer(db, QStringLiteral("Ügyfél"), QStringLiteral("2600"),
                              QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
    scheduledata::Job j = planned(c, QStringLiteral("SZ01"), date, QStringLiteral("08"));
    j.allapot = state;
    const int kod = addJob(j);

    NapirendModel model;
    QString error;
    QVERIFY2(model.build(QStringLiteral("VELKOR"), date, &error), qPrintable(error));
    CellActions actions(model, ScheduleForm(form));
    actions.setEditing(editing);
    ScriptedMessagesGuard messages;
    if (answer >= 0)
        messages->queueAnswers({answer});
    const std::optional<GridJob> job = actions.check(1, hour.toInt() - 6);
    QCOMPARE(job.has_value(), allowed);
    if (job)
        QCOMPARE(job->kod, kod);
    QCOMPARE(messages->texts, message.isEmpty() ? QStringList() : QStringList{message});
}

void TestNapirend::removeStores_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("question");
    QTest::newRow("unassign") << int(Removal::Unassign) << "BE"
                              << "Elveszi a munkát a szerelőtől (és csak később osztja ki)?";
    QTest::newRow("delete") << int(Removal::Delete) << "TOR"
                            << "Kiveszi ezt a munkát az elvégzendők közül?";
}

void TestNapirend::removeStores()
{
    QFETCH(int, kind);
    QFETCH(QString, state);
    QFETCH(QString, question);
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    db.exec(QStringLiteral(
        "INSERT INTO ARU (KOD, NEV, JELLEG) VALUES ('VM24', 'Vaillant turboTEC', 'K')"));
    addTechnician(db, QStringLiteral("SZ1"), QStringLiteral("Arany Béla"));
    const int c = addCustomer(db, QStringLiteral("Nagy Éva"), QStringLiteral("1055"),
                              QStringLiteral("Budapest"), QStringLiteral("Kossuth u. 1"));
    const int kod = addJob(planned(c, QStringLiteral("SZ1"), day, QStringLiteral("10")));

    NapirendModel model;
    QString error;
    QVERIFY2(model.build(QStringLiteral("VELKOR"), day, &error), qPrintable(error));
    CellActions actions(model, ScheduleForm::Entry);
    ScriptedMessagesGuard messages;
    const std::optional<RemovedJob> removed = actions.remove(1, 4, Removal(kind));
    QVERIFY(removed);
    QCOMPARE(removed->kod, kod);
    QCOMPARE(removed->formerTechnician, QStringLiteral("SZ1"));
    QCOMPARE(
        messages->texts,
        QStringList{QStringLiteral(
                        "Munkavégzés tervezett ideje:2024.03.04, 10\nKészülék:Vaillant turboTEC\n"
                        "Ügyfél: Nagy Éva\nCím: 1055 Budapest Kossuth u. 1\n\n") +
                    question});
    const QString where = QStringLiteral(" FROM MUNKA WHERE KOD = %1").arg(kod);
    QCOMPARE(field(QStringLiteral("SELECT ALLAPOT") + where), state);
    QCOMPARE(field(QStringLiteral("SELECT JUZER") + where), QStringLiteral("kata"));
    QCOMPARE(field(QStringLiteral("SELECT COALESCE(SZERELOT, '')") + where), QString());
    QCOMPARE(field(QStringLiteral("SELECT MIKORI") + where), QStringLiteral("2024.03.04 09:30:15"));
    QCOMPARE(field(QStringLiteral("SELECT TERVD || '/' || TERVT") + where),
             QStringLiteral("2024.03.04/10"));
    QCOMPARE(model.cellText(1, 4), QString());
    QCOMPARE(model.jobCode(1, 4), 0);
    // Read afresh the job is gone from the grid too.
    QVERIFY2(model.refreshAll(&error), qPrintable(error));
    QCOMPARE(model.jobCode(1, 4), 0);
}

void TestNapirend::removeDeclined()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"));
    const int c = addCustomer(db, QStringLiteral("Ügyfél"), QStringLiteral("2600"),
                              QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
    const int kod = addJob(planned(c, QStringLiteral("SZ01"), day, QStringLiteral("10")));
    NapirendModel model;
    QString error;
    QVERIFY2(model.build(QStringLiteral("VELKOR"), day, &error), qPrintable(error));
    CellActions actions(model, ScheduleForm::Jobs);
    ScriptedMessagesGuard messages;
    messages->queueAnswers({1});
    QVERIFY(!actions.remove(1, 4, Removal::Delete));
    QCOMPARE(field(QStringLiteral("SELECT ALLAPOT || SZERELOT FROM MUNKA WHERE KOD = %1").arg(kod)),
             QStringLiteral("KISZ01"));
    QCOMPARE(model.jobCode(1, 4), kod);
}

void TestNapirend::failedStoreKeepsTheCell()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"));
    const int c = addCustomer(db, QStringLiteral("Ügyfél"), QStringLiteral("2600"),
                              QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
    const int kod = addJob(planned(c, QStringLiteral("SZ01"), day, QStringLiteral("10")));
    NapirendModel model;
    QString error;
    QVERIFY2(model.build(QStringLiteral("VELKOR"), day, &error), qPrintable(error));
    // JUZER holds ten characters: the database refuses the update.
    Td::instance().userCode = QStringLiteral("tizenegynél-hosszabb");
    CellActions actions(model, ScheduleForm::Jobs);
    ScriptedMessagesGuard messages;
    QVERIFY(!actions.remove(1, 4, Removal::Unassign));
    QCOMPARE(messages->texts.size(), 2);
    QVERIFY2(messages->texts[1].contains(QStringLiteral("truncation"), Qt::CaseInsensitive),
             qPrintable(messages->texts[1]));
    QCOMPARE(model.jobCode(1, 4), kod);
    QCOMPARE(model.cellText(1, 4), QStringLiteral("KAR Vác,Fő u. 2"));
    QCOMPARE(field(QStringLiteral("SELECT ALLAPOT FROM MUNKA WHERE KOD = %1").arg(kod)),
             QStringLiteral("KI"));
}

void TestNapirend::slotStillFree()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const int c = addCustomer(db, QStringLiteral("Ügyfél"), QStringLiteral("2600"),
                              QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
    scheduledata::Job deleted = planned(c, QStringLiteral("SZ01"), day, QStringLiteral("10"));
    deleted.allapot = QStringLiteral("TOR");
    addJob(deleted);
    const int late = addJob(planned(c, QStringLiteral("SZ01"), day, QStringLiteral("19")));
    QString error;
    const auto taken = [&](const QString& hour, int kod) {
        const std::optional<bool> t =
            JobRepository().slotTakenByOther(QStringLiteral("SZ01"), day, hour, kod, &error);
        if (!t)
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        return t.value_or(false);
    };
    QVERIFY(!taken(QStringLiteral("10"), 0));    // only a deleted job there
    QVERIFY(taken(QStringLiteral("19"), 0));     // off the short grid, still occupied
    QVERIFY(!taken(QStringLiteral("19"), late)); // the job itself
    QVERIFY(!taken(QStringLiteral("11"), 0));
}

void TestNapirend::information()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    db.exec(QStringLiteral(
        "INSERT INTO ARU (KOD, NEV, JELLEG) VALUES ('VM24', 'Vaillant turboTEC', 'K')"));
    addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"));
    const int c = addCustomer(db, QStringLiteral("Nagy Éva"), QStringLiteral("2600"),
                              QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
    db.exec(QStringLiteral(
                "UPDATE UGYFEL SET FAX = '27-1', EMAIL = 'eva@pelda.hu', KOMMENT = 'Kutya van', "
                "KOMMENT2 = 'Délután' WHERE KOD = %1")
                .arg(c));
    const int kod = addJob(planned(c, QStringLiteral("SZ01"), day, QStringLiteral("10")));
    db.exec(QStringLiteral("UPDATE MUNKA SET KESZ = 'I' WHERE KOD = %1").arg(kod));

    NapirendModel model;
    QString error;
    QVERIFY2(model.build(QStringLiteral("VELKOR"), day, &error), qPrintable(error));
    CellActions actions(model, ScheduleForm::Jobs);
    ScriptedMessagesGuard messages;
    actions.showInformation(1, 3); // an empty cell says nothing
    QVERIFY(messages->texts.isEmpty());
    actions.showInformation(1, 4);
    const QStringList expected = {
        QStringLiteral("#%1 sz. munka, státusza: KI * KÉSZ *").arg(kod),
        QStringLiteral("Bejelentve: 2024.03.01-n (anna)"),
        QStringLiteral("Készülék:Vaillant turboTEC"),
        QStringLiteral("Karbantartás"),
        QStringLiteral("Ügyfél: Nagy Éva"),
        QStringLiteral("Cím: 2600 Vác Fő u. 2"),
        QStringLiteral("Telefon: 06-1-555"),
        QStringLiteral("Fax: 27-1"),
        QStringLiteral("E-mail: eva@pelda.hu"),
        QStringLiteral("Kutya van"),
        QStringLiteral("Délután"),
        QStringLiteral("Munkavégzés tervezett dátuma: 2024.03.04, 10 óra"),
        QStringLiteral("Nem indul"),
    };
    QCOMPARE(messages->texts, QStringList{expected.join(QLatin1Char('\n'))});
}

void TestNapirend::otherWorkstationSeen()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QVERIFY2(db.openConnection(QStringLiteral("d_masik")), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"));
    const int c = addCustomer(db, QStringLiteral("Ügyfél"), QStringLiteral("2600"),
                              QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
    NapirendModel model;
    QString error;
    QVERIFY2(model.build(QStringLiteral("VELKOR"), day, &error), qPrintable(error));
    QCOMPARE(model.jobCode(1, 5), 0);

    const int kod = addJob(planned(c, QStringLiteral("SZ01"), day, QStringLiteral("11")),
                           QStringLiteral("d_masik"));
    QVERIFY2(model.refreshAll(&error), qPrintable(error));
    QCOMPARE(model.jobCode(1, 5), kod);

    QVERIFY2(db::execute(QStringLiteral("d_masik"),
                         QStringLiteral("UPDATE MUNKA SET ALLAPOT = 'TOR' WHERE KOD = :k"),
                         {{QStringLiteral("k"), kod}}, &error),
             qPrintable(error));
    QVERIFY2(model.refreshColumn(1, day, &error), qPrintable(error));
    QCOMPARE(model.jobCode(1, 5), 0);
}

QTEST_GUILESS_MAIN(TestNapirend)
#include "tst_napirend.moc"
