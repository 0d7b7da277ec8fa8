// The parts stock at the technicians: the parts form's rows, reservations that follow the
// job through stores, moves and unassigning, the recount, and two workstations reserving the
// same part at once.

#include "scheduledata.h"
#include "support/fbserver.h"
#include "support/modal.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "framework/torzsopener.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/unitofwork.h"
#include "schema/demodata.h"
#include "workflow/alkkeszlet.h"
#include "workflow/gridjob.h"
#include "workflow/napirend.h"
#include "workflow/partsgrid.h"
#include "workflow/requeststore.h"
#include "workflow/stockrecount.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextStream>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

const QString day = u"2030.05.06"_s;

double reserved(const QString& hol, const QString& mi = u"A-1"_s)
{
    return db::scalar(u"d_mivo"_s, u"SELECT FOGLALT FROM ALK_KESZLET WHERE HOL = :h AND MI = :m"_s,
                      {{u"h"_s, hol}, {u"m"_s, mi}})
        .toDouble();
}

void addArticles(TestDb& db)
{
    QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', "
                    "'Kazán 100', 'K')"_s));
    QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (201, 'A-1', "
                    "'Tömítés', 'A')"_s));
    QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (202, 'A-2', "
                    "'Szelep', 'A')"_s));
    // A code that an appliance type shares with the part must not be taken for it.
    QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (300, 'A-2', "
                    "'Kazán A-2', 'K')"_s));
}

PartRow part(const QString& code, int belsokod, const QString& quantity)
{
    return {code, {}, quantity, belsokod, {}};
}

class ScriptedPicker : public TorzsOpener
{
public:
    ScriptedPicker() { setTorzsOpener(this); }
    ~ScriptedPicker() override { setTorzsOpener(nullptr); }
    bool OpenTorzs(TorzsCall& call) override
    {
        calls << call;
        if (rows.isEmpty())
            return false;
        db::Query q;
        q.setSql(rows.takeFirst());
        if (!q.exec() || !q.first())
            return false;
        for (int i = 0; i < q.fieldCount(); ++i) {
            call.names << q.fieldName(i);
            call.values << q.value(i).toString();
        }
        return true;
    }
    void markForRereading(const QString&) override {}
    QList<TorzsCall> calls;
    QStringList rows;
};

const char* workerVariable = "MIVO_STOCK_WORKER";

// A workstation reserving part A-1 for its own given-out jobs at SZ1 and releasing every
// second one: "location;first job;runs" in MIVO_STOCK_WORKER. Prints its reruns.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    if (!openWorkerConnection(args.value(0), out))
        return 2;
    const int first = args.value(1).toInt();
    const int runs = args.value(2).toInt();
    const db::RetryPolicy patient{60, 5, 200};
    int reruns = 0;
    for (int i = 0; i < runs; ++i) {
        const int job = first + i;
        const auto step = [&](const std::function<PartsHook::Result(const QString&)>& work) {
            const db::UnitResult r = db::runUnitOfWork(
                u"d_mivo"_s,
                [&](const QString& connection) {
                    const PartsHook::Result done = work(connection);
                    return done.ok ? db::Outcome()
                                   : db::Outcome::failure(done.message, done.errorCode);
                },
                patient);
            reruns += r.attempts - 1;
            if (!r.ok())
                out << "job " << job << ": " << r.message << Qt::endl;
            return r.ok();
        };
        if (!step([&](const QString& connection) {
                return PartsStock(connection)
                    .reserveAndRecord(job, 100, 0, u"SZ1"_s, {part(u"A-1"_s, 201, u"1"_s)});
            }))
            return 1;
        if (i % 2 == 1 && !step([&](const QString& connection) {
                const PartsHook::Result r = PartsStock(connection).release(job, u"SZ1"_s);
                if (!r.ok)
                    return r;
                db::Query q(connection);
                q.setSql(u"UPDATE MUNKA SET ALLAPOT = 'BE' WHERE KOD = :k"_s);
                q.bind(u"k"_s, job);
                return q.exec() ? PartsHook::Result()
                                : PartsHook::Result{false, q.lastError(), q.lastErrorCode()};
            }))
            return 1;
    }
    out << "reruns " << reruns << Qt::endl;
    db::Connection::closeAll();
    return 0;
}

} // namespace

