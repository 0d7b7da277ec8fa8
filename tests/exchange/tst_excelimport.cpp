#include "core/clock.h"
#include "exchange/excelimport.h"
#include "platform/dbquery.h"
#include "support/testdb.h"
#include "support/workbooks.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mivo;
using mivo::exchange::ExcelImport;
using mivo::exchange::SheetLayout;

namespace
{

QVariant scalar(const QString& sql)
{
    QString error;
    const QVariant value = db::scalar(u"d_mivo"_s, sql, {}, &error);
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    return value;
}

int count(const QString& table, const QString& where = {})
{
    return scalar(u"Select Count(*) From "_s + table +
                  (where.isEmpty() ? QString() : u" Where "_s + where))
        .toInt();
}

/// Rows of a select as "a|b|c" lines.
QStringList lines(const QString& sql)
{
    db::Query query;
    query.setSql(sql);
    if (!query.exec())
        qWarning("%s", qPrintable(query.lastError()));
    QStringList out;
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < query.fieldCount(); ++i)
            fields << query.value(i).toString().trimmed();
        out << fields.join(u'|');
    }
    return out;
}

QJsonObject date(const QString& iso)
{
    return QJsonObject{{u"date"_s, iso}};
}

const QJsonArray historyHeader{
    u"Kód"_s,        u"Gyártó"_s, u"Típus"_s,        u"Gyári szám"_s, u"Név"_s,        u"Irsz"_s,
    u"Város"_s,      u"Utca"_s,   u"Tel"_s,          u"Tel2"_s,       u"Beüzemelés"_s, u"L"_s,
    u"Megjegyzés"_s, u"N"_s,      u"Karbantartás"_s, u"P"_s,          u"Javítás"_s};

/// A history row: code, maker, type, serial, name, city, commissioning, maintenance, repair.
QJsonArray historyRow(const QJsonValue& code, const QString& type, const QString& serial,
                      const QString& name, const QString& commissioning, const QString& maintenance,
                      const QString& repair)
{
    return QJsonArray{code,
                      u"Beretta"_s,
                      type,
                      serial,
                      name,
                      u"7622"_s,
                      u"Pécs"_s,
                      u"Fő utca 1."_s,
                      u"06-72-111"_s,
                      u"06-30-222"_s,
                      commissioning,
                      QJsonValue(),
                      u"  megjegyzés  "_s,
                      QJsonValue(),
                      maintenance,
                      QJsonValue(),
                      repair};
}

} // namespace

class TestExcelImport : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    ExcelImport::Result importFile(const QString& path, SheetLayout layout, int firstRow = 2)
    {
        ExcelImport import;
        QString error;
        if (!import.open(path, &error)) {
            ExcelImport::Result failed;
            failed.ok = false;
            failed.error = error;
            return failed;
        }
        return import.run(layout, firstRow);
    }

