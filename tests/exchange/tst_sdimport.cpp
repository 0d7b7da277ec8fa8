#include "core/dat.h"
#include "exchange/sdimport.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fbdatabase.h"
#include "support/sdfixture.h"
#include "support/testdb.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mivo;
using namespace mivo::exchange;
using namespace Qt::StringLiterals;

namespace
{

QString one(const QString& sql, const std::map<QString, QVariant>& params = {})
{
    QString error;
    const QVariant v = db::scalar(u"d_mivo"_s, sql, params, &error);
    if (!error.isEmpty())
        qWarning() << error;
    return v.toString().trimmed();
}

} // namespace

class TestSdImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void splitsAddresses_data();
    void splitsAddresses();
    void importsTechniciansArticlesAndSheets();
    void laterRunGivesProvisionalArticleItsCode();
    void technicianListFromOwnActiveTechnicians();
    void clearingEmptiesTargetsAndKeepsOtherArticles();
    void provisionalCodesContinueAndRenameOneRow();
    void datesOfDateColumns();
    void clearingProbesTheSourceFirst();
    void rejectedRowStopsAfterWholeSheets();
    void cleanupTestCase();

private:
    QTemporaryDir m_dir;
};

void TestSdImport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(u"sd.fdb"_s);
    QString error;
    QVERIFY2(db::createFirebirdDatabase(path, Td::builtinUser, Td::builtinPassword, &error),
             qPrintable(error));
    QVERIFY(Td::instance().connect(Td::Sd, path));
    for (const char* sql : sdImportFixture)
        QVERIFY2(db::execute(u"d_sd"_s, QString::fromUtf8(sql), {}, &error), qPrintable(error));
}

void TestSdImport::cleanupTestCase()
{
    db::Connection::named(u"d_sd"_s).close();
}

void TestSdImport::splitsAddresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("postalCode");
    QTest::addColumn<QString>("city");
    QTest::addColumn<QString>("street");
    QTest::newRow("code city comma street")
        << u"1111 Budapest, Fő utca 1"_s << u"1111"_s << u"Budapest"_s << u"Fő utca 1"_s;
    QTest::newRow("no leading digit")
        << u"Szeged Kossuth tér 3"_s << u""_s << u"Szeged"_s << u"Kossuth tér 3"_s;
    QTest::newRow("separators before city")
        << u"2000., Szentendre.Fő tér"_s << u"2000"_s << u"Szentendre"_s << u"Fő tér"_s;
    QTest::newRow("empty") << u""_s << u""_s << u""_s << u""_s;
}

void TestSdImport::splitsAddresses()
{
    QFETCH(QString, text);
    const SdAddress a = SdImport::splitAddress(text);
    QTEST(a.postalCode, "postalCode");
    QTEST(a.city, "city");
    QTEST(a.street, "street");
}

