// Storing requests: the checks before anything is written, the rows each mode writes, the
// faults a half-done store used to leave behind, and two workstations booking the same hours.

#include "scheduledata.h"
#include "support/fbserver.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "workflow/requestchecks.h"
#include "workflow/requeststore.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QTextStream>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

const QString day = u"2030.05.06"_s;

QVariant scalar(const QString& sql, const std::map<QString, QVariant>& params = {})
{
    return db::scalar(u"d_mivo"_s, sql, params);
}

QString jobField(int kod, const QString& field)
{
    return scalar(u"SELECT "_s + field + u" FROM MUNKA WHERE KOD = :k"_s, {{u"k"_s, kod}})
        .toString()
        .trimmed();
}

int count(const QString& sql, const std::map<QString, QVariant>& params = {})
{
    return scalar(sql, params).toInt();
}

// Articles: an appliance type "K-100" and two parts.
void addArticles(TestDb& db)
{
    QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', "
                    "'Kazán 100', 'K')"_s));
    QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (201, 'A-1', "
                    "'Tömítés', 'A')"_s));
    QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (202, 'A-2', "
                    "'Szelep', 'A')"_s));
}

Request newRequest(const QString& name)
{
    Request r;
    r.customer.nev = name;
    r.customer.irszam = u"1111"_s;
    r.customer.varos = u"Budapest"_s;
    r.customer.utca = u"Fő u. 1."_s;
    r.tipus = 100;
    r.tipusKod = u"K-100"_s;
    r.tipusNev = u"Kazán 100"_s;
    r.tevekenyseg = u"Javítás"_s;
    r.problema = u"Nem indul"_s;
    r.datum = day;
    r.dedu = u"De"_s;
    return r;
}

void onGrid(Request& r, const QString& technician, const QString& hour)
{
    r.slot.kind = Slot::Grid;
    r.slot.technician = technician;
    r.slot.date = r.datum;
    r.slot.hour = hour;
    r.szerelo = technician + u" Szerelő"_s;
    r.ora = hour;
}

// A stored job as a list or the grid loads it into the request.
Request loaded(int kod, RequestMode mode)
{
    Request r;
    r.baseMode = r.currentMode = mode;
    r.jobCode = kod;
    r.customer.kod = scalar(u"SELECT UGYFEL FROM MUNKA WHERE KOD = :k"_s, {{u"k"_s, kod}}).toInt();
    db::Query c(u"d_mivo"_s);
    c.setSql(u"SELECT * FROM UGYFEL WHERE KOD = :k"_s);
    c.bind(u"k"_s, r.customer.kod);
    if (c.exec() && c.first()) {
        r.customer.nev = c.text(u"NEV"_s);
        r.customer.irszam = c.text(u"IRSZAM"_s);
        r.customer.varos = c.text(u"VAROS"_s);
        r.customer.utca = c.text(u"UTCA"_s);
        r.customer.telefon = c.text(u"TELEFON"_s);
    }
    r.remembered = r.customer;
    r.keszulek = jobField(kod, u"KESZULEK"_s).toInt();
    r.tipus = 100;
    r.tipusKod = u"K-100"_s;
    r.tevekenyseg = u"Javítás"_s;
    r.datum = jobField(kod, u"TERVD"_s);
    r.loadedState = jobField(kod, u"ALLAPOT"_s);
    r.loadedTechnician = jobField(kod, u"SZERELOT"_s);
    r.loadedActivity = jobField(kod, u"TERVTEV"_s);
    return r;
}

int addJob(int ugyfel, const QString& state, const QString& szerelot = {}, const QString& hour = {})
{
    scheduledata::Job j = scheduledata::planned(ugyfel, szerelot, day, hour);
    j.allapot = state;
    const int kod = scheduledata::addJob(j);
    db::Query appliance(u"d_mivo"_s);
    appliance.setSql(u"INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM) VALUES (:u, 100, 'GY-1') "
                     "RETURNING KOD"_s);
    appliance.bind(u"u"_s, ugyfel);
    db::execute(u"d_mivo"_s, u"UPDATE MUNKA SET TIPUS = 100, KESZULEK = :a WHERE KOD = :k"_s,
                {{u"k"_s, kod}, {u"a"_s, appliance.insertReturning()}});
    return kod;
}