private slots:
    void init() { clock::set(QDateTime(QDate(2024, 6, 1), QTime(10, 0))); }
    void cleanup() { clock::set({}); }

    void typeCodes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::newRow("renova star with power") << u"Renova star 24"_s << u"RS24"_s;
        QTest::newRow("mixed case, blanks") << u"reNova  Star 28 e"_s << u"RS28E"_s;
        QTest::newRow("themaclassic") << u"themaclassic"_s << u"TC"_s;
        QTest::newRow("renova mini before renova") << u"Renova Mini 24"_s << u"RM24"_s;
        QTest::newRow("bare renova") << u"Renova 24"_s << u"R24"_s;
        QTest::newRow("isotwin, beretta") << u"Beretta Isotwin"_s << u"BI"_s;
        QTest::newRow("chaffoteaux") << u"Chaffoteaux Niagara"_s << u"CHNIAGARA"_s;
        QTest::newRow("cut at 15") << u"Vaillant ecoTEC plus 246"_s << u"VAILLANTECOTECP"_s;
    }
    void typeCodes()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        QCOMPARE(exchange::typeCode(name), code);
    }

    void dateLists_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("repair");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("day and month only")
            << u"2021.03.15, 21.04."_s << false << QStringList{u"2021.03.15"_s, u"2021.04.01"_s};
        QTest::newRow("short day") << u"21.04.12."_s << false << QStringList{u"2021.04.12"_s};
        QTest::newRow("future two-digit year is 19xx")
            << u"98.05.,98.05.20."_s << false << QStringList{u"1998.05.01"_s, u"1998.05.20"_s};
        QTest::newRow("this year stays") << u"24.05."_s << false << QStringList{u"2024.05.01"_s};
        QTest::newRow("invalid entries skipped")
            << u"2021.13.01,abc,,2021.02.30,2022.01.10"_s << false << QStringList{u"2022.01.10"_s};
        QTest::newRow("repair: 11 characters cut")
            << u"2022.01.15."_s << true << QStringList{u"2022.01.15"_s};
        QTest::newRow("maintenance: 11 characters dropped")
            << u"2022.01.15."_s << false << QStringList{};
        QTest::newRow("blanks inside")
            << u" 2020 .01.02 "_s << false << QStringList{u"2020.01.02"_s};
    }
    void dateLists()
    {
        QFETCH(QString, cell);
        QFETCH(bool, repair);
        QFETCH(QStringList, dates);
        QCOMPARE(exchange::dateList(cell, repair, QDate(2024, 6, 1)), dates);
    }

    void repairMarkers_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("activity");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("gar. lower")
            << u"gar. 2022.01.15"_s << u"GJ"_s << QStringList{u"2022.01.15"_s};
        QTest::newRow("Gar. capital")
            << u"Gar. 2022.01.15."_s << u"GJ"_s << QStringList{u"2022.01.15"_s};
        QTest::newRow("GAR two dates") << u"GAR 22.01.,22.03.04."_s << u"GJ"_s
                                       << QStringList{u"2022.01.01"_s, u"2022.03.04"_s};
        QTest::newRow("fiz.") << u"Fiz. 2023.02.01"_s << u"J"_s << QStringList{u"2023.02.01"_s};
        QTest::newRow("plain") << u"2023.02.01"_s << u"J"_s << QStringList{u"2023.02.01"_s};
    }
    void repairMarkers()
    {
        QFETCH(QString, cell);
        QFETCH(QString, activity);
        QFETCH(QStringList, dates);
        const exchange::RepairList list = exchange::repairList(cell, QDate(2024, 6, 1));
        QCOMPARE(list.activity, activity);
        QCOMPARE(list.dates, dates);
    }

    void layouts()
    {
        QCOMPARE(exchange::layoutForCompany(u"DORVANA"_s), SheetLayout::Register);
        QCOMPARE(exchange::layoutForCompany(u"RVN"_s), SheetLayout::RegisterWithSerial);
        QCOMPARE(exchange::layoutForCompany(u"KAZANOS"_s), SheetLayout::History);
    }

    /// Register layout: shared customer and appliance, "nincs" and an empty type, a row
    /// without name and city.
    void registerLayout()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const QString path = m_dir.filePath(u"register.xlsx"_s);
        QVERIFY(makeRowsWorkbook(
            path,
            QJsonArray{
                QJsonArray{u"Név"_s, u"Irsz"_s, u"Város"_s, u"Utca"_s, u"Típus"_s, u"Tel"_s,
                           u"Dátum"_s},
                QJsonArray{u"Kiss Péter"_s, 7622, u"Pécs"_s, u"Fő u. 1."_s, u"Renova Star 24"_s,
                           u"72/111"_s, date(u"2021-03-05"_s)},
                QJsonArray{u"Kiss Péter"_s, 7622, u"Pécs"_s, u"Fő u. 1."_s, u"renova star 24"_s,
                           u"72/999"_s, u"2022.04.06 10:00"_s},
                QJsonArray{u"Nagy Anna"_s, 7400, u"Kaposvár"_s, u"Kő u. 2."_s, u"nincs"_s},
                QJsonArray{QJsonValue(), 1111, QJsonValue(), u"Sehol"_s, u"Renova 24"_s},
                QJsonArray{u"Tóth Béla"_s, 7100, u"Szekszárd"_s, u"Híd u. 3."_s, QJsonValue()},
            }));
        const ExcelImport::Result result = importFile(path, SheetLayout::Register);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.rows, 4);
        QCOMPARE(lines(u"Select NEV, IRSZAM, VAROS, UTCA, TELEFON From UGYFEL Order By NEV"_s),
                 (QStringList{u"Kiss Péter|7622|Pécs|Fő u. 1.|72/999"_s,
                              u"Nagy Anna|7400|Kaposvár|Kő u. 2.|"_s,
                              u"Tóth Béla|7100|Szekszárd|Híd u. 3.|"_s}));
        QCOMPARE(
            lines(u"Select KOD, NEV, NEV2, JELLEG, AKTIV, M_EGYSEG From ARU Where KOD = 'RS24'"_s),
            QStringList{u"RS24|Renova Star 24||K|I|DB"_s});
        QCOMPARE(count(u"ARU"_s, u"NEV = ''"_s), 0);
        QCOMPARE(count(u"KESZULEK"_s), 1);
        QCOMPARE(lines(u"Select m.ALLAPOT, m.MUNKAD, m.MUNKATEV, m.SZERELOM, m.LEIRASM, m.KULD, "
                       u"m.KESZULEK - k.KOD, m.UGYFEL - k.UGYFEL, m.TIPUS - k.TIPUS "
                       u"From MUNKA m Join KESZULEK k On k.KOD = m.KESZULEK Order By m.MUNKAD"_s),
                 (QStringList{u"OK|2021.03.05|J||XLS-ből beolvasott|-1|0|0|0"_s,
                              u"OK|2022.04.06|J||XLS-ből beolvasott|-1|0|0|0"_s}));
    }

    /// "RVN": the serial number finds or makes the appliance and is kept; the job-sheet
    /// number reaches the job.
    void registerWithSerial()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const QString path = m_dir.filePath(u"rvn.xls"_s);
        const auto row = [](const QString& serial, const QString& sheet) {
            return QJsonArray{u"Kiss Péter"_s, u"7622"_s,       u"Pécs"_s,
                              u"Fő u. 1."_s,   u"Isotwin 24"_s, QJsonValue(),
                              u"2023.01.02"_s, serial,          sheet};
        };
        QVERIFY(makeRowsWorkbook(path, QJsonArray{QJsonArray{u"fej"_s}, row(u"A1"_s, u"111"_s),
                                                  row(u"A1"_s, u"112"_s), row(u"B2"_s, u"113"_s),
                                                  row(QString(), u"114"_s)}));
        const ExcelImport::Result result = importFile(path, SheetLayout::RegisterWithSerial);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(lines(u"Select GYARISZAM From KESZULEK Order By KOD"_s),
                 (QStringList{u"A1"_s, u"B2"_s}));
        QCOMPARE(lines(u"Select k.GYARISZAM, m.MUNKASZAM From MUNKA m Join KESZULEK k On "
                       u"k.KOD = m.KESZULEK Order By m.MUNKASZAM"_s),
                 (QStringList{u"A1|111"_s, u"A1|112"_s, u"B2|113"_s, u"A1|114"_s}));
    }

    /// History layout from an xls: jobs per date, the stop row, the customer generator.
    void historyLayout()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const QString path = m_dir.filePath(u"tortenet.XLS"_s);
        QVERIFY(makeRowsWorkbook(
            path,
            QJsonArray{
                historyHeader,
                historyRow(10, u"Renova Star 24"_s, u"S-10"_s, u"Kiss Péter"_s, u"2019. 05. 06"_s,
                           u"2020.05.10, 21.06."_s, u"Gar. 2022.01.15."_s),
                historyRow(u"11"_s, u"Renova Star 24"_s, u"S-11"_s, u"Nagy Anna"_s, u"2018.01.02"_s,
                           QString(), u"fiz 2023.02.01,99.01."_s),
                historyRow(12, u"Themaclassic"_s, QString(), u"Tóth Béla"_s, QString(), u"rossz"_s,
                           QString()),
                historyRow(QJsonValue(), u"X"_s, QString(), u"Nem kell"_s, QString(), QString(),
                           QString()),
                historyRow(13, u"Y"_s, QString(), u"Utána"_s, QString(), QString(), QString())}));
        const ExcelImport::Result result = importFile(path, SheetLayout::History);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.rows, 3);
        QCOMPARE(lines(u"Select KOD, NEV, IRSZAM, TELEFON, KOMMENT From UGYFEL Order By KOD"_s),
                 (QStringList{u"10|Kiss Péter|7622|06-72-111, 06-30-222|megjegyzés"_s,
                              u"11|Nagy Anna|7622|06-72-111, 06-30-222|megjegyzés"_s,
                              u"12|Tóth Béla|7622|06-72-111, 06-30-222|megjegyzés"_s}));
        QCOMPARE(lines(u"Select KOD, NEV, NEV2 From ARU Order By KOD"_s),
                 (QStringList{u"RS24|Renova Star 24|Beretta"_s, u"TC|Themaclassic|Beretta"_s}));
        QCOMPARE(
            lines(u"Select m.UGYFEL, m.MUNKATEV, m.MUNKAD, m.SZERELOM, k.GYARISZAM, "
                  u"m.MUNKASZAM, m.LEIRASM, m.KULD From MUNKA m Join KESZULEK k On "
                  u"k.KOD = m.KESZULEK Order By m.KOD"_s),
            (QStringList{
                u"10|ÜZ|2019.05.06|201402|S-10|||-1"_s, u"10|KAR|2020.05.10|201402|S-10|||-1"_s,
                u"10|KAR|2021.06.01|201402|S-10|||-1"_s, u"10|GJ|2022.01.15|201402|S-10|||-1"_s,
                u"11|ÜZ|2018.01.02|201402|S-11|||-1"_s, u"11|J|2023.02.01|201402|S-11|||-1"_s,
                u"11|J|1999.01.01|201402|S-11|||-1"_s, u"12|ÜZ||201402||||-1"_s}));
        QCOMPARE(scalar(u"Select Gen_Id(GEN_UGYFEL, 0) From RDB$DATABASE"_s).toInt(), 12);
    }

    /// A customer code that is no integer stops the run; the rows before stay and the
    /// generator still moves past them.
    void badCustomerCode()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const QString path = m_dir.filePath(u"badcode.xlsx"_s);
        QVERIFY(makeRowsWorkbook(
            path, QJsonArray{historyHeader,
                             historyRow(25, u"Renova 24"_s, {}, u"Első"_s, u"2020.01.01"_s, {}, {}),
                             historyRow(u"2x"_s, u"Renova 24"_s, {}, u"Második"_s, {}, {}, {})}));
        const ExcelImport::Result result = importFile(path, SheetLayout::History);
        QVERIFY(!result.ok);
        QCOMPARE(result.error, u"Hibás ügyfélkód a(z) 3. sorban"_s);
        QCOMPARE(result.rows, 1);
        QCOMPARE(lines(u"Select KOD From UGYFEL"_s), QStringList{u"25"_s});
        QCOMPARE(count(u"MUNKA"_s), 1);
        QCOMPARE(scalar(u"Select Gen_Id(GEN_UGYFEL, 0) From RDB$DATABASE"_s).toInt(), 25);
    }

    /// A database error (an existing customer code) ends the run with the database's text;
    /// the rows imported so far stay.
    void databaseErrorKeepsRows()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const QString path = m_dir.filePath(u"duplicate.xlsx"_s);
        QJsonArray rows{historyHeader};
        for (int i = 1; i <= 5; ++i)
            rows.append(historyRow(i, u"Renova 24"_s, {}, u"Ügyfél"_s, u"2020.01.01"_s,
                                   u"2021.01.01"_s, {}));
        rows.append(historyRow(3, u"Renova 24"_s, {}, u"Kettőzött"_s, {}, {}, {}));
        QVERIFY(makeRowsWorkbook(path, rows));
        const ExcelImport::Result result = importFile(path, SheetLayout::History);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(u"PRIMARY"_s, Qt::CaseInsensitive) ||
                     result.error.contains(u"violation"_s, Qt::CaseInsensitive),
                 qPrintable(result.error));
        QCOMPARE(result.rows, 5);
        QCOMPARE(count(u"UGYFEL"_s), 5);
        QCOMPARE(count(u"KESZULEK"_s), 5);
        QCOMPARE(count(u"MUNKA"_s), 10);
        QCOMPARE(scalar(u"Select Gen_Id(GEN_UGYFEL, 0) From RDB$DATABASE"_s).toInt(), 5);
    }

    /// The clearing empties the dependent tables too and restarts the key generators.
    void clearing()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.exec(u"Insert Into UGYFEL (NEV) Values ('x')"_s));
        QVERIFY(db.exec(u"Insert Into KESZULEK (UGYFEL) Values (1)"_s));
        QVERIFY(db.exec(u"Insert Into MUNKA (UGYFEL, KESZULEK) Values (1, 1)"_s));
        QVERIFY(db.exec(u"Insert Into MUNKA_ALK (KOD, KESZULEK) Values (1, 1)"_s));
        QVERIFY(db.exec(u"Insert Into BEUZLAP (SORSZAM, KESZULEK) Values ('1', 1)"_s));
        ExcelImport import;
        QString error;
        QCOMPARE(import.jobCount(&error), 1);
        QVERIFY2(import.clear(&error), qPrintable(error));
        for (const QString& table :
             {u"UGYFEL"_s, u"KESZULEK"_s, u"MUNKA"_s, u"MUNKA_ALK"_s, u"BEUZLAP"_s})
            QCOMPARE(count(table), 0);
        for (const QString& generator : {u"GEN_UGYFEL"_s, u"GEN_KESZULEK"_s, u"GEN_MUNKA"_s})
            QCOMPARE(scalar(u"Select Gen_Id("_s + generator + u", 0) From RDB$DATABASE"_s).toInt(),
                     0);
    }

    void unreadableWorkbook()
    {
        const QString path = m_dir.filePath(u"szoveg.xlsx"_s);
        QVERIFY(writeFile(path, "Kiss;Pecs\n"));
        ExcelImport import;
        QString error;
        QVERIFY(!import.open(path, &error));
        QVERIFY2(error.startsWith(u"A fájl nem olvasható: szoveg.xlsx"_s), qPrintable(error));
    }

    void fileNameInAnyCase()
    {
        const QString path = m_dir.filePath(u"Keszulek.XLS"_s);
        QVERIFY(writeFile(path, {}));
        QCOMPARE(exchange::findFileAnyCase(m_dir.filePath(u"keszulek.xls"_s)), path);
        QCOMPARE(exchange::findFileAnyCase(m_dir.filePath(u"masik.xls"_s)), QString());
    }
};

QTEST_GUILESS_MAIN(TestExcelImport)
#include "tst_excelimport.moc"
