#include "core/clock.h"
#include "core/dat.h"
#include "exchange/sdhandover.h"
#include "platform/codepage.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fbdatabase.h"
#include "support/fbserver.h"
#include "support/sdfixture.h"
#include "support/testdb.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

extern "C" {
#include <paradox.h>
}

using namespace mivo;
using namespace mivo::exchange;
using namespace Qt::StringLiterals;

namespace
{

const char* const workerVariable = "MIVO_SDHANDOVER_WORKER";

// The SD program's tables whose structure the batch tables copy, and its sheets: 200 with
// two visits, 201 with all three.
const char* const sdRows[] = {
    // Sheets the SD program knows: 200 with two visits, 201 with all three.
    "INSERT INTO BEUZLAP (SORSZAM, GJSZKOD1, GJDATUM1, GJSZLASZ1, GJSZKOD2, GJDATUM2, GJSZLASZ2) "
    "VALUES ('200', 'S1', '2024.01.01', 'I1', 'S2', '2025.01.01', 'I2')",
    "INSERT INTO BEUZLAP (SORSZAM, GJDATUM1, GJDATUM2, GJDATUM3) VALUES ('201', '2021.01.01', "
    "'2022.01.01', '2023.01.01')",
};

// The application's rows: a type, a customer, appliances with sheets.
const char* const appRows[] = {
    "INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (1, 'K1', 'Thema Condens', 'K')",
    "INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (2, 'P1', 'Szelep', 'A')",
    "INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (3, 'P2', 'Tömítés', 'A')",
    "INSERT INTO UGYFEL (KOD, NEV, IRSZAM, VAROS, UTCA, TELEFON) VALUES (1, 'Vevő Vera', '2000', "
    "'Szentendre', 'Fő tér 2', '06-26-123-45-67 mobil')",
    "INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, GYARISZAM) VALUES (1, 1, 1, 'GY1')",
    "INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, GYARISZAM) VALUES (2, 1, 1, 'GY2')",
    "INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, GYARISZAM) VALUES (3, 1, 1, 'GY3')",
    "INSERT INTO BEUZLAP (SORSZAM, KESZULEK, UGYFEL, TIPUS, GYARISZAM, VASARLAS, BEUZEMELES, "
    "TELJESITMENY, FELSZCEG, FELSZIRSZAM, FELSZVAROS, FELSZUTCA) VALUES ('200', 1, 1, 1, 'GY1', "
    "'2023.05.06', '2023.06.01', 24.5, 'Szerelő Kft', '1111', 'Budapest', 'Fő utca 1')",
    "INSERT INTO BEUZLAP (SORSZAM, KESZULEK, UGYFEL, TIPUS, GYARISZAM) VALUES ('201', 2, 1, 1, "
    "'GY2')",
    "INSERT INTO BEUZLAP (SORSZAM, KESZULEK, UGYFEL, TIPUS, GYARISZAM) VALUES ('202', 3, 1, 1, "
    "'GY3')",
};

using Row = QMap<QString, QString>;

// Every record of a Paradox table as text by field name.
QList<Row> readParadox(const QString& path)
{
    QList<Row> rows;
    pxdoc_t* doc = PX_new();
    if (PX_open_file(doc, QFile::encodeName(path).constData()) != 0) {
        PX_delete(doc);
        return rows;
    }
    const int fieldCount = PX_get_num_fields(doc);
    pxfield_t* fields = PX_get_fields(doc);
    QByteArray record(PX_get_recordsize(doc), '\0');
    for (int r = 0; r < PX_get_num_records(doc); ++r) {
        if (!PX_get_record(doc, r, record.data()))
            break;
        char* data = record.data();
        Row row;
        for (int f = 0; f < fieldCount; ++f) {
            const pxfield_t& field = fields[f];
            QString value;
            if (field.px_ftype == pxfAlpha) {
                char* text = nullptr;
                if (PX_get_data_alpha(doc, data, field.px_flen, &text) > 0) {
                    value = fromWindows1250(QByteArray(text));
                    doc->free(doc, text);
                }
            } else if (field.px_ftype == pxfShort) {
                short s = 0;
                if (PX_get_data_short(doc, data, field.px_flen, &s) > 0)
                    value = QString::number(s);
            } else if (field.px_ftype == pxfLong) {
                long l = 0;
                if (PX_get_data_long(doc, data, field.px_flen, &l) > 0)
                    value = QString::number(l);
            } else if (field.px_ftype == pxfNumber) {
                double d = 0;
                if (PX_get_data_double(doc, data, field.px_flen, &d) > 0)
                    value = QString::number(d);
            }
            row[QString::fromLatin1(field.px_fname).toUpper()] = value;
            data += field.px_flen;
        }
        rows << row;
    }
    PX_close(doc);
    PX_delete(doc);
    return rows;
}

QString one(const QString& sql)
{
    QString error;
    const QVariant v = db::scalar(u"d_mivo"_s, sql, {}, &error);
    if (!error.isEmpty())
        qWarning() << error;
    return v.toString().trimmed();
}

bool createSd(const QString& location, QString* error)
{
    if (!db::createFirebirdDatabase(location, Td::builtinUser, Td::builtinPassword, error))
        return false;
    db::Connection& c = db::Connection::named(u"d_sd"_s);
    c.setParams({u"SERVER NAME="_s + location, u"USER NAME="_s + Td::builtinUser,
                 u"PASSWORD="_s + Td::builtinPassword});
    if (!c.open()) {
        *error = c.lastError();
        return false;
    }
    for (const char* sql : sdHandoverTables)
        if (!db::execute(u"d_sd"_s, QString::fromUtf8(sql), {}, error))
            return false;
    for (const char* sql : sdRows)
        if (!db::execute(u"d_sd"_s, QString::fromUtf8(sql), {}, error))
            return false;
    return true;
}

// One workstation: adds a commissioning job and hands over a new batch, rounds times.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    for (const auto& [name, location] :
         {std::pair{u"d_mivo"_s, args.value(0)}, std::pair{u"d_sd"_s, args.value(1)}}) {
        db::Connection& c = db::Connection::named(name);
        c.setParams({u"SERVER NAME="_s + location, u"USER NAME="_s + Td::builtinUser,
                     u"PASSWORD="_s + Td::builtinPassword});
        if (!c.open()) {
            out << "open: " << c.lastError() << Qt::endl;
            return 2;
        }
    }
    const int rounds = args.value(3).toInt();
    for (int i = 0; i < rounds; ++i) {
        QString error;
        if (!db::execute(u"d_mivo"_s,
                         u"INSERT INTO MUNKA (ALLAPOT, UGYFEL, KESZULEK, MUNKATEV, KULD) "
                         u"VALUES ('OK', 1, 1, 'ÜZ', 0)"_s,
                         {}, &error)) {
            out << "insert: " << error << Qt::endl;
            return 1;
        }
        SdHandover handover;
        if (!handover.writeNew(args.value(2), {}) && handover.error() != u"Nincs mit küldeni."_s) {
            out << "round " << i << ": " << handover.error() << Qt::endl;
            return 1;
        }
    }
    db::Connection::closeAll();
    return 0;
}

} // namespace

