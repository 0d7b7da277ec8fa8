#include "platform/dbquery.h"
#include "platform/rowsource.h"
#include "platform/workbookwriter.h"
#include "support/testdb.h"
#include "support/xlsxread.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;

namespace
{

QStringList sheetNames(const QJsonObject& book)
{
    QStringList names;
    for (const auto& s : book[QStringLiteral("sheets")].toArray())
        names << s.toObject()[QStringLiteral("name")].toString();
    return names;
}

} // namespace

class TestWorkbookWriter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    void fillValues(TestDb& db)
    {
        db.exec(QStringLiteral("CREATE TABLE T (KOD INTEGER, NEV VARCHAR(40), IRSZAM VARCHAR(4), "
                               "AR DOUBLE PRECISION, MEGJ BLOB SUB_TYPE TEXT, DATUM DATE)"));
        db.exec(QStringLiteral(
            "INSERT INTO T VALUES (1, 'Kovács Ödön', '0123', 1.23456789, NULL, '2024-03-05')"));
        db.exec(
            QStringLiteral("INSERT INTO T VALUES (2, NULL, '1011', 1.0E20, 'megjegyzés', NULL)"));
        db.exec(QStringLiteral(
            "INSERT INTO T VALUES (3, 'x', NULL, -2.00000762939453125, NULL, NULL)"));
    }

