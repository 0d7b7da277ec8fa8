// The appliance owner change screen ("Készülékek"), driven headless.

#include "scheduledata.h"
#include "scriptedpicker.h"
#include "support/testdb.h"

#include "core/dat.h"
#include "core/messages.h"
#include "core/screenregistry.h"
#include "framework/torzsmodel.h"
#include "platform/dbquery.h"
#include "workflow/ownerchange.h"
#include "workflow/tulajvalt.h"
#include "workflow/workflowscreens.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace scheduledata;
using namespace Qt::StringLiterals;

namespace
{

const QString applianceQuestion = u"A készülék adatainak változása tárolható?"_s;
const QString customerQuestion = u"Tároljuk az ügyfél adatainak változását?"_s;

// Three customers with an appliance each (the first one's with a job); two types.
struct Office {
    Office()
    {
        db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', "
                "'Kazán 100', 'K')"_s);
        db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (200, 'C-200', "
                "'Cirkó 200', 'K')"_s);
        nagy = addCustomer(db, u"Nagy Éva"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
        kiss = addCustomer(db, u"Kiss Péter"_s, u"1111"_s, u"Budapest"_s, u"Kő u. 1"_s);
        arany = addCustomer(db, u"Arany Béla"_s, u"6000"_s, u"Kecskemét"_s, u"Ág u. 3"_s);
        nagyKazan = addAppliance(db, nagy, 100, u"ABC123"_s, u"2020.01.10"_s);
        kissCirko = addAppliance(db, kiss, 200, u"ABD555"_s, u"2021.02.02"_s);
        aranyKazan = addAppliance(db, arany, 100, u"XYZ9"_s, {});
        db.exec(u"INSERT INTO MUNKA (ALLAPOT, UGYFEL, KESZULEK, TIPUS) VALUES ('OK', "_s +
                QString::number(nagy) + u", "_s + QString::number(nagyKazan) + u", 100)"_s);
    }
    static QString field(const QString& table, const QString& column, int kod,
                         const QString& key = u"KOD"_s)
    {
        return db::scalar(u"d_mivo"_s, u"SELECT "_s + column + u" FROM "_s + table + u" WHERE "_s +
                                           key + u" = "_s + QString::number(kod))
            .toString()
            .trimmed();
    }
    TestDb db;
    int nagy = 0, kiss = 0, arany = 0;
    int nagyKazan = 0, kissCirko = 0, aranyKazan = 0;
};

struct Form {
    Form()
    {
        w.prepare({});
        w.show();
    }
    void press(const QString& command) { w.commands().command(command)->trigger(); }
    bool enabled(const QString& command) { return w.commands().command(command)->isEnabled(); }
    QLineEdit* edit(const QString& name) { return w.findChild<QLineEdit*>(name); }
    void goTo(int kod)
    {
        const int row = w.rows().locate({u"KOD"_s}, {kod});
        QVERIFY(row >= 0);
        w.view()->setCurrentIndex(w.rows().index(row, 0));
        QCOMPARE(w.currentAppliance(), kod);
    }
    QStringList column(const QString& field)
    {
        QStringList values;
        for (int r = 0; r < w.rows().rowCount(); ++r)
            values << w.rows().value(r, field).toString();
        return values;
    }
    Ttulajvaltfm w;
};

} // namespace

class TestTulajvalt : public QObject
{
    Q_OBJECT

private slots:
    void init() { Td::instance().userCode = u"kata"_s; }

