// The full activity list's workbook read back with openpyxl: headings and year columns, the
// commissioning date, the year cells with their edge cases, widths, the macro-enabled form,
// and failures that leave the previous file as it was.

#include "support/testdb.h"
#include "support/xlsxread.h"

#include "core/clock.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "reports/totallist.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;
using namespace mivo::reports;
using namespace Qt::StringLiterals;

namespace
{

constexpr int firstYearColumn = TotalList::fixedColumns;

void insert(const QString& table, const std::map<QString, QVariant>& values)
{
    QStringList columns, params;
    for (const auto& [column, value] : values) {
        columns << column;
        params << u':' + column.toLower();
    }
    std::map<QString, QVariant> bound;
    for (const auto& [column, value] : values)
        bound[column.toLower()] = value;
    QString error;
    if (!db::execute(u"d_mivo"_s,
                     u"INSERT INTO "_s + table + u" ("_s + columns.join(u", "_s) + u") VALUES ("_s +
                         params.join(u", "_s) + u')',
                     bound, &error))
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
}

void job(int appliance, const QString& tervtev, const QString& tervd, const QString& munkatev,
         const QString& munkad, const QString& allapot = u"OK"_s)
{
    insert(u"MUNKA"_s, {{u"ALLAPOT"_s, allapot},
                        {u"KESZULEK"_s, appliance},
                        {u"TIPUS"_s, 100},
                        {u"TERVTEV"_s, tervtev},
                        {u"TERVD"_s, tervd},
                        {u"MUNKATEV"_s, munkatev},
                        {u"MUNKAD"_s, munkad}});
}

QString text(const QJsonObject& book, int row, int column)
{
    return sheetCell(book, 0, row, column)[u"v"_s].toString();
}

} // namespace

