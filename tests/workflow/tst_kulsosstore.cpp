// Stores of the external technicians' screen.

#include "scheduledata.h"
#include "support/fbserver.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "workflow/kulsosstore.h"
#include "workflow/requeststore.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTextStream>
#include <QtTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace scheduledata;
using namespace Qt::StringLiterals;

namespace
{

const QString today = u"2024.03.04"_s;

// An own technician with a job at 10, two external technicians, one with a job at 08; the
// external job to change has a performed activity and a part recorded.
struct Office {
    Office()
    {
        addTechnician(db, u"SZ01"_s, u"Arany Béla"_s);
        addTechnician(db, u"E1"_s, u"Külső Ede"_s, u"MASCEG"_s);
        addTechnician(db, u"E2"_s, u"Külső Pál"_s, u"MASCEG"_s);
        customer = addCustomer(db, u"Nagy Éva"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
        own = addJob(planned(customer, u"SZ01"_s, today, u"10"_s));
        addJob(planned(customer, u"E2"_s, today, u"08"_s));
        job = addJob(planned(customer, u"E1"_s, today, u"18"_s));
        db.exec(u"UPDATE MUNKA SET MUNKATEV = 'J', DEDU = 'Es', JUZER = 'regi', "
                "MIKORI = '2024.01.01 00:00:00' WHERE KOD = "_s +
                QString::number(job));
        db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (7, 'SZ100', 'Szelep', "
                "'A')"_s);
        db.exec(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, MENNYISEG) VALUES ("_s +
                QString::number(job) + u", 7, 2)"_s);
        db.exec(
            u"INSERT INTO ALK_KESZLET (HOL, MI, MENNYI, FOGLALT) VALUES ('E1', 'SZ100', 5, 2)"_s);
    }
    ExternalJobChange change() const
    {
        ExternalJobChange c;
        c.kod = job;
        c.readState = u"KI"_s;
        c.readTechnician = u"E1"_s;
        c.tervd = today;
        c.tervt = u"18"_s;
        c.dedu = u"Es"_s;
        c.szerelot = u"E1"_s;
        c.tervtev = u"KAR"_s;
        c.leirast = u"Nem fűt"_s;
        return c;
    }
    QString field(const QString& name) const
    {
        return db::scalar(u"d_mivo"_s, u"SELECT "_s + name + u" FROM MUNKA WHERE KOD = "_s +
                                           QString::number(job))
            .toString()
            .trimmed();
    }
    double reserved(const QString& hol) const
    {
        return db::scalar(u"d_mivo"_s,
                          u"SELECT COALESCE(SUM(FOGLALT), 0) FROM ALK_KESZLET WHERE MI = 'SZ100' "
                          u"AND HOL = '"_s +
                              hol + u"'"_s)
            .toDouble();
    }
    TestDb db;
    int customer = 0;
    int own = 0;
    int job = 0;
};

const char* workerVariable = "MIVO_KULSOS_WORKER";

// The test binary as a workstation: "location;role;seed;runs;customer" in MIVO_KULSOS_WORKER.
// Role "kulsos" gives a new job to the external technician and moves it with the external
// jobs' store into a random hour of two own technicians on five days; role "grid" stores new
// requests into such hours through request entry's store. Prints "stored N refused M", or
// the first other outcome.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    if (!openWorkerConnection(args.value(0), out))
        return 2;
    const bool external = args.value(1) == u"kulsos"_s;
    QRandomGenerator random(args.value(2).toUInt());
    const int runs = args.value(3).toInt();
    const int customer = args.value(4).toInt();
    int stored = 0, refused = 0;
    for (int i = 0; i < runs; ++i) {
        const QString day = u"2030.05.0"_s + QString::number(1 + random.bounded(5));
        const QString technician = u"SZ"_s + QString::number(1 + random.bounded(2));
        const QString hour = u"%1"_s.arg(int(8 + random.bounded(9)), 2, 10, QChar(u'0'));
        bool ok = false;
        bool slotTaken = false;
        QString message;
        if (external) {
            ExternalJobChange change;
            change.kod = addJob(planned(customer, u"E1"_s, day, u"18"_s));
            change.readState = u"KI"_s;
            change.readTechnician = u"E1"_s;
            change.tervd = day;
            change.tervt = hour;
            change.szerelot = technician;
            change.tervtev = u"J"_s;
            const ExternalStoreResult r = ExternalJobStore().store(change, true);
            ok = r.ok();
            slotTaken = r.status == ExternalStoreResult::SlotTaken &&
                        r.message == ExternalJobStore::slotTakenMessage();
            message = r.message;
        } else {
            Request r;
            r.customer.kod = customer;
            r.customer.nev = u"Nagy Éva"_s;
            r.remembered = r.customer;
            r.tipus = 100;
            r.tevekenyseg = u"Javítás"_s;
            r.datum = day;
            r.slot.kind = Slot::Grid;
            r.slot.technician = technician;
            r.slot.date = day;
            r.slot.hour = hour;
            r.szerelo = technician;
            r.ora = hour;
            const StoreResult result = RequestStore().store(r);
            ok = result.ok();
            slotTaken = result.status == StoreResult::SlotTaken &&
                        result.message == RequestStore::slotTakenMessage();
            message = result.message;
        }
        if (ok) {
            ++stored;
        } else if (slotTaken) {
            ++refused;
        } else {
            out << "store " << i << ": " << message << Qt::endl;
            return 1;
        }
    }
    out << "stored " << stored << " refused " << refused << Qt::endl;
    return 0;
}

} // namespace