void TestSdImport::importsTechniciansArticlesAndSheets()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    // An appliance type whose name differs from the SD text only in "Új".
    db.exec(u"INSERT INTO ARU (KOD, NEV, JELLEG) VALUES ('X1', 'Thema Új', 'K')"_s);
    SdImport import;
    SdImportOptions o;
    o.technicians = true;
    o.serviceCentre = u"07"_s;
    o.technicianList = u"T1,T2,"_s;
    o.ownCompany = u"VEL"_s;
    o.user = u"ADMIN"_s;
    QVERIFY2(import.run(o), qPrintable(import.error()));

    // Technicians: own ones get the company code; "T1" does not make "T10" own.
    QCOMPARE(one(u"SELECT COUNT(*) FROM SZERELO"_s), u"3"_s);
    QCOMPARE(one(u"SELECT CEGKOD FROM SZERELO WHERE KOD='T1'"_s), u"VEL"_s);
    QCOMPARE(one(u"SELECT CEGKOD FROM SZERELO WHERE KOD='T2'"_s), u"VEL"_s);
    QCOMPARE(one(u"SELECT COALESCE(CEGKOD,'') FROM SZERELO WHERE KOD='T10'"_s), u""_s);
    QCOMPARE(import.counts().technicianNew, 3);

    // Articles: provisional codes, duplicate codes, groups and the deleted flag.
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE NEV='Tömítés'"_s), u"Kod001"_s);
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE NEV='Csavar'"_s), u"Kod002"_s);
    QCOMPARE(one(u"SELECT AKTIV FROM ARU WHERE NEV='Csavar'"_s), u"N"_s);
    QCOMPARE(one(u"SELECT CSOPORT2 FROM ARU WHERE NEV='Tömítés'"_s), u"A"_s);
    QCOMPARE(one(u"SELECT CSOPORT2 FROM ARU WHERE NEV='Csavar'"_s), u"X"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM ARU WHERE KOD='P1'"_s), u"1"_s);
    QCOMPARE(one(u"SELECT NEV2 FROM ARU WHERE KOD='K1'"_s), u"Saunier Duval"_s);
    QVERIFY(import.log().contains(u"Új tétel: Kod001 Tömítés"_s));

    // Sheets: the own technicians' sheets of the service centre, "T10" left out.
    QCOMPARE(import.counts().sheets, 2);
    QCOMPARE(one(u"SELECT COUNT(*) FROM BEUZLAP"_s), u"2"_s);
    const QString type = one(u"SELECT BELSOKOD FROM ARU WHERE KOD='X1'"_s);
    QCOMPARE(one(u"SELECT TIPUS FROM BEUZLAP WHERE SORSZAM='100'"_s), type);
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE NEV='Ismeretlen típus'"_s), u"Beüz001"_s);
    QCOMPARE(one(u"SELECT FELSZIRSZAM || '|' || FELSZVAROS || '|' || FELSZUTCA FROM BEUZLAP "
                 u"WHERE SORSZAM='100'"_s),
             u"1111|Budapest|Fő utca 1"_s);
    QCOMPARE(one(u"SELECT UZEMBEVAROS FROM BEUZLAP WHERE SORSZAM='100'"_s), u"Gázszerviz"_s);
    QCOMPARE(one(u"SELECT TELJESITMENY FROM BEUZLAP WHERE SORSZAM='100'"_s), u"24.5"_s);
    QCOMPARE(one(u"SELECT UGYFEL FROM BEUZLAP WHERE SORSZAM='101'"_s), u"0"_s);
    const QString customer = one(u"SELECT KOD FROM UGYFEL WHERE NEV='Vevő Vera'"_s);
    QCOMPARE(one(u"SELECT KOMMENT FROM UGYFEL WHERE KOD=:k"_s, {{u"k"_s, customer}}), u"new"_s);

    // Jobs of sheet 100: commissioning, visits 1 and 3, three coupons; all finished, -1.
    const QString appliance = one(u"SELECT KESZULEK FROM BEUZLAP WHERE SORSZAM='100'"_s);
    db::Query jobs;
    jobs.setSql(u"SELECT MUNKATEV, MUNKASZAM, MUNKAD, SZERELOM, LEIRASM, ALLAPOT, KULD, JUZER "
                u"FROM MUNKA WHERE KESZULEK=:k ORDER BY KOD"_s);
    jobs.bind(u"k"_s, appliance);
    QVERIFY2(jobs.exec(), qPrintable(jobs.lastError()));
    QStringList got;
    while (jobs.next()) {
        QCOMPARE(jobs.text(u"ALLAPOT"_s), u"OK"_s);
        QCOMPARE(jobs.integer(u"KULD"_s), -1);
        QCOMPARE(jobs.text(u"JUZER"_s), u"ADMIN"_s);
        got << jobs.text(u"MUNKATEV"_s) + u'/' + jobs.text(u"MUNKASZAM"_s) + u'/' +
                   jobs.text(u"MUNKAD"_s) + u'/' + jobs.text(u"SZERELOM"_s) + u'/' +
                   jobs.text(u"LEIRASM"_s);
    }
    QCOMPARE(got, (QStringList{u"ÜZ/new/2024.03.01/T1/100 / GY1"_s,
                               u"KAR/newg1/2025.03.01/T1/SZ1"_s, u"KAR/newg3/2027.03.01/T2/SZ3"_s,
                               u"GJ/ML1234/2024.06.01/T1/new5001. szelvény"_s,
                               u"GJ/ML2/2024.06.02/T1/new5002. szelvény"_s,
                               u"GJ/ML3/2024.06.03/T2/new5003. szelvény"_s}));
    QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA_ALK A JOIN MUNKA M ON M.KOD=A.KOD WHERE "
                 u"M.MUNKATEV='GJ' AND A.MENNYISEG=1 AND A.KESZULEK=:k"_s,
                 {{u"k"_s, appliance}}),
             u"3"_s);
    // A coupon's unknown part becomes an article.
    QCOMPARE(one(u"SELECT JELLEG || NEV FROM ARU WHERE KOD='P9'"_s), u"AP9"_s);
    QCOMPARE(one(u"SELECT GJSORSZAM FROM MUNKA_ALK A JOIN ARU R ON R.BELSOKOD=A.ALKATRESZ "
                 u"WHERE R.KOD='P9'"_s),
             u"5002"_s);
}