class TestSdHandover : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        QVERIFY2(createSd(m_dir.filePath(u"sd.fdb"_s), &error), qPrintable(error));
    }
    void cleanupTestCase() { db::Connection::named(u"d_sd"_s).close(); }

    // Two commissioning jobs, three coupon rows, no maintenance: two tables, the log row
    // with 2, 3, 0, the jobs marked; an imported job neither counts nor gets marked.
    void newBatchWritesMarksAndLogs()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        seed(db);
        db.exec(u"INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, SZERELOM, "
                u"MUNKAD, TELEFON, KULD) VALUES (1, 'OK', 1, 1, 1, 'ÜZ', 'T1', '2023.06.02', "
                u"'I', 0)"_s);
        db.exec(u"INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, SZERELOM, "
                u"MUNKAD, KULD) VALUES (2, 'OK', 1, 2, 1, 'ÜZ', 'T2', '2024.01.02', 0)"_s);
        db.exec(u"INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, SZERELOM, "
                u"MUNKAD, MUNKASZAM, KULD) VALUES (3, 'OK', 1, 1, 1, 'GJ', 'T1', '2024.02.03', "
                u"'ML1', 0)"_s);
        db.exec(u"INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, KULD) "
                u"VALUES (4, 'OK', 1, 3, 1, 'ÜZ', -1)"_s);
        for (const char* sql : {"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, GJSORSZAM) VALUES (3, "
                                "2, 7001)",
                                "INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, GJSORSZAM) VALUES (3, "
                                "3, 7002)",
                                "INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, GJSORSZAM) VALUES (3, "
                                "2, 7003)"})
            db.exec(QString::fromUtf8(sql));

        SdHandover handover;
        SdBatchCounts counts;
        QVERIFY(handover.count(0, &counts));
        QCOMPARE(counts.sheets, 2);
        QCOMPARE(counts.coupons, 3);
        QCOMPARE(counts.maintenance, 0);
        QVERIFY2(handover.writeNew(db.dir(), u"07"_s), qPrintable(handover.error()));
        QCOMPARE(handover.batch(), 1);

        const QString date = clock::now().toString(u"yyyy_MM_dd"_s);
        const QString dir = db.dir() + u"/KULD/"_s + date + u'/';
        const QString stamp = u"_1_"_s + QString(date).remove(u'_') + u".DB"_s;
        QCOMPARE(handover.files(),
                 (QStringList{dir + u"BEUZLAP"_s + stamp, dir + u"SZELVENY"_s + stamp}));
        QVERIFY(!QFile::exists(dir + u"GARKARB"_s + stamp));

        const QList<Row> sheets = readParadox(dir + u"BEUZLAP"_s + stamp);
        QCOMPARE(sheets.size(), 2);
        const Row& s = sheets[0];
        QCOMPARE(s[u"SORSZAM"_s], u"200"_s);
        QCOMPARE(s[u"TIPUS"_s], u"Thema Condens"_s);
        QCOMPARE(s[u"VEVONEV"_s], u"Vevő Vera"_s);
        // The customer's telephone cut to 15 characters, not the job's call-ahead flag.
        QCOMPARE(s[u"TELEFON"_s], u"06-26-123-45-67"_s);
        QCOMPARE(s[u"SZERELO"_s], u"T1"_s);
        QCOMPARE(s[u"BEUZEMELES"_s], u"2023.06.02"_s);
        QCOMPARE(s[u"BEUZEMELEV"_s], u"2023"_s);
        QCOMPARE(s[u"VASAREV"_s], u"2023"_s);
        QCOMPARE(s[u"FELSZCEGCIM"_s], u"1111,Budapest Fő utca 1"_s);
        QCOMPARE(s[u"TELJESITMENY"_s], u"24.5"_s);
        QCOMPARE(s[u"SZERVIZKP"_s], u"07"_s);
        QCOMPARE(s[u"ATAD"_s], u"0"_s);
        QCOMPARE(sheets[1][u"SORSZAM"_s], u"201"_s);

        QList<Row> coupons = readParadox(dir + u"SZELVENY"_s + stamp);
        QCOMPARE(coupons.size(), 3);
        QStringList got;
        for (const Row& c : coupons)
            got << c[u"SZELVENY"_s] + u'/' + c[u"ALKATRESZ"_s] + u'/' + c[u"MUNKALAP"_s] + u'/' +
                       c[u"EV"_s] + u'/' + c[u"ILLEGAL"_s] + u'/' + c[u"SORSZAM"_s];
        got.sort();
        QCOMPARE(got, (QStringList{u"7001/P1/ML1/2024/N/200"_s, u"7002/P2/ML1/2024/N/200"_s,
                                   u"7003/P1/ML1/2024/N/200"_s}));

        QCOMPARE(one(u"SELECT LIST(KULD, ',') FROM (SELECT KULD FROM MUNKA ORDER BY KOD)"_s),
                 u"1,1,1,-1"_s);
        QCOMPARE(one(u"SELECT SORSZAM || '|' || DATUM || '|' || BEUZLAP || '|' || SZELVENY || "
                     u"'|' || GARKARB FROM EXPORTLOG"_s),
                 u"1|"_s + date + u"|2|3|0"_s);

        // Nothing left: no table, no log row.
        QVERIFY(!handover.writeNew(db.dir(), {}));
        QCOMPARE(handover.error(), u"Nincs mit küldeni."_s);
        QCOMPARE(one(u"SELECT COUNT(*) FROM EXPORTLOG"_s), u"1"_s);

        // A repeat typed without choosing from the log: no date in the folder nor the names.
        QVERIFY2(handover.writeAgain(1, {}, db.dir(), {}), qPrintable(handover.error()));
        QCOMPARE(handover.files().value(0), db.dir() + u"/KULD/BEUZLAP_1_.DB"_s);
        QCOMPARE(readParadox(handover.files().value(0)).size(), 2);
        QCOMPARE(one(u"SELECT COUNT(*) FROM EXPORTLOG"_s), u"1"_s);
    }

    // The job takes the first visit place the SD sheet has free, a second job of the sheet
    // the place after it; with all three taken no row is written, but the job is marked all
    // the same.
    void maintenanceVisitPlaces()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        seed(db);
        for (int appliance = 1; appliance <= 3; ++appliance)
            db.exec(u"INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, "
                    u"SZERELOM, MUNKAD, SZAMLASZAM, MROGZDAT, KULD) VALUES (%1, 'OK', 1, %1, 1, "
                    u"'KAR', 'T9', '2026.05.0%1', 'SZ%1', '2026.05.1%1', 0)"_s.arg(appliance));
        // A second visit to sheet 202 in the same batch takes the place after the first.
        db.exec(u"INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, SZERELOM, "
                u"MUNKAD, SZAMLASZAM, KULD) VALUES (4, 'OK', 1, 3, 1, 'KAR', 'T8', '2026.06.01', "
                u"'SZ4', 0)"_s);
        SdHandover handover;
        QVERIFY2(handover.writeNew(db.dir(), {}), qPrintable(handover.error()));
        QCOMPARE(handover.files().size(), 1);
        const QList<Row> rows = readParadox(handover.files().value(0));
        QCOMPARE(rows.size(), 3);
        const Row& known = rows[0];
        QCOMPARE(known[u"SORSZAM"_s], u"200"_s);
        QCOMPARE(known[u"GJSZKOD1"_s] + known[u"GJDATUM1"_s] + known[u"GJSZLASZ1"_s],
                 u"S12024.01.01I1"_s);
        QCOMPARE(known[u"GJSZKOD2"_s] + known[u"GJDATUM2"_s] + known[u"GJSZLASZ2"_s],
                 u"S22025.01.01I2"_s);
        QCOMPARE(known[u"GJSZKOD3"_s] + known[u"GJDATUM3"_s] + known[u"GJSZLASZ3"_s],
                 u"T92026.05.01SZ1"_s);
        QCOMPARE(known[u"ROGZDAT"_s], u"2026.05.11"_s);
        // Sheet 202 is unknown to the SD program: place 1, the others empty.
        const Row& unknown = rows[1];
        QCOMPARE(unknown[u"SORSZAM"_s], u"202"_s);
        QCOMPARE(unknown[u"GJSZKOD1"_s] + unknown[u"GJDATUM1"_s], u"T92026.05.03"_s);
        QCOMPARE(unknown[u"GJDATUM2"_s] + unknown[u"GJDATUM3"_s], u""_s);
        const Row& again = rows[2];
        QCOMPARE(again[u"SORSZAM"_s], u"202"_s);
        QCOMPARE(again[u"GJSZKOD1"_s] + again[u"GJDATUM1"_s] + again[u"GJSZLASZ1"_s],
                 u"T92026.05.03SZ3"_s);
        QCOMPARE(again[u"GJSZKOD2"_s] + again[u"GJDATUM2"_s] + again[u"GJSZLASZ2"_s],
                 u"T82026.06.01SZ4"_s);
        QCOMPARE(again[u"GJDATUM3"_s], u""_s);
        QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA WHERE KULD = 1"_s), u"4"_s);
        QCOMPARE(one(u"SELECT GARKARB FROM EXPORTLOG"_s), u"4"_s);
    }

    // Two workstations hand over batches at the same time: no number is given twice, every
    // job lands in exactly one batch and the log counts add up.
    void twoWorkstationsNumberBatches()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        TestDb db(TestDb::allOptional(), u"d_mivo"_s, &server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        seed(db);
        QTemporaryDir sdDir;
        db::Connection::named(u"d_sd"_s).close();
        const QString sdLocation = server.location(sdDir.filePath(u"sd.fdb"_s));
        QVERIFY2(createSd(sdLocation, &error), qPrintable(error));
        db::Connection::named(u"d_sd"_s).close();

        const int rounds = 12;
        QProcess workers[2];
        int n = 0;
        for (QProcess& w : workers) {
            w.setProcessChannelMode(QProcess::MergedChannels);
            startWorker(w, workerVariable, db.location(),
                        sdLocation + u';' + db.dir() + u"/ws"_s + QString::number(++n) + u';' +
                            QString::number(rounds));
        }
        for (QProcess& w : workers) {
            QVERIFY(w.waitForFinished(300000));
            const QString output = QString::fromUtf8(w.readAll()).trimmed();
            QVERIFY2(w.exitStatus() == QProcess::NormalExit && w.exitCode() == 0,
                     qPrintable(output));
        }
        QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA WHERE KULD = 0"_s), u"0"_s);
        QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA"_s), QString::number(2 * rounds));
        // Every batch is logged once with the jobs it marked.
        QCOMPARE(one(u"SELECT COUNT(*) FROM (SELECT KULD FROM MUNKA GROUP BY KULD) A "
                     u"FULL JOIN EXPORTLOG E ON E.SORSZAM = A.KULD "
                     u"WHERE A.KULD IS NULL OR E.SORSZAM IS NULL"_s),
                 u"0"_s);
        QCOMPARE(one(u"SELECT COUNT(*) FROM EXPORTLOG E WHERE CAST(E.BEUZLAP AS INTEGER) <> "
                     u"(SELECT COUNT(*) FROM MUNKA M WHERE M.KULD = E.SORSZAM)"_s),
                 u"0"_s);
    }

private:
    void seed(TestDb& db)
    {
        for (const char* sql : appRows)
            db.exec(QString::fromUtf8(sql));
    }

    QTemporaryDir m_dir;
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(workerVariable))
        return worker();
    TestSdHandover test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sdhandover.moc"
