// What the list builder writes and reads back: parameter files, the list report, the workbook,
// the table files and the INSERT script.
#include "kvarcelfixture.h"

#include "framework/kvarcelparams.h"
#include "framework/qrkvarcel5.h"
#include "platform/codepage.h"
#include "reports/report.h"
#include "reports/reportpages.h"
#include "reports/reportpainter.h"
#include "support/pdftext.h"
#include "support/xlsxread.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTest>

extern "C" {
#include <paradox.h>
}

using namespace mivo;
using namespace mivo::kvarcel;
using namespace Qt::StringLiterals;

namespace
{

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text values of a dBase III file's records (header, descriptors, fixed-length rows).
QList<QStringList> dbfRecords(const QString& path)
{
    const QByteArray b = fileBytes(path);
    QList<QStringList> rows;
    if (b.size() < 32)
        return rows;
    const auto u16 = [&](int o) { return int(quint8(b[o])) | int(quint8(b[o + 1])) << 8; };
    const int count = u16(4) | u16(6) << 16;
    const int headerLength = u16(8);
    const int recordLength = u16(10);
    QList<int> lengths;
    for (int o = 32; b[o] != '\x0D'; o += 32)
        lengths << quint8(b[o + 16]);
    for (int r = 0; r < count; ++r) {
        const QByteArray rec = b.mid(headerLength + r * recordLength, recordLength);
        QStringList values;
        int pos = 1;
        for (int length : lengths) {
            values << fromWindows1250(rec.mid(pos, length)).trimmed();
            pos += length;
        }
        rows << values;
    }
    return rows;
}

} // namespace

class TestKvarcelFiles : public QObject
{
    Q_OBJECT

private slots:
    // Saved and opened again: the same choices, options and title; the long condition
    // comes back whole, the apostrophe doubled.
    void parameterRoundTrip()
    {
        KvarcelFixture f;
        f.choose(u"SZERELONEV"_s, u"A"_s, u"2"_s, u"1"_s);
        f.choose(u"TERVTEVNEV"_s, u"B"_s, {}, u"2"_s);
        f.choose(u"MUNKADB"_s, u"C"_s, u"1"_s);
        QString longCondition;
        for (int i = 0; i < 8; ++i)
            longCondition +=
                (i ? u" vagy "_s : QString()) + u" = 'Kovács, Nagy és Társa %1'"_s.arg(i);
        QVERIFY(longCondition.size() > 200);
        f.item(u"MUGYNEV"_s).feltetel = longCondition;
        f.item(u"MUGYVAROS"_s).feltetel = u" = 'O''Brien'"_s;
        f.builder->title = u"Szerelők munkái ő ű"_s;
        f.builder->options().nullas = true;
        f.builder->options().lapdob = true;
        f.builder->options().inner = true;
        const QString path = f.dir.filePath(u"lista.SQL"_s);
        QVERIFY(f.builder->save(path));

        const QByteArray bytes = fileBytes(path);
        QVERIFY(bytes.contains("Szerel\xf5k munk\xe1i \xf5 \xfb"));
        QVERIFY(bytes.contains("\r\n"));
        QString text;
        QVERIFY(readTextFile(path, &text, nullptr));
        const QStringList lines = text.split(u'\n');
        QCOMPARE(lines.mid(0, 8),
                 (QStringList{u"/* ver=5.0 */"_s, u"/* cim=Szerelők munkái ő ű */"_s,
                              u"/* cb_nullas=true */"_s, u"/* cb_kilepettek=true */"_s,
                              u"/* cb_csak_osszesen=false */"_s, u"/* cb_BERIDO=true */"_s,
                              u"/* cb_OUTER=true */"_s, u"/* cb_LAPDOB=true */"_s}));
        QCOMPARE(lines.mid(8, 7),
                 (QStringList{u"/* KELL=A,SZERELONEV */"_s, u"/* KELL=B,TERVTEVNEV */"_s,
                              u"/* KELL=C,MUNKADB */"_s, u"/* ORDERBY=1,MUNKADB */"_s,
                              u"/* ORDERBY=2,SZERELONEV */"_s, u"/* GROUP=1,C40 ,SZERELONEV */"_s,
                              u"/* GROUP=2,C40 ,TERVTEVNEV */"_s}));
        for (const QString& line : lines)
            QVERIFY2(line.size() <= 200, qPrintable(line));
        QCOMPARE(lines.filter(u"Create Table TMPKovacs_Be"_s).size(), 1);

        f.builder->newQuery();
        f.builder->options() = ListOptions();
        QVERIFY(f.builder->load(path));
        QCOMPARE(f.builder->title, u"Szerelők munkái ő ű"_s);
        QCOMPARE(f.item(u"SZERELONEV"_s).kell, u"A"_s);
        QCOMPARE(f.item(u"SZERELONEV"_s).rendez, u"2"_s);
        QCOMPARE(f.item(u"SZERELONEV"_s).csoport, u"1"_s);
        QCOMPARE(f.item(u"TERVTEVNEV"_s).csoport, u"2"_s);
        QCOMPARE(f.item(u"MUNKADB"_s).rendez, u"1"_s);
        QCOMPARE(f.item(u"MUGYNEV"_s).feltetel, longCondition);
        QCOMPARE(f.item(u"MUGYVAROS"_s).feltetel, u" = 'O''Brien'"_s);
        QVERIFY(f.builder->options().nullas && f.builder->options().lapdob);
        // Opening unticks "Csak ha minden táblában van sora" before the options are read.
        QVERIFY(f.builder->options().inner);
        // Listed items: the script is generated afresh at the next run.
        QVERIFY(f.builder->statementText.isEmpty());
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        // No customer has such a name: only the grand total, of nothing.
        QCOMPARE(f.builder->result().rowCount(), 1);
    }