void TestSdImport::laterRunGivesProvisionalArticleItsCode()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    SdImport import;
    SdImportOptions o;
    o.applianceTypes = o.sheets = false;
    o.technicianList = u"T1,"_s;
    QVERIFY2(import.run(o), qPrintable(import.error()));
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE NEV='Tömítés'"_s), u"Kod001"_s);

    QString error;
    QVERIFY(db::execute(u"d_sd"_s, u"UPDATE ARU SET KOD='P0' WHERE NEV='Tömítés'"_s, {}, &error));
    QVERIFY2(import.run(o), qPrintable(import.error()));
    db::execute(u"d_sd"_s, u"UPDATE ARU SET KOD='' WHERE NEV='Tömítés'"_s, {}, &error);
    QCOMPARE(one(u"SELECT COUNT(*) FROM ARU WHERE NEV='Tömítés'"_s), u"1"_s);
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE NEV='Tömítés'"_s), u"P0"_s);
    QVERIFY(import.log().contains(u"Rendes kódot kapott: Kod001 -> P0"_s));
    // The article still without a code keeps its provisional code and is not doubled.
    QCOMPARE(one(u"SELECT COUNT(*) FROM ARU WHERE NEV='Csavar'"_s), u"1"_s);
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE NEV='Csavar'"_s), u"Kod002"_s);
    QCOMPARE(import.counts().partNew, 0);
}

void TestSdImport::technicianListFromOwnActiveTechnicians()
{
    SdImport import;
    SdImportOptions o;
    o.applianceTypes = o.parts = false;
    o.serviceCentre = u"07"_s;
    o.ownCompany = u"VEL"_s;
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db.exec(u"DELETE FROM SZERELO"_s);
        // An empty SZERELO table: no technician condition, every sheet of the centre comes.
        QVERIFY2(import.run(o), qPrintable(import.error()));
        QCOMPARE(import.technicianList(), u""_s);
        QCOMPARE(import.counts().sheets, 3);
    }
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db.exec(u"DELETE FROM SZERELO"_s);
        db.exec(u"INSERT INTO SZERELO (KOD, AKTIV, CEGKOD) VALUES ('T10', 'I', 'VEL')"_s);
        db.exec(u"INSERT INTO SZERELO (KOD, AKTIV, CEGKOD) VALUES ('T1', 'N', 'VEL')"_s);
        db.exec(u"INSERT INTO SZERELO (KOD, AKTIV, CEGKOD) VALUES ('T2', 'I', 'MAS')"_s);
        QVERIFY2(import.run(o), qPrintable(import.error()));
        QCOMPARE(import.technicianList(), u"T10,"_s);
        QCOMPARE(import.counts().sheets, 1);
    }
}

