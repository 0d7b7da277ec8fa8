// One display form for a value wherever a list shows it: the editor's grid, the printed
// list and the workbook export.
#include "framework/torzsmodel.h"
#include "platform/dbquery.h"
#include "platform/fieldtypes.h"
#include "platform/rowsource.h"
#include "platform/workbookwriter.h"
#include "reports/qrszotar.h"
#include "support/pdftext.h"
#include "support/testdb.h"
#include "support/xlsxread.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

// The order on a line of its own, as the editor's statements have it.
const QString statement = u"SELECT N, F, I, D, B FROM VF\n ORDER BY N"_s;

} // namespace

class TestValueFormat : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<TorzsModel> m_grid;
    QStringList m_pdfLines;
    QJsonObject m_book;

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDb>(QStringList());
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        m_db->exec(u"CREATE TABLE VF (N INTEGER, F DOUBLE PRECISION, I INTEGER, D VARCHAR(10), "
                   "B BOOLEAN)"_s);
        // 0.1 + 0.2 is stored as 0.30000000000000004.
        m_db->exec(u"INSERT INTO VF VALUES (1, 0.1e0 + 0.2e0, 42, '2026.12.10', TRUE)"_s);
        m_db->exec(u"INSERT INTO VF VALUES (2, -1234.5e0, -7, '', FALSE)"_s);
        m_db->exec(u"INSERT INTO VF VALUES (3, NULL, NULL, NULL, NULL)"_s);

        m_grid = std::make_unique<TorzsModel>(u"d_mivo"_s);
        m_grid->query().setSql(statement);
        QString error;
        QVERIFY2(m_grid->reopen(&error), qPrintable(error));
        QList<TorzsGridColumn> columns;
        for (const char* name : {"N", "F", "I", "D", "B"})
            columns.append({QString::fromLatin1(name), QString::fromLatin1(name), {}});
        m_grid->setGridColumns(columns);

        db::Query q;
        q.setSql(statement);
        data::QueryRows rows(q, u"q_vf"_s);
        Tqr_szotar& szotar = Tqr_szotar::instance();
        szotar.setDataSet(&rows);
        szotar.setTitle(u"Értékek"_s);
        const QString pdf = m_dir.filePath(u"vf.pdf"_s);
        QVERIFY2(szotar.writePdf(pdf, &error), qPrintable(error));
        szotar.setDataSet(nullptr);
        m_pdfLines = pdfText(pdf).split(u'\n');

        const QString xlsx = m_dir.filePath(u"vf.xlsx"_s);
        const data::WorkbookResult written = data::writeWorkbook({{&rows, u"q_vf"_s}}, xlsx, {});
        QVERIFY2(written.written, qPrintable(written.error));
        m_book = readWorkbook(xlsx);
    }

    void sameEverywhere_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QVariant>("cell"); // the workbook's typed value

        QTest::newRow("float noise") << 0 << 1 << u"0,3"_s << QVariant(0.3);
        QTest::newRow("negative float") << 1 << 1 << u"-1234,5"_s << QVariant(-1234.5);
        QTest::newRow("integer") << 0 << 2 << u"42"_s << QVariant(42.0);
        QTest::newRow("negative integer") << 1 << 2 << u"-7"_s << QVariant(-7.0);
        QTest::newRow("date text") << 0 << 3 << u"2026.12.10"_s << QVariant(u"2026.12.10"_s);
        QTest::newRow("boolean true") << 0 << 4 << u"T"_s << QVariant(true);
        QTest::newRow("boolean false") << 1 << 4 << u"F"_s << QVariant(false);
        QTest::newRow("null float") << 2 << 1 << QString() << QVariant();
        QTest::newRow("null boolean") << 2 << 4 << QString() << QVariant();
    }
    void sameEverywhere()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, shown);
        QFETCH(QVariant, cell);

        QCOMPARE(m_grid->data(m_grid->index(row, column)).toString(), shown);

        // The printed line of the row: its number first, then the values in their slots.
        const QString number = QString::number(row + 1);
        const auto line = std::find_if(m_pdfLines.begin(), m_pdfLines.end(), [&](const QString& l) {
            return l.simplified().section(u' ', 0, 0) == number;
        });
        QVERIFY(line != m_pdfLines.end());
        const QStringList printed = line->simplified().split(u' ');
        if (!shown.isEmpty())
            QVERIFY2(printed.contains(shown), qPrintable(*line));
        else
            QVERIFY2(printed.size() < 5, qPrintable(*line));

        const QJsonValue value = sheetCell(m_book, 0, row + 1, column)[u"v"_s];
        if (cell.isValid())
            QCOMPARE(value.toVariant(), cell);
        else
            QVERIFY(value.isNull());
    }
};

QTEST_MAIN(TestValueFormat)
#include "tst_valueformat.moc"
