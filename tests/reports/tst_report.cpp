#include "reports/report.h"
#include "reports/reportmeasure.h"
#include "reports/reportpages.h"
#include "reports/reportpainter.h"
#include "reports/reportprint.h"
#include "support/pdftext.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace mivo::report;
using namespace Qt::StringLiterals;

namespace
{

// A report of n rows in groups of ten, with a sub-detail line under every fifth row.
struct Numbers {
    int n;
    int row = 0;
    int sub = 0;
    int group = -1;
    Report report;

    explicit Numbers(int rows) : n(rows)
    {
        report.printedAt = QDateTime(QDate(2024, 5, 6), QTime(10, 11, 12));
        Band header;
        header.height = 40;
        header.elements.push_back(
            Element::system({0, 0, 300, 20}, SystemField::PageNumber, QStringLiteral("Lapszám: ")));
        header.elements.push_back(Element::system({300, 0, 300, 20}, SystemField::PageCount,
                                                  QStringLiteral("Összesen: ")));
        header.elements.push_back(
            Element::system({0, 20, 300, 20}, SystemField::DateTime, QStringLiteral("Készült: ")));
        report.pageHeader = header;
        report.title = Band{30, {Element::label({0, 0, 300, 30}, QStringLiteral("CÍM"))}, {}, {}};
        report.columnHeader =
            Band{20, {Element::label({0, 0, 300, 20}, QStringLiteral("Oszlopfej"))}, {}, {}};
        Band detail{20, {Element::label({0, 0, 300, 20}, {})}, {}, {}};
        detail.beforePrint = [this](Band& b) {
            b.elements[0].text = QStringLiteral("sor %1").arg(row);
        };
        Band child{20, {Element::label({0, 0, 300, 20}, {})}, {}, {}};
        child.beforePrint = [this](Band& b) {
            b.height = row % 2 == 0 ? 20 : 0; // only under even rows
            b.elements[0].text = QStringLiteral("gyerek %1").arg(row);
        };
        detail.children.push_back(child);
        report.detail = detail;
        Group grouping;
        grouping.key = [this] { return QString::number((row - 1) / 10); };
        grouping.header = Band{20, {Element::label({0, 0, 300, 20}, {})}, {}, {}};
        grouping.header.beforePrint = [this](Band& b) {
            group = (row - 1) / 10;
            b.elements[0].text = QStringLiteral("csoport %1 eleje").arg(group);
        };
        grouping.footer = Band{20, {Element::label({0, 0, 300, 20}, {})}, {}, {}};
        grouping.footer.beforePrint = [this](Band& b) {
            b.elements[0].text = QStringLiteral("csoport %1 vége").arg(group);
        };
        report.groups.push_back(grouping);
        SubDetail subDetail;
        subDetail.start = [this] { sub = row % 5 == 0 ? 0 : 2; };
        subDetail.next = [this] { return ++sub <= 2; };
        subDetail.band = Band{20, {Element::label({20, 0, 300, 20}, {})}, {}, {}};
        subDetail.band.beforePrint = [this](Band& b) {
            b.elements[0].text = QStringLiteral("al %1.%2").arg(row).arg(sub);
        };
        report.subDetails.push_back(subDetail);
        report.summary =
            Band{20, {Element::label({0, 0, 300, 20}, QStringLiteral("Összesítő"))}, {}, {}};
        report.pageFooter = Band{
            20, {Element::label({0, 0, 300, 20}, QStringLiteral("Nyomtatta: Teszt Elek"))}, {}, {}};
        report.next = [this] { return ++row <= n; };
        report.rewind = [this] { row = 0; };
    }
};

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void bandsLandOnTheirPages()
    {
        Numbers numbers(100);
        PageModel pages;
        const int count = run(numbers.report, pages);
        QCOMPARE(count, pages.pageCount());
        QVERIFY(count > 1);
        for (int p = 1; p <= count; ++p) {
            const QStringList texts = pages.texts(p);
            QCOMPARE(texts.first(), QStringLiteral("Lapszám: %1").arg(p));
            QCOMPARE(texts.at(1), QStringLiteral("Összesen: %1").arg(count));
            QCOMPARE(texts.at(2), QStringLiteral("Készült: 2024.05.06 10:11:12"));
            QCOMPARE(texts.at(p == 1 ? 4 : 3), QStringLiteral("Oszlopfej"));
            QCOMPARE(texts.last(), QStringLiteral("Nyomtatta: Teszt Elek"));
            QCOMPARE(texts.contains(QStringLiteral("CÍM")), p == 1);
            // Every band lies inside the page above the footer.
            const auto& placed = pages.placed(p);
            for (size_t i = 0; i + 1 < placed.size(); ++i)
                QVERIFY(placed[i].rect.bottom() <= 1123 - 38 - 20 + 0.01);
        }
        QCOMPARE(pages.pageOf(QStringLiteral("Összesítő")), count);
        // Order within the flow: group header, rows with their children and sub-details, footer.
        QStringList flow;
        for (int p = 1; p <= count; ++p)
            for (const QString& t : pages.texts(p))
                if (t.startsWith(QStringLiteral("csoport")) ||
                    t.startsWith(QStringLiteral("sor")) || t.startsWith(QStringLiteral("gyerek")) ||
                    t.startsWith(QStringLiteral("al ")))
                    flow << t;
        const QStringList start{"csoport 0 eleje", "sor 1",  "sor 2",    "gyerek 2",
                                "sor 3",           "sor 4",  "gyerek 4", "sor 5",
                                "al 5.1",          "al 5.2", "sor 6",    "gyerek 6"};
        QCOMPARE(flow.mid(0, start.size()), start);
        const qsizetype end0 = flow.indexOf(QStringLiteral("csoport 0 vége"));
        QCOMPARE(flow.at(end0 - 1), QStringLiteral("al 10.2"));
        QCOMPARE(flow.at(end0 + 1), QStringLiteral("csoport 1 eleje"));
        QCOMPARE(flow.at(end0 + 2), QStringLiteral("sor 11"));
        QCOMPARE(flow.last(), QStringLiteral("csoport 9 vége"));
        QCOMPARE(flow.count(QStringLiteral("sor 50")), 1);
    }

