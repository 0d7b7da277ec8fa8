// The completion screen driven headless: opening in each mode, the filter and the list's
// order, loading a job, the letter buttons and the parts grid, storing with the same-visit
// question and dropping, the export, and the scanned job sheet.

#include "scheduledata.h"
#include "support/modal.h"
#include "support/pdftext.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/menuscreen.h"
#include "core/messages.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/querymodel.h"
#include "reports/report.h"
#include "reports/reportpainter.h"
#include "workflow/elvegez.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPdfView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

const QString day = u"2030.05.06"_s;

// The generic editor as a picker: the row a statement finds, as the editor gives it back.
class ScriptedPicker : public TorzsOpener
{
public:
    ScriptedPicker() { setTorzsOpener(this); }
    ~ScriptedPicker() override { setTorzsOpener(nullptr); }
    bool OpenTorzs(TorzsCall& call) override
    {
        calls << call;
        if (rows.isEmpty())
            return false;
        db::Query q;
        q.setSql(rows.takeFirst());
        if (!q.exec() || !q.first())
            return false;
        for (int i = 0; i < q.fieldCount(); ++i) {
            call.names << q.fieldName(i);
            call.values << q.value(i).toString();
        }
        return true;
    }
    void markForRereading(const QString&) override {}
    QList<TorzsCall> calls;
    QStringList rows;
};

