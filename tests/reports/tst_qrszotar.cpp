#include "reports/qrszotar.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/ini.h"
#include "platform/dbquery.h"
#include "platform/rowsource.h"
#include "reports/reportpages.h"
#include "support/pdftext.h"
#include "support/testdb.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;

namespace
{

std::vector<data::Column> textColumns(const QList<int>& widths)
{
    std::vector<data::Column> columns;
    for (int i = 0; i < widths.size(); ++i) {
        data::Column c;
        c.name = QStringLiteral("M%1").arg(i);
        c.kind = data::FieldKind::Text;
        c.length = widths[i];
        c.displayWidth = widths[i];
        columns.push_back(c);
    }
    return columns;
}

} // namespace

class TestQrSzotar : public QObject
{
    Q_OBJECT

private slots:
    void layout_data()
    {
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("firstLine");
        QTest::addColumn<int>("secondLine");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("fontSize");
        QTest::newRow("narrow portrait") << QList<int>{10, 20} << 34 << 0 << false << 10.0;
        QTest::newRow("landscape 10") << QList<int>{50, 58} << 112 << 0 << true << 10.0;
        QTest::newRow("landscape 8") << QList<int>{70, 80} << 154 << 0 << true << 8.0;
        QTest::newRow("landscape 6") << QList<int>{100, 98} << 202 << 0 << true << 6.0;
        // 230 characters in all: two lines per record; a later narrow field still fits line one.
        QTest::newRow("two lines") << QList<int>{100, 80, 40, 6} << 192 << 42 << true << 6.0;
    }
    void layout()
    {
        QFETCH(QList<int>, widths);
        QFETCH(int, firstLine);
        QFETCH(int, secondLine);
        QFETCH(bool, landscape);
        QFETCH(double, fontSize);
        const SzotarLayout l = layoutSzotar(textColumns(widths));
        QCOMPARE(int(l.heading1.size()), firstLine);
        QCOMPARE(int(l.heading2.size()), secondLine);
        QCOMPARE(l.landscape, landscape);
        QCOMPARE(l.fontSize, fontSize);
        QCOMPARE(l.headingHeight, secondLine > 0 ? 40.0 : 20.0);
        QCOMPARE(l.secondLineHeight, secondLine > 0 ? 17.0 : 0.0);
    }

    void twoLineRecordsLandscape()
    {
        const SzotarLayout l = layoutSzotar(textColumns({100, 80, 40, 6}));
        QCOMPARE(l.lines, (std::vector<int>{0, 0, 1, 0}));
        const auto [first, second] = l.lineTexts(
            {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
        QCOMPARE(first, QStringLiteral("a").leftJustified(102) +
                            QStringLiteral("b").leftJustified(82) +
                            QStringLiteral("d").leftJustified(8));
        QCOMPARE(second, QStringLiteral("c").leftJustified(42));
    }

    void printsTheFullList()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db.exec(QStringLiteral(
            "CREATE TABLE SZ (KOD VARCHAR(6), NEV VARCHAR(30), AR DOUBLE PRECISION)"));
        for (int i = 1; i <= 120; ++i)
            db.exec(QStringLiteral("INSERT INTO SZ VALUES ('K%1', 'Név %1 ő', %1.5)")
                        .arg(i, 3, 10, QLatin1Char('0')));
        QTemporaryDir dir;
        QImage logo(200, 100, QImage::Format_RGB32);
        logo.fill(Qt::blue);
        const QString logoFile = dir.filePath(QStringLiteral("logo.png"));
        QVERIFY(logo.save(logoFile));
        Ini::instance().set(QStringLiteral("LOGO_KEP"), logoFile);
        Td::instance().userName = QStringLiteral("Teszt Elek");
        clock::set(QDateTime(QDate(2024, 5, 6), QTime(10, 11, 12)));

        db::Query q;
        q.setSql(QStringLiteral("SELECT KOD, NEV, AR FROM SZ ORDER BY KOD"));
        data::QueryRows rows(q, QStringLiteral("q_sz"));
        Tqr_szotar& report = Tqr_szotar::instance();
        report.setDataSet(&rows);
        report.setTitle(QStringLiteral("Szótár lista"));
        QString error;
        auto r = report.build(&error);
        QVERIFY2(r, qPrintable(error));
        report::PageModel pages;
        const int count = report::run(*r, pages);
        QVERIFY(count >= 2);
        QCOMPARE(pages.images(1).size(), size_t(1));
        QCOMPARE(pages.images(1).front().size(), QSizeF(100, 50)); // 50 high, proportional width
        QCOMPARE(pages.texts(1).at(1), QStringLiteral("Készült: 2024.05.06 10:11:12"));
        QCOMPARE(pages.pageOf(QStringLiteral("K120")), count);

        const QString pdf = dir.filePath(QStringLiteral("szotar.pdf"));
        QVERIFY2(report.writePdf(pdf, &error), qPrintable(error));
        for (int p = 1; p <= count; ++p) {
            const QString text = pdfText(pdf, p);
            QVERIFY(text.contains(QStringLiteral("Szótár lista")));
            QVERIFY(text.contains(QStringLiteral("Lapszám: %1").arg(p)));
            QVERIFY(text.contains(QStringLiteral("Nyomtatta: Teszt Elek")));
            QVERIFY(text.contains(QStringLiteral("KOD")));
        }
        QVERIFY(
            pdfText(pdf, 1).contains(QRegularExpression(QStringLiteral("K001 +Név 001 ő +1,5"))));
        QVERIFY(pdfText(pdf, count).contains(QStringLiteral("120,5")));
        Ini::instance().clear();
        clock::set({});
    }
};

QTEST_MAIN(TestQrSzotar)
#include "tst_qrszotar.moc"