    void emptyReportHasOnePage()
    {
        Numbers numbers(0);
        PageModel pages;
        QCOMPARE(run(numbers.report, pages), 1);
        QVERIFY(pages.texts(1).contains(QStringLiteral("Összesítő")));
        QCOMPARE(pages.pageOf(QStringLiteral("csoport")), 0);
    }

    void pdfPagesReadBack()
    {
        QTemporaryDir dir;
        Numbers numbers(100);
        const QString path = dir.filePath(QStringLiteral("lista.pdf"));
        QString error;
        QVERIFY2(writePdf(numbers.report, path, &error), qPrintable(error));
        PageModel pages;
        const int count = run(numbers.report, pages);
        for (int p = 1; p <= count; ++p) {
            const QString text = pdfText(path, p);
            QVERIFY2(text.contains(QStringLiteral("Lapszám: %1").arg(p)), qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("Nyomtatta: Teszt Elek")));
            // The rows of this page and no other.
            for (const QString& t : pages.texts(p))
                if (t.startsWith(QStringLiteral("sor ")))
                    QVERIFY(text.contains(t + QLatin1Char('\n')) ||
                            text.contains(t + QLatin1Char(' ')));
        }
        QVERIFY(pdfText(path, count + 1).isEmpty());
        // A folder in the way: an error, no file.
        QDir().mkpath(dir.filePath(QStringLiteral("mappa.pdf")));
        QVERIFY(!writePdf(numbers.report, dir.filePath(QStringLiteral("mappa.pdf")), &error));
        QVERIFY(!error.isEmpty());
    }

    void wrapText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("lines");
        QTest::newRow("fits") << u"Rövid sor"_s << 300.0 << 1;
        QTest::newRow("empty") << QString() << 100.0 << 1;
        QTest::newRow("line break") << u"Első sor\nMásodik sor"_s << 300.0 << 2;
        QTest::newRow("words") << u"Csőtörés a kazánház padlóján, a szelep szivárog"_s << 120.0
                               << 3;
        QTest::newRow("one long word") << u"Gázkészülékkarbantartásiszerződés"_s << 60.0 << 4;
    }
    void wrapText()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(int, lines);
        TextStyle style;
        style.pointSize = 9;
        const QStringList wrapped = mivo::report::wrapText(text, width, style);
        QVERIFY2(wrapped.size() >= lines, qPrintable(wrapped.join(u'|')));
        // Nothing is lost but the blanks where lines break, and every line fits the width as
        // the printer's font measures it.
        QString joined = wrapped.join(QString());
        QCOMPARE(joined.remove(u' '), QString(text).remove(u' ').remove(u'\n'));
        QFont font = fontFor(style);
        font.setPixelSize(12 * 100);
        const QFontMetricsF metrics(font);
        for (const QString& line : wrapped)
            QVERIFY2(metrics.horizontalAdvance(line) / 100 <= width, qPrintable(line));
    }

    // A wrapping text grows its band: what lies under it moves down, what lies beside it stays,
    // and the next band starts under the grown one.
    void wrappedTextGrowsItsBand()
    {
        Report report;
        TextStyle wrap;
        wrap.pointSize = 9;
        wrap.wordWrap = true;
        const QString longText = u"Szivárog a tágulási tartály, a nyomás esik; a szelepet "
                                 u"cserélni kell, a kéményt ellenőrizni."_s;
        Band detail{40,
                    {Element::label({0, 0, 100, 15}, longText, wrap),
                     Element::label({0, 20, 100, 15}, u"ALATTA"_s),
                     Element::label({200, 20, 100, 15}, u"MELLETTE"_s),
                     Element::frame({200, 0, 20, 10})},
                    {},
                    {}};
        report.detail = detail;
        report.summary = Band{15, {Element::label({0, 0, 100, 15}, u"VÉGE"_s)}, {}, {}};
        int rows = 0;
        report.next = [&rows] { return ++rows <= 1; };
        report.rewind = [&rows] { rows = 0; };
        PageModel pages;
        QCOMPARE(run(report, pages), 1);
        const auto& placed = pages.placed(1);
        double lastLineBottom = 0;
        QRectF below, beside, end;
        QStringList lines;
        for (const auto& t : placed) {
            if (t.text == u"ALATTA"_s)
                below = t.rect;
            else if (t.text == u"MELLETTE"_s)
                beside = t.rect;
            else if (t.text == u"VÉGE"_s)
                end = t.rect;
            else {
                lines << t.text;
                lastLineBottom = std::max(lastLineBottom, t.rect.bottom());
            }
        }
        QVERIFY2(lines.size() >= 4, qPrintable(lines.join(u'|')));
        QCOMPARE(lines.join(u' '), longText);
        QVERIFY(below.top() >= lastLineBottom + 5 - 0.01);
        QCOMPARE(beside.top(), 38.0 + 20);
        QVERIFY(end.top() >= below.bottom() + 5 - 0.01);
        QCOMPARE(pages.frames(1).size(), size_t(1));
        QCOMPARE(pages.frames(1).front(), QRectF(38 + 200, 38, 20, 10));
    }

    // Groups with a page break: each group on a page of its own, and each page header sees the
    // row its page starts with; the first group does not leave page 1 empty.
    void groupsStartNewPages()
    {
        Report report;
        const QStringList rows{u"A"_s, u"A"_s, u"B"_s, u"C"_s, u"C"_s, u"C"_s};
        int row = -1;
        Band header{20, {Element::label({0, 0, 300, 20}, {})}, {}, {}};
        header.beforePrint = [&](Band& b) {
            b.elements[0].text =
                row >= 0 && row < int(rows.size()) ? u"Fejléc "_s + rows[row] : u"Fejléc üres"_s;
        };
        report.pageHeader = header;
        Group group;
        group.key = [&] { return rows[row]; };
        group.newPage = true;
        report.groups.push_back(group);
        Band detail{20, {Element::label({0, 0, 300, 20}, {})}, {}, {}};
        detail.beforePrint = [&](Band& b) { b.elements[0].text = u"sor "_s + rows[row]; };
        report.detail = detail;
        report.next = [&] { return ++row < int(rows.size()); };
        report.rewind = [&] { row = -1; };
        PageModel pages;
        QCOMPARE(run(report, pages), 3);
        QCOMPARE(pages.texts(1), (QStringList{u"Fejléc A"_s, u"sor A"_s, u"sor A"_s}));
        QCOMPARE(pages.texts(2), (QStringList{u"Fejléc B"_s, u"sor B"_s}));
        QCOMPARE(pages.texts(3), (QStringList{u"Fejléc C"_s, u"sor C"_s, u"sor C"_s, u"sor C"_s}));
        // No rows: one page, whose header knows there is no row.
        Report empty = report;
        empty.next = [] { return false; };
        empty.rewind = [&] { row = -1; };
        PageModel none;
        QCOMPARE(run(empty, none), 1);
        QCOMPARE(none.texts(1), QStringList{u"Fejléc üres"_s});
    }

    void framesReachThePdf()
    {
        QTemporaryDir dir;
        Report report;
        TextStyle wrap;
        wrap.wordWrap = true;
        report.detail = Band{40,
                             {Element::frame({0, 0, 100, 30}), Element::frame({0, 35, 700, 0}),
                              Element::label({110, 0, 90, 15}, u"Keretben hosszú szöveg"_s, wrap)},
                             {},
                             {}};
        int rows = 0;
        report.next = [&rows] { return ++rows <= 2; };
        report.rewind = [&rows] { rows = 0; };
        const QString path = dir.filePath(u"keret.pdf"_s);
        QString error;
        QVERIFY2(writePdf(report, path, &error), qPrintable(error));
        const QString text = pdfText(path);
        QVERIFY2(text.count(u"Keretben"_s) == 2, qPrintable(text));
        QVERIFY(text.contains(u"szöveg"_s));
    }

    void previewDrawsThePages()
    {
        Numbers numbers(30);
        bool seen = false;
        QTimer::singleShot(200, [&] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            seen = dialog != nullptr;
            if (dialog)
                dialog->reject();
        });
        preview(numbers.report);
        QVERIFY(seen);
        QVERIFY(numbers.row > 30); // the rows were read to the end
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