void TestSdImport::clearingEmptiesTargetsAndKeepsOtherArticles()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (50, 'SZ1', 'Kiszállás', 'S')"_s);
    db.exec(u"INSERT INTO ARU (KOD, NEV, JELLEG) VALUES ('P1', 'Szelep', 'A')"_s);
    db.exec(u"INSERT INTO SZERELO (KOD, NEV, AKTIV) VALUES ('T1', 'Régi', 'I')"_s);
    db.exec(u"INSERT INTO UGYFEL (NEV) VALUES ('Régi ügyfél')"_s);
    db.exec(u"INSERT INTO MUNKA (ALLAPOT, KULD) VALUES ('OK', 0)"_s);
    db.exec(u"INSERT INTO MUNKA_LOG (KOD, JUZER) VALUES (1, 'REGI')"_s);
    db.exec(u"INSERT INTO LEVELKE (UGYFEL, MIKOR) VALUES (1, '2020.01.01')"_s);
    SdImport import;
    SdImportOptions o;
    o.technicians = o.clear = true;
    o.serviceCentre = u"07"_s;
    o.technicianList = u"T1,T2,"_s;
    // Every source row is inserted: the old technician T1 went with the clearing.
    QVERIFY2(import.run(o), qPrintable(import.error()));
    QVERIFY(import.log().contains(u"Meglévő adatokat töröljük."_s));
    QCOMPARE(one(u"SELECT NEV FROM SZERELO WHERE KOD='T1'"_s), u"Kiss Béla"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM UGYFEL WHERE NEV='Régi ügyfél'"_s), u"0"_s);
    QCOMPARE(one(u"SELECT MIN(KOD) FROM MUNKA"_s), u"1"_s);
    // Job 1 and customer 1 are new rows: the old ones' history and letters went with them.
    QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA_LOG WHERE JUZER = 'REGI'"_s), u"0"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM LEVELKE"_s), u"0"_s);
    // The service article stays and the new articles' keys come after it.
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE BELSOKOD=50"_s), u"SZ1"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM ARU WHERE KOD='P1'"_s), u"1"_s);
    QCOMPARE(one(u"SELECT MIN(BELSOKOD) FROM ARU WHERE JELLEG<>'S'"_s), u"51"_s);
}

// Provisional codes continue after the highest "Kod" of any article; a real code renames
// the row found by name, not another article that carries the same provisional code.
void TestSdImport::provisionalCodesContinueAndRenameOneRow()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (900, 'Kod041', 'Régi', "
            u"'K')"_s);
    db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (901, 'Kod041', 'Tömítés', "
            u"'A')"_s);
    SdImport import;
    SdImportOptions o;
    o.applianceTypes = o.sheets = false;
    o.technicianList = u"T1,"_s;
    QVERIFY2(import.run(o), qPrintable(import.error()));
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE NEV='Csavar'"_s), u"Kod042"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM ARU WHERE NEV='Tömítés'"_s), u"1"_s);

    QString error;
    QVERIFY(db::execute(u"d_sd"_s, u"UPDATE ARU SET KOD='P0' WHERE NEV='Tömítés'"_s, {}, &error));
    const bool ran = import.run(o);
    db::execute(u"d_sd"_s, u"UPDATE ARU SET KOD='' WHERE NEV='Tömítés'"_s, {}, &error);
    QVERIFY2(ran, qPrintable(import.error()));
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE BELSOKOD=901"_s), u"P0"_s);
    QCOMPARE(one(u"SELECT KOD FROM ARU WHERE BELSOKOD=900"_s), u"Kod041"_s);
    QVERIFY(import.log().contains(u"Rendes kódot kapott: Kod041 -> P0"_s));
}