    // The list in the owner's order with its eight columns; the fields follow the row;
    // browsing keeps the edit area disabled.
    void listAndFields()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        Form s;
        QAbstractItemModelTester tester(&s.w.rows());
        QCOMPARE(s.column(u"UGYFELNEV"_s),
                 (QStringList{u"Arany Béla"_s, u"Kiss Péter"_s, u"Nagy Éva"_s}));
        QCOMPARE(s.w.rows().columnCount(), 8);
        QStringList titles;
        for (int c = 0; c < 8; ++c)
            titles << s.w.rows().headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{u"Kód"_s, u"Készülék név"_s, u"Gyári szám"_s, u"Ügyfél"_s,
                                      u"Irsz."_s, u"Település"_s, u"Cím"_s, u"Ügyfélkód"_s}));
        QCOMPARE(s.w.sortBox()->currentText(), u"Ügyfél"_s);
        QVERIFY(!s.w.editArea()->isEnabled());
        QVERIFY(!s.enabled(u"ok"_s) && !s.enabled(u"megsem"_s));
        QVERIFY(s.enabled(u"modosit"_s) && s.enabled(u"plusz"_s) && s.enabled(u"torles"_s));
        s.goTo(o.kissCirko);
        QCOMPARE(s.edit(u"e_ugyfelnev"_s)->text(), u"Kiss Péter"_s);
        QCOMPARE(s.edit(u"e_tel"_s)->text(), u"06-1-555"_s);
        QCOMPARE(s.edit(u"e_ktip"_s)->text(), u"C-200"_s);
        QCOMPARE(s.edit(u"e_ktipnev"_s)->text(), u"Cirkó 200"_s);
        QCOMPARE(s.edit(u"e_beuzemeles"_s)->text(), u"2021.02.02"_s);
        QCOMPARE(s.w.findChild<QLabel*>(u"l_kod"_s)->text(), QString::number(o.kissCirko));

        s.press(u"modosit"_s);
        QVERIFY(s.w.editArea()->isEnabled());
        QVERIFY(!s.w.view()->isEnabled());
        QVERIFY(s.enabled(u"ok"_s) && s.enabled(u"megsem"_s));
        QVERIFY(!s.enabled(u"modosit"_s) && !s.enabled(u"plusz"_s) && !s.enabled(u"torles"_s) &&
                !s.enabled(u"frissit"_s));
        s.edit(u"e_gyariszam"_s)->setText(u"ELVETVE"_s);
        s.press(u"megsem"_s);
        QCOMPARE(s.w.mode(), Ttulajvaltfm::Mode::Browse);
        QCOMPARE(s.edit(u"e_gyariszam"_s)->text(), u"ABD555"_s);
        QCOMPARE(Office::field(u"KESZULEK"_s, u"GYARISZAM"_s, o.kissCirko), u"ABD555"_s);
    }

    // Another owner picked: the appliance and its commissioning sheet go to him, its jobs
    // keep their customer, and the list stays on the appliance.
    void ownerMoves()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        ScriptedPicker picker;
        Form s;
        s.goTo(o.nagyKazan);
        s.press(u"modosit"_s);
        picker.next(u"SELECT * FROM UGYFEL WHERE KOD = "_s + QString::number(o.kiss));
        QTest::mouseClick(s.w.findChild<QWidget*>(u"b_ugyfel"_s), Qt::LeftButton);
        QCOMPARE(picker.calls.value(0).tableSpec, u"UGYFEL"_s);
        QCOMPARE(picker.calls.value(0).searchText, u"Nagy Éva"_s);
        QCOMPARE(s.edit(u"e_ugyfelnev"_s)->text(), u"Kiss Péter"_s);
        s.press(u"ok"_s);
        QCOMPARE(messages->texts, QStringList{applianceQuestion});
        QCOMPARE(Office::field(u"KESZULEK"_s, u"UGYFEL"_s, o.nagyKazan).toInt(), o.kiss);
        QCOMPARE(Office::field(u"BEUZLAP"_s, u"UGYFEL"_s, o.nagyKazan, u"KESZULEK"_s).toInt(),
                 o.kiss);
        QCOMPARE(Office::field(u"MUNKA"_s, u"UGYFEL"_s, o.nagyKazan, u"KESZULEK"_s).toInt(),
                 o.nagy);
        QCOMPARE(s.w.mode(), Ttulajvaltfm::Mode::Browse);
        QCOMPARE(s.w.currentAppliance(), o.nagyKazan);
        QCOMPARE(s.edit(u"e_ugyfelnev"_s)->text(), u"Kiss Péter"_s);
    }

    // Each question guards its own write: No skips only that one.
    void questions_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("storedSerial");
        QTest::addColumn<QString>("storedPhone");
        QTest::newRow("only the telephone")
            << u"ABD555"_s << QList<int>{} << QStringList{customerQuestion} << u"ABD555"_s
            << u"06-30-111"_s;
        QTest::newRow("appliance no, customer yes")
            << u"ABD556"_s << QList<int>{1, 0} << QStringList{applianceQuestion, customerQuestion}
            << u"ABD555"_s << u"06-30-111"_s;
        QTest::newRow("appliance yes, customer no")
            << u"ABD556"_s << QList<int>{0, 1} << QStringList{applianceQuestion, customerQuestion}
            << u"ABD556"_s << u"06-1-555"_s;
    }
    void questions()
    {
        QFETCH(QString, serial);
        QFETCH(QList<int>, answers);
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        messages->answers = answers;
        Form s;
        s.goTo(o.kissCirko);
        s.press(u"modosit"_s);
        s.edit(u"e_tel"_s)->setText(u"06-30-111"_s);
        s.edit(u"e_gyariszam"_s)->setText(serial);
        s.press(u"ok"_s);
        QTEST(messages->texts, "asked");
        QTEST(Office::field(u"KESZULEK"_s, u"GYARISZAM"_s, o.kissCirko), "storedSerial");
        QTEST(Office::field(u"UGYFEL"_s, u"TELEFON"_s, o.kiss), "storedPhone");
        QCOMPARE(s.w.mode(), Ttulajvaltfm::Mode::Browse);
        QCOMPARE(s.w.currentAppliance(), o.kissCirko);
    }

    // Sorted by serial number, the search finds the first serial number with the longest
    // matching beginning of the text; a sort change cuts the text to the field's width.
    void search()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        Form s;
        s.w.searchBox()->setText(QString(50, u'B'));
        s.w.sortBy(3);
        QCOMPARE(s.w.sortBox()->currentText(), u"Gyári szám"_s);
        QCOMPARE(s.w.searchBox()->maxLength(), 30);
        QCOMPARE(s.w.searchBox()->text(), QString(30, u'B'));
        QCOMPARE(s.column(u"GYARISZAM"_s), (QStringList{u"ABC123"_s, u"ABD555"_s, u"XYZ9"_s}));
        const std::pair<QString, int> cases[] = {{u"abd9"_s, o.kissCirko},
                                                 {u"ABX"_s, o.nagyKazan},
                                                 {u"xyq"_s, o.aranyKazan},
                                                 {u"Q"_s, o.aranyKazan},
                                                 {QString(), o.nagyKazan}};
        for (const auto& [text, kod] : cases) {
            s.w.searchBox()->setText(text);
            QVERIFY2(s.w.currentAppliance() == kod, qPrintable(text));
        }
    }

    // "+" adds an appliance for the row's customer: with the type picked, or without a pick
    // with the row's type; the date typed is stored, owner changes are asked about.
    void add_data()
    {
        QTest::addColumn<bool>("pickType");
        QTest::addColumn<int>("type");
        QTest::newRow("type picked") << true << 200;
        QTest::newRow("row's type") << false << 100;
    }
    void add()
    {
        QFETCH(bool, pickType);
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        ScriptedPicker picker;
        Form s;
        s.goTo(o.nagyKazan);
        s.press(u"plusz"_s);
        QCOMPARE(s.w.mode(), Ttulajvaltfm::Mode::Insert);
        for (const char16_t* name : {u"e_ktip", u"e_ktipnev", u"e_gyariszam", u"e_beuzemeles"})
            QVERIFY(s.edit(QString::fromUtf16(name))->text().isEmpty());
        if (pickType) {
            picker.next(u"SELECT * FROM ARU WHERE BELSOKOD = 200"_s);
            QTest::mouseClick(s.w.findChild<QWidget*>(u"b_ktip"_s), Qt::LeftButton);
            QCOMPARE(picker.calls.value(0).condition, u"Where JELLEG='K'"_s);
            QCOMPARE(s.edit(u"e_ktipnev"_s)->text(), u"Cirkó 200"_s);
        }
        s.edit(u"e_gyariszam"_s)->setText(u"NEW-1"_s);
        s.edit(u"e_beuzemeles"_s)->setText(u"20240501"_s);
        s.edit(u"e_komment"_s)->setText(u"Két készülék"_s);
        s.press(u"ok"_s);
        QCOMPARE(messages->texts, QStringList{customerQuestion});
        db::Query q;
        q.setSql(u"SELECT TIPUS, GYARISZAM, BEUZEMELES FROM KESZULEK WHERE UGYFEL = :u "
                 "ORDER BY KOD"_s);
        q.bind(u"u"_s, o.nagy);
        QVERIFY(q.exec());
        QCOMPARE(q.recordCount(), 2);
        QVERIFY(q.seek(1));
        QTEST(q.integer(u"TIPUS"_s), "type");
        QCOMPARE(q.text(u"GYARISZAM"_s), u"NEW-1"_s);
        QCOMPARE(q.text(u"BEUZEMELES"_s), u"2024.05.01"_s);
        QCOMPARE(Office::field(u"UGYFEL"_s, u"KOMMENT"_s, o.nagy), u"Két készülék"_s);
        QCOMPARE(s.w.mode(), Ttulajvaltfm::Mode::Browse);
        QCOMPARE(s.w.rows().rowCount(), 4);
    }

    // The commissioning date is checked when storing: a wrong one stores nothing and keeps
    // editing; an empty one is allowed; a compact one is stored dotted.
    void dates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("stored");
        QTest::newRow("wrong month") << u"2024.13.01"_s << false << u"2020.01.10"_s;
        QTest::newRow("month alone") << u"2024.05"_s << false << u"2020.01.10"_s;
        QTest::newRow("letters") << u"tegnap"_s << false << u"2020.01.10"_s;
        QTest::newRow("compact") << u"20230102"_s << true << u"2023.01.02"_s;
        QTest::newRow("empty") << QString() << true << QString();
    }
    void dates()
    {
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        Form s;
        s.goTo(o.nagyKazan);
        s.press(u"modosit"_s);
        s.edit(u"e_beuzemeles"_s)->setText(typed);
        s.edit(u"e_gyariszam"_s)->setText(u"ABC124"_s);
        s.press(u"ok"_s);
        QTEST(Office::field(u"KESZULEK"_s, u"BEUZEMELES"_s, o.nagyKazan), "stored");
        if (valid) {
            QCOMPARE(messages->texts, QStringList{applianceQuestion});
            QCOMPARE(s.w.mode(), Ttulajvaltfm::Mode::Browse);
        } else {
            QCOMPARE(messages->texts, QStringList{u"Hibás dátum.\n"_s + typed});
            QCOMPARE(Office::field(u"KESZULEK"_s, u"GYARISZAM"_s, o.nagyKazan), u"ABC123"_s);
            QCOMPARE(s.w.mode(), Ttulajvaltfm::Mode::Edit);
            QCOMPARE(s.edit(u"e_beuzemeles"_s)->text(), typed);
            QCOMPARE(s.edit(u"e_gyariszam"_s)->text(), u"ABC124"_s);
        }
    }

    // "&Törlés" marks the appliance deleted on Yes only; "&Lista" prints its history.
    void deleteAndPrint()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        Form s;
        s.goTo(o.kissCirko);
        messages->answers = {1};
        s.press(u"torles"_s);
        QCOMPARE(Office::field(u"KESZULEK"_s, u"ALLAPOT"_s, o.kissCirko), QString());
        s.press(u"torles"_s);
        QCOMPARE(messages->texts, QStringList(2, u"Törli a készüléket a nyilvántartásból?"_s));
        QCOMPARE(Office::field(u"KESZULEK"_s, u"ALLAPOT"_s, o.kissCirko), u"T"_s);
        QCOMPARE(s.w.currentAppliance(), o.kissCirko);

        HistoryPrint printed;
        s.w.setPrinter([&](const HistoryPrint& p) { printed = p; });
        s.press(u"lista"_s);
        QCOMPARE(printed, (HistoryPrint{false, o.kiss, o.kissCirko}));
    }

    // "&Frissít" shows another workstation's change and stays on the appliance.
    void refreshStaysOnRow()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        Form s;
        s.goTo(o.nagyKazan);
        o.db.exec(u"UPDATE UGYFEL SET NEV = 'Aba Éva' WHERE KOD = "_s + QString::number(o.nagy));
        s.press(u"frissit"_s);
        QCOMPARE(s.w.currentAppliance(), o.nagyKazan);
        QCOMPARE(s.w.view()->currentIndex().row(), 0);
        QCOMPARE(s.edit(u"e_ugyfelnev"_s)->text(), u"Aba Éva"_s);
    }

    // "Készülékek" opens the screen without blocking, titled after the menu item.
    void openedFromTheMenu()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        QWidget owner;
        ScreenRegistry registry;
        registerWorkflowScreens(registry);
        QVERIFY(registry.open(u"Kszlkek1"_s, u"Készülékek"_s, &owner));
        auto* screen = dynamic_cast<Ttulajvaltfm*>(registry.created(u"Ttulajvaltfm"_s));
        QVERIFY(screen);
        QCOMPARE(screen->windowTitle(), u"Készülékek"_s);
        QVERIFY(screen->isVisible());
        QVERIFY(!screen->isModal());
        QCOMPARE(screen->rows().rowCount(), 3);
        screen->close();
    }

    void storedDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("valid");
        QTest::newRow("dotted") << u"2024.02.29"_s << u"2024.02.29"_s << true;
        QTest::newRow("compact") << u"20240501"_s << u"2024.05.01"_s << true;
        QTest::newRow("blank mask") << u"    .  .  "_s << QString() << true;
        QTest::newRow("no leap day") << u"2023.02.29"_s << QString() << false;
        QTest::newRow("year and month") << u"202405"_s << QString() << false;
    }
    void storedDates()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, valid);
        const std::optional<QString> d = storedCommissioningDate(typed);
        QCOMPARE(d.has_value(), valid);
        if (valid)
            QCOMPARE(*d, stored);
    }
};

QTEST_MAIN(TestTulajvalt)
#include "tst_tulajvalt.moc"