    // A hand-written script saved from the advanced mode opens as it was and runs as loaded.
    void handWrittenScript()
    {
        KvarcelFixture f(false);
        const QString path = f.dir.filePath(u"kezi.sql"_s);
        const QStringList script = {u"/* saját lekérdezés"_s, u"   két sorban */"_s,
                                    u"select KOD, NEV"_s,     u"from ALLAPOT"_s,
                                    u"where KOD <> 'TOR'"_s,  u"order by KOD;"_s};
        QVERIFY(writeTextFile(path, script, nullptr));
        QVERIFY(f.builder->load(path));
        QCOMPARE(f.builder->statementText, script.join(u'\n') + u"\n"_s);
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QCOMPARE(f.builder->result().rowCount(), 6);
    }

    // Files before 5.0 carry the period as HOTOL/HOIG; aliases that changed are translated.
    void olderFiles()
    {
        KvarcelFixture f(false);
        QVERIFY(f.db.exec(u"INSERT INTO KVARCELUJ (SORREND, MEGNEVEZES, TABLA, MEZO, ALIAS, TIPUS, "
                          "FEJLEC) VALUES ('901', 'Bérhónap', 'MUNK', 'TERVD', 'BKH_HONAP', '*', "
                          "'Hónap')"_s));
        QVERIFY(
            f.db.exec(u"INSERT INTO KVARCELUJ (SORREND, MEGNEVEZES, TABLA, ALIAS, TIPUS, "
                      "FEJLEC) VALUES ('902', 'Dátum', 'MUNK', 'SZEMDATUM', 'C10', 'Dátum')"_s));
        QVERIFY(
            f.db.exec(u"INSERT INTO KVARCELUJKONV (REGALIAS, ALIAS, VERZIO) VALUES ('REGIALLAPOT', "
                      "'MUNKALLAPOT', NULL)"_s));
        QVERIFY(f.db.exec(u"INSERT INTO KVARCELUJKONV (REGALIAS, ALIAS, VERZIO) VALUES ('REGINEV', "
                          "'ALLAPOTNEV', '4.0')"_s));
        QVERIFY(f.builder->reread());
        const QString path = f.dir.filePath(u"regi.SQL"_s);
        QVERIFY(writeTextFile(path,
                              {u"/* ver=4.0 */"_s, u"/* kell=A,REGIALLAPOT */"_s,
                               u"/* KELL=B,REGINEV */"_s, u"/* HOTOL=01 */"_s, u"/* HOIG=05 */"_s,
                               u"select 1 from rdb$database;"_s},
                              nullptr));
        QVERIFY(f.builder->load(path));
        QCOMPARE(f.item(u"MUNKALLAPOT"_s).kell, u"A"_s);
        QCOMPARE(f.item(u"ALLAPOTNEV"_s).kell, u"B"_s);
        QCOMPARE(f.item(u"BKH_HONAP"_s).feltetel, u" between '%eveleje%' and '%aktzartho%'"_s);
        QCOMPARE(f.item(u"SZEMDATUM"_s).feltetel, u" = '%ma%'"_s);
        QVERIFY(writeTextFile(path, {u"/* HOTOL=05 */"_s, u"/* HOIG=05 */"_s}, nullptr));
        QVERIFY(f.builder->load(path));
        QCOMPARE(f.item(u"BKH_HONAP"_s).feltetel, u" = '%aktzartho%'"_s);
    }