class TestPartsStock : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 2), QTime(9, 30)));
        Td::instance().userCode = u"ANNA"_s;
        Td::instance().partsStockAvailable = true;
    }
    void cleanup()
    {
        clock::set({});
        Td::instance().partsStockAvailable = false;
        setPartsHook(nullptr);
        db::Connection::closeAll();
    }

    void gridButtons()
    {
        PartsGrid g;
        QCOMPARE(g.rowCount(), 1);
        QCOMPARE(g.addRow(), 0); // the only row is still empty
        g.put(0, part(u"A-1"_s, 201, {}));
        QCOMPARE(g.rows()[0].quantity, u"1"_s);
        QCOMPARE(g.addRow(), 1);
        g.setQuantity(1, u"3"_s);
        QCOMPARE(g.wanted(1), 3);
        g.put(1, part(u"A-2"_s, 202, u"1"_s));
        QCOMPARE(g.rows()[1].quantity, u"3"_s); // the row keeps its own quantity
        g.addRow();
        g.put(2, part(u"A-3"_s, 203, {}));
        QVERIFY(g.removable(1));
        g.remove(1); // a middle row goes, the following move up
        QCOMPARE(g.rows()[1].code, u"A-3"_s);
        g.remove(1); // the last row is only emptied
        QCOMPARE(g.rowCount(), 2);
        QVERIFY(!g.removable(1));

        QStringList invalid;
        QCOMPARE(g.finish(&invalid).value_or(u"?"_s), u"A-1,"_s);
        g.setQuantity(1, u"2"_s); // a quantity without part adds nothing
        QCOMPARE(g.finish(&invalid).value_or(u"?"_s), u"A-1,"_s);
        g.setQuantity(0, u"2,5"_s);
        QCOMPARE(g.finish(&invalid).value_or(u"?"_s), u"A-1,"_s);
        g.setQuantity(0, u"két"_s);
        QVERIFY(!g.finish(&invalid));
        QCOMPARE(invalid, QStringList{u"két"_s});
    }

    void lookupAndRows()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        QVERIFY(db.exec(u"INSERT INTO ALK_KESZLET (HOL, MI, MENNYI) VALUES ('CEG', 'A-2', 7)"_s));
        QVERIFY(
            db.exec(u"INSERT INTO ALK_KESZLET (HOL, MI, MENNYI) VALUES ('SZ1', 'A-1', NULL)"_s));
        QString error;
        const PartsStock stock;
        QCOMPARE(stock.lookup(u"SZ1"_s, u"A-2"_s, &error)->text(), u"0+7"_s);
        QCOMPARE(stock.lookup(u"SZ1"_s, u"A-1"_s, &error)->text(), u"0+0"_s);
        const auto rows =
            stock.rowsOf(u"A-1, A-2,X-9"_s, u"SZ1"_s, {part(u"A-2"_s, 202, u"4"_s)}, &error);
        QVERIFY2(rows, qPrintable(error));
        QCOMPARE(rows->size(), size_t(3));
        QCOMPARE((*rows)[1].name, u"Szelep"_s); // the part, not the appliance type
        QCOMPARE((*rows)[1].belsokod, 202);
        QCOMPARE((*rows)[1].quantity, u"4"_s); // quantities are never reset to 1
        QCOMPARE((*rows)[2].name, QString());  // unknown code: a row without name
        QCOMPARE(stock.rowsOf({}, u"SZ1"_s, {}, &error)->size(), size_t(1));
    }

    // New row with 2; stored again with 3; moved to another technician; unassigned.
    void reservationsFollowTheJob()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        scheduledata::addTechnician(db, u"SZ1"_s, u"Arany Béla"_s);
        scheduledata::addTechnician(db, u"SZ2"_s, u"Bodó Ede"_s);
        Talk_keszletfm parts;
        setPartsHook(&parts);

        Request r;
        r.customer.nev = u"Kiss Anna"_s;
        r.tipus = 100;
        r.tipusKod = u"K-100"_s;
        r.tevekenyseg = u"Javítás"_s;
        r.datum = day;
        r.dedu = u"De"_s;
        r.slot = {Slot::Grid, {1, 4}, u"SZ1"_s, day, u"10"_s};
        r.ora = u"10"_s;
        QVERIFY(db.exec(u"INSERT INTO MUNKA (KOD, ALLAPOT) VALUES (999, 'KI')"_s));
        QVERIFY(
            db.exec(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, MENNYISEG) VALUES (999, 201, 2)"_s));
        QVERIFY(parts.prepare(999, u"SZ1"_s).ok); // rows as a stored job brings them
        QVERIFY(RequestStore().store(r).ok());
        QCOMPARE(reserved(u"SZ1"_s), 2.0);
        QCOMPARE(db::scalar(u"d_mivo"_s,
                            u"SELECT COALESCE(MENNYI, 0) FROM ALK_KESZLET WHERE HOL = 'SZ1'"_s)
                     .toDouble(),
                 0.0);

        // Modified to 3: released first, then reserved again.
        Request again = r;
        again.currentMode = RequestMode::Modify;
        again.loadedState = u"KI"_s;
        again.loadedTechnician = u"SZ1"_s;
        QVERIFY(db.exec(u"UPDATE MUNKA_ALK SET MENNYISEG = 3 WHERE KOD = 999"_s));
        QVERIFY(parts.prepare(999, u"SZ1"_s).ok);
        QVERIFY(RequestStore().store(again).ok());
        QCOMPARE(reserved(u"SZ1"_s), 3.0);

        // Moved to SZ2: the reservation goes with it.
        Request moved = again;
        moved.currentMode = RequestMode::Move;
        moved.slot = {Slot::Grid, {2, 5}, u"SZ2"_s, day, u"11"_s};
        moved.ora = u"11"_s;
        QVERIFY(RequestStore().store(moved).ok());
        QCOMPARE(reserved(u"SZ1"_s), 0.0);
        QCOMPARE(reserved(u"SZ2"_s), 3.0);

        // Unassigned on the grid: SZ2 gets it back.
        NapirendModel grid;
        QString error;
        Td::instance().ownCompany = u"VELKOR"_s;
        QVERIFY2(grid.build(u"VELKOR"_s, day, &error), qPrintable(error));
        ScriptedMessagesGuard messages;
        CellActions actions(grid, ScheduleForm::Entry);
        clock::set(QDateTime(QDate(2030, 5, 6), QTime(8, 0)));
        QVERIFY(actions.remove(2, 5, Removal::Unassign));
        QCOMPARE(reserved(u"SZ2"_s), 0.0);
    }

    void recount()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        QVERIFY(db.exec(u"INSERT INTO MUNKA (KOD, ALLAPOT, SZERELOT) VALUES (1, 'KI', 'SZ1')"_s));
        QVERIFY(db.exec(u"INSERT INTO MUNKA (KOD, ALLAPOT, SZERELOT) VALUES (2, 'OK', 'SZ1')"_s));
        QVERIFY(db.exec(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, MENNYISEG) VALUES (1, 201, 2)"_s));
        QVERIFY(db.exec(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, MENNYISEG) VALUES (2, 201, 5)"_s));
        QVERIFY(db.exec(u"INSERT INTO ALK_KESZLET (HOL, MI, FOGLALT) VALUES ('SZ1', 'A-1', 7)"_s));
        QVERIFY(db.exec(u"INSERT INTO ALK_KESZLET (HOL, MI, FOGLALT) VALUES ('SZ1', 'A-2', 0)"_s));
        QStringList log;
        const auto logTo = [&log](const QString& line) { log << line; };
        const auto quiet = [](int, int, const QString&) {};

        RecountResult checked = StockRecount().run(false, false, quiet, logTo);
        QCOMPARE(log.mid(1), (QStringList{u""_s, u"SZ1 A-2 Szelep foglalt=0, OK"_s,
                                          u"SZ1 A-1 Tömítés régi=7, új=2"_s, u"Összes tétel:2"_s,
                                          u"    ebből jó:1"_s, u"       hibás:1"_s}));
        QCOMPARE(log[0], u"Foglalt készlet újraszámolása, indult: 2030.05.02 09:30:00"_s);
        QCOMPARE(reserved(u"SZ1"_s), 7.0);

        log.clear();
        checked = StockRecount().run(true, true, quiet, logTo);
        QCOMPARE(checked.faulty, 1);
        QCOMPARE(log.size(), 6); // the good row is not logged
        QCOMPARE(reserved(u"SZ1"_s), 2.0);
        QCOMPARE(StockRecount().run(false, true, quiet, logTo).faulty, 0);
    }

    // The demo office: a third of the jobs have parts, each technician's reservations are what
    // his given-out jobs hold (the recount finds nothing to mend), sheets match their appliance.
    void demoData()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QString error;
        QVERIFY2(schema::fillDemoData(u"d_mivo"_s, {}, QDate(2030, 5, 2), &error),
                 qPrintable(error));
        const auto count = [](const QString& sql) {
            return db::scalar(u"d_mivo"_s, sql, {}).toDouble();
        };
        const double share = count(u"SELECT COUNT(DISTINCT KOD) FROM MUNKA_ALK"_s) /
                             count(u"SELECT COUNT(*) FROM MUNKA"_s);
        QVERIFY2(share > 0.2 && share < 0.45, qPrintable(QString::number(share)));
        QVERIFY(count(u"SELECT SUM(FOGLALT) FROM ALK_KESZLET"_s) > 0);
        const auto quiet = [](int, int, const QString&) {};
        QCOMPARE(StockRecount().run(false, true, quiet, [](const QString&) {}).faulty, 0);

        QVERIFY(count(u"SELECT COUNT(*) FROM BEUZLAP"_s) > 0);
        QCOMPARE(count(u"SELECT COUNT(*) FROM BEUZLAP B LEFT JOIN KESZULEK K ON K.KOD = "
                       "B.KESZULEK AND K.GYARISZAM = B.GYARISZAM AND K.UGYFEL = B.UGYFEL AND "
                       "K.BEUZEMELES = B.BEUZEMELES WHERE K.KOD IS NULL"_s),
                 0.0);
    }

    // The form: a part chosen short of stock, "&Vissza" discarding, "&Befejez" keeping.
    void partsForm()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        QVERIFY(db.exec(u"INSERT INTO ALK_KESZLET (HOL, MI, MENNYI) VALUES ('SZ1', 'A-2', 1)"_s));
        ScriptedPicker picker;
        ScriptedMessagesGuard messages;
        Talk_keszletfm form;
        const PartsRequest request{u"A-1,"_s, u"Kazán 100"_s, u"K-100"_s,
                                   100,       u"SZ1"_s,       u"SZ1 Arany Béla"_s};

        whenModal<Talk_keszletfm>([&](Talk_keszletfm* f) {
            f->table()->item(0, 4)->setText(u"2"_s);
            picker.rows << u"SELECT * FROM VW_KESZ_ALK WHERE KOD = 'A-2'"_s;
            QTest::mouseClick(f->findChild<QPushButton*>(u"b_plusz"_s), Qt::LeftButton);
            QTest::mouseClick(f->findChild<QPushButton*>(u"b_vissza"_s), Qt::LeftButton);
        });
        QVERIFY(db.exec(u"INSERT INTO KESZ_ALK (TIPUS, ALKATRESZ) VALUES (100, 202)"_s));
        QVERIFY(!form.choose(request));
        QCOMPARE(picker.calls.last().condition, u"Where KESZULEK_KOD='K-100'"_s);

        messages->queueAnswers({0});
        whenModal<Talk_keszletfm>([&](Talk_keszletfm* f) {
            f->table()->item(0, 4)->setText(u"2"_s);
            picker.rows << u"SELECT * FROM VW_KESZ_ALK WHERE KOD = 'A-2'"_s;
            QTest::mouseClick(f->findChild<QPushButton*>(u"b_plusz"_s), Qt::LeftButton);
            // Two wanted of the part the technician holds one of: asked, Yes.
            f->table()->item(1, 4)->setText(u"2"_s);
            picker.rows << u"SELECT * FROM VW_KESZ_ALK WHERE KOD = 'A-2'"_s;
            f->table()->setCurrentCell(1, 1);
            QTest::mouseClick(f->findChild<QPushButton*>(u"b_befejez"_s), Qt::LeftButton);
        });
        QCOMPARE(form.choose(request).value_or(u"?"_s), u"A-1,A-2,"_s);
        QCOMPARE(messages->texts, QStringList{u"Nincs készleten ennyi alkatrész: 2\nSzerelőnél: 1\n"
                                              "Cég készleten: 0\nFolytatjuk?"_s});
        QCOMPARE(form.grid().rows()[0].quantity, u"2"_s);
        QCOMPARE(form.grid().rows()[1].quantity, u"2"_s);
    }

    void twoWorkstationsReserveOnePart()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        TestDb db(TestDb::allOptional(), u"d_mivo"_s, &server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        const int runs = 1000;
        {
            db::Transaction transaction(u"d_mivo"_s);
            db::Query jobs;
            jobs.setSql(u"INSERT INTO MUNKA (KOD, ALLAPOT, SZERELOT) VALUES (:k, 'KI', 'SZ1')"_s);
            for (int kod = 1; kod <= 2 * runs; ++kod) {
                jobs.bind(u"k"_s, kod);
                QVERIFY2(jobs.exec(), qPrintable(jobs.lastError()));
            }
            QVERIFY(transaction.commit());
        }
        QProcess workers[2];
        int first = 1;
        for (QProcess& w : workers) {
            w.setProcessChannelMode(QProcess::MergedChannels);
            startWorker(w, workerVariable, db.location(),
                        QString::number(first) + u';' + QString::number(runs));
            first += runs;
        }
        for (QProcess& w : workers) {
            QVERIFY(w.waitForFinished(600000));
            const QString output = QString::fromUtf8(w.readAll()).trimmed();
            qInfo("%s", qPrintable(output));
            QVERIFY2(w.exitStatus() == QProcess::NormalExit && w.exitCode() == 0,
                     qPrintable(output));
            QVERIFY2(output.section(u' ', 1).toInt() > 0, "both workstations met conflicts");
        }
        QCOMPARE(reserved(u"SZ1"_s), double(runs));
        const RecountResult check = StockRecount().run(
            false, true, [](int, int, const QString&) {}, [](const QString&) {});
        QCOMPARE(check.faulty, 0);
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(workerVariable)) {
        QCoreApplication app(argc, argv);
        return worker();
    }
    QApplication app(argc, argv);
    TestPartsStock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_partsstock.moc"