namespace
{

// A generated SD database of 30 sheets on connection d_sdgen, in a folder of the test.
bool generatedSd(const QString& dir, QString* error)
{
    const QString path = dir + u"/sdgen.fdb"_s;
    db::Connection::named(u"d_sdgen"_s).close();
    QFile::remove(path);
    if (!db::createFirebirdDatabase(path, Td::builtinUser, Td::builtinPassword, error))
        return false;
    db::Connection& c = db::Connection::named(u"d_sdgen"_s);
    c.setParams({u"SERVER NAME="_s + path, u"USER NAME="_s + Td::builtinUser,
                 u"PASSWORD="_s + Td::builtinPassword});
    if (!c.open()) {
        *error = c.lastError();
        return false;
    }
    return createSdScale(u"d_sdgen"_s, {30, 10, 20, 3}, error);
}

SdImportOptions sheetsOnly()
{
    SdImportOptions o;
    o.applianceTypes = o.parts = false;
    o.serviceCentre = u"07"_s;
    o.technicianList = u"S01,S02,S03,"_s;
    return o;
}

} // namespace

// DATE columns of the SD program come over as the application's date texts, and the date
// range is compared as dates.
void TestSdImport::datesOfDateColumns()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QString error;
    QVERIFY2(generatedSd(m_dir.path(), &error), qPrintable(error));
    SdImport import(u"d_mivo"_s, u"d_sdgen"_s);
    SdImportOptions o = sheetsOnly();
    o.from = u"2020.01.05"_s;
    o.to = u"2020.01.07"_s;
    QVERIFY2(import.run(o), qPrintable(import.error()));
    db::Connection::named(u"d_sdgen"_s).close();
    QCOMPARE(import.counts().sheets, 3);
    QCOMPARE(one(u"SELECT LIST(SORSZAM, ',') FROM (SELECT SORSZAM FROM BEUZLAP ORDER BY 1)"_s),
             u"000004,000005,000006"_s);
    QCOMPARE(one(u"SELECT BEUZEMELES || '|' || VASARLAS || '|' || MIKORI FROM BEUZLAP WHERE "
                 u"SORSZAM='000004'"_s),
             u"2020.01.05|2020.01.05|I"_s);
    QCOMPARE(one(u"SELECT LIST(MUNKAD, ',') FROM (SELECT M.MUNKAD FROM MUNKA M JOIN BEUZLAP B "
                 u"ON B.KESZULEK = M.KESZULEK WHERE B.SORSZAM = '000004' ORDER BY M.KOD)"_s),
             u"2020.01.05,2021.01.05,2022.01.05"_s);
}

// An SD source without a column the run reads stops the clearing before anything goes.
void TestSdImport::clearingProbesTheSourceFirst()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    db.exec(u"INSERT INTO UGYFEL (NEV) VALUES ('Régi ügyfél')"_s);
    db.exec(u"INSERT INTO ARU (KOD, NEV, JELLEG) VALUES ('P1', 'Szelep', 'A')"_s);
    QString error;
    QVERIFY2(generatedSd(m_dir.path(), &error), qPrintable(error));
    QVERIFY(db::execute(u"d_sdgen"_s, u"ALTER TABLE SZELVENY DROP MUNKALAP"_s, {}, &error));
    SdImport import(u"d_mivo"_s, u"d_sdgen"_s);
    SdImportOptions o = sheetsOnly();
    o.clear = o.parts = true;
    QVERIFY(!import.run(o));
    db::Connection::named(u"d_sdgen"_s).close();
    QVERIFY2(import.error().contains(u"MUNKALAP"_s), qPrintable(import.error()));
    QVERIFY(!import.log().contains(u"Meglévő adatokat töröljük."_s));
    QCOMPARE(one(u"SELECT COUNT(*) FROM UGYFEL WHERE NEV = 'Régi ügyfél'"_s), u"1"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM ARU WHERE KOD = 'P1'"_s), u"1"_s);
}