private slots:
    void valuesTypesAndWidths()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        fillValues(db);
        db::Query q;
        q.setSql(QStringLiteral("SELECT KOD, NEV, IRSZAM, AR, MEGJ, DATUM FROM T ORDER BY KOD"));
        data::QueryRows rows(q, QStringLiteral("q_lista"));
        rows.setLabel(QStringLiteral("NEV"), QStringLiteral("Név"));
        const QString path = m_dir.filePath(QStringLiteral("values.xlsx"));
        qint64 lastDone = 0, lastTotal = 0;
        data::WorkbookOptions options;
        options.progress = [&](qint64 done, qint64 total) {
            lastDone = done;
            lastTotal = total;
        };
        const auto result =
            data::writeWorkbook({{&rows, QStringLiteral("q_lista")}}, path, options);
        QVERIFY2(result.written, qPrintable(result.error));
        QCOMPARE(lastDone, qint64(3));
        QCOMPARE(lastTotal, qint64(3));

        const QJsonObject book = readWorkbook(path);
        QCOMPARE(sheetNames(book), QStringList{QStringLiteral("q_lista")});
        const QJsonArray header = sheetRows(book, 0)[0].toArray();
        QStringList labels;
        for (const auto& h : header)
            labels << h.toObject()[QStringLiteral("v")].toString();
        QCOMPARE(labels, (QStringList{"KOD", "Név", "IRSZAM", "AR", "MEGJ", "DATUM"}));
        // Text that looks like a number stays text, without a leading apostrophe.
        QCOMPARE(sheetCell(book, 0, 1, 2)[QStringLiteral("t")].toString(), QStringLiteral("s"));
        QCOMPARE(sheetCell(book, 0, 1, 2)[QStringLiteral("v")].toString(), QStringLiteral("0123"));
        QCOMPARE(sheetCell(book, 0, 1, 1)[QStringLiteral("v")].toString(),
                 QStringLiteral("Kovács Ödön"));
        QCOMPARE(sheetCell(book, 0, 1, 0)[QStringLiteral("t")].toString(), QStringLiteral("n"));
        QCOMPARE(sheetCell(book, 0, 1, 3)[QStringLiteral("v")].toDouble(), 1.23457);
        QCOMPARE(sheetCell(book, 0, 2, 3)[QStringLiteral("v")].toDouble(), 1.0e20);
        QCOMPARE(sheetCell(book, 0, 3, 3)[QStringLiteral("v")].toDouble(), -2.00001);
        QCOMPARE(sheetCell(book, 0, 2, 4)[QStringLiteral("v")].toString(),
                 QStringLiteral("megjegyzés"));
        QVERIFY(sheetCell(book, 0, 2, 1)[QStringLiteral("v")].isNull());
        QCOMPARE(sheetCell(book, 0, 1, 5)[QStringLiteral("v")].toString(),
                 QStringLiteral("2024-03-05T00:00:00"));
        const QJsonObject widths = book[QStringLiteral("sheets")]
                                       .toArray()[0]
                                       .toObject()[QStringLiteral("widths")]
                                       .toObject();
        QCOMPARE(int(widths[QStringLiteral("B")].toDouble()), 40); // Excel stores the padding too
        QCOMPARE(int(widths[QStringLiteral("C")].toDouble()), 4);  // Excel stores the padding too
        QCOMPARE(int(widths[QStringLiteral("A")].toDouble()), 11); // Excel stores the padding too
        QVERIFY(book[QStringLiteral("contentTypes")].toString().contains(
            QStringLiteral("spreadsheetml.sheet.main+xml")));
    }

    void overflowSheetsRepeatTheHeader()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db.exec(QStringLiteral("CREATE TABLE N (I INTEGER)"));
        for (int i = 1; i <= 7; ++i)
            db.exec(QStringLiteral("INSERT INTO N VALUES (%1)").arg(i));
        db::Query q1, q2, empty;
        q1.setSql(QStringLiteral("SELECT I FROM N ORDER BY I"));
        q2.setSql(QStringLiteral("SELECT I * 10 AS TIZ FROM N WHERE I < 3 ORDER BY I"));
        empty.setSql(QStringLiteral("SELECT I FROM N WHERE 1=2"));
        data::QueryRows r1(q1, QStringLiteral("q1")), r2(q2, QStringLiteral("q2")),
            r3(empty, QStringLiteral("q3"));
        const QString path = m_dir.filePath(QStringLiteral("overflow.xlsx"));
        data::WorkbookOptions options;
        options.rowLimit = 4; // header + 3 rows per sheet
        const auto result = data::writeWorkbook({{&r1, QStringLiteral("Címek")},
                                                 {&r2, QStringLiteral("e-maiek")},
                                                 {&r3, QStringLiteral("Üres")}},
                                                path, options);
        QVERIFY2(result.written, qPrintable(result.error));
        const QJsonObject book = readWorkbook(path);
        QCOMPARE(sheetNames(book), (QStringList{"Címek", "Címek_1", "Címek_2", "e-maiek", "Üres"}));
        QCOMPARE(sheetRows(book, 0).size(), 4);
        QCOMPARE(sheetRows(book, 1).size(), 4);
        QCOMPARE(sheetRows(book, 2).size(), 2);
        QCOMPARE(sheetCell(book, 1, 0, 0)[QStringLiteral("v")].toString(), QStringLiteral("I"));
        QCOMPARE(sheetCell(book, 1, 1, 0)[QStringLiteral("v")].toInt(), 4);
        QCOMPARE(sheetCell(book, 2, 1, 0)[QStringLiteral("v")].toInt(), 7);
        QCOMPARE(sheetCell(book, 3, 2, 0)[QStringLiteral("v")].toInt(), 20);
        QCOMPARE(sheetRows(book, 4).size(), 1); // header only
    }

    void wideAndLongValues()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        // 390 columns fill A to NZ; a text longer than a cell holds is cut at the limit.
        QStringList columns;
        for (int i = 0; i < 390; ++i)
            columns << QStringLiteral("%1 AS C%2").arg(i).arg(i);
        db::Query wide;
        wide.setSql(QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')) +
                    QStringLiteral(" FROM RDB$DATABASE"));
        db::Query longText;
        longText.setSql(
            QStringLiteral("SELECT CAST(:t AS BLOB SUB_TYPE TEXT) AS HOSSZU FROM RDB$DATABASE"));
        longText.bind(QStringLiteral("t"), QString(40000, QLatin1Char('a')));
        data::QueryRows r1(wide, QStringLiteral("wide")), r2(longText, QStringLiteral("long"));
        const QString path = m_dir.filePath(QStringLiteral("wide.xlsx"));
        const auto result = data::writeWorkbook(
            {{&r1, QStringLiteral("wide")}, {&r2, QStringLiteral("long")}}, path);
        QVERIFY2(result.written, qPrintable(result.error));
        const QJsonObject book = readWorkbook(path);
        QCOMPARE(book[QStringLiteral("sheets")]
                     .toArray()[0]
                     .toObject()[QStringLiteral("maxColumn")]
                     .toInt(),
                 390);
        QCOMPARE(sheetCell(book, 0, 1, 389)[QStringLiteral("v")].toInt(), 389);
        QCOMPARE(sheetCell(book, 1, 1, 0)[QStringLiteral("v")].toString().size(), 32767);
    }

    void unopenableResultIsSkipped()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db::Query bad, good;
        bad.setSql(QStringLiteral("SELECT NINCS FROM SEHOL"));
        good.setSql(QStringLiteral("SELECT 1 AS EGY FROM RDB$DATABASE"));
        data::QueryRows r1(bad, QStringLiteral("q_rossz")), r2(good, QStringLiteral("q_jo"));
        const QString path = m_dir.filePath(QStringLiteral("skip.xlsx"));
        const auto result = data::writeWorkbook(
            {{&r1, QStringLiteral("rossz")}, {&r2, QStringLiteral("jo")}}, path);
        QVERIFY(result.written);
        QCOMPARE(result.skipped, QStringList{QStringLiteral(
                                     "q_rossz: a lekérdezés nem nyitható (can not open query)")});
        const QJsonObject book = readWorkbook(path);
        QCOMPARE(sheetCell(book, 1, 1, 0)[QStringLiteral("v")].toInt(), 1);
    }

    void macroEnabledContentType()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db::Query q;
        q.setSql(QStringLiteral("SELECT 'a' AS X FROM RDB$DATABASE"));
        data::QueryRows rows(q, QStringLiteral("q"));
        const QString path = m_dir.filePath(QStringLiteral("makro.XLSM"));
        data::WorkbookOptions options;
        options.macroEnabled = true;
        QVERIFY(data::writeWorkbook({{&rows, QStringLiteral("q")}}, path, options).written);
        const QJsonObject book = readWorkbook(path);
        QVERIFY(book[QStringLiteral("contentTypes")].toString().contains(
            QStringLiteral("application/vnd.ms-excel.sheet.macroEnabled.main+xml")));
        QCOMPARE(sheetCell(book, 0, 1, 0)[QStringLiteral("v")].toString(), QStringLiteral("a"));
    }

    void failedSaveKeepsThePreviousFile()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db::Query q;
        q.setSql(QStringLiteral("SELECT 1 AS EGY FROM RDB$DATABASE"));
        data::QueryRows rows(q, QStringLiteral("q"));
        // A folder of the target's name: the save fails and the folder's content stays.
        const QString blocked = m_dir.filePath(QStringLiteral("foglalt.xlsx"));
        QDir().mkpath(blocked + QStringLiteral("/benne"));
        auto result = data::writeWorkbook({{&rows, QStringLiteral("q")}}, blocked);
        QVERIFY(!result.written);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(QFileInfo(blocked + QStringLiteral("/benne")).isDir());
        // A missing folder: nothing is written, the reason comes back.
        result = data::writeWorkbook({{&rows, QStringLiteral("q")}},
                                     m_dir.filePath(QStringLiteral("nincs/x.xlsx")));
        QVERIFY(!result.written);
        QVERIFY(result.error.contains(QStringLiteral("nincs")));
        // No temporary file is left behind.
        QCOMPARE(
            QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".~")),
            QStringList());
    }
};

QTEST_GUILESS_MAIN(TestWorkbookWriter)
#include "tst_workbookwriter.moc"