const char* workerVariable = "MIVO_STORE_WORKER";

// The test binary as a dispatcher's workstation: "location;seed;runs" in MIVO_STORE_WORKER.
// Stores new requests into random hours of 4 technicians × 5 days and gives out its own
// unassigned jobs; prints "stored N refused M" and any other outcome.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    if (!openWorkerConnection(args.value(0), out))
        return 2;
    QRandomGenerator random(args.value(1).toUInt());
    const int runs = args.value(2).toInt();
    const QString me = u"Munkahely "_s + args.value(1);
    int stored = 0, refused = 0;
    std::vector<int> unplaced;
    for (int i = 0; i < runs; ++i) {
        Request r;
        if (!unplaced.empty() && random.bounded(3) == 0) {
            r = loaded(unplaced.back(), RequestMode::Unplaced);
            unplaced.pop_back();
        } else {
            r = newRequest(me);
        }
        r.datum = u"2030.05.0"_s + QString::number(1 + random.bounded(5));
        const bool place = r.baseMode == RequestMode::Unplaced || random.bounded(4) != 0;
        if (place)
            onGrid(r, u"SZ"_s + QString::number(1 + random.bounded(4)),
                   u"%1"_s.arg(int(8 + random.bounded(11)), 2, 10, QChar(u'0')));
        const StoreResult result = RequestStore().store(r);
        if (result.ok()) {
            ++stored;
            if (!place)
                unplaced.push_back(r.jobCode);
        } else if (result.status == StoreResult::SlotTaken &&
                   result.message == RequestStore::slotTakenMessage()) {
            ++refused;
        } else {
            out << "store " << i << ": " << result.message << Qt::endl;
            return 1;
        }
    }
    out << "stored " << stored << " refused " << refused << Qt::endl;
    db::Connection::closeAll();
    return 0;
}

} // namespace