    void breakLongLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("count");
        QTest::newRow("short") << u"select 1;"_s << 1;
        QTest::newRow("commas") << QStringList(60, u"ABCD"_s).join(u',') << 2; // 299 characters
        // Never inside the literal: the break comes before it, the literal stays whole.
        QTest::newRow("literal") << u"x = '"_s + QString(250, u'a') + u"' y"_s << 2;
    }
    void breakLongLine()
    {
        QFETCH(QString, line);
        const QStringList pieces = kvarcel::breakLongLine(line);
        QCOMPARE(pieces.join(QString()), line);
        QFETCH(int, count);
        QCOMPARE(int(pieces.size()), count);
        for (qsizetype i = 0; i + 1 < pieces.size(); ++i)
            QVERIFY(pieces[i].size() <= 200 &&
                    (pieces[i].endsWith(u',') || pieces[i].endsWith(u' ')));
        if (count == 2 && line.startsWith(u"x = "_s))
            QCOMPARE(pieces[1].left(1), u"'"_s);
    }

    // "Lista": header lines, fixed-width lines, total lines with " sor" bold on yellow, a
    // page per group when asked.
    void listReport()
    {
        KvarcelFixture f;
        QVERIFY(!f.builder->listReport());
        QCOMPARE(f.messages->texts.takeLast(), u"Nincs még adat."_s);
        f.choose(u"ALLAPOTNEV"_s, u"A"_s, {}, u"1"_s);
        f.choose(u"TERVTEVNEV"_s, u"B"_s);
        f.choose(u"MUNKADB"_s, u"C"_s);
        f.item(u"MUNKALLAPOT"_s).feltetel = u" = 'OK' vagy  = 'ZA'"_s;
        f.builder->title = u"Lezárt munkák"_s;
        f.builder->options().lapdob = true;
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        const QString path = f.dir.filePath(u"lista.pdf"_s);
        QVERIFY(f.builder->save(f.dir.filePath(u"lezart.SQL"_s)));
        const std::unique_ptr<report::Report> r = f.builder->listReport();
        QVERIFY(r);
        report::PageModel pages;
        report::run(*r, pages);
        // The grand total sorts first and stands alone on its page; each state starts a page.
        const auto totals = [&](int page) { return pages.texts(page).filter(u" sor"_s).size(); };
        QCOMPARE(totals(1), 1);
        QCOMPARE(pages.texts(1).filter(u"Elvégezve"_s).size(), 0);
        const int closed = pages.pageOf(u"Zárt ajtó"_s);
        QVERIFY(closed > 2);
        QCOMPARE(pages.texts(closed).filter(u"Elvégezve"_s).size(), 0);
        QCOMPARE(pages.texts(closed - 1).filter(u"Elvégezve"_s).filter(u" sor"_s).size(), 1);
        bool highlighted = false;
        for (const auto& t : pages.placed(1))
            if (t.text.endsWith(u" sor"_s)) {
                QVERIFY(t.style.bold);
                QCOMPARE(t.style.background, QColor(Qt::yellow));
                highlighted = true;
            }
        QVERIFY(highlighted);
        QString error;
        QVERIFY2(report::writePdf(*r, path, &error), qPrintable(error));
        const QString text = pdfText(path);
        for (const QString& part : {u"Lezárt munkák"_s, u"Állapot: = 'OK' vagy"_s, u"lezart"_s,
                                    u"Készítette: Kovács Béla"_s, u"Készült:"_s, u"Lapszám: 2"_s,
                                    u"Áll. neve"_s, u"Elvégezve, dokumentálva"_s, u" sor"_s})
            QVERIFY2(text.contains(part), qPrintable(part + u"\n"_s + text));
    }

    void orientation_data()
    {
        QTest::addColumn<int>("characters");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("points");
        QTest::newRow("96") << 96 << false << 10.0;
        QTest::newRow("97") << 97 << true << 10.0;
        QTest::newRow("146") << 146 << true << 10.0;
        QTest::newRow("179") << 179 << true << 8.0;
        QTest::newRow("194") << 194 << true << 7.0;
        QTest::newRow("209") << 209 << true << 6.0;
        QTest::newRow("210") << 210 << true << 5.0;
    }
    void orientation()
    {
        QFETCH(int, characters);
        QFETCH(bool, landscape);
        QFETCH(double, points);
        QCOMPARE(Tqrkvarcel5::landscape(characters), landscape);
        QCOMPARE(Tqrkvarcel5::fontSize(characters), points);
    }

    // "excelbe": title rows, the headings with the count column's own heading, the rows.
    void workbook()
    {
        KvarcelFixture f;
        QVERIFY(f.builder->writeWorkbook().isEmpty());
        QCOMPARE(f.messages->texts.takeLast(), u"Nincs mit..."_s);
        f.choose(u"ALLAPOTNEV"_s, u"A"_s, {}, u"1"_s);
        f.choose(u"MUNKADB"_s, u"B"_s);
        f.builder->title = u"Állapotok"_s;
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        const QString path = f.builder->writeWorkbook();
        QVERIFY2(path.startsWith(f.dir.path() + u"/KVARCEL_lista_"_s), qPrintable(path));
        const QJsonObject book = readWorkbook(path);
        QCOMPARE(sheetCell(book, 0, 0, 0)[u"v"_s].toString(), u"Állapotok"_s);
        QCOMPARE(sheetCell(book, 0, 2, 0)[u"v"_s].toString().size(), 19);
        QCOMPARE(sheetCell(book, 0, 3, 0)[u"v"_s].toString(), u"Áll. neve"_s);
        QCOMPARE(sheetCell(book, 0, 3, 1)[u"v"_s].toString(), u"Db"_s);
        QCOMPARE(sheetCell(book, 0, 3, 2)[u"v"_s].toString(), u"fö"_s);
        const QJsonArray rows = sheetRows(book, 0);
        QCOMPARE(rows.size(), 4 + f.builder->result().rowCount());
        QCOMPARE(rows[4].toArray()[2].toObject()[u"v"_s].toDouble(),
                 f.builder->result().value(0, 2).toDouble());
        Ini::instance().set(u"EXCELSUMFO"_s, u"Összesen"_s);
        f.builder->start(u"Kovács Béla"_s, u"A"_s);
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QCOMPARE(sheetCell(readWorkbook(f.builder->writeWorkbook()), 0, 3, 2)[u"v"_s].toString(),
                 u"Összesen"_s);
    }

    // "adattáblába": dBase with "Á", "Ú", "Ó" as plain capitals, text, Paradox.
    void tables()
    {
        KvarcelFixture f;
        f.choose(u"ALLAPOTNEV"_s, u"A"_s, {}, u"1"_s);
        f.choose(u"MUNKADB"_s, u"B"_s);
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        const int rows = f.builder->result().rowCount();
        const QString dbf = f.dir.filePath(u"eredmeny"_s);
        QVERIFY(f.builder->writeTable(dbf));
        const QList<QStringList> records = dbfRecords(dbf + u".DBF"_s);
        QCOMPARE(records.size(), rows);
        QStringList names;
        for (const QStringList& r : records)
            names << r.front();
        QVERIFY2(names.contains(u"Uj látogatással lezárva"_s), qPrintable(names.join(u'|')));

        const QString txt = f.dir.filePath(u"eredmeny.txt"_s);
        QVERIFY(f.builder->writeTable(txt));
        const QStringList lines =
            QString::fromUtf8(fileBytes(txt)).split(u"\r\n"_s, Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), rows);
        QVERIFY(lines.filter(u"Új látogatással lezárva"_s).size() >= 1);

        const QString db = f.dir.filePath(u"eredmeny.DB"_s);
        QVERIFY(f.builder->writeTable(db));
        pxdoc_t* doc = PX_new();
        QVERIFY(PX_open_file(doc, QFile::encodeName(db).constData()) == 0);
        QCOMPARE(PX_get_num_records(doc), rows);
        PX_close(doc);
        PX_delete(doc);
    }

    // "S&qllbe": INSERT statements into the named file, apostrophes doubled, asking before
    // it overwrites.
    void inserts()
    {
        KvarcelFixture f(false, u"9"_s);
        QVERIFY(f.db.exec(u"INSERT INTO ALLAPOT (KOD, NEV) VALUES ('OB', 'O''Brien')"_s));
        f.builder->advancedShown = true;
        f.builder->statementText = u"select KOD, NEV from ALLAPOT where KOD='OB';"_s;
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QVERIFY(!f.builder->writeInserts(u" "_s));
        QCOMPARE(f.messages->texts.takeLast(), u"File name = ?"_s);
        QVERIFY(f.builder->writeInserts(u"allapot"_s));
        const QString path = f.dir.filePath(u"allapot.SQL"_s);
        QCOMPARE(f.messages->texts.takeLast(), path + u" elkészült."_s);
        QCOMPARE(QString::fromUtf8(fileBytes(path)).trimmed(),
                 u"Insert Into ALLAPOT (KOD,NEV) Values ('OB','O''Brien');"_s);
        f.messages->queueAnswers({1});
        QVERIFY(!f.builder->writeInserts(u"allapot"_s));
        QCOMPARE(f.messages->texts.takeLast(), u"Létezö File felülírhatjuk ? ("_s + path + u")"_s);
    }
};

QTEST_MAIN(TestKvarcelFiles)
#include "tst_kvarcelfiles.moc"
