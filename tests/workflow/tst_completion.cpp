// Completion documentation without clicking: the list and its filter, loading a job in both
// modes, the checks in their order, what a store writes (sheet, appliance, owner, customer,
// parts with their stock moves, the job), the same visit, the closed door and its new visit,
// and, through a server, a store failing half-way and another workstation reserving the
// same part meanwhile.

#include "scheduledata.h"
#include "support/fbserver.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/querymodel.h"
#include "platform/unitofwork.h"
#include "workflow/alkkeszlet.h"
#include "workflow/completionchecks.h"
#include "workflow/completionlist.h"
#include "workflow/completionstore.h"
#include "workflow/elvegez.h"
#include "workflow/requeststore.h"
#include "workflow/stockrecount.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextStream>
#include <QThread>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(mivo::workflow::CompletionFilter)

namespace
{

const QString day = u"2030.05.06"_s;
const QString today = u"2030.05.10"_s;

QVariant scalar(const QString& sql, const std::map<QString, QVariant>& params = {})
{
    return db::scalar(u"d_mivo"_s, sql, params);
}

QString field(const QString& table, const QString& column, const QString& where,
              const std::map<QString, QVariant>& params)
{
    const QVariant v =
        scalar(u"SELECT "_s + column + u" FROM "_s + table + u" WHERE "_s + where, params);
    return v.typeId() == QMetaType::Double ? QString::number(v.toDouble()) : v.toString().trimmed();
}

QString jobField(int kod, const QString& column)
{
    return field(u"MUNKA"_s, column, u"KOD = :k"_s, {{u"k"_s, kod}});
}

// Runs PSQL (a trigger) as written.
void psql(const QString& sql)
{
    db::Query q(u"d_mivo"_s);
    q.setParamCheck(false);
    q.setSql(sql);
    QVERIFY2(q.exec(), qPrintable(q.lastError()));
}

// The stock as "HOL/MI=FOGLALT/MENNYI" rows.
QString stock()
{
    db::Query q(u"d_mivo"_s);
    q.setSql(u"SELECT HOL, MI, COALESCE(FOGLALT, 0) F, COALESCE(MENNYI, 0) M FROM ALK_KESZLET "
             "ORDER BY HOL, MI"_s);
    if (!q.exec())
        return q.lastError();
    QStringList rows;
    while (q.next())
        rows << q.text(u"HOL"_s) + u'/' + q.text(u"MI"_s) + u'=' +
                    QString::number(q.value(u"F"_s).toDouble()) + u'/' +
                    QString::number(q.value(u"M"_s).toDouble());
    return rows.join(u' ');
}

// Every row of the tables a store writes, as text.
QString tables()
{
    QStringList out;
    for (const char16_t* table :
         {u"MUNKA", u"MUNKA_ALK", u"ALK_KESZLET", u"BEUZLAP", u"KESZULEK", u"UGYFEL"}) {
        db::Query q(u"d_mivo"_s);
        q.setSql(u"SELECT * FROM "_s + QString::fromUtf16(table) + u" ORDER BY 1, 2"_s);
        if (!q.exec())
            return q.lastError();
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.fieldCount(); ++i)
                values << q.value(i).toString();
            out << QString::fromUtf16(table) + u": "_s + values.join(u'|');
        }
    }
    return out.join(u'\n');
}

// Two technicians, the own company, appliance types and parts, a customer with a boiler
// (serial GY-1, commissioned 2020.01.01), another customer, and the stock at SZ1.
struct Office {
    explicit Office(const FirebirdServer* server = nullptr)
        : db(TestDb::allOptional(), u"d_mivo"_s, server)
    {
        if (!db.ok())
            return;
        scheduledata::addTechnician(db, u"SZ1"_s, u"Arany Béla"_s);
        scheduledata::addTechnician(db, u"SZ2"_s, u"Bodó Ede"_s);
        for (const char16_t* sql :
             {u"INSERT INTO KULSOCEG (KOD, NEV, IRSZAM, VAROS, UTCA) VALUES ('VELKOR', "
              "'Velkor Kft.', '1111', 'Budapest', 'Fő u. 1.')",
              u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', 'Kazán 100', "
              "'K')",
              u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (101, 'K-200', 'Kazán 200', "
              "'K')",
              u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (201, 'A-1', 'Tömítés', 'A')",
              u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (202, 'A-2', 'Szelep', 'A')",
              u"INSERT INTO ALK_KESZLET (HOL, MI, MENNYI, FOGLALT) VALUES ('SZ1', 'A-1', 5, 0)",
              u"INSERT INTO ALK_KESZLET (HOL, MI, MENNYI, FOGLALT) VALUES ('SZ1', 'A-2', 5, 0)"})
            db.exec(QString::fromUtf16(sql));
        customer =
            scheduledata::addCustomer(db, u"Kiss Anna"_s, u"2600"_s, u"Vác"_s, u"Kert u. 3"_s);
        other = scheduledata::addCustomer(db, u"Kate O'Brien"_s, u"1111"_s, u"Budapest"_s,
                                          u"Fő u. 9"_s);
        appliance = addAppliance(customer, 100, u"GY-1"_s);
    }

    int addAppliance(int ugyfel, int tipus, const QString& serial)
    {
        db::Query q(u"d_mivo"_s);
        q.setSql(u"INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM, BEUZEMELES) VALUES (:u, :t, "
                 ":g, '2020.01.01') RETURNING KOD"_s);
        q.bind(u"u"_s, ugyfel);
        q.bind(u"t"_s, tipus);
        q.bind(u"g"_s, serial);
        return q.insertReturning().toInt();
    }

    // A job of the customer's boiler on the day at SZ1 with its parts (internal code,
    // quantity); a given-out one holds them reserved at its technician.
    int addJob(const QString& state, const QString& tervtev,
               const std::vector<std::pair<int, int>>& parts = {},
               const QString& szerelot = u"SZ1"_s, const QString& tervd = day)
    {
        db::Query q(u"d_mivo"_s);
        q.setSql(u"INSERT INTO MUNKA (ALLAPOT, UGYFEL, KESZULEK, TIPUS, FELVETELD, JUZER, "
                 "LEIRAST, TERVD, TERVT, TERVTEV, SZERELOT, LEMONDTA, KULD) VALUES (:a, :u, :k, "
                 "100, '2030.05.01', 'anna', 'Nem indul', :d, '10', :t, :s, 'N', 0) "
                 "RETURNING KOD"_s);
        q.bind(u"a"_s, state);
        q.bind(u"u"_s, customer);
        q.bind(u"k"_s, appliance);
        q.bind(u"d"_s, tervd);
        q.bind(u"t"_s, tervtev);
        q.bind(u"s"_s, szerelot);
        const int kod = q.insertReturning().toInt();
        for (const auto& [part, quantity] : parts) {
            db::execute(u"d_mivo"_s,
                        u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, KESZULEK, TIPUS, MENNYISEG, "
                        "GJSORSZAM) VALUES (:k, :p, :a, 100, :q, 0)"_s,
                        {{u"k"_s, kod}, {u"p"_s, part}, {u"a"_s, appliance}, {u"q"_s, quantity}});
            if (state == u"KI"_s)
                db::execute(u"d_mivo"_s,
                            u"UPDATE ALK_KESZLET SET FOGLALT = FOGLALT + :q WHERE HOL = :h AND "
                            "MI = (SELECT KOD FROM ARU WHERE BELSOKOD = :p)"_s,
                            {{u"q"_s, quantity}, {u"h"_s, szerelot}, {u"p"_s, part}});
        }
        return kod;
    }

    // A documented job: as addJob, then done by SZ1 with the activity on the day.
    int addDone(const QString& activity, const std::vector<std::pair<int, int>>& parts = {})
    {
        const int kod = addJob(u"OK"_s, activity, parts);
        db::execute(u"d_mivo"_s,
                    u"UPDATE MUNKA SET MUNKAD = TERVD, SZERELOM = SZERELOT, MUNKATEV = :t, "
                    "MUNKASZAM = 'M-1', LEIRASM = 'Kész' WHERE KOD = :k"_s,
                    {{u"t"_s, activity}, {u"k"_s, kod}});
        return kod;
    }

    // The boiler's commissioning sheet S-1, as the SD import leaves one (NULL outputs).
    void addSheet()
    {
        db::execute(u"d_mivo"_s,
                    u"INSERT INTO BEUZLAP (SORSZAM, KESZULEK, UGYFEL, TIPUS, GYARISZAM, VIZNYOMAS, "
                    "GAZNYOMAS, FELSZCEGKOD, UZEMBEKOD, ROGZDAT, BEUZEMELES, KOMMENT, SZLASZ) "
                    "VALUES ('S-1', :k, :u, 100, 'GY-1', 1.5, 20, 'X', 'Y', '2029.01.01', "
                    "'2029.01.01', 'eredeti', '')"_s,
                    {{u"k"_s, appliance}, {u"u"_s, customer}});
    }

    TestDb db;
    int customer = 0, other = 0, appliance = 0;
};

Activities activities()
{
    QString error;
    const std::optional<Activities> a = Activities::read(u"d_mivo"_s, &error);
    if (!a)
        qFatal("%s", qPrintable(error));
    return *a;
}

// The job as the mode's list holds it, loaded for documenting.
Completion load(int kod, CompletionMode mode)
{
    data::QueryModel list(u"d_mivo"_s, {});
    const SqlStatement s = completionListStatement(mode, {});
    QString error;
    if (!list.read(s.sql, s.params, &error))
        qFatal("%s", qPrintable(error));
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.value(row, u"KOD"_s).toInt() == kod) {
            const std::optional<Completion> c =
                loadCompletion(listedJobAt(list, row), mode, activities(), u"d_mivo"_s, &error);
            if (!c)
                qFatal("%s", qPrintable(error));
            return *c;
        }
    }
    qFatal("job %d not listed", kod);
    return {};
}