class TestRequestStore : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 2), QTime(9, 30)));
        Td::instance().userCode = u"ANNA"_s;
        Td::instance().lettersAvailable = true;
    }
    void cleanup()
    {
        clock::set({});
        db::Connection::closeAll();
    }

    void checksComeInOrder_data()
    {
        QTest::addColumn<QString>("blank");
        QTest::addColumn<bool>("entry");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("nothing") << "all" << true << "Adjon meg ügyfelet!"
                                 << "b_ugyfel";
        QTest::newRow("appliance") << "appliance" << true << "Adjon meg készüléket!"
                                   << "b_keszulek";
        QTest::newRow("activity") << "activity" << true << "Válassza ki a munka jellegét!"
                                  << "cb_tevekenys";
        QTest::newRow("part of day") << "dedu" << true << "Adja meg a napszakot!"
                                     << "cb_dedu";
        QTest::newRow("lists need no part of day") << "dedu" << false << ""
                                                   << "";
        QTest::newRow("date") << "date" << false << "Hibás dátum.\n2030.02.30"
                              << "e_nap";
    }
    void checksComeInOrder()
    {
        QFETCH(QString, blank);
        QFETCH(bool, entry);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Request r = newRequest(u"Kiss Anna"_s);
        if (blank == u"all"_s) {
            r = Request();
        } else if (blank == u"appliance"_s) {
            r.tipusKod.clear();
            r.tevekenyseg.clear();
        } else if (blank == u"activity"_s) {
            r.tevekenyseg.clear();
            r.dedu.clear();
        } else if (blank == u"dedu"_s) {
            r.dedu.clear();
        } else {
            r.datum = u"2030.02.30"_s;
        }
        const auto refusal = checkFields(r, entry ? ScheduleForm::Entry : ScheduleForm::Jobs);
        QCOMPARE(refusal ? refusal->message : QString(), message);
        QCOMPARE(refusal ? refusal->focus : QString(), focus);
    }

    void newRequestWithAndWithoutSlot()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        Request later = newRequest(u"Kiss Anna"_s);
        later.datum = u"20300506"_s; // stored in the form every list compares
        later.alk = u"A-1, A-2"_s;   // a last code without comma counts
        QVERIFY(RequestStore().store(later).ok());
        QCOMPARE(jobField(later.jobCode, u"ALLAPOT"_s), u"BE"_s);
        QCOMPARE(jobField(later.jobCode, u"TERVD"_s), day);
        QCOMPARE(jobField(later.jobCode, u"SZERELOT"_s), QString());
        QCOMPARE(jobField(later.jobCode, u"TERVTEV"_s), u"J"_s);
        QCOMPARE(jobField(later.jobCode, u"FELVETELD"_s), u"2030.05.02"_s);
        QCOMPARE(jobField(later.jobCode, u"JUZER"_s), u"ANNA"_s);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA_ALK WHERE KOD = :k AND MENNYISEG = 1"_s,
                       {{u"k"_s, later.jobCode}}),
                 2);
        // The customer and a serial-less appliance of the chosen type were created.
        QVERIFY(later.customer.kod > 0);
        QCOMPARE(jobField(later.jobCode, u"UGYFEL"_s).toInt(), later.customer.kod);
        QCOMPARE(scalar(u"SELECT TIPUS FROM KESZULEK WHERE KOD = :k"_s, {{u"k"_s, later.keszulek}})
                     .toInt(),
                 100);

        Request now = newRequest(u"Nagy Béla"_s);
        onGrid(now, u"SZ1"_s, u"10"_s);
        now.telefon = true;
        now.alk = u"A-1,K-100,X-9,"_s; // an appliance type and an unknown code are no parts
        QVERIFY(RequestStore().store(now).ok());
        QCOMPARE(jobField(now.jobCode, u"ALLAPOT"_s), u"KI"_s);
        QCOMPARE(jobField(now.jobCode, u"SZERELOT"_s), u"SZ1"_s);
        QCOMPARE(jobField(now.jobCode, u"TERVT"_s), u"10"_s);
        QCOMPARE(jobField(now.jobCode, u"TELEFON"_s), u"I"_s);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA_ALK WHERE KOD = :k"_s, {{u"k"_s, now.jobCode}}),
                 1);
        QCOMPARE(count(u"SELECT COUNT(*) FROM NAPZAR WHERE SZERELOKOD = 'SZ1'"_s), 1);
    }

    void externalTechnicianHourFollowsPartOfDay_data()
    {
        QTest::addColumn<QString>("dedu");
        QTest::addColumn<QString>("hour");
        QTest::newRow("De") << "De"
                            << "08";
        QTest::newRow("Du") << "Du"
                            << "13";
        QTest::newRow("Es") << "Es"
                            << "18";
    }
    void externalTechnicianHourFollowsPartOfDay()
    {
        QFETCH(QString, dedu);
        QFETCH(QString, hour);
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        Request r = newRequest(u"Kiss Anna"_s);
        r.dedu = dedu;
        r.slot.kind = Slot::External;
        r.kulsos = {u"KX1"_s, u"MASCEG"_s, u"Külső Károly"_s};
        QVERIFY(RequestStore().store(r).ok());
        QCOMPARE(jobField(r.jobCode, u"TERVT"_s), hour);
        QCOMPARE(jobField(r.jobCode, u"SZERELOT"_s), u"KX1"_s);
        QCOMPARE(jobField(r.jobCode, u"ALLAPOT"_s), u"KI"_s);
    }

    // Picked customer, then "Új" and the same values typed again: a second customer.
    // A known customer with a changed telephone: that customer updated.
    void customers()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        const int picked =
            scheduledata::addCustomer(db, u"Kiss Anna"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1."_s);
        Request r = newRequest(u"Kiss Anna"_s);
        r.customer.telefon = u"06-1-555"_s;
        r.remembered = r.customer;
        r.remembered.kod = picked; // what "?" loaded; "Új" forgot only the code
        QVERIFY(RequestStore().store(r).ok());
        QVERIFY(r.customer.kod != picked);
        QCOMPARE(count(u"SELECT COUNT(*) FROM UGYFEL WHERE NEV = 'Kiss Anna'"_s), 2);

        Request known = newRequest(u"Kiss Anna"_s);
        known.customer.kod = picked;
        known.customer.telefon = u"06-1-555"_s;
        known.remembered = known.customer;
        known.customer.telefon = u"06-30-999"_s;
        QVERIFY(RequestStore().store(known).ok());
        QCOMPARE(known.customer.kod, picked);
        QCOMPARE(
            scalar(u"SELECT TELEFON FROM UGYFEL WHERE KOD = :k"_s, {{u"k"_s, picked}}).toString(),
            u"06-30-999"_s);
        QCOMPARE(jobField(known.jobCode, u"UGYFEL"_s).toInt(), picked);
    }

    void giveOutMoveAndModify()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        const int customer =
            scheduledata::addCustomer(db, u"Kiss Anna"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1."_s);
        // "M": a recorded job gets its slot.
        const int waiting = addJob(customer, u"BE"_s);
        Request give = loaded(waiting, RequestMode::Unplaced);
        onGrid(give, u"SZ1"_s, u"09"_s);
        QVERIFY(RequestStore().store(give).ok());
        QCOMPARE(give.jobCode, waiting);
        QCOMPARE(jobField(waiting, u"ALLAPOT"_s), u"KI"_s);
        QCOMPARE(jobField(waiting, u"SZERELOT"_s) + jobField(waiting, u"TERVT"_s), u"SZ109"_s);

        // "Á": to another technician's hour; "Ó": its problem text in its own slot.
        Request move = loaded(waiting, RequestMode::Move);
        onGrid(move, u"SZ2"_s, u"14"_s);
        QVERIFY(RequestStore().store(move).ok());
        QCOMPARE(jobField(waiting, u"SZERELOT"_s) + jobField(waiting, u"TERVT"_s), u"SZ214"_s);
        QCOMPARE(jobField(waiting, u"ALLAPOT"_s), u"KI"_s);

        Request modify = loaded(waiting, RequestMode::Modify);
        onGrid(modify, u"SZ2"_s, u"14"_s); // its own cell is no other job
        modify.problema = u"Csöpög"_s;
        QVERIFY(RequestStore().store(modify).ok());
        QCOMPARE(jobField(waiting, u"LEIRAST"_s), u"Csöpög"_s);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA"_s), 1);

        // A job another workstation gave out meanwhile is not given out again.
        const int taken = addJob(customer, u"BE"_s);
        Request stale = loaded(taken, RequestMode::Unplaced);
        QVERIFY(db::execute(u"d_mivo"_s, u"UPDATE MUNKA SET ALLAPOT = 'TOR' WHERE KOD = :k"_s,
                            {{u"k"_s, taken}}));
        onGrid(stale, u"SZ3"_s, u"09"_s);
        const StoreResult refused = RequestStore().store(stale);
        QCOMPARE(refused.status, StoreResult::Refused);
        QCOMPARE(jobField(taken, u"ALLAPOT"_s), u"TOR"_s);
        QCOMPARE(jobField(taken, u"SZERELOT"_s), QString());
    }

    void newVisitSupersedesTheListedJob_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("state");
        QTest::newRow("closed door") << int(RequestMode::Revisit) << "ZA";
        QTest::newRow("in progress") << int(RequestMode::Ongoing) << "FO";
    }
    void newVisitSupersedesTheListedJob()
    {
        QFETCH(int, mode);
        QFETCH(QString, state);
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        const int customer =
            scheduledata::addCustomer(db, u"Kiss Anna"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1."_s);
        const int old = addJob(customer, state, u"SZ1"_s, u"08"_s);
        Request r = loaded(old, RequestMode(mode));
        onGrid(r, u"SZ2"_s, u"11"_s);
        QVERIFY(RequestStore().store(r).ok());
        QVERIFY(r.jobCode != old);
        QCOMPARE(jobField(old, u"ALLAPOT"_s), u"TAR"_s);
        QCOMPARE(jobField(old, u"SZERELOT"_s), u"SZ2"_s);
        QCOMPARE(jobField(r.jobCode, u"ALLAPOT"_s), u"KI"_s);
        QCOMPARE(jobField(r.jobCode, u"FELVETELD"_s), u"2030.05.02"_s);
        QCOMPARE(jobField(r.jobCode, u"UGYFEL"_s), jobField(old, u"UGYFEL"_s));
        QCOMPARE(jobField(r.jobCode, u"KESZULEK"_s), jobField(old, u"KESZULEK"_s));
    }

    void takenSlotWritesNothing()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        const int customer =
            scheduledata::addCustomer(db, u"Kiss Anna"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1."_s);
        addJob(customer, u"KI"_s, u"SZ1"_s, u"10"_s);
        Request r = newRequest(u"Nagy Béla"_s);
        onGrid(r, u"SZ1"_s, u"10"_s);
        const StoreResult result = RequestStore().store(r);
        QCOMPARE(result.status, StoreResult::SlotTaken);
        QCOMPARE(result.message, RequestStore::slotTakenMessage());
        QCOMPARE(r.jobCode, 0);
        QCOMPARE(count(u"SELECT COUNT(*) FROM UGYFEL"_s), 1);
        QCOMPARE(count(u"SELECT COUNT(*) FROM KESZULEK"_s), 1);
    }

    // The parts rows fail after the job rows were written: nothing of the store stays.
    void failureHalfWayRollsBack_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("move") << int(RequestMode::Move);
        QTest::newRow("closed door") << int(RequestMode::Revisit);
    }
    void failureHalfWayRollsBack()
    {
        QFETCH(int, mode);
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        QVERIFY(
            db.exec(u"ALTER TABLE MUNKA_ALK ADD CONSTRAINT NO_SINGLES CHECK (MENNYISEG > 5)"_s));
        const int customer =
            scheduledata::addCustomer(db, u"Kiss Anna"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1."_s);
        const QString state = RequestMode(mode) == RequestMode::Move ? u"KI"_s : u"ZA"_s;
        const int job = addJob(customer, state, u"SZ1"_s, u"08"_s);
        Request r = loaded(job, RequestMode(mode));
        onGrid(r, u"SZ2"_s, u"12"_s);
        r.alk = u"A-1,"_s;
        const StoreResult result = RequestStore().store(r);
        QCOMPARE(result.status, StoreResult::Failed);
        QVERIFY2(result.message.contains(u"NO_SINGLES"_s), qPrintable(result.message));
        QCOMPARE(jobField(job, u"ALLAPOT"_s), state);
        QCOMPARE(jobField(job, u"SZERELOT"_s) + jobField(job, u"TERVT"_s), u"SZ108"_s);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA"_s), 1);
        QCOMPARE(count(u"SELECT COUNT(*) FROM KESZULEK"_s), 1);
    }

    // Two unassigned requests of one customer for one day: each store knows its own job.
    void eachStoreKnowsItsOwnJob()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        Request first = newRequest(u"Kiss Anna"_s);
        first.alk = u"A-1,"_s;
        QVERIFY(RequestStore().store(first).ok());
        Request second = newRequest(u"Kiss Anna"_s);
        second.customer.kod = first.customer.kod;
        second.remembered = second.customer;
        second.keszulek = first.keszulek;
        second.alk = u"A-2,"_s;
        QVERIFY(RequestStore().store(second).ok());
        QVERIFY(second.jobCode != first.jobCode);
        QCOMPARE(second.keszulek, first.keszulek);
        QCOMPARE(
            scalar(u"SELECT ALKATRESZ FROM MUNKA_ALK WHERE KOD = :k"_s, {{u"k"_s, first.jobCode}})
                .toInt(),
            201);
        QCOMPARE(
            scalar(u"SELECT ALKATRESZ FROM MUNKA_ALK WHERE KOD = :k"_s, {{u"k"_s, second.jobCode}})
                .toInt(),
            202);
    }

    // A listed job without appliance gets one when it is given out.
    void listedJobWithoutApplianceGetsOne()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        const int customer =
            scheduledata::addCustomer(db, u"Kiss Anna"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1."_s);
        const int job = addJob(customer, u"BE"_s);
        QVERIFY(db.exec(u"UPDATE MUNKA SET KESZULEK = 0"_s));
        Request r = loaded(job, RequestMode::Unplaced);
        onGrid(r, u"SZ1"_s, u"09"_s);
        QVERIFY(RequestStore().store(r).ok());
        const int appliance = jobField(job, u"KESZULEK"_s).toInt();
        QVERIFY(appliance > 0);
        QCOMPARE(
            scalar(u"SELECT UGYFEL FROM KESZULEK WHERE KOD = :k"_s, {{u"k"_s, appliance}}).toInt(),
            customer);
    }

    void partCodesAreWholeElements()
    {
        QCOMPARE(withPartCode(u"A-10,"_s, u"A-1"_s), u"A-10,A-1,"_s);
        QCOMPARE(withPartCode(u"A-1,A-2,"_s, u"A-1"_s), u"A-1,A-2,"_s);
        QCOMPARE(withPartCode(u"A-1"_s, u"A-2"_s), u"A-1,A-2,"_s);
        QCOMPARE(partCodeList(u" A-1, ,A-2"_s), (QStringList{u"A-1"_s, u"A-2"_s}));
    }

    void movedJobNeedsItsCustomer()
    {
        Request r = newRequest(u"Kiss Anna"_s);
        r.currentMode = RequestMode::Move;
        QCOMPARE(checkCustomerCode(r)->message, u"Az ügyfél kódja eltűnt! Nem tárolható!"_s);
        r.currentMode = RequestMode::Modify;
        QVERIFY(!checkCustomerCode(r)); // stays in its slot: its customer is stored first
        r.slot.kind = Slot::External;
        QVERIFY(checkCustomerCode(r));
        r.customer.kod = 7;
        QVERIFY(!checkCustomerCode(r));
    }

    void answeredLetter()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        const int customer =
            scheduledata::addCustomer(db, u"Kiss Anna"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1."_s);
        QVERIFY(db.exec(u"INSERT INTO LEVELKE (UGYFEL, MIKOR) VALUES ("_s +
                        QString::number(customer) + u", '2030.01.10')"_s));
        Request r = newRequest(u"Kiss Anna"_s);
        r.customer.kod = customer;
        r.remembered = r.customer;
        r.letterDate = u"2030.01.10"_s;
        r.valaszolt = true;
        QVERIFY(RequestStore().store(r).ok());
        QCOMPARE(scalar(u"SELECT VALASZ FROM LEVELKE"_s).toString(), u"2030.05.02"_s);
    }

    // Two dispatchers' workstations store into the same hours at once: no hour gets two
    // jobs, and every refusal is the slot message.
    void twoWorkstationsNeverDoubleAnHour()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        TestDb db(TestDb::allOptional(), u"d_mivo"_s, &server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addArticles(db);
        const int runs = 300;
        QProcess workers[2];
        int seed = 1;
        for (QProcess& w : workers) {
            w.setProcessChannelMode(QProcess::MergedChannels);
            startWorker(w, workerVariable, db.location(),
                        QString::number(seed++) + u';' + QString::number(runs));
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
        QCOMPARE(count(u"SELECT COUNT(*) FROM (SELECT SZERELOT, TERVD, TERVT FROM MUNKA "
                       "WHERE ALLAPOT <> 'TOR' AND SZERELOT <> '' GROUP BY 1, 2, 3 "
                       "HAVING COUNT(*) > 1)"_s),
                 0);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA WHERE ALLAPOT = 'KI' AND "
                       "COALESCE(SZERELOT, '') = ''"_s),
                 0);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(workerVariable)) {
        Td::instance().userCode = u"MUNKA"_s;
        return worker();
    }
    TestRequestStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_requeststore.moc"