class TestTotalList : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDb> m_db;
    QTemporaryDir m_dir;

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 20), QTime(9, 0)));
        m_db = std::make_unique<TestDb>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        insert(u"ARU"_s, {{u"BELSOKOD"_s, 100}, {u"NEV"_s, u"Kazán 100"_s}, {u"JELLEG"_s, u"K"_s}});
        insert(u"UGYFEL"_s, {{u"KOD"_s, 1},
                             {u"NEV"_s, u"Kiss Éva"_s},
                             {u"IRSZAM"_s, u"2600"_s},
                             {u"VAROS"_s, u"Vác"_s},
                             {u"UTCA"_s, u"Fő u. 2"_s}});
        insert(u"UGYFEL"_s, {{u"KOD"_s, 2},
                             {u"NEV"_s, u"Arany Béla"_s},
                             {u"IRSZAM"_s, u"1111"_s},
                             {u"VAROS"_s, u"Budapest"_s},
                             {u"UTCA"_s, u"Hosszú utca 123. II. emelet 4."_s},
                             {u"TELEFON"_s, u"06-1-111-2222"_s},
                             {u"EMAIL"_s, u"arany@pelda.hu"_s}});
        for (const auto& [kod, ugyfel] : {std::pair{10, 1}, std::pair{12, 2}, std::pair{11, 2}})
            insert(u"KESZULEK"_s, {{u"KOD"_s, kod}, {u"UGYFEL"_s, ugyfel}, {u"TIPUS"_s, 100}});

        // Arany Béla's first appliance: two commissioning jobs, the earliest valid completion
        // date counts; a job of 1990 (first year 1993); "LM"; an invalid completion date
        // (then the planned one); a job planned for next year; a deleted job; two of 2010.
        job(11, u"ÜZ"_s, u"1995.02.01"_s, u"ÜZ"_s, u"1995.02.03"_s);
        job(11, u"ÜZ"_s, u"1994.05.05"_s, u"ÜZ"_s, u"1994.13.01"_s);
        job(11, u"KAR"_s, u"1990.05.30"_s, u"KAR"_s, u"1990.06.01"_s);
        job(11, u"KAR"_s, u"2000.01.01"_s, u"LM"_s, u"2000.01.02"_s);
        job(11, u"J"_s, u"2001.02.20"_s, u"KAR"_s, u"2001.02.30"_s);
        job(11, u"KAR"_s, u"2031.01.10"_s, QString(), QString(), u"KI"_s);
        job(11, u"KAR"_s, u"2005.05.05"_s, u"KAR"_s, u"2005.05.05"_s, u"TOR"_s);
        job(11, u"GJ"_s, u"2010.08.30"_s, u"GJ"_s, u"2010.09.01"_s);
        job(11, u"KAR"_s, u"2010.02.27"_s, u"KAR"_s, u"2010.03.01"_s);
        // Kiss Éva's appliance: commissioning only planned; a job without any date.
        job(10, u"ÜZ"_s, u"2020.04.04"_s, QString(), QString(), u"KI"_s);
        job(10, u"KAR"_s, QString(), QString(), QString(), u"BE"_s);
    }
    void cleanup()
    {
        clock::set({});
        db::Connection::closeAll();
        m_db.reset();
    }

    void workbook()
    {
        const QString path = m_dir.filePath(u"teljes.xlsx"_s);
        QList<qint64> progress;
        const TotalListResult result =
            TotalList().write(path, [&](qint64 done, qint64 total) { progress << done << total; });
        QVERIFY2(result.written, qPrintable(result.error));
        QCOMPARE(result.message(), u"3 db tétel lementve."_s);
        QCOMPARE(progress, (QList<qint64>{1, 3, 2, 3, 3, 3}));

        const QJsonObject book = readWorkbook(path);
        const QJsonArray rows = sheetRows(book, 0);
        QCOMPARE(rows.size(), 4);
        const QStringList headings{u"Ügyfél név"_s,   u"irszám"_s,          u"település"_s,
                                   u"utca,házszám"_s, u"telefon"_s,         u"email"_s,
                                   u"készülék"_s,     u"Beüzemelés kelte"_s};
        for (int c = 0; c < headings.size(); ++c)
            QCOMPARE(text(book, 0, c), headings[c]);
        // 1993 .. the current year, as numbers.
        const int years = 2030 - 1993 + 1;
        QCOMPARE(book[u"sheets"_s][0][u"maxColumn"_s].toInt(), firstYearColumn + years);
        QCOMPARE(sheetCell(book, 0, 0, firstYearColumn)[u"v"_s].toInt(), 1993);
        QCOMPARE(sheetCell(book, 0, 0, firstYearColumn)[u"t"_s].toString(), u"n"_s);
        QCOMPARE(sheetCell(book, 0, 0, firstYearColumn + years - 1)[u"v"_s].toInt(), 2030);

        // By customer name, then appliance.
        const QStringList arany{u"Arany Béla"_s,    u"1111"_s,
                                u"Budapest"_s,      u"Hosszú utca 123. II. emelet 4."_s,
                                u"06-1-111-2222"_s, u"arany@pelda.hu"_s,
                                u"Kazán 100"_s,     u"1995.02.03"_s};
        for (int c = 0; c < arany.size(); ++c)
            QCOMPARE(text(book, 1, c), arany[c]);
        auto year = [&](int row, int y) {
            return sheetCell(book, 0, row, firstYearColumn + y - 1993);
        };
        QCOMPARE(year(1, 1993)[u"v"_s].toString(), u"1990.06.01 KAR, "_s);
        QVERIFY(year(1, 1993)[u"wrap"_s].toBool());
        QCOMPARE(year(1, 2000)[u"v"_s].toString(), QString()); // "LM"
        QCOMPARE(year(1, 2001)[u"v"_s].toString(), u"2001.02.20 J, "_s);
        QCOMPARE(year(1, 2005)[u"v"_s].toString(), QString()); // deleted
        QCOMPARE(year(1, 2010)[u"v"_s].toString(), u"2010.03.01 KAR, 2010.09.01 GJ, "_s);
        QCOMPARE(year(1, 2030)[u"v"_s].toString(), u"2031.01.10 KAR, "_s);
        QCOMPARE(year(1, 1994)[u"v"_s].toString(), QString()); // commissioning stays in H

        // The second appliance of the same customer has no job at all.
        QCOMPARE(text(book, 2, 0), u"Arany Béla"_s);
        QCOMPARE(text(book, 2, 7), QString());
        for (int y = 0; y < years; ++y)
            QCOMPARE(sheetCell(book, 0, 2, firstYearColumn + y)[u"v"_s].toString(), QString());

        QCOMPARE(text(book, 3, 0), u"Kiss Éva"_s);
        QCOMPARE(text(book, 3, 4), QString());
        QCOMPARE(text(book, 3, 7), u"2020.04.04"_s);

        // A-H fitted to their longest text; the year columns 15 wide.
        const QJsonObject widths = book[u"sheets"_s][0][u"widths"_s].toObject();
        QVERIFY(widths[u"D"_s].toDouble() >= 30);
        QVERIFY(widths[u"D"_s].toDouble() > widths[u"C"_s].toDouble());
        QVERIFY(widths[u"H"_s].toDouble() >= QString(u"Beüzemelés kelte"_s).size());
        // Excel's 15 characters with the library's cell padding.
        QCOMPARE(int(widths[u"I"_s].toDouble()), 15);
        QCOMPARE(widths[u"AT"_s].toDouble(), widths[u"I"_s].toDouble());
        QVERIFY(!book[u"contentTypes"_s].toString().contains(u"macroEnabled"_s));
    }

    void firstYear_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::addColumn<int>("expected");
        QTest::newRow("1990 counts as 1993") << QString() << 1993;
        QTest::newRow("invalid dates and blank masks ignored")
            << u"DELETE FROM MUNKA WHERE MUNKAD < '2001' OR TERVD < '2001';"
               "INSERT INTO MUNKA (KOD, ALLAPOT, TERVTEV, TERVD) VALUES (90, 'KI', 'KAR', "
               "'1997.02.30');"
               "INSERT INTO MUNKA (KOD, ALLAPOT, MUNKATEV, MUNKAD) VALUES (91, 'OK', 'KAR', "
               "'    .  .  ')"_s
            << 2001;
        QTest::newRow("commissioning, LM and deleted jobs do not count")
            << u"DELETE FROM MUNKA WHERE MUNKAD < '2010' OR TERVD < '2010';"
               "INSERT INTO MUNKA (KOD, ALLAPOT, TERVTEV, TERVD) VALUES (90, 'KI', 'LM', "
               "'2003.01.01');"
               "INSERT INTO MUNKA (KOD, ALLAPOT, MUNKATEV, MUNKAD) VALUES (91, 'OK', 'ÜZ', "
               "'2004.01.01');"
               "INSERT INTO MUNKA (KOD, ALLAPOT, MUNKATEV, MUNKAD) VALUES (92, 'TOR', 'KAR', "
               "'2005.01.01')"_s
            << 2010;
        QTest::newRow("no job: the current year") << u"DELETE FROM MUNKA"_s << 2030;
    }
    void firstYear()
    {
        QFETCH(QString, extra);
        QFETCH(int, expected);
        for (const QString& statement : extra.split(u';', Qt::SkipEmptyParts))
            QVERIFY2(m_db->exec(statement), qPrintable(m_db->error()));
        QString error;
        QCOMPARE(TotalList().firstYear(&error), expected);
        QVERIFY(error.isEmpty());
    }

    void macroEnabled()
    {
        const QString path = m_dir.filePath(u"teljes.XLSM"_s);
        const TotalListResult result = TotalList().write(path);
        QVERIFY2(result.written, qPrintable(result.error));
        QVERIFY(readWorkbook(path)[u"contentTypes"_s].toString().contains(u"macroEnabled"_s));
    }

    // Nothing written without a name; a failed run leaves the previous file untouched.
    void failures()
    {
        TotalListResult result = TotalList().write(u"  "_s);
        QVERIFY(!result.written);
        QCOMPARE(result.error, u"Adjon meg egy érvényes fájlnevet"_s);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"regi.xlsx"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous");
        old.close();
        QVERIFY(m_db->exec(u"ALTER TABLE UGYFEL ALTER COLUMN EMAIL TO EMAIL_REGI"_s));
        result = TotalList().write(path);
        QVERIFY(!result.written);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("previous"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"regi.xlsx"_s});
    }
};

QTEST_MAIN(TestTotalList)
#include "tst_totallist.moc"