CompletionResult store(const Completion& c)
{
    return CompletionStore().store(c, activities());
}

PartRow part(const QString& code, int belsokod, const QString& quantity)
{
    return {code, {}, quantity, belsokod, {}};
}

// The kinds of cases of the checks table.
enum CheckCase {
    NoActivity,
    BadWorkDate,
    BadLetter,
    BadNumber,
    BadQuantity,
    BadCoupon,
    CommissionedAlready,
    NoSheetNumber,
    TakenSheetNumber,
    NotCommissioned,
    SerialChangeRefused,
    DuplicateSerialRefused,
    NewOwnerRefused,
    NotStorable,
    EverythingAsked,
    CorrectingWithoutSheet,
};

const char* workerVariable = "MIVO_COMPLETION_WORKER";

// A workstation reserving part A-1 at SZ1 and releasing it again, "location;runs" in
// MIVO_COMPLETION_WORKER, a few hundred times a second; prints "ready", then its reruns.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    if (!openWorkerConnection(args.value(0), out))
        return 2;
    out << "ready" << Qt::endl;
    const db::RetryPolicy patient{200, 2, 50};
    int reruns = 0;
    for (int i = 0; i < args.value(1).toInt(); ++i) {
        for (const double quantity : {1.0, -1.0}) {
            const db::UnitResult r = db::runUnitOfWork(
                u"d_mivo"_s,
                [&](const QString& connection) {
                    const PartsHook::Result done =
                        PartsStock(connection).reserve(u"SZ1"_s, u"A-1"_s, quantity);
                    return done.ok ? db::Outcome()
                                   : db::Outcome::failure(done.message, done.errorCode);
                },
                patient);
            reruns += r.attempts - 1;
            if (!r.ok()) {
                out << "run " << i << ": " << r.message << Qt::endl;
                return 1;
            }
            QThread::msleep(2);
        }
    }
    out << "reruns " << reruns << Qt::endl;
    db::Connection::closeAll();
    return 0;
}

} // namespace

