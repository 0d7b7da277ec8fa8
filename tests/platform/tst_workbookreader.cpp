#include "platform/workbookreader.h"
#include "platform/xlsxbook.h"
#include "support/workbooks.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <xlsxwriter.h>

using namespace Qt::StringLiterals;
using mivo::data::WorkbookReader;

namespace
{

/// Every row of the workbook by number.
QMap<int, QStringList> readAll(WorkbookReader& reader)
{
    QMap<int, QStringList> rows;
    reader.forEachRow([&rows](int row, const QStringList& cells) {
        rows.insert(row, cells);
        return true;
    });
    return rows;
}

} // namespace

class TestWorkbookReader : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void numberTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << 1111.0 << u"1111"_s;
        QTest::newRow("large integer") << 301234567.0 << u"301234567"_s;
        QTest::newRow("hundred thousand") << 100000.0 << u"100000"_s;
        QTest::newRow("fraction") << 1.5 << u"1.5"_s;
        QTest::newRow("binary fraction") << 0.1 << u"0.1"_s;
        QTest::newRow("negative") << -12.0 << u"-12"_s;
    }
    void numberTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(mivo::data::numberText(value), text);
    }

    void serialDates()
    {
        QCOMPARE(mivo::data::serialDateText(44260, false), u"2021.03.05"_s);
        QCOMPARE(mivo::data::serialDateText(59, false), u"1900.02.28"_s);
        QCOMPARE(mivo::data::serialDateText(61, false), u"1900.03.01"_s);
        QCOMPARE(mivo::data::serialDateText(0, true), u"1904.01.01"_s);
        QVERIFY(mivo::data::isDateFormat(14, {}));
        QVERIFY(mivo::data::isDateFormat(164, u"yyyy/mm/dd"_s));
        QVERIFY(!mivo::data::isDateFormat(164, u"#,##0.00\" db\""_s));
        QVERIFY(!mivo::data::isDateFormat(164, u"[Red]0.0"_s));
    }

    /// openpyxl: inline strings, the active (second) sheet, a date, a boolean, gaps.
    void openpyxlCells()
    {
        const QString path = m_dir.filePath(u"cells.XLSX"_s);
        QVERIFY(makeWorkbook({u"cells"_s, path}));
        WorkbookReader reader;
        QVERIFY2(reader.open(path), qPrintable(reader.error()));
        QCOMPARE(reader.lastRow(), 3);
        const auto rows = readAll(reader);
        QCOMPARE(rows.keys(), (QList<int>{1, 3}));
        QCOMPARE(rows[1], (QStringList{u"szöveg ő"_s, u"1111"_s, u"301234567"_s, u"1.5"_s,
                                       u"100000"_s, u"2021.03.05"_s, u"IGAZ"_s}));
        QCOMPARE(rows[3], (QStringList{u"harmadik"_s, QString(), u"0.1"_s}));
    }

    /// A hand-made book: shared strings with rich runs, formulas' cached values, the 1904
    /// system with a custom date format, absolute relationship targets.
    void sharedStringsAndFormulas()
    {
        const QString path = m_dir.filePath(u"raw.xlsx"_s);
        QVERIFY(makeWorkbook({u"raw"_s, path}));
        WorkbookReader reader;
        QVERIFY2(reader.open(path), qPrintable(reader.error()));
        QCOMPARE(reader.lastRow(), 5);
        const auto rows = readAll(reader);
        QCOMPARE(rows[2],
                 (QStringList{u"Kiss Péter"_s, QString(), QString(), u"Renova Star 24"_s, u"42"_s,
                              u"1904.01.01"_s, u"HAMIS"_s, u"1234.5"_s, u"Kiss Péter"_s}));
        QCOMPARE(rows[5], (QStringList{QString(), u"1e+20"_s}));
    }

    /// libxlsxwriter as Excel writes: shared strings, a formula's result, a date format.
    void libxlsxwriterSharedStrings()
    {
        const QString path = m_dir.filePath(u"lxw.xlsx"_s);
        lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
        lxw_worksheet* sheet = workbook_add_worksheet(book, "Lap");
        lxw_format* date = workbook_add_format(book);
        format_set_num_format(date, "yyyy.mm.dd");
        worksheet_write_string(sheet, 0, 0, "Kovács", nullptr);
        worksheet_write_string(sheet, 1, 0, "Kovács", nullptr);
        worksheet_write_number(sheet, 1, 1, 301234567, nullptr);
        worksheet_write_formula_num(sheet, 1, 2, "=B2*2", nullptr, 602469134);
        lxw_datetime day{2022, 1, 15, 0, 0, 0};
        worksheet_write_datetime(sheet, 1, 3, &day, date);
        QCOMPARE(workbook_close(book), LXW_NO_ERROR);
        WorkbookReader reader;
        QVERIFY2(reader.open(path), qPrintable(reader.error()));
        const auto rows = readAll(reader);
        QCOMPARE(rows[1], QStringList{u"Kovács"_s});
        QCOMPARE(rows[2],
                 (QStringList{u"Kovács"_s, u"301234567"_s, u"602469134"_s, u"2022.01.15"_s}));
    }

    /// The macro-enabled workbook that the writer edits in place reads back whole.
    void writerMacroEnabledBook()
    {
        const QString path = m_dir.filePath(u"sajat.XLSM"_s);
        {
            mivo::data::XlsxBook book(path, true);
            book.addSheet(u"q"_s);
            book.writeText(0, 0, u"fej"_s);
            book.writeNumber(1, 0, 12.5);
            QString error;
            QVERIFY2(book.close(&error), qPrintable(error));
        }
        WorkbookReader reader;
        QVERIFY2(reader.open(path), qPrintable(reader.error()));
        const auto rows = readAll(reader);
        QCOMPARE(rows[1], QStringList{u"fej"_s});
        QCOMPARE(rows[2], QStringList{u"12.5"_s});
    }

    /// xlwt: the legacy format through FreeXL.
    void legacyXls()
    {
        const QString path = m_dir.filePath(u"regi.xls"_s);
        QVERIFY(makeRowsWorkbook(
            path, QJsonArray{QJsonArray{u"név"_s, 2040, 1.25}, QJsonArray{},
                             QJsonArray{QJsonValue(), u"Árvíztűrő"_s,
                                        QJsonObject{{u"date"_s, u"2019-12-31"_s}}}}));
        WorkbookReader reader;
        QVERIFY2(reader.open(path), qPrintable(reader.error()));
        QCOMPARE(reader.lastRow(), 3);
        const auto rows = readAll(reader);
        QCOMPARE(rows.keys(), (QList<int>{1, 3}));
        QCOMPARE(rows[1], (QStringList{u"név"_s, u"2040"_s, u"1.25"_s}));
        QCOMPARE(rows[3], (QStringList{QString(), u"Árvíztűrő"_s, u"2019.12.31"_s}));
    }

    void unreadableFiles()
    {
        const QString good = m_dir.filePath(u"good.xlsx"_s);
        QVERIFY(makeWorkbook({u"cells"_s, good}));
        QFile in(good);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray whole = in.readAll();
        const QString truncated = m_dir.filePath(u"truncated.xlsx"_s);
        QVERIFY(writeFile(truncated, whole.left(whole.size() / 2)));
        const QString text = m_dir.filePath(u"text.xlsx"_s);
        QVERIFY(writeFile(text, "nev;varos\nKiss;Pecs\n"));
        for (const QString& path : {truncated, text, m_dir.filePath(u"nincs.xls"_s)}) {
            WorkbookReader reader;
            QVERIFY2(!reader.open(path), qPrintable(path));
            QVERIFY(!reader.error().isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestWorkbookReader)
#include "tst_workbookreader.moc"