class TestKulsosStore : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(10, 30, 15)));
        Td::instance().ownCompany = u"VELKOR"_s;
        Td::instance().userCode = u"kata"_s;
        Td::instance().partsStockAvailable = false;
    }
    void cleanup()
    {
        clock::set({});
        Td::instance().partsStockAvailable = false;
    }

    void store_data()
    {
        QTest::addColumn<QString>("szerelot");
        QTest::addColumn<QString>("tervt");
        QTest::addColumn<QString>("dedu");
        QTest::addColumn<QString>("tervd");
        QTest::addColumn<QString>("allapot");
        QTest::addColumn<int>("status");
        // The row afterwards: SZERELOT TERVT DEDU TERVD ALLAPOT TERVTEV MUNKATEV JUZER MIKORI.
        QTest::addColumn<QStringList>("row");
        const QStringList unchanged{u"E1"_s, u"18"_s,   u"Es"_s,
                                    today,   u"KI"_s,   u"KAR"_s,
                                    u"J"_s,  u"regi"_s, u"2024.01.01 00:00:00"_s};
        const QString now = u"2024.03.04 10:30:15"_s;
        QTest::newRow("own technician, taken hour")
            << u"SZ01"_s << u"10"_s << u""_s << today << u""_s
            << int(ExternalStoreResult::SlotTaken) << unchanged;
        QTest::newRow("own technician, free hour")
            << u"SZ01"_s << u"11"_s << u""_s << today << u""_s << int(ExternalStoreResult::Stored)
            << QStringList{u"SZ01"_s, u"11"_s, u""_s,     today, u"KI"_s,
                           u"KAR"_s,  u"J"_s,  u"kata"_s, now};
        QTest::newRow("external technician, taken hour")
            << u"E2"_s << u"08"_s << u"De"_s << today << u""_s << int(ExternalStoreResult::Stored)
            << QStringList{u"E2"_s,  u"08"_s, u"De"_s,   today, u"KI"_s,
                           u"KAR"_s, u"J"_s,  u"kata"_s, now};
        QTest::newRow("hour 18 and Es kept, state chosen")
            << u"E1"_s << u"18"_s << u"Es"_s << u"20240305"_s << u"BE"_s
            << int(ExternalStoreResult::Stored)
            << QStringList{u"E1"_s, u"18"_s,   u"Es"_s, u"2024.03.05"_s, u"BE"_s, u"KAR"_s,
                           u"J"_s,  u"kata"_s, now};
        QTest::newRow("invalid date") << u"E1"_s << u"18"_s << u"Es"_s << u"2024.02.30"_s << u""_s
                                      << int(ExternalStoreResult::InvalidDate) << unchanged;
    }
    // TERVTEV takes the activity, MUNKATEV keeps the performed one; no state chosen keeps the
    // row's; JUZER and MIKORI stamped.
    void store()
    {
        QFETCH(QString, szerelot);
        QFETCH(QString, tervt);
        QFETCH(QString, dedu);
        QFETCH(QString, tervd);
        QFETCH(QString, allapot);
        QFETCH(int, status);
        QFETCH(QStringList, row);
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        o.db.exec(u"UPDATE MUNKA SET TERVTEV = 'J' WHERE KOD = "_s + QString::number(o.job));
        ExternalJobChange c = o.change();
        c.szerelot = szerelot;
        c.tervt = tervt;
        c.dedu = dedu;
        c.tervd = tervd;
        c.allapot = allapot;
        const ExternalStoreResult r = ExternalJobStore().store(c, szerelot == u"SZ01"_s);
        QCOMPARE(int(r.status), status);
        if (status == ExternalStoreResult::SlotTaken)
            QCOMPARE(r.message, u"A szerelőnek abban az időpontban más munkája van."_s);
        if (status == ExternalStoreResult::InvalidDate)
            QCOMPARE(r.message, u"Hibás dátum.\n2024.02.30"_s);
        QStringList actual;
        for (const QString& f : {u"SZERELOT"_s, u"TERVT"_s, u"DEDU"_s, u"TERVD"_s, u"ALLAPOT"_s,
                                 u"TERVTEV"_s, u"MUNKATEV"_s, u"JUZER"_s, u"MIKORI"_s})
            actual << o.field(f);
        if (status != ExternalStoreResult::Stored)
            row[5] = u"J"_s; // the activity as it was
        QCOMPARE(actual, row);
    }

    // Another workstation changed the state since the list was read: nothing is written.
    void changedMeanwhile()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        o.db.exec(u"UPDATE MUNKA SET ALLAPOT = 'OK' WHERE KOD = "_s + QString::number(o.job));
        const ExternalStoreResult r = ExternalJobStore().store(o.change(), false);
        QCOMPARE(int(r.status), int(ExternalStoreResult::Changed));
        QCOMPARE(o.field(u"LEIRAST"_s), u"Nem indul"_s);
    }

    // One workstation moves external jobs into own technicians' hours while another stores
    // requests into the same hours: no hour gets two jobs, every loser is told so.
    void racesWithTheGrid()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        TestDb db(TestDb::allOptional(), u"d_mivo"_s, &server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addTechnician(db, u"SZ1"_s, u"Arany Béla"_s);
        addTechnician(db, u"SZ2"_s, u"Bodó Ede"_s);
        addTechnician(db, u"E1"_s, u"Külső Ede"_s, u"MASCEG"_s);
        QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', "
                        "'Kazán 100', 'K')"_s));
        const int customer = addCustomer(db, u"Nagy Éva"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
        const int runs = 200;
        QProcess workers[2];
        const QString roles[] = {u"kulsos"_s, u"grid"_s};
        for (int i = 0; i < 2; ++i) {
            workers[i].setProcessChannelMode(QProcess::MergedChannels);
            startWorker(workers[i], workerVariable, db.location(),
                        QStringList{roles[i], QString::number(i + 1), QString::number(runs),
                                    QString::number(customer)}
                            .join(u';'));
        }
        int stored = 0, refused = 0;
        for (QProcess& w : workers) {
            QVERIFY(w.waitForFinished(600000));
            const QString output = QString::fromUtf8(w.readAll()).trimmed();
            qInfo("%s", qPrintable(output));
            QVERIFY2(w.exitStatus() == QProcess::NormalExit && w.exitCode() == 0,
                     qPrintable(output));
            const QStringList words = output.split(u' ');
            stored += words.value(1).toInt();
            refused += words.value(3).toInt();
        }
        QCOMPARE(stored + refused, 2 * runs);
        QVERIFY(refused > 0);
        QCOMPARE(db::scalar(u"d_mivo"_s,
                            u"SELECT COUNT(*) FROM (SELECT SZERELOT, TERVD, TERVT FROM MUNKA "
                            u"WHERE ALLAPOT <> 'TOR' AND SZERELOT IN ('SZ1', 'SZ2') "
                            u"GROUP BY 1, 2, 3 HAVING COUNT(*) > 1)"_s)
                     .toInt(),
                 0);
    }

    void reservations_data()
    {
        QTest::addColumn<QString>("szerelot");
        QTest::addColumn<QString>("allapot");
        QTest::addColumn<double>("atE1");
        QTest::addColumn<double>("atSZ01");
        QTest::newRow("same technician") << u"E1"_s << u""_s << 2.0 << 0.0;
        QTest::newRow("to an own technician") << u"SZ01"_s << u""_s << 0.0 << 2.0;
        QTest::newRow("taken out of KI") << u"E1"_s << u"BE"_s << 0.0 << 0.0;
        QTest::newRow("deleted") << u"SZ01"_s << u"TOR"_s << 0.0 << 0.0;
    }
    void reservations()
    {
        QFETCH(QString, szerelot);
        QFETCH(QString, allapot);
        QFETCH(double, atE1);
        QFETCH(double, atSZ01);
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        Td::instance().partsStockAvailable = true;
        ExternalJobChange c = o.change();
        c.szerelot = szerelot;
        c.tervt = u"12"_s;
        c.allapot = allapot;
        QVERIFY(ExternalJobStore().store(c, szerelot == u"SZ01"_s).ok());
        QCOMPARE(o.reserved(u"E1"_s), atE1);
        QCOMPARE(o.reserved(u"SZ01"_s), atSZ01);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(workerVariable)) {
        Td::instance().userCode = u"MUNKA"_s;
        clock::set(QDateTime(QDate(2030, 4, 30), QTime(10, 0)));
        return worker();
    }
    TestKulsosStore test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_kulsosstore.moc"