class TestCompletion : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 10), QTime(9, 30)));
        Td::instance().userCode = u"ANNA"_s;
        Td::instance().ownCompany = u"VELKOR"_s;
        Td::instance().partsStockAvailable = true;
    }
    void cleanup()
    {
        clock::set({});
        Td::instance().partsStockAvailable = false;
        setPartsHook(nullptr);
        db::Connection::closeAll();
    }

    void defaultFilters()
    {
        const CompletionFilter ki = clearedFilter(CompletionMode::Document, today);
        QCOMPARE(ki.tervdTol + u'-' + ki.tervdIg, u"2030.05.01-2030.05.10"_s);
        QCOMPARE(ki.munkadTol + ki.munkadIg, QString());
        const CompletionFilter ok = clearedFilter(CompletionMode::Correct, today);
        QCOMPARE(ok.munkadTol + u'-' + ok.munkadIg, u"-2030.05.10"_s);
        QCOMPARE(ok.tervdTol + ok.tervdIg, QString());
    }

    void filterRefusals_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("to before from") << "2030.05.10"
                                        << "2030.05.01"
                                        << "Rossz intervallum."
                                        << "e_munkadig";
        QTest::newRow("compact to before from") << "2030.05.10"
                                                << "20300501"
                                                << "Rossz intervallum."
                                                << "e_munkadig";
        QTest::newRow("impossible date") << "2030.02.30"
                                         << ""
                                         << "Hibás dátum.\n2030.02.30"
                                         << "e_munkadtol";
        QTest::newRow("same day") << "2030.05.10"
                                  << "2030.05.10"
                                  << ""
                                  << "";
        QTest::newRow("open end") << "2030.05.10"
                                  << ""
                                  << ""
                                  << "";
    }
    void filterRefusals()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        CompletionFilter f;
        f.munkadTol = from;
        f.munkadIg = to;
        const std::optional<Refusal> r = checkFilter(f);
        QCOMPARE(r ? r->message : QString(), message);
        QCOMPARE(r ? r->focus : QString(), focus);
    }

    void listPerMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<CompletionFilter>("filter");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("jobs"); // job letters in list order
        CompletionFilter none;
        QTest::newRow("KI: every given-out job, by town and street")
            << int(CompletionMode::Document) << none << 0 << "b a c";
        CompletionFilter planned;
        planned.tervdTol = u"2030.05.06"_s;
        planned.tervdIg = u"20300507"_s;
        QTest::newRow("KI: planned range")
            << int(CompletionMode::Document) << planned << 0 << "b a";
        CompletionFilter technician;
        technician.szerelo = u"SZ2"_s;
        QTest::newRow("KI: planned technician")
            << int(CompletionMode::Document) << technician << 0 << "c";
        QTest::newRow("OK: performer") << int(CompletionMode::Correct) << technician << 0 << "e";
        CompletionFilter name;
        name.ugyfelNev = u"O'Br"_s;
        QTest::newRow("KI: a name with an apostrophe")
            << int(CompletionMode::Document) << name << 0 << "b";
        CompletionFilter town;
        town.varos = u"Vác"_s;
        QTest::newRow("KI: town") << int(CompletionMode::Document) << town << 0 << "a c";
        CompletionFilter worked;
        worked.munkadTol = u"2030.05.02"_s;
        QTest::newRow("OK: work date") << int(CompletionMode::Correct) << worked << 0 << "e";
        CompletionFilter sheet;
        sheet.munkaszam = u"M-9"_s;
        QTest::newRow("OK: job sheet") << int(CompletionMode::Correct) << sheet << 0 << "e";
        CompletionFilter type;
        type.tipus = 101;
        QTest::newRow("KI: appliance type") << int(CompletionMode::Document) << type << 0 << "c";
        // Ordered by the planned date's position (4), then by the job number's (26).
        QTest::newRow("KI: by planned date")
            << int(CompletionMode::Document) << none << 4 << "a b c";
        QTest::newRow("KI: by job number")
            << int(CompletionMode::Document) << none << 26 << "a b c";
    }
    void listPerMode()
    {
        QFETCH(int, mode);
        QFETCH(CompletionFilter, filter);
        QFETCH(int, order);
        QFETCH(QString, jobs);
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        std::map<int, QString> letters;
        letters[o.addJob(u"KI"_s, u"J"_s, {}, u"SZ1"_s, u"2030.05.06"_s)] = u"a"_s;
        // An activity and a type the dictionaries no longer hold: listed all the same.
        const int b = o.addJob(u"KI"_s, u"XX"_s, {}, u"SZ1"_s, u"2030.05.07"_s);
        db::execute(u"d_mivo"_s, u"UPDATE MUNKA SET UGYFEL = :u, TIPUS = 999 WHERE KOD = :k"_s,
                    {{u"u"_s, o.other}, {u"k"_s, b}});
        letters[b] = u"b"_s;
        const int c = o.addJob(u"KI"_s, u"KAR"_s, {}, u"SZ2"_s, u"2030.05.08"_s);
        const int third =
            scheduledata::addCustomer(o.db, u"Nagy Béla"_s, u"2600"_s, u"Vác"_s, u"Zöld u. 1"_s);
        db::execute(u"d_mivo"_s, u"UPDATE MUNKA SET TIPUS = 101, UGYFEL = :u WHERE KOD = :k"_s,
                    {{u"u"_s, third}, {u"k"_s, c}});
        letters[c] = u"c"_s;
        const int d = o.addDone(u"J"_s);
        db::execute(u"d_mivo"_s, u"UPDATE MUNKA SET MUNKAD = '2030.05.01' WHERE KOD = :k"_s,
                    {{u"k"_s, d}});
        letters[d] = u"d"_s;
        const int e = o.addDone(u"J"_s);
        db::execute(u"d_mivo"_s,
                    u"UPDATE MUNKA SET SZERELOM = 'SZ2', MUNKAD = '2030.05.03', MUNKASZAM = "
                    "'M-9' WHERE KOD = :k"_s,
                    {{u"k"_s, e}});
        letters[e] = u"e"_s;
        o.addJob(u"TOR"_s, u"J"_s);

        data::QueryModel list(u"d_mivo"_s, {{u"TERVD"_s, u"Terv. nap"_s}});
        QAbstractItemModelTester tester(&list);
        const SqlStatement s = completionListStatement(CompletionMode(mode), filter, order);
        QString error;
        QVERIFY2(list.read(s.sql, s.params, &error), qPrintable(error));
        QStringList got;
        for (int row = 0; row < list.rowCount(); ++row)
            got << letters[list.value(row, u"KOD"_s).toInt()];
        QCOMPARE(got.join(u' '), jobs);
    }

    void loadingInBothModes()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int given = o.addJob(u"KI"_s, u"J"_s, {{201, 2}});
        Completion c = load(given, CompletionMode::Document);
        QCOMPARE(c.munkad, day);
        QCOMPARE(c.szerelom + u' ' + c.szerelomNev, u"SZ1 Arany Béla"_s);
        QCOMPARE(c.szerelotNev, u"Arany Béla"_s);
        QCOMPARE(c.tevekenyseg, QString());
        QCOMPARE(c.hiba, u"Javítás"_s);
        QVERIFY(c.partsShown);
        QCOMPARE(c.customer, c.remembered);
        QCOMPARE(c.gyariszam, u"GY-1"_s);
        QCOMPARE(c.sheetSerial, QString());
        QVERIFY(!c.hasSheet());
        // No sheet yet: the own company is proposed as the commissioner.
        QCOMPARE(c.sheet[u"UZEMBEKOD"_s] + u'/' + c.sheet[u"UZEMBECEG"_s] + u'/' +
                     c.sheet[u"UZEMBEVAROS"_s],
                 u"VELKOR/Velkor Kft./Budapest"_s);
        QCOMPARE(c.parts.size(), size_t(1));
        QCOMPARE(c.parts[0].code + u' ' + c.parts[0].name + u' ' + c.parts[0].quantity,
                 u"A-1 Tömítés 2"_s);

        const int done = o.addDone(u"J"_s, {{202, 3}});
        db::execute(u"d_mivo"_s, u"UPDATE MUNKA_ALK SET GJSORSZAM = 2 WHERE KOD = :k"_s,
                    {{u"k"_s, done}});
        db::execute(u"d_mivo"_s, u"UPDATE MUNKA SET SZERELOM = 'SZ2' WHERE KOD = :k"_s,
                    {{u"k"_s, done}});
        o.addSheet();
        c = load(done, CompletionMode::Correct);
        QCOMPARE(c.munkaszam + u'/' + c.leirasm, u"M-1/Kész"_s);
        QCOMPARE(c.szerelom + u' ' + c.szerelomNev, u"SZ2 Bodó Ede"_s);
        QCOMPARE(c.tevekenyseg, u"Javítás"_s);
        // The stored quantity and coupon, not "1" and nothing.
        QCOMPARE(c.parts[0].quantity, u"3"_s);
        QCOMPARE(c.gjsorszam, u"2"_s);
        QCOMPARE(c.sheetNumber(), u"S-1"_s);
        QCOMPARE(c.sheetSerial, u"GY-1"_s);
        QCOMPARE(c.sheet[u"VIZNYOMAS"_s], u"1,5"_s);
        QCOMPARE(c.sheet[u"TELJMIN"_s], QString());
        QCOMPARE(c.sheet[u"UZEMBEKOD"_s], u"Y"_s);
    }

    void checksInOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<QString>("focus");
        const QList<int> none;
        QTest::newRow("no activity")
            << int(NoActivity) << none << QStringList{u"Válassza ki a munka jellegét!"_s} << false
            << "cb_tevekenys";
        QTest::newRow("impossible work date")
            << int(BadWorkDate) << none << QStringList{u"Hibás dátum.\n2030.02.30"_s} << false
            << "e_nap";
        QTest::newRow("letter not of the button")
            << int(BadLetter) << none << QStringList{u"Csak ezek a betűk elfogadhatók: IN"_s}
            << false << "e_kerkarb";
        QTest::newRow("output not a number")
            << int(BadNumber) << none << QStringList{u"Nem jó szám:24,5kW"_s} << false
            << "e_teljmin";
        QTest::newRow("quantity not whole")
            << int(BadQuantity) << none << QStringList{u"Nem jó szám:1,5"_s} << false
            << "sg_alkatresz";
        QTest::newRow("coupon not a number")
            << int(BadCoupon) << none << QStringList{u"Nem jó szám:x"_s} << false << "e_gjsorszam";
        QTest::newRow("commissioned already")
            << int(CommissionedAlready) << none
            << QStringList{u"Már be van üzemelve, a S-1 sz. lapon."_s} << false << "";
        QTest::newRow("no sheet number")
            << int(NoSheetNumber) << none << QStringList{u"Adja meg a beüzemelési lap sorszámot!"_s}
            << false << "e_sorszam";
        QTest::newRow("sheet number taken")
            << int(TakenSheetNumber) << none
            << QStringList{u"Van már ilyen beüzemelési lap sorszám."_s} << false << "e_sorszam";
        QTest::newRow("repair of an appliance never commissioned, its own serial")
            << int(NotCommissioned) << none
            << QStringList{u"Nincs beüzemelve a készülék!"_s, u"Tárolható?"_s} << true << "";
        QTest::newRow("serial change refused")
            << int(SerialChangeRefused) << QList<int>{1}
            << QStringList{u"Megváltoztatja a gyári számot?"_s} << false << "";
        QTest::newRow("duplicate serial refused")
            << int(DuplicateSerialRefused) << QList<int>{0, 1}
            << QStringList{u"Megváltoztatja a gyári számot?"_s,
                           u"Van már ilyen gyári szám.\nKészülék: K-200\nKazán 200\nÜgyfél: Kate "
                           "O'Brien\n1111 Budapest, Fő u. 9\nBiztos, hogy tároljuk?"_s}
            << false << "e_gyariszam";
        QTest::newRow("new owner refused") << int(NewOwnerRefused) << QList<int>{1}
                                           << QStringList{u"Nincs beüzemelve a készülék!"_s,
                                                          u"A készüléknek más tulajdonosa lesz?"_s}
                                           << false << "";
        QTest::newRow("not to be stored")
            << int(NotStorable) << QList<int>{1}
            << QStringList{u"Nincs beüzemelve a készülék!"_s, u"Tárolható?"_s} << false << "";
        QTest::newRow("every question, each Yes")
            << int(EverythingAsked) << none
            << QStringList{u"Megváltoztatja a gyári számot?"_s,
                           u"A készüléknek más tulajdonosa lesz?"_s, u"Tárolható?"_s}
            << true << "";
        QTest::newRow("correcting a commissioning without sheet")
            << int(CorrectingWithoutSheet) << none
            << QStringList{u"Adja meg a beüzemelési lap sorszámot!"_s} << false << "e_sorszam";
    }
    void checksInOrder()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, texts);
        QFETCH(bool, allowed);
        QFETCH(QString, focus);
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const bool sheet = kind == CommissionedAlready || kind == SerialChangeRefused ||
                           kind == DuplicateSerialRefused || kind == EverythingAsked;
        if (sheet)
            o.addSheet();
        const int kod =
            kind == CorrectingWithoutSheet ? o.addDone(u"ÜZ"_s) : o.addJob(u"KI"_s, u"J"_s);
        Completion c = load(kod, kind == CorrectingWithoutSheet ? CompletionMode::Correct
                                                                : CompletionMode::Document);
        c.tevekenyseg = u"Javítás"_s;
        switch (CheckCase(kind)) {
        case NoActivity:
            c.tevekenyseg.clear();
            break;
        case BadWorkDate:
            c.munkad = u"2030.02.30"_s;
            break;
        case BadLetter:
            c.sheet[u"KERKARB"_s] = u"X"_s;
            break;
        case BadNumber:
            c.sheet[u"TELJMIN"_s] = u"24,5kW"_s;
            break;
        case BadQuantity:
            c.parts = {part(u"A-1"_s, 201, u"1,5"_s)};
            break;
        case BadCoupon:
            c.gjsorszam = u"x"_s;
            break;
        case CommissionedAlready:
        case NoSheetNumber:
        case CorrectingWithoutSheet:
            c.tevekenyseg = u"Üzembe helyezés"_s;
            break;
        case TakenSheetNumber:
            db::execute(u"d_mivo"_s,
                        u"INSERT INTO BEUZLAP (SORSZAM, KESZULEK) VALUES ('S-9', 0)"_s);
            c.tevekenyseg = u"Üzembe helyezés"_s;
            c.sheet[u"SORSZAM"_s] = u"S-9"_s;
            break;
        case NotCommissioned:
        case NotStorable:
            break;
        case SerialChangeRefused:
            c.gyariszam = u"GY-5"_s;
            break;
        case DuplicateSerialRefused:
            o.addAppliance(o.other, 101, u"GY-7"_s);
            c.gyariszam = u"GY-7"_s;
            break;
        case NewOwnerRefused:
            c.customer.kod = o.other;
            break;
        case EverythingAsked:
            c.gyariszam = u"GY-5"_s;
            c.customer.kod = o.other;
            break;
        }
        ScriptedMessagesGuard messages;
        for (const int a : answers)
            messages->answers << a;
        const Activities a = activities();
        QString got;
        bool ok = false;
        if (const std::optional<Refusal> refusal = checkCompletionFields(c, a)) {
            messages->texts << refusal->message;
            got = refusal->focus;
        } else {
            ok = completionAllowed(c, a, &got);
        }
        QCOMPARE(messages->texts, texts);
        QCOMPARE(ok, allowed);
        QCOMPARE(got, focus);
        // Nothing was written.
        QCOMPARE(scalar(u"SELECT COUNT(*) FROM MUNKA WHERE MROGZDAT IS NOT NULL"_s).toInt(), 0);
    }

    void letterButtons()
    {
        QStringList pressed;
        QString value;
        for (int i = 0; i < 4; ++i)
            pressed << (value = nextLetter(value, u"I/N"_s));
        QCOMPARE(pressed, (QStringList{u"I"_s, u"/"_s, u"N"_s, u"I"_s}));
        QCOMPARE(nextLetter(u"X"_s, u"RU"_s), u"R"_s);
        QVERIFY(letterAccepted({}, u"IN"_s));
        QVERIFY(!letterAccepted(u"U"_s, u"IN"_s));
    }

    // A commissioning: every column of the new sheet, the appliance dated, the job done.
    void commissioningStore()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int kod = o.addJob(u"KI"_s, u"ÜZ"_s);
        Completion c = load(kod, CompletionMode::Document);
        QVERIFY(!c.partsShown);
        c.tevekenyseg = u"Üzembe helyezés"_s;
        c.munkaszam = u"M-77"_s;
        c.szamlaszam = u"SZ-1"_s;
        c.leirasm = u"Beüzemelve"_s;
        c.customer.telefon = u"06-30-111"_s;
        const std::map<QString, QString> typed = {
            {u"SORSZAM"_s, u"B-100"_s},
            {u"VASARLAS"_s, u"2030.04.01"_s},
            {u"GAZATVETEL"_s, u"20300420"_s},
            {u"TELJMIN"_s, u"24,5"_s},
            {u"TELJMAX"_s, u"30"_s},
            {u"TELJHMV"_s, u"28,2"_s},
            {u"EGONYOMASMIN"_s, u"1,5"_s},
            {u"EGONYOMASMAX"_s, u"12"_s},
            {u"EGONYOMASHMV"_s, u""_s},
            {u"VIZNYOMAS"_s, u"1,8"_s},
            {u"GAZNYOMAS"_s, u"25"_s},
            {u"GAZFAJTA"_s, u"G20"_s},
            {u"FUTESIREND"_s, u"R"_s},
            {u"MIKORI"_s, u"U"_s},
            {u"GAZ_ES_MEG"_s, u"Bojler"_s},
            {u"FELSZCEGKOD"_s, u"SZER1"_s},
            {u"FELSZCEG"_s, u"Szerelő Bt."_s},
            {u"FELSZIRSZAM"_s, u"2600"_s},
            {u"FELSZVAROS"_s, u"Vác"_s},
            {u"FELSZUTCA"_s, u"Gyár u. 2."_s},
            {u"KERKARB"_s, u"I"_s},
            {u"VIZKOKEZELO"_s, u"I"_s},
            {u"VIZKOKTIP"_s, u"Polifoszfát"_s},
            {u"ISZAPSZURO"_s, u"N"_s},
            {u"THKABEL"_s, u"I"_s},
            {u"ATMOSAS"_s, u"I"_s},
            {u"HMV"_s, u"N"_s},
            {u"SZAKVELEMENY"_s, u"/"_s},
            {u"EPH"_s, u"I"_s},
            {u"OXIDIFF"_s, u"N"_s},
            {u"GAZMEO"_s, u"I"_s},
            {u"TOMORSEG"_s, u"Rendben"_s},
            {u"FELSZ"_s, u"Fali"_s},
            {u"SZERELHETO"_s, u"Jó"_s},
            {u"EGESTERMEK"_s, u"Turbó"_s},
            {u"LEGELLATAS"_s, u"Zárt"_s},
            {u"ELEKTR"_s, u"Rendben"_s},
            {u"KOMMENT"_s, u"Első indítás"_s},
        };
        for (const auto& [column, value] : typed)
            c.sheet[column] = value;
        const CompletionResult r = store(c);
        QVERIFY2(r.ok(), qPrintable(r.message));

        const std::map<QString, QString> expected = {
            {u"SORSZAM"_s, u"B-100"_s},
            {u"KESZULEK"_s, QString::number(o.appliance)},
            {u"UGYFEL"_s, QString::number(o.customer)},
            {u"TIPUS"_s, u"100"_s},
            {u"GYARISZAM"_s, u"GY-1"_s},
            {u"VASARLAS"_s, u"2030.04.01"_s},
            {u"GAZATVETEL"_s, u"2030.04.20"_s},
            {u"TELJESITMENY"_s, u"24.5"_s},
            {u"TELJMIN"_s, u"24.5"_s},
            {u"TELJMAX"_s, u"30"_s},
            {u"TELJHMV"_s, u"28.2"_s},
            {u"EGONYOMASMIN"_s, u"1.5"_s},
            {u"EGONYOMASMAX"_s, u"12"_s},
            {u"EGONYOMASHMV"_s, u"0"_s},
            {u"VIZNYOMAS"_s, u"1.8"_s},
            {u"GAZNYOMAS"_s, u"25"_s},
            {u"GAZFAJTA"_s, u"G20"_s},
            {u"FUTESIREND"_s, u"R"_s},
            {u"MIKORI"_s, u"U"_s},
            {u"GAZ_ES_MEG"_s, u"Bojler"_s},
            {u"FELSZCEGKOD"_s, u"SZER1"_s},
            {u"FELSZCEG"_s, u"Szerelő Bt."_s},
            {u"FELSZIRSZAM"_s, u"2600"_s},
            {u"FELSZVAROS"_s, u"Vác"_s},
            {u"FELSZUTCA"_s, u"Gyár u. 2."_s},
            {u"UZEMBEKOD"_s, u"VELKOR"_s},
            {u"UZEMBECEG"_s, u"Velkor Kft."_s},
            {u"UZEMBEIRSZAM"_s, u"1111"_s},
            {u"UZEMBEVAROS"_s, u"Budapest"_s},
            {u"UZEMBEUTCA"_s, u"Fő u. 1."_s},
            {u"KERKARB"_s, u"I"_s},
            {u"VIZKOKEZELO"_s, u"I"_s},
            {u"VIZKOKTIP"_s, u"Polifoszfát"_s},
            {u"ISZAPSZURO"_s, u"N"_s},
            {u"ISZAPSZTIP"_s, u""_s},
            {u"THKABEL"_s, u"I"_s},
            {u"ATMOSAS"_s, u"I"_s},
            {u"HMV"_s, u"N"_s},
            {u"SZAKVELEMENY"_s, u"/"_s},
            {u"EPH"_s, u"I"_s},
            {u"OXIDIFF"_s, u"N"_s},
            {u"GAZMEO"_s, u"I"_s},
            {u"TOMORSEG"_s, u"Rendben"_s},
            {u"FELSZ"_s, u"Fali"_s},
            {u"SZERELHETO"_s, u"Jó"_s},
            {u"EGESTERMEK"_s, u"Turbó"_s},
            {u"LEGELLATAS"_s, u"Zárt"_s},
            {u"ELEKTR"_s, u"Rendben"_s},
            {u"SZLASZ"_s, u"SZ-1"_s},
            {u"ROGZDAT"_s, today},
            {u"BEUZEMELES"_s, day},
            {u"KOMMENT"_s, u"Első indítás"_s},
        };
        QCOMPARE(expected.size(), size_t(ApplianceRepository::sheetColumns().size()));
        for (const auto& [column, value] : expected)
            QCOMPARE(column + u'=' + field(u"BEUZLAP"_s, column, u"SORSZAM = 'B-100'"_s, {}),
                     column + u'=' + value);
        QCOMPARE(field(u"KESZULEK"_s, u"BEUZEMELES"_s, u"KOD = :k"_s, {{u"k"_s, o.appliance}}),
                 day);
        QCOMPARE(field(u"UGYFEL"_s, u"TELEFON"_s, u"KOD = :k"_s, {{u"k"_s, o.customer}}),
                 u"06-30-111"_s);
        const QStringList job = {u"ALLAPOT"_s,   u"MUNKAD"_s,     u"SZERELOM"_s, u"MUNKATEV"_s,
                                 u"MUNKASZAM"_s, u"SZAMLASZAM"_s, u"LEIRASM"_s,  u"MROGZDAT"_s,
                                 u"KULD"_s,      u"JUZER"_s};
        QStringList values;
        for (const QString& column : job)
            values << jobField(kod, column);
        QCOMPARE(values.join(u'|'),
                 u"OK|2030.05.06|SZ1|ÜZ|M-77|SZ-1|Beüzemelve|2030.05.10|0|anna"_s);
    }

    // Another workstation stores the sheet number after the checks: refused as a duplicate,
    // nothing written.
    void sheetNumberTakenMeanwhile()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int kod = o.addJob(u"KI"_s, u"ÜZ"_s);
        Completion c = load(kod, CompletionMode::Document);
        c.tevekenyseg = u"Üzembe helyezés"_s;
        c.sheet[u"SORSZAM"_s] = u"B-300"_s;
        ScriptedMessagesGuard messages;
        QString focus;
        QVERIFY(completionAllowed(c, activities(), &focus));
        QVERIFY(o.db.openConnection(u"other"_s));
        QVERIFY(db::execute(u"other"_s,
                            u"INSERT INTO BEUZLAP (SORSZAM, KESZULEK) VALUES ('B-300', 0)"_s));
        const CompletionResult r = store(c);
        QCOMPARE(r.status, CompletionResult::Failed);
        QCOMPARE(r.message, u"Van már ilyen beüzemelési lap sorszám."_s);
        QCOMPARE(r.focus, u"e_sorszam"_s);
        QCOMPARE(jobField(kod, u"ALLAPOT"_s), u"KI"_s);
        QCOMPARE(scalar(u"SELECT COUNT(*) FROM BEUZLAP"_s).toInt(), 1);
    }

    // A correction rewrites a changed sheet and leaves an untouched one alone.
    void sheetRewrittenOnlyWhenChanged()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        o.addSheet();
        psql(u"CREATE TRIGGER T_REWRITTEN FOR BEUZLAP BEFORE UPDATE AS BEGIN "
             "NEW.KOMMENT = OLD.KOMMENT || ' (újraírva)'; END"_s);
        const int kod = o.addDone(u"J"_s);
        QVERIFY(store(load(kod, CompletionMode::Correct)).ok());
        QCOMPARE(field(u"BEUZLAP"_s, u"KOMMENT"_s, u"SORSZAM = 'S-1'"_s, {}), u"eredeti"_s);

        Completion c = load(kod, CompletionMode::Correct);
        c.sheet[u"VIZNYOMAS"_s] = u"2,5"_s;
        QVERIFY(store(c).ok());
        QCOMPARE(field(u"BEUZLAP"_s, u"VIZNYOMAS"_s, u"SORSZAM = 'S-1'"_s, {}), u"2.5"_s);
        QCOMPARE(field(u"BEUZLAP"_s, u"KOMMENT || '/' || ROGZDAT"_s, u"SORSZAM = 'S-1'"_s, {}),
                 u"eredeti (újraírva)/2029.01.01"_s);
    }

    // A correction of a commissioning whose appliance has no sheet inserts it.
    void correctedCommissioningWithoutSheet()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int kod = o.addDone(u"ÜZ"_s);
        Completion c = load(kod, CompletionMode::Correct);
        c.sheet[u"SORSZAM"_s] = u"B-200"_s;
        QVERIFY(store(c).ok());
        QCOMPARE(field(u"BEUZLAP"_s, u"KESZULEK"_s, u"SORSZAM = 'B-200'"_s, {}),
                 QString::number(o.appliance));
    }

    // A repair changing the serial number keeps the appliance's commissioning date.
    void serialChangedByRepair()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        o.addSheet();
        const int kod = o.addDone(u"J"_s);
        Completion c = load(kod, CompletionMode::Correct);
        c.gyariszam = u"GY-5"_s;
        QVERIFY(store(c).ok());
        QCOMPARE(field(u"KESZULEK"_s, u"GYARISZAM || '/' || BEUZEMELES"_s, u"KOD = :k"_s,
                       {{u"k"_s, o.appliance}}),
                 u"GY-5/2020.01.01"_s);
        QCOMPARE(field(u"BEUZLAP"_s, u"GYARISZAM"_s, u"SORSZAM = 'S-1'"_s, {}), u"GY-5"_s);
    }

    // A new owner takes the appliance and this job; the customer's other job stays his.
    void ownerChange()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int kod = o.addJob(u"KI"_s, u"J"_s);
        const int later = o.addJob(u"KI"_s, u"KAR"_s, {}, u"SZ1"_s, u"2030.06.01"_s);
        Completion c = load(kod, CompletionMode::Document);
        c.tevekenyseg = u"Javítás"_s;
        c.customer = {o.other,      u"Kate O'Brien"_s,
                      u"1111"_s,    u"Budapest"_s,
                      u"Fő u. 9"_s, u"06-1-555"_s,
                      {},           {},
                      {},           {}};
        c.remembered = c.customer;
        QVERIFY(store(c).ok());
        QCOMPARE(field(u"KESZULEK"_s, u"UGYFEL"_s, u"KOD = :k"_s, {{u"k"_s, o.appliance}}),
                 QString::number(o.other));
        QCOMPARE(jobField(kod, u"UGYFEL"_s), QString::number(o.other));
        QCOMPARE(jobField(later, u"UGYFEL"_s), QString::number(o.customer));
    }

    void handoverMarker_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("from the SD program") << -1 << -1;
        QTest::newRow("handed over in batch 3") << 3 << 0;
        QTest::newRow("not handed over") << 0 << 0;
    }
    void handoverMarker()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int kod = o.addDone(u"KAR"_s);
        db::execute(u"d_mivo"_s, u"UPDATE MUNKA SET KULD = :v WHERE KOD = :k"_s,
                    {{u"v"_s, before}, {u"k"_s, kod}});
        QVERIFY(store(load(kod, CompletionMode::Correct)).ok());
        QCOMPARE(jobField(kod, u"KULD"_s).toInt(), after);
    }

    // Rows with quantity 0 or a code no part has are not recorded.
    void partsRowsThatCount()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int kod = o.addJob(u"KI"_s, u"J"_s);
        Completion c = load(kod, CompletionMode::Document);
        c.tevekenyseg = u"Javítás"_s;
        c.parts = {part(u"A-1"_s, 201, u"2"_s), part(u"A-2"_s, 202, u"0"_s),
                   part(u"X-9"_s, 0, u"1"_s)};
        c.gjsorszam = u"3"_s;
        QVERIFY(store(c).ok());
        db::Query q(u"d_mivo"_s);
        q.setSql(u"SELECT ALKATRESZ, MENNYISEG, GJSORSZAM, KESZULEK, TIPUS FROM MUNKA_ALK "
                 "WHERE KOD = :k"_s);
        q.bind(u"k"_s, kod);
        QVERIFY(q.exec() && q.first());
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.text(u"ALKATRESZ"_s) + u'/' + q.text(u"MENNYISEG"_s) + u'/' +
                     q.text(u"GJSORSZAM"_s) + u'/' + q.text(u"TIPUS"_s),
                 u"201/2/3/100"_s);
    }

    void stockPerMode_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("expected");
        QTest::newRow("planned = used") << "same"
                                        << "SZ1/A-1=0/3 SZ1/A-2=0/5";
        QTest::newRow("used differs") << "differs"
                                      << "SZ1/A-1=0/4 SZ1/A-2=0/4";
        QTest::newRow("another performer") << "other"
                                           << "SZ1/A-1=0/5 SZ1/A-2=0/5 SZ2/A-1=0/-2";
        QTest::newRow("parts page hidden") << "hidden"
                                           << "SZ1/A-1=0/5 SZ1/A-2=0/5";
        QTest::newRow("corrected twice") << "twice"
                                         << "SZ1/A-1=0/5 SZ1/A-2=0/5 SZ2/A-1=0/-3";
        QTest::newRow("stock feature off") << "off"
                                           << "SZ1/A-1=2/5 SZ1/A-2=0/5";
    }
    void stockPerMode()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, expected);
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        Td::instance().partsStockAvailable = scenario != u"off"_s;
        const int kod = o.addJob(u"KI"_s, u"J"_s, {{201, 2}});
        QCOMPARE(stock(), u"SZ1/A-1=2/5 SZ1/A-2=0/5"_s);
        if (scenario == u"null"_s)
            QVERIFY(o.db.exec(
                u"UPDATE ALK_KESZLET SET MENNYI = NULL, FOGLALT = NULL WHERE MI = 'A-1'"_s));
        Completion c = load(kod, CompletionMode::Document);
        c.tevekenyseg = scenario == u"hidden"_s ? u"Karbantartás"_s : u"Javítás"_s;
        c.partsShown = scenario != u"hidden"_s;
        if (scenario == u"differs"_s)
            c.parts = {part(u"A-1"_s, 201, u"1"_s), part(u"A-2"_s, 202, u"1"_s)};
        if (scenario == u"other"_s)
            c.szerelom = u"SZ2"_s;
        QVERIFY(store(c).ok());
        if (scenario == u"twice"_s) {
            // Corrected to 3 by the same technician, then to another one.
            Completion ok = load(kod, CompletionMode::Correct);
            ok.parts[0].quantity = u"3"_s;
            QVERIFY(store(ok).ok());
            QCOMPARE(stock(), u"SZ1/A-1=0/2 SZ1/A-2=0/5"_s);
            QVERIFY(store(load(kod, CompletionMode::Correct)).ok());
            QCOMPARE(stock(), u"SZ1/A-1=0/2 SZ1/A-2=0/5"_s);
            ok = load(kod, CompletionMode::Correct);
            ok.szerelom = u"SZ2"_s;
            QVERIFY(store(ok).ok());
        }
        QCOMPARE(stock(), expected);
        const int recorded =
            scalar(u"SELECT COUNT(*) FROM MUNKA_ALK WHERE KOD = :k"_s, {{u"k"_s, kod}}).toInt();
        QCOMPARE(recorded, scenario == u"differs"_s ? 2 : 1);
    }

    // Closed door: the job leaves its reservation; the new visit from "Zárt ajtós munkák"
    // holds it, and the recount finds nothing to correct.
    void closedDoorThenNewVisit()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int kod = o.addJob(u"KI"_s, u"J"_s, {{201, 2}});
        Completion c = load(kod, CompletionMode::Document);
        c.tevekenyseg = u"Zárt ajtó"_s;
        c.partsShown = false;
        QVERIFY(store(c).ok());
        QCOMPARE(jobField(kod, u"ALLAPOT"_s), u"ZA"_s);
        QCOMPARE(stock(), u"SZ1/A-1=0/5 SZ1/A-2=0/5"_s);
        QCOMPARE(scalar(u"SELECT COUNT(*) FROM MUNKA WHERE ALLAPOT = 'ZA'"_s).toInt(), 1);

        Talk_keszletfm parts;
        setPartsHook(&parts);
        QVERIFY(parts.prepare(kod, u"SZ1"_s).ok);
        Request r;
        r.baseMode = r.currentMode = RequestMode::Revisit;
        r.jobCode = kod;
        r.customer.kod = o.customer;
        r.customer.nev = u"Kiss Anna"_s;
        r.remembered = r.customer;
        r.keszulek = o.appliance;
        r.tipus = 100;
        r.tipusKod = u"K-100"_s;
        r.tevekenyseg = u"Javítás"_s;
        r.datum = u"2030.05.13"_s;
        r.dedu = u"De"_s;
        r.slot = {Slot::Grid, {2, 5}, u"SZ2"_s, r.datum, u"11"_s};
        r.ora = u"11"_s;
        r.loadedState = u"ZA"_s;
        r.loadedTechnician = u"SZ1"_s;
        r.loadedActivity = u"J"_s;
        const StoreResult visit = RequestStore().store(r);
        QVERIFY2(visit.ok(), qPrintable(visit.message));
        QCOMPARE(jobField(kod, u"ALLAPOT"_s), u"TAR"_s);
        QCOMPARE(jobField(r.jobCode, u"ALLAPOT"_s) + jobField(r.jobCode, u"SZERELOT"_s),
                 u"KISZ2"_s);
        QCOMPARE(stock(), u"SZ1/A-1=0/5 SZ1/A-2=0/5 SZ2/A-1=2/0"_s);
        const RecountResult recount = StockRecount().run(
            false, true, [](int, int, const QString&) {}, [](const QString&) {});
        QCOMPARE(recount.faulty, 0);
    }

    // A job planned as "TO" for the same visit is documented with the first one and its
    // reservation released; a job of another day stays.
    void sameVisit()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int first = o.addJob(u"KI"_s, u"J"_s);
        const int follow = o.addJob(u"KI"_s, u"TO"_s, {{202, 1}});
        db::execute(u"d_mivo"_s, u"UPDATE MUNKA SET KULD = -1 WHERE KOD = :k"_s,
                    {{u"k"_s, follow}});
        const int otherDay = o.addJob(u"KI"_s, u"TO"_s, {}, u"SZ1"_s, u"2030.05.07"_s);
        Completion c = load(first, CompletionMode::Document);
        c.tevekenyseg = u"Javítás"_s;
        c.leirasm = u"Egy látogatás"_s;
        QVERIFY(store(c).ok());
        const CompletionStore s;
        QString error;
        QCOMPARE(s.sameVisitCount(c, &error).value_or(-1), 1);
        QVERIFY(s.documentSameVisit(c, activities()).ok());
        QCOMPARE(jobField(follow, u"ALLAPOT || '/' || MUNKAD || '/' || SZERELOM || '/' || "
                                  "MUNKATEV || '/' || LEIRASM || '/' || KULD"_s),
                 u"OK/2030.05.06/SZ1/J/Egy látogatás/-1"_s);
        QCOMPARE(jobField(otherDay, u"ALLAPOT"_s), u"KI"_s);
        QCOMPARE(stock(), u"SZ1/A-1=0/5 SZ1/A-2=0/5"_s);

        // In mode "OK" the job itself belongs to its visit.
        QCOMPARE(s.sameVisitCount(load(first, CompletionMode::Correct), &error).value_or(-1), 2);
    }

    // A store failing at the second part (a trigger refuses it) leaves every table as it
    // was, and the screen keeps what was typed.
    void failureHalfWayChangesNothing()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        Office o(&server);
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        o.addSheet();
        const int kod = o.addJob(u"KI"_s, u"J"_s, {{201, 1}});
        psql(u"CREATE EXCEPTION E_MASODIK 'A második alkatrész nem írható.'"_s);
        psql(u"CREATE TRIGGER T_MASODIK FOR MUNKA_ALK BEFORE INSERT AS BEGIN "
             "IF (EXISTS(SELECT 1 FROM MUNKA_ALK WHERE KOD = NEW.KOD)) THEN EXCEPTION E_MASODIK; "
             "END"_s);
        const QString before = tables();

        ScriptedMessagesGuard messages;
        Telvegezfm screen;
        screen.prepare(u"KI"_s);
        QCOMPARE(screen.itemCount(), u"1"_s);
        screen.loadCurrent();
        screen.activityBox()->setCurrentText(u"Javítás"_s);
        screen.edit(u"e_gyariszam"_s)->setText(u"GY-5"_s);
        screen.edit(u"e_tel"_s)->setText(u"06-30-999"_s);
        screen.edit(u"e_viznyomas"_s)->setText(u"2,5"_s);
        screen.partsGrid()->item(1, 1)->setText(u"A-2"_s);
        screen.partsGrid()->item(1, 3)->setText(u"1"_s);
        screen.store();
        QVERIFY2(messages->texts.last().contains(u"A második alkatrész nem írható."_s),
                 qPrintable(messages->texts.join(u'\n')));
        QCOMPARE(tables(), before);
        QVERIFY(screen.editing());
        QCOMPARE(screen.edit(u"e_gyariszam"_s)->text(), u"GY-5"_s);
        QCOMPARE(screen.edit(u"e_tel"_s)->text(), u"06-30-999"_s);
        QCOMPARE(screen.partsGrid()->item(1, 2)->text(), u"Szelep"_s);
        QCOMPARE(jobField(kod, u"ALLAPOT"_s), u"KI"_s);
    }

    // Another workstation reserves and releases the part 1000 times while 50 jobs using it
    // are documented: every store succeeds and no stock move is lost.
    void documentingWhileAnotherReserves()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        Office o(&server);
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const int jobs = 50;
        std::vector<int> codes;
        for (int i = 0; i < jobs; ++i)
            codes.push_back(o.addJob(u"KI"_s, u"J"_s, {{201, 1}}));
        db::execute(u"d_mivo"_s,
                    u"UPDATE ALK_KESZLET SET MENNYI = 100 WHERE HOL = 'SZ1' AND MI = 'A-1'"_s);
        QCOMPARE(stock(), u"SZ1/A-1=50/100 SZ1/A-2=0/5"_s);
        std::vector<Completion> loaded;
        for (const int kod : codes) {
            loaded.push_back(load(kod, CompletionMode::Document));
            loaded.back().tevekenyseg = u"Javítás"_s;
        }
        const Activities a = activities();

        QProcess other;
        other.setProcessChannelMode(QProcess::MergedChannels);
        startWorker(other, workerVariable, o.db.location(), u"1000"_s);
        QVERIFY(other.waitForReadyRead(60000));
        QVERIFY(other.readLine().startsWith("ready"));
        int reruns = 0, most = 0;
        for (const Completion& c : loaded) {
            const CompletionResult r = CompletionStore().store(c, a);
            QVERIFY2(r.ok(), qPrintable(r.message));
            reruns += r.attempts - 1;
            most = std::max(most, r.attempts);
        }
        const bool overlapped = other.state() == QProcess::Running;
        QVERIFY(other.waitForFinished(600000));
        const QString output = QString::fromUtf8(other.readAll()).trimmed();
        qInfo("other workstation: %s; documenting: %d reruns (at most %d runs of a store), "
              "finished %s the other",
              qPrintable(output), reruns, most, overlapped ? "before" : "after");
        QVERIFY2(other.exitStatus() == QProcess::NormalExit && other.exitCode() == 0,
                 qPrintable(output));
        QCOMPARE(stock(), u"SZ1/A-1=0/50 SZ1/A-2=0/5"_s);
        QCOMPARE(scalar(u"SELECT COUNT(*) FROM MUNKA WHERE ALLAPOT = 'OK'"_s).toInt(), jobs);
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(workerVariable)) {
        QCoreApplication app(argc, argv);
        return worker();
    }
    QApplication app(argc, argv);
    TestCompletion test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_completion.moc"