// Two technicians, a boiler type and two parts, two customers each with a boiler and a
// given-out repair on the day, one documented job.
struct Office {
    Office()
    {
        scheduledata::addTechnician(db, u"SZ1"_s, u"Arany Béla"_s);
        scheduledata::addTechnician(db, u"SZ2"_s, u"Bodó Ede"_s);
        for (const char16_t* sql :
             {u"INSERT INTO KULSOCEG (KOD, NEV) VALUES ('VELKOR', 'Velkor Kft.')",
              u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', 'Kazán 100', "
              "'K')",
              u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (201, 'A-1', 'Tömítés', 'A')",
              u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (202, 'A-2', 'Szelep', 'A')"})
            db.exec(QString::fromUtf16(sql));
        anna = scheduledata::addCustomer(db, u"Kiss Anna"_s, u"2600"_s, u"Vác"_s, u"Kert u. 3"_s);
        bela =
            scheduledata::addCustomer(db, u"Nagy Béla"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 9"_s);
        first = addJob(anna, u"KI"_s, u"SZ1"_s, day);
        second = addJob(bela, u"KI"_s, u"SZ2"_s, u"2030.05.07"_s);
        done = addJob(anna, u"OK"_s, u"SZ1"_s, u"2030.05.03"_s);
        db::execute(u"d_mivo"_s,
                    u"UPDATE MUNKA SET MUNKAD = TERVD, SZERELOM = 'SZ1', MUNKATEV = 'J', "
                    "MUNKASZAM = 'M-1' WHERE KOD = :k"_s,
                    {{u"k"_s, done}});
    }
    int addJob(int ugyfel, const QString& state, const QString& szerelot, const QString& tervd)
    {
        db::Query a(u"d_mivo"_s);
        a.setSql(u"INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM) VALUES (:u, 100, :g) "
                 "RETURNING KOD"_s);
        a.bind(u"u"_s, ugyfel);
        a.bind(u"g"_s, u"GY-"_s + QString::number(++appliances));
        const int appliance = a.insertReturning().toInt();
        db::Query q(u"d_mivo"_s);
        q.setSql(u"INSERT INTO MUNKA (ALLAPOT, UGYFEL, KESZULEK, TIPUS, FELVETELD, JUZER, LEIRAST, "
                 "TERVD, TERVT, TERVTEV, SZERELOT, KULD) VALUES (:a, :u, :k, 100, '2030.05.01', "
                 "'anna', 'Csöpög', :d, '10', 'J', :s, 0) RETURNING KOD"_s);
        q.bind(u"a"_s, state);
        q.bind(u"u"_s, ugyfel);
        q.bind(u"k"_s, appliance);
        q.bind(u"d"_s, tervd);
        q.bind(u"s"_s, szerelot);
        return q.insertReturning().toInt();
    }
    TestDb db;
    int anna = 0, bela = 0, first = 0, second = 0, done = 0;
    int appliances = 0;
};

class CompletionScreen
{
public:
    explicit CompletionScreen(const QString& mode)
    {
        openScreen(form,
                   mode == u"KI"_s ? u"Elvégzett munka dokumentálása"_s
                                   : u"Elvégzett munka adatellenőrzés, javítás"_s,
                   mode);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    QLineEdit* edit(const QString& name) { return form.edit(name); }
    QPushButton* button(const QString& name) { return form.findChild<QPushButton*>(name); }
    void press(const QString& name)
    {
        QPushButton* b = button(name);
        QVERIFY2(b && b->isEnabled() && b->isVisible(), qPrintable(name));
        QTest::mouseClick(b, Qt::LeftButton);
    }
    int listedKod(int row) { return form.listModel().value(row, u"KOD"_s).toInt(); }
    void select(int kod)
    {
        for (int row = 0; row < form.listModel().rowCount(); ++row) {
            if (listedKod(row) == kod)
                form.jobList()->setCurrentIndex(form.listModel().index(row, 0));
        }
    }
    QString part(int row, int column)
    {
        const QTableWidgetItem* item = form.partsGrid()->item(row, column);
        return item ? item->text() : QString();
    }

    Telvegezfm form;
};

QString jobField(int kod, const QString& column)
{
    return db::scalar(u"d_mivo"_s, u"SELECT "_s + column + u" FROM MUNKA WHERE KOD = :k"_s,
                      {{u"k"_s, kod}})
        .toString()
        .trimmed();
}

} // namespace

class TestElvegez : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 10), QTime(9, 30)));
        Td::instance().userCode = u"ANNA"_s;
        Td::instance().ownCompany = u"VELKOR"_s;
        Td::instance().partsStockAvailable = false;
        Ini::instance().clear();
    }
    void cleanup()
    {
        clock::set({});
        Ini::instance().clear();
    }

    void openingPerMode()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        {
            CompletionScreen s(u"KI"_s);
            QAbstractItemModelTester tester(&s.form.listModel());
            QCOMPARE(s.form.windowTitle(), u"Elvégzett munka dokumentálása"_s);
            QCOMPARE(s.form.pages()->currentIndex(), int(Telvegezfm::FilterPage));
            QCOMPARE(s.edit(u"e_tervdtol"_s)->text() + u'-' + s.edit(u"e_tervdig"_s)->text(),
                     u"2030.05.01-2030.05.10"_s);
            QCOMPARE(s.form.itemCount(), u"2"_s);
            QVERIFY(!s.button(u"b_ok"_s)->isEnabled());
            QVERIFY(!s.button(u"b_megsem"_s)->isEnabled());
            QVERIFY(!s.form.pages()->isTabVisible(Telvegezfm::SheetPage));
            QCOMPARE(s.form.pages()->tabText(Telvegezfm::PartsPage), u"Felhasznált alkatrészek"_s);
            QCOMPARE(s.form.partsGrid()->horizontalHeaderItem(2)->text(), u"Alatrész megnevezés"_s);
        }
        Ini::instance().set(u"JPG_PDF"_s, QDir::tempPath());
        CompletionScreen s(u"OK"_s);
        QCOMPARE(s.form.windowTitle(), u"Elvégzett munka adatellenőrzés, javítás"_s);
        // Mode "OK" waits for the filter.
        QCOMPARE(s.form.itemCount(), u"0"_s);
        QCOMPARE(s.form.listModel().rowCount(), 0);
        QCOMPARE(s.edit(u"e_munkadtol"_s)->text() + u'-' + s.edit(u"e_munkadig"_s)->text(),
                 u"2030.05.01-2030.05.10"_s);
        QCOMPARE(s.edit(u"e_tervdtol"_s)->text(), QString());
        QVERIFY(s.form.pages()->isTabVisible(Telvegezfm::SheetPage));
        s.press(u"b_elfogad"_s);
        QCOMPARE(s.form.itemCount(), u"1"_s);
        QCOMPARE(s.listedKod(0), o.done);

        ScriptedMessagesGuard messages;
        s.edit(u"e_munkadtol"_s)->setText(u"2030.05.09"_s);
        s.edit(u"e_munkadig"_s)->setText(u"2030.05.02"_s);
        s.press(u"b_elfogad"_s);
        QCOMPARE(messages->texts, QStringList{u"Rossz intervallum."_s});
        QCOMPARE(s.form.itemCount(), u"1"_s);
        s.press(u"b_torol"_s);
        QCOMPARE(s.edit(u"e_munkadtol"_s)->text() + u'-' + s.edit(u"e_munkadig"_s)->text(),
                 u"-2030.05.10"_s);
    }

    // A column title orders by that column; the filter binds what was typed.
    void orderAndFilter()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        CompletionScreen s(u"KI"_s);
        QCOMPARE(s.listedKod(0), o.second); // Budapest before Vác
        QHeaderView* header = s.form.jobList()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(s.listedKod(0), o.first); // by planned date
        QVERIFY(s.form.listStatement().sql.endsWith(u"ORDER BY 4"_s));
        s.edit(u"e_fugyfelnev"_s)->setText(u"Nagy"_s);
        s.press(u"b_elfogad"_s);
        QCOMPARE(s.form.itemCount(), u"1"_s);
        QCOMPARE(s.listedKod(0), o.second);
    }

    void loadEditAndDrop()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        ScriptedPicker picker;
        CompletionScreen s(u"KI"_s);
        s.select(o.first);
        s.press(u"b_bevitel"_s);
        QVERIFY(s.button(u"b_ok"_s)->isEnabled());
        QCOMPARE(s.form.pages()->currentIndex(), int(Telvegezfm::WorkPage));
        QCOMPARE(s.edit(u"e_nap"_s)->text(), day);
        QCOMPARE(s.edit(u"e_szerelo"_s)->text() + u' ' + s.edit(u"e_szerelonev"_s)->text(),
                 u"SZ1 Arany Béla"_s);
        QCOMPARE(s.edit(u"e_hiba"_s)->text(), u"Javítás"_s);
        QCOMPARE(s.edit(u"e_ugyfelnev"_s)->text(), u"Kiss Anna"_s);
        QVERIFY(s.form.pages()->isTabVisible(Telvegezfm::PartsPage));
        QVERIFY(!s.edit(u"e_sorszam"_s)->isReadOnly());

        // Leaving the postal code fills its town.
        s.form.pages()->setCurrentIndex(Telvegezfm::CustomerPage);
        s.edit(u"e_irszam"_s)->setFocus();
        s.edit(u"e_irszam"_s)->setText(u"1011"_s);
        s.edit(u"e_varos"_s)->setFocus();
        QCOMPARE(s.edit(u"e_varos"_s)->text(), u"Budapest"_s);

        // "I/N" pressed four times.
        s.form.pages()->setCurrentIndex(Telvegezfm::AppliancePage);
        QStringList letters;
        for (int i = 0; i < 4; ++i) {
            s.press(u"b_szakvelemeny"_s);
            letters << s.edit(u"e_szakvelemeny"_s)->text();
        }
        QCOMPARE(letters, (QStringList{u"I"_s, u"/"_s, u"N"_s, u"I"_s}));

        // A typed code is looked up whenever it changes.
        QTableWidget* grid = s.form.partsGrid();
        grid->item(0, 1)->setText(u"A-1"_s);
        QCOMPARE(s.part(0, 2), u"Tömítés"_s);
        grid->item(0, 1)->setText(u"A-2"_s);
        QCOMPARE(s.part(0, 2) + u'/' + s.part(0, 4), u"Szelep/202"_s);
        grid->item(0, 1)->setText(u"X-9"_s);
        QCOMPARE(s.part(0, 2) + u'/' + s.part(0, 4), u"??? NINCS ILYEN ALKATRÉSZ!/"_s);
        // "?" fills the first row without a code.
        grid->item(0, 1)->setText(QString());
        s.form.pages()->setCurrentIndex(Telvegezfm::PartsPage);
        picker.rows << u"SELECT * FROM ARU WHERE BELSOKOD = 201"_s;
        s.press(u"b_alkatresz"_s);
        QCOMPARE(picker.calls.last().condition, u"Where ARU.JELLEG='A'"_s);
        QCOMPARE(s.part(0, 1) + u'/' + s.part(0, 3) + u'/' + s.part(0, 4), u"A-1/1/201"_s);

        // A letter the button does not give stops the store, as leaving the field would.
        s.form.activityBox()->setCurrentText(u"Javítás"_s);
        s.edit(u"e_kerkarb"_s)->setText(u"X"_s);
        s.press(u"b_ok"_s);
        QCOMPARE(messages->texts.last(), u"Csak ezek a betűk elfogadhatók: IN"_s);
        QVERIFY(s.form.editing());

        // Dropping asks; No keeps everything.
        messages->queueAnswers({1});
        s.press(u"b_megsem"_s);
        QCOMPARE(messages->texts.last(), u"Még nem tárolta le! Eldobja a módosításokat?"_s);
        QCOMPARE(s.edit(u"e_kerkarb"_s)->text(), u"X"_s);
        s.press(u"b_megsem"_s);
        QVERIFY(!s.form.editing());
        QCOMPARE(s.edit(u"e_kerkarb"_s)->text(), QString());
        QCOMPARE(s.edit(u"e_munkakod"_s)->text(), QString::number(o.first));
        QVERIFY(!s.button(u"b_ok"_s)->isEnabled());
        QCOMPARE(jobField(o.first, u"ALLAPOT"_s), u"KI"_s);
    }

    // Storing: the checks' questions, the same visit, the list read again and its current
    // row shown.
    void storeWithSameVisit()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        // A "TO" job of the same visit.
        const int follow = o.addJob(o.anna, u"KI"_s, u"SZ1"_s, day);
        db::execute(u"d_mivo"_s,
                    u"UPDATE MUNKA SET TERVTEV = 'TO', KESZULEK = (SELECT KESZULEK FROM MUNKA "
                    "WHERE KOD = :f) WHERE KOD = :k"_s,
                    {{u"f"_s, o.first}, {u"k"_s, follow}});
        ScriptedMessagesGuard messages;
        CompletionScreen s(u"KI"_s);
        s.select(o.first);
        s.press(u"b_bevitel"_s);
        s.form.activityBox()->setCurrentText(u"Javítás"_s);
        s.edit(u"e_munkaszam"_s)->setText(u"M-5"_s);
        s.edit(u"e_leirasm"_s)->setText(u"Tömítés cserélve"_s);
        s.form.partsGrid()->item(0, 1)->setText(u"A-1"_s);
        s.form.partsGrid()->item(0, 3)->setText(u"2"_s);
        s.press(u"b_ok"_s);
        QCOMPARE(messages->texts,
                 (QStringList{u"Nincs beüzemelve a készülék!"_s, u"Tárolható?"_s,
                              u"1 azonos jellegű munkát találtam.\nMindegyiket elvégzettnek "
                              "tekintjük?"_s}));
        QCOMPARE(jobField(o.first, u"ALLAPOT || '/' || MUNKASZAM"_s), u"OK/M-5"_s);
        QCOMPARE(jobField(follow, u"ALLAPOT || '/' || LEIRASM"_s), u"OK/Tömítés cserélve"_s);
        QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT MENNYISEG FROM MUNKA_ALK WHERE KOD = :k"_s,
                            {{u"k"_s, o.first}})
                     .toInt(),
                 2);
        // The list lost both; the job now current is shown, not edited.
        QCOMPARE(s.form.itemCount(), u"1"_s);
        QVERIFY(!s.form.editing());
        QCOMPARE(s.edit(u"e_munkakod"_s)->text(), QString::number(o.second));
        QCOMPARE(s.edit(u"e_ugyfelnev"_s)->text(), u"Nagy Béla"_s);
    }

    void exportReadBack()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        CompletionScreen s(u"KI"_s);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"lista.SQL"_s);
        QCOMPARE(s.form.exportList(path), path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString script = QString::fromUtf8(f.readAll());
        QCOMPARE(script.count(u"Insert Into MUNKA ("_s), 2);
        QVERIFY(script.contains(u"'Kiss Anna'"_s));
        QVERIFY(script.contains(u"'Nagy Béla'"_s));
    }

    // The scanned job sheet: a PDF written by the report engine, a JPG, and none.
    void scannedSheet()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        QTemporaryDir dir;
        report::Report sheet;
        report::Band title;
        title.height = 40;
        title.elements.push_back(report::Element::label({0, 0, 400, 30}, u"Munkalap M-1"_s));
        sheet.title = title;
        bool once = true;
        sheet.next = [&once] { return std::exchange(once, false); };
        sheet.rewind = [&once] { once = true; };
        QString error;
        QVERIFY2(report::writePdf(sheet, dir.filePath(u"m-1.pdf"_s), &error), qPrintable(error));
        QVERIFY(pdfText(dir.filePath(u"m-1.pdf"_s)).contains(u"Munkalap M-1"_s));
        QImage picture(60, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QVERIFY(picture.save(dir.filePath(u"M-2.JPG"_s), "JPG"));
        Ini::instance().set(u"JPG_PDF"_s, dir.path());

        CompletionScreen s(u"OK"_s);
        s.press(u"b_elfogad"_s);
        s.press(u"b_bevitel"_s);
        s.form.pages()->setCurrentIndex(Telvegezfm::SheetPage);
        QCOMPARE(QFileInfo(s.form.sheetFile()).fileName(), u"m-1.pdf"_s);
        QCOMPARE(s.form.sheetViewer(), u"pdf_munkalap"_s);
        QCOMPARE(s.form.findChild<QPdfView*>()->document()->pageCount(), 1);

        // The job-sheet filter names the sheet looked for.
        s.form.pages()->setCurrentIndex(Telvegezfm::FilterPage);
        QLineEdit* number = s.edit(u"e_fmunkaszam"_s);
        number->setText(u"M-2"_s);
        emit number->editingFinished();
        s.form.pages()->setCurrentIndex(Telvegezfm::SheetPage);
        QCOMPARE(QFileInfo(s.form.sheetFile()).fileName(), u"M-2.JPG"_s);
        QCOMPARE(s.form.sheetViewer(), u"sb_kep"_s);

        s.form.pages()->setCurrentIndex(Telvegezfm::FilterPage);
        number->setText(u"M-3"_s);
        emit number->editingFinished();
        s.form.pages()->setCurrentIndex(Telvegezfm::SheetPage);
        QCOMPARE(s.form.sheetFile(), QString());
        QCOMPARE(s.form.sheetViewer(), u"l_nincsmunkalap"_s);
        QCOMPARE(s.form.findChild<QLabel*>(u"l_nincsmunkalap"_s)->text(),
                 u"Nincs beszkennelt munkalap fájl."_s);

        // "Tallóz" shows the chosen file; nothing is copied.
        whenModal<QFileDialog>(
            [&](QFileDialog* d) { typeIntoFileDialog(d, dir.filePath(u"M-2.JPG"_s)); });
        s.press(u"b_talloz"_s);
        QCOMPARE(QFileInfo(s.form.sheetFile()).fileName(), u"M-2.JPG"_s);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }
};

QTEST_MAIN(TestElvegez)
#include "tst_elvegez.moc"