// A row the database refuses in the middle of sheet 20 (a part code longer than the
// article code): the sheets before it are whole, sheet 20 left nothing (not its new type,
// customer, appliance, sheet or jobs), and the log stops before "Kész.".
void TestSdImport::rejectedRowStopsAfterWholeSheets()
{
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QString error;
    QVERIFY2(generatedSd(m_dir.path(), &error), qPrintable(error));
    const QString tooLong = QString(31, u'X');
    QVERIFY(db::execute(u"d_sdgen"_s,
                        u"UPDATE BEUZLAP SET TIPUS = 'Egyedi típus' WHERE SORSZAM = '000020'"_s, {},
                        &error));
    QVERIFY(db::execute(u"d_sdgen"_s,
                        u"INSERT INTO SZELVENY VALUES ('000020', 900, :p, '2021.01.01', 'S01', "
                        u"'ML')"_s,
                        {{u"p"_s, tooLong}}, &error));
    SdImport import(u"d_mivo"_s, u"d_sdgen"_s);
    SdImportOptions o = sheetsOnly();
    QVERIFY(!import.run(o));
    db::Connection::named(u"d_sdgen"_s).close();
    QVERIFY(!import.error().isEmpty());
    QCOMPARE(import.log().last(), u"Tételszám: 30"_s);
    QCOMPARE(import.counts().applianceNew, 19);

    // Sheets 1-19 with one customer each, their appliance and jobs; no orphans.
    QCOMPARE(one(u"SELECT COUNT(*) || '/' || MAX(SORSZAM) FROM BEUZLAP"_s), u"19/000019"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM UGYFEL WHERE NEV STARTING WITH 'Vevő'"_s), u"19"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM KESZULEK"_s), u"19"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM KESZULEK K WHERE NOT EXISTS (SELECT 1 FROM BEUZLAP B "
                 u"WHERE B.KESZULEK = K.KOD AND B.UGYFEL = K.UGYFEL)"_s),
             u"0"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA M WHERE NOT EXISTS (SELECT 1 FROM BEUZLAP B WHERE "
                 u"B.KESZULEK = M.KESZULEK AND B.UGYFEL = M.UGYFEL AND B.TIPUS = M.TIPUS)"_s),
             u"0"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA WHERE MUNKATEV = 'ÜZ'"_s), u"19"_s);
    // Visits on every second, fourth and eighth sheet of 1-19.
    QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA WHERE MUNKATEV = 'KAR'"_s), u"15"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA M JOIN MUNKA_ALK A ON A.KOD = M.KOD WHERE "
                 u"M.MUNKATEV = 'GJ' AND A.KESZULEK = M.KESZULEK"_s),
             one(u"SELECT COUNT(*) FROM MUNKA WHERE MUNKATEV = 'GJ'"_s));
    QCOMPARE(one(u"SELECT COUNT(*) FROM ARU WHERE NEV = 'Egyedi típus'"_s), u"0"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM UGYFEL WHERE NEV = 'Vevő 000020'"_s), u"0"_s);

    // A second run takes the taken sheets as taken and stops at sheet 20 again.
    QVERIFY(generatedSd(m_dir.path(), &error));
    QVERIFY(db::execute(u"d_sdgen"_s,
                        u"INSERT INTO SZELVENY VALUES ('000020', 900, :p, '2021.01.01', 'S01', "
                        u"'ML')"_s,
                        {{u"p"_s, tooLong}}, &error));
    QVERIFY(!import.run(o));
    db::Connection::named(u"d_sdgen"_s).close();
    QCOMPARE(import.log().filter(u"Már átvett lap: "_s).size(), 19);
    QCOMPARE(import.log().last(), u"Már átvett lap: 000019"_s);
    QCOMPARE(one(u"SELECT COUNT(*) FROM KESZULEK"_s), u"19"_s);
}

QTEST_GUILESS_MAIN(TestSdImport)
#include "tst_sdimport.moc"
