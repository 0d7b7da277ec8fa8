// The letters: selection, the customer test, storing with the address workbook, and the
// e-mails through a loopback mail server; the screen as a user drives it.

#include "support/modal.h"
#include "support/smtpserver.h"
#include "support/testdb.h"
#include "support/xlsxread.h"
#include "workflow/scriptedpicker.h"

#include "core/clock.h"
#include "core/getdatum.h"
#include "core/ini.h"
#include "core/messages.h"
#include "exchange/letterlist.h"
#include "exchange/letters.h"
#include "exchange/levelgen.h"
#include "framework/torzskvarcel.h"
#include "platform/codepage.h"
#include "platform/dbquery.h"
#include "workflow/elozmeny.h"

#include <QAbstractItemModelTester>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mivo;
using namespace mivo::exchange;

namespace
{

const QString today = u"2025.03.10"_s;

// Five customers: a deleted one, one without e-mail with two appliances, one whose address
// the mail server refuses and who has a removed appliance besides his working one.
const QStringList customers{
    u"INSERT INTO ARU (BELSOKOD, KOD, NEV, CSOPORT1) VALUES (101, 'RS24', 'Renova Star 24', "
    u"'GK')"_s,
    u"INSERT INTO ARU (BELSOKOD, KOD, NEV, CSOPORT1) VALUES (102, 'VT', 'Vaillant Turbo', 'VK')"_s,
    u"INSERT INTO UGYFEL (KOD, NEV, IRSZAM, VAROS, UTCA, EMAIL, KOMMENT) VALUES (1, "
    u"'Arany Béla', '7622', 'Pécs', 'Fő u. 1.', 'arany@posta.test', 'kapukód 12')"_s,
    u"INSERT INTO UGYFEL (KOD, NEV, IRSZAM, VAROS, UTCA, EMAIL) VALUES (2, 'Bodnár Éva', '7400', "
    u"'Kaposvár', 'Kő u. 2.', NULL)"_s,
    u"INSERT INTO UGYFEL (KOD, NEV, IRSZAM, VAROS, UTCA, TOROLT) VALUES (3, 'Cseh Ödön', "
    u"'7100', 'Szekszárd', 'Tó u. 3.', 'I')"_s,
    u"INSERT INTO UGYFEL (KOD, NEV, IRSZAM, VAROS, UTCA, EMAIL) VALUES (4, 'Dudás Ferenc', "
    u"'7630', 'Pécs', 'Ív u. 4.', 'nincs@posta.test')"_s,
    u"INSERT INTO UGYFEL (KOD, NEV, IRSZAM, VAROS, UTCA, EMAIL) VALUES (5, 'Erdős Gábor', "
    u"'8900', 'Zalaegerszeg', 'Út u. 5.', 'erdos@posta.test')"_s,
    u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, BEUZEMELES) VALUES (11, 1, 101, "
    u"'2024.04.01')"_s,
    u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, BEUZEMELES) VALUES (12, 2, 102, NULL)"_s,
    u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, BEUZEMELES) VALUES (13, 2, 101, "
    u"'2024.01.01')"_s,
    u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, BEUZEMELES) VALUES (14, 3, 101, "
    u"'2024.02.01')"_s,
    u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, BEUZEMELES, ALLAPOT) VALUES (15, 4, 101, "
    u"'2024.02.01', 'T')"_s,
    u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, BEUZEMELES, ALLAPOT) VALUES (16, 4, 101, "
    u"'2023.12.01', '')"_s,
    u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, BEUZEMELES) VALUES (17, 5, 102, "
    u"'2024.04.30')"_s,
};

// The list's customers line by line (Arany, Bodnár ×2, Dudás, Erdős).
const QList<int> listed{1, 2, 2, 4, 5};

QString job(int ugyfel, int keszulek, const QString& tev, const QString& date)
{
    return u"INSERT INTO MUNKA (UGYFEL, KESZULEK, ALLAPOT, MUNKATEV, MUNKAD) VALUES (%1, %2, "
           u"'OK', '%3', '%4')"_s.arg(ugyfel)
               .arg(keszulek)
               .arg(tev, date);
}

QString letter(int ugyfel, const QString& mikor, const QString& valasz)
{
    return u"INSERT INTO LEVELKE (UGYFEL, MIKOR, IDO, VALASZ) VALUES (%1, '%2', '09:00:00', "
           u"%3)"_s.arg(ugyfel)
               .arg(mikor, valasz);
}

QString ticks(const LetterList& list)
{
    QString t;
    for (const LetterLine& line : list.lines())
        t += line.ticked ? u'1' : u'0';
    return t;
}

// Conditions with every test switched off.
LetterConditions noTests()
{
    LetterConditions c;
    c.maintenance = false;
    c.commissioned = false;
    return c;
}

/// The master list as the letters reach it, answering from a script: each opening gives the
/// next queued answer (condition and fields after "&Befejez"), or leaves without one.
class ScriptedMasterList : public TorzskvarcelOpener
{
public:
    struct Answer {
        bool finished = false;
        QString condition;
        QString fields;
    };
    ScriptedMasterList() { setTorzskvarcelOpener(this); }
    ~ScriptedMasterList() override { setTorzskvarcelOpener(nullptr); }
    bool openList(QWidget*, const QString& table, QString* condition, QString* fields,
                  QString*) override
    {
        tables << table;
        const Answer a = answers.isEmpty() ? Answer{} : answers.takeFirst();
        if (!a.finished)
            return false;
        *condition = a.condition;
        *fields = a.fields;
        return true;
    }
    QList<Answer> answers;
    QStringList tables;
};

// Answers the next save dialog with the name as an xlsx workbook.
void saveAs(const QString& path)
{
    whenModal<QFileDialog>([path](QFileDialog* dialog) {
        for (const QString& filter : dialog->nameFilters())
            if (filter.contains(u"XLSX) 2007"_s))
                dialog->selectNameFilter(filter);
        typeIntoFileDialog(dialog, path);
    });
}

QStringList sheetTexts(const QJsonObject& book, int sheet, int column)
{
    QStringList texts;
    const QJsonArray rows = sheetRows(book, sheet);
    for (qsizetype r = 1; r < rows.size(); ++r)
        texts << rows[r].toArray()[column].toObject()[u"v"_s].toVariant().toString();
    return texts;
}

/// A message sink that records like ScriptedMessages and runs a hook on every notice.
class HookedMessages : public ScriptedMessages
{
public:
    std::function<void(const QString&)> onShow;
    void show(const QString& text, MessageKind kind) override
    {
        ScriptedMessages::show(text, kind);
        if (onShow)
            onShow(text);
    }
};

/// The screen as the menu opens it.
struct LetterScreen {
    Tlevelgenfm form;
    LetterScreen()
    {
        form.setWindowTitle(u"Levél adatok generálása"_s);
        form.prepare({});
        form.show();
        QApplication::setActiveWindow(&form);
    }
    template <typename T> T* get(const QString& name)
    {
        T* widget = form.findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    QString text(const QString& name) { return get<QLineEdit>(name)->text(); }
    void press(const QString& name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    void check(const QString& name, bool on) { get<QCheckBox>(name)->setChecked(on); }
    void type(const QString& name, const QString& text)
    {
        auto* edit = get<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    QString counts()
    {
        return get<QLabel>(u"l_ugyfel"_s)->text() + u'/' + get<QLabel>(u"l_felt"_s)->text();
    }
    // Clicks the tick box of a line.
    void tick(int row)
    {
        auto* view = get<QListView>(u"cb_kell"_s);
        const QRect r = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          QPoint(r.left() + r.height() / 2, r.center().y()));
    }
};

struct Mailbox {
    Mailbox()
    {
        QDir(dir.path()).mkpath(u"posta"_s);
        QString error;
        started = server.start(dir.filePath(u"posta"_s), &error);
        if (!started)
            qWarning("%s", qPrintable(error));
        server.configureProgram(u"Szerviz Iroda <iroda@szerviz.test>"_s);
    }
    QTemporaryDir dir;
    SmtpServer server;
    bool started = false;
};

} // namespace

class TestLevelgen : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    std::unique_ptr<TestDb> database()
    {
        auto db = std::make_unique<TestDb>();
        if (!db->ok())
            qWarning("%s", qPrintable(db->error()));
        for (const QString& sql : customers)
            if (!db->exec(sql))
                return {};
        return db;
    }
    // Letter rows of today's storing for the e-mail step, with their own time.
    static bool storedRows(TestDb& db, const QString& ido)
    {
        for (const auto& [kod, email] :
             {std::pair{1, u"'arany@posta.test'"_s}, std::pair{2, u"NULL"_s},
              std::pair{4, u"'nincs@posta.test'"_s}, std::pair{5, u"'erdos@posta.test'"_s}})
            if (!db.exec(u"INSERT INTO LEVELKE (UGYFEL, MIKOR, IDO, NEV, IRSZAM, VAROS, UTCA, "
                         u"EMAIL) SELECT KOD, '%1', '%2', NEV, IRSZAM, VAROS, UTCA, %3 FROM "
                         u"UGYFEL WHERE KOD = %4"_s.arg(today, ido, email)
                             .arg(kod)))
                return false;
        return true;
    }

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2025, 3, 10), QTime(10, 15, 0)));
        Ini::instance().clear();
    }
    void cleanup()
    {
        clock::set({});
        Ini::instance().clear();
    }

    void presets_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("plain") << QDate(2025, 3, 10)
                               << QStringList{"2024.03.10", "2024.03.10", "2024.06.10"};
        QTest::newRow("31st") << QDate(2025, 3, 31)
                              << QStringList{"2024.03.31", "2024.03.31", "2024.06.30"};
        QTest::newRow("leap day") << QDate(2024, 2, 29)
                                  << QStringList{"2023.02.28", "2023.02.28", "2023.05.29"};
    }
    void presets()
    {
        QFETCH(QDate, day);
        QFETCH(QStringList, dates);
        const LetterConditions c = LetterConditions::presets(day);
        QCOMPARE((QStringList{c.maintenanceFrom, c.jobFrom, c.jobTo}), dates);
        QVERIFY(c.maintenance && !c.commissioningJob && !c.threeYears && c.commissioned &&
                !c.unanswered && !c.groupsOnly && c.typeName && c.emailSeparate);
        QVERIFY(c.commissionedFrom.isEmpty() && c.commissionedTo.isEmpty());
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("commissioned");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("groupsOnly");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<QString>("message");
        const QString dates = u"Ha beüzemelésre akar szúrni, adja meg a dátumokat!"_s;
        const QString group = u"Ha készülék csoportra akar szűrni, adjon meg legalább egyet!"_s;
        QTest::newRow("no from") << true << QString() << false << QString() << dates;
        QTest::newRow("blank from") << true << u"  "_s << false << QString() << dates;
        QTest::newRow("no groups") << false << QString() << true << u" , ,"_s << group;
        QTest::newRow("off") << false << QString() << false << QString() << QString();
        QTest::newRow("given") << true << u"2024.01.01"_s << true << u"GK,"_s << QString();
    }
    void refusals()
    {
        QFETCH(bool, commissioned);
        QFETCH(QString, from);
        QFETCH(bool, groupsOnly);
        QFETCH(QString, groups);
        QFETCH(QString, message);
        LetterConditions c = noTests();
        c.commissioned = commissioned;
        c.commissionedFrom = from;
        c.commissionedTo = u"2024.12.31"_s;
        c.groupsOnly = groupsOnly;
        c.groups = groups;
        QCOMPARE(c.refusal(), message);
    }

    void extraFields()
    {
        QCOMPARE(extraCustomerFields(u"UGYFEL.NEV,UGYFEL.KOMMENT, UGYFEL.EMAIL,TELEFON,"
                                     u"KESZULEK.GYARISZAM,UGYFEL.KOMMENT"_s),
                 (QStringList{u"KOMMENT"_s, u"TELEFON"_s}));
        QVERIFY(extraCustomerFields({}).isEmpty());
    }

    // Every appliance in use of every customer not deleted, ticked, by name; the lines
    // show what the options ask for.
    void selection()
    {
        auto db = database();
        QVERIFY(db);
        LetterList list;
        QAbstractItemModelTester tester(&list);
        LetterConditions c = noTests();
        QString error;
        QVERIFY2(list.select({}, {u"KOMMENT"_s}, c, &error), qPrintable(error));
        QList<int> codes;
        for (const LetterLine& line : list.lines())
            codes << line.ugyfel;
        QCOMPARE(codes, listed);
        QCOMPARE(ticks(list), u"11111"_s);
        QCOMPARE(list.tickedCount(), 5);
        QCOMPARE(list.data(list.index(0), Qt::DisplayRole).toString(),
                 u"Arany Béla 7622 Pécs Fő u. 1. arany@posta.test, Renova Star 24, kapukód 12"_s);
        QCOMPARE(list.lines()[1].text, u"Bodnár Éva 7400 Kaposvár Kő u. 2. , Vaillant Turbo, "_s);

        // Groups bound one by one: an apostrophe in a code is just a character.
        c.groupsOnly = true;
        c.groups = u"VK, O'K,"_s;
        c.typeName = false;
        QVERIFY2(list.select({}, {}, c, &error), qPrintable(error));
        codes.clear();
        for (const LetterLine& line : list.lines())
            codes << line.ugyfel;
        QCOMPARE(codes, (QList<int>{2, 5}));
        QCOMPARE(list.lines()[1].text,
                 u"Erdős Gábor 8900 Zalaegerszeg Út u. 5. erdos@posta.test, VK"_s);

        // An OR in the master list's condition stays inside it: the deleted customer and the
        // other tables' rows stay out.
        QVERIFY2(list.select(u"UGYFEL.VAROS = 'Pécs' OR UGYFEL.KOD = 3"_s, {}, noTests(), &error),
                 qPrintable(error));
        codes.clear();
        for (const LetterLine& line : list.lines())
            codes << line.ugyfel;
        QCOMPARE(codes, (QList<int>{1, 4}));

        QVERIFY(!list.select(u"NINCS_ILYEN = 1"_s, {}, noTests(), &error));
        QVERIFY(error.contains(u"NINCS_ILYEN"_s));
        QCOMPARE(list.rowCount(), 0);
    }

    void customerTest_data()
    {
        QTest::addColumn<QString>("tests");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QString() << QStringList() << u"11111"_s;
        QTest::newRow("maintenance since the date")
            << u"karb"_s
            << QStringList{job(1, 11, u"KAR"_s, u"2024.06.01"_s),
                           job(2, 12, u"KAR"_s, u"2024.01.01"_s),
                           job(4, 15, u"KAR"_s, u"2024.08.01"_s),
                           job(5, 17, u"KAR"_s, u"2024.03.10"_s)}
            << u"01110"_s;
        QTest::newRow("maintenance whatever the rest says")
            << u"karb,beuz,3ev,nolevel"_s
            << QStringList{job(1, 11, u"KAR"_s, u"2024.06.01"_s),
                           job(1, 11, u"ÜZ"_s, u"2024.04.01"_s),
                           job(1, 11, u"ÜZ"_s, u"2023.04.01"_s),
                           letter(1, u"2024.09.01"_s, u"NULL"_s)}
            << u"00000"_s;
        QTest::newRow("commissioning job in the period")
            << u"beuz"_s
            << QStringList{job(2, 13, u"ÜZ"_s, u"2024.05.10"_s),
                           job(5, 17, u"ÜE"_s, u"2024.03.10"_s),
                           job(4, 15, u"ÜZ"_s, u"2024.04.01"_s),
                           job(1, 11, u"ÜZ"_s, u"2024.06.11"_s)}
            << u"10010"_s;
        QTest::newRow("the same season a year or two earlier")
            << u"beuz,3ev"_s << QStringList{job(2, 13, u"ÜZ"_s, u"2024.05.10"_s),
                                            job(2, 12, u"ÜE"_s, u"2023.05.01"_s),
                                            job(5, 17, u"ÜE"_s, u"2024.04.01"_s),
                                            job(5, 17, u"ÜZ"_s, u"2022.04.01"_s),
                                            job(4, 16, u"ÜZ"_s, u"2024.04.01"_s),
                                            job(4, 16, u"ÜZ"_s, u"2021.04.01"_s)}
            << u"11101"_s;
        QTest::newRow("commissioned in the period, each appliance by its own date")
            << u"beuzdat"_s << QStringList() << u"10101"_s;
        QTest::newRow("kept by the earlier season, still by the date")
            << u"beuz,3ev,beuzdat"_s
            << QStringList{job(2, 13, u"ÜZ"_s, u"2024.05.10"_s),
                           job(2, 12, u"ÜE"_s, u"2023.05.01"_s),
                           job(5, 17, u"ÜZ"_s, u"2024.04.30"_s)}
            << u"10100"_s;
        QTest::newRow("unanswered letter") << u"nolevel"_s
                                           << QStringList{letter(1, u"2024.09.01"_s, u"NULL"_s),
                                                          letter(2, u"2024.09.01"_s, u"'I'"_s),
                                                          letter(5, u"2024.09.01"_s, u"''"_s)}
                                           << u"10001"_s;
    }
    void customerTest()
    {
        QFETCH(QString, tests);
        QFETCH(QStringList, rows);
        QFETCH(QString, expected);
        auto db = database();
        QVERIFY(db);
        for (const QString& sql : rows)
            QVERIFY(db->exec(sql));
        const QStringList on = tests.split(u',');
        LetterConditions c = LetterConditions::presets(QDate(2025, 3, 10));
        c.maintenance = on.contains(u"karb"_s);
        c.commissioningJob = on.contains(u"beuz"_s);
        c.jobFrom = u"2024.03.10"_s;
        c.jobTo = u"2024.06.10"_s;
        c.threeYears = on.contains(u"3ev"_s);
        c.commissioned = on.contains(u"beuzdat"_s);
        c.commissionedFrom = u"2024.01.01"_s;
        c.commissionedTo = u"2024.04.30"_s;
        c.unanswered = on.contains(u"nolevel"_s);
        LetterList list;
        QString error;
        QVERIFY2(list.select({}, {}, c, &error), qPrintable(error));
        list.setStored(true);
        QSignalSpy counted(&list, &LetterList::tickedCountChanged);
        QVERIFY2(list.applyConditions(c, &error), qPrintable(error));
        QCOMPARE(ticks(list), expected);
        QVERIFY(!list.stored());
        QCOMPARE(counted.last().first().toInt(), int(expected.count(u'1')));
    }

    void screenPresetsAndValidation()
    {
        auto db = database();
        QVERIFY(db);
        ScriptedMessagesGuard messages;
        ScriptedMasterList masterList;
        LetterScreen s;
        QCOMPARE(s.form.windowTitle(), u"Levél alapadatok generálása"_s);
        QCOMPARE(s.text(u"e_karb"_s), u"2024.03.10"_s);
        QCOMPARE(s.text(u"e_beuztol"_s), u"2024.03.10"_s);
        QCOMPARE(s.text(u"e_beuzig"_s), u"2024.06.10"_s);
        QVERIFY(s.get<QCheckBox>(u"cb_karb"_s)->isChecked());
        QVERIFY(s.get<QCheckBox>(u"cb_beuzdat"_s)->isChecked());
        QVERIFY(!s.get<QCheckBox>(u"cb_beuz"_s)->isChecked());
        QCOMPARE(s.get<QPushButton>(u"b_elfogad"_s)->text(), u"2. &Feltételek elfogadása    "_s);

        // Step 2 refuses missing dates; step 3 wants a list.
        s.press(u"b_elfogad"_s);
        s.press(u"b_tarol"_s);
        s.check(u"cb_beuzdat"_s, false);
        s.check(u"cb_keszulekcsop"_s, true);
        s.press(u"b_elfogad"_s);
        QCOMPARE(messages->texts,
                 (QStringList{u"Ha beüzemelésre akar szúrni, adja meg a dátumokat!"_s,
                              u"Először futtassa az 1. vagy 2. pontot!"_s,
                              u"Ha készülék csoportra akar szűrni, adjon meg legalább egyet!"_s}));
        QVERIFY(masterList.tables.isEmpty());

        // An empty list: step 2 runs step 1; a No there leaves nobody.
        messages->texts.clear();
        s.check(u"cb_keszulekcsop"_s, false);
        messages->queueAnswers({1});
        s.press(u"b_elfogad"_s);
        QCOMPARE(masterList.tables, QStringList{u"UGYFEL"_s});
        QCOMPARE(messages->texts, (QStringList{u"Nem adott meg feltételt. Minden ügyfél kell?"_s,
                                               u"Nincs leválogatva ügyfél."_s}));

        // The "?" of the groups appends a chosen code once.
        QVERIFY(db->exec(u"INSERT INTO CSOPORT1 (KOD, NEV) VALUES ('GK', 'Gázkazán')"_s));
        ScriptedPicker picker;
        s.type(u"e_arucsop"_s, u"VK"_s);
        picker.next(u"Select KOD, NEV From CSOPORT1 Where KOD = 'GK'"_s);
        picker.next(u"Select KOD, NEV From CSOPORT1 Where KOD = 'GK'"_s);
        s.press(u"b_arucsop"_s);
        s.press(u"b_arucsop"_s);
        QCOMPARE(s.text(u"e_arucsop"_s), u"VK,GK,"_s);
        QCOMPARE(picker.calls.first().tableSpec, u"CSOPORT1"_s);
        QVERIFY(picker.calls.first().selectionMode);

        // "Nap" writes the chosen day back into its field.
        whenModal<Tgetdatumfm>([](Tgetdatumfm* picker) {
            QCOMPARE(picker->calendar()->selectedDate(), QDate(2024, 6, 10));
            picker->calendar()->setSelectedDate(QDate(2024, 7, 1));
            picker->findChild<QPushButton*>(u"b_ok"_s)->click();
        });
        s.press(u"b_beuzignap"_s);
        QCOMPARE(s.text(u"e_beuzig"_s), u"2024.07.01"_s);

        // Reopening starts afresh.
        s.type(u"e_karb"_s, u"2020.01.01"_s);
        s.form.prepare({});
        QCOMPARE(s.text(u"e_karb"_s), u"2024.03.10"_s);
        QCOMPARE(s.text(u"e_arucsop"_s), QString());
    }

    // Steps 1 to 3 on the screen: a condition, ticks by hand, storing twice.
    void storeTwice()
    {
        auto db = database();
        QVERIFY(db);
        ScriptedMessagesGuard messages;
        ScriptedMasterList masterList;
        masterList.answers << ScriptedMasterList::Answer{true, u"UGYFEL.KOD <> 1"_s,
                                                         u"UGYFEL.NEV,UGYFEL.KOMMENT"_s};
        LetterScreen s;
        s.check(u"cb_karb"_s, false);
        s.check(u"cb_beuzdat"_s, false);
        s.press(u"b_kivalogat"_s);
        QCOMPARE(s.form.list().rowCount(), 4);
        QCOMPARE(s.counts(), u"4/4"_s);
        s.press(u"b_elfogad"_s);
        QCOMPARE(s.counts(), u"4/4"_s);
        QVERIFY(messages->texts.isEmpty());
        // Dudás by hand off, the list's own menu everything on and off again.
        s.tick(2);
        QCOMPARE(s.counts(), u"4/3"_s);
        s.press(u"b_egyiksem"_s);
        QCOMPARE(s.counts(), u"4/0"_s);
        s.press(u"b_mind"_s);
        s.tick(2);
        QCOMPARE(ticks(s.form.list()), u"1101"_s);

        const QString first = m_dir.filePath(u"cimek1.xlsx"_s);
        const QString second = m_dir.filePath(u"cimek2.xlsx"_s);
        messages->queueAnswers({1});
        saveAs(first);
        s.press(u"b_tarol"_s);
        QVERIFY(s.form.list().stored());
        QCOMPARE(messages->texts.last(), u"A fájl: "_s + QDir::toNativeSeparators(first) +
                                             u"elkészült: \nKívánja megnyitni?"_s);
        db::Query rows;
        rows.setSql(u"Select UGYFEL, MIKOR, IDO, NEV, EMAIL, KESZULEK, CSOPORT1, BEUZEMELES "
                    u"From LEVELKE Order by UGYFEL"_s);
        QVERIFY(rows.exec());
        QCOMPARE(rows.recordCount(), 2);
        // Bodnár's two appliances make one addressee: the later line's.
        QVERIFY(rows.first());
        QCOMPARE(rows.text(u"NEV"_s), u"Bodnár Éva"_s);
        QCOMPARE(rows.text(u"KESZULEK"_s), u"Renova Star 24"_s);
        QCOMPARE(rows.text(u"BEUZEMELES"_s), u"2024.01.01"_s);
        QCOMPARE(rows.text(u"MIKOR"_s) + u' ' + rows.text(u"IDO"_s), u"2025.03.10 10:15:00"_s);
        QVERIFY(rows.next());
        QCOMPARE(rows.text(u"NEV"_s), u"Erdős Gábor"_s);
        QCOMPARE(rows.text(u"IDO"_s), u"10:15:00"_s);

        // The same ticks again: nothing new is written, the same rows are exported.
        clock::set(QDateTime(QDate(2025, 3, 10), QTime(10, 20, 0)));
        messages->queueAnswers({1});
        saveAs(second);
        s.press(u"b_tarol"_s);
        QVERIFY(rows.exec());
        QCOMPARE(rows.recordCount(), 2);
        QVERIFY(rows.first());
        QCOMPARE(rows.text(u"IDO"_s), u"10:15:00"_s);
        for (const QString& path : {first, second}) {
            const QJsonObject book = readWorkbook(path);
            const QJsonArray sheets = book[u"sheets"_s].toArray();
            QCOMPARE(sheets.size(), 2);
            QCOMPARE(sheets[0].toObject()[u"name"_s].toString(), u"Címek"_s);
            QCOMPARE(sheets[1].toObject()[u"name"_s].toString(), u"e-maiek"_s);
            QCOMPARE(sheetTexts(book, 0, 0), QStringList{u"Bodnár Éva"_s});
            QCOMPARE(sheetTexts(book, 1, 0), QStringList{u"Erdős Gábor"_s});
            QCOMPARE(sheetTexts(book, 1, 4), QStringList{u"erdos@posta.test"_s});
            // The further field of the master list comes last.
            QCOMPARE(sheetRows(book, 0)[0].toArray().size(), 9);
        }

        // A changed tick stores anew, at the new time; one sheet when not separated.
        s.tick(2);
        QVERIFY(!s.form.list().stored());
        s.check(u"cb_emailkulon"_s, false);
        const QString third = m_dir.filePath(u"cimek3.xlsx"_s);
        messages->queueAnswers({1});
        saveAs(third);
        s.press(u"b_tarol"_s);
        QCOMPARE(db::scalar(u"d_mivo"_s, u"Select Count(*) From LEVELKE Where IDO = '10:20:00'"_s)
                     .toInt(),
                 3);
        const QJsonObject book = readWorkbook(third);
        QCOMPARE(book[u"sheets"_s].toArray().size(), 1);
        QCOMPARE(sheetTexts(book, 0, 0),
                 (QStringList{u"Bodnár Éva"_s, u"Dudás Ferenc"_s, u"Erdős Gábor"_s}));
    }

    // "Minden ügyfél kell" lists without asking; the history opens for the current line.
    void everyCustomerAndHistory()
    {
        auto db = database();
        QVERIFY(db);
        ScriptedMessagesGuard messages;
        ScriptedMasterList masterList;
        LetterScreen s;
        auto* menu = s.form.findChild<QAction*>(u"mi_minden"_s);
        QVERIFY(menu);
        menu->trigger();
        QCOMPARE(s.counts(), u"5/5"_s);
        QVERIFY(masterList.tables.isEmpty());
        auto* view = s.get<QListView>(u"cb_kell"_s);
        view->setCurrentIndex(s.form.list().index(3));
        s.press(u"b_tortenet"_s);
        auto* history = s.form.findChild<workflow::Telozmenyfm*>();
        QVERIFY(history && history->isVisible());
        QCOMPARE(history->customer(), 4);
        QCOMPARE(history->windowTitle(), u"Előzmény lista"_s);
        QCOMPARE(history->findChild<QLineEdit*>(u"e_nev"_s)->text(), u"Dudás Ferenc"_s);
        history->close();
        QVERIFY(messages->texts.isEmpty());
    }

    // Step 4: one e-mail per stored addressee with an address; a refused one is reported and
    // the rest go on.
    void emails()
    {
        auto db = database();
        QVERIFY(db);
        Mailbox box;
        QVERIFY(box.started);
        QVERIFY(storedRows(*db, u"09:30:00"_s));
        // An earlier storing of the day and yesterday's get nothing.
        QVERIFY(db->exec(u"INSERT INTO LEVELKE (UGYFEL, MIKOR, IDO, NEV, EMAIL) VALUES (3, "
                         u"'2025.03.10', '08:00:00', 'Korábbi', 'korabbi@posta.test')"_s));
        QVERIFY(db->exec(u"INSERT INTO LEVELKE (UGYFEL, MIKOR, IDO, NEV, EMAIL) VALUES (9, "
                         u"'2025.03.09', '11:00:00', 'Tegnapi', 'tegnap@posta.test')"_s));
        const QString text = box.dir.filePath(u"level.txt"_s);
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(toWindows1250(u"Őszi karbantartás következik.\r\nÜdvözlettel: az iroda\r\n"_s));
        f.close();
        const QString attachment = box.dir.filePath(u"tájékoztató.pdf"_s);
        QFile a(attachment);
        QVERIFY(a.open(QIODevice::WriteOnly));
        a.write("%PDF-1.4 proba");
        a.close();
        Ini::instance().set(u"EMAILTEXT"_s, text);
        Ini::instance().set(u"EMAILATTACH"_s, attachment);

        ScriptedMessagesGuard messages;
        LetterScreen s;
        s.press(u"b_email"_s);
        QCOMPARE(messages->texts, (QStringList{u"Hiba e-mail küldés közben:  ismeretlen címzett"_s,
                                               u"2 db e-mailt elküldtünk."_s}));
        QCOMPARE(box.server.messageCount(), 2);
        const QJsonObject m = box.server.message(1);
        QCOMPARE(m[u"to"_s].toString(), u"Arany Béla <arany@posta.test>"_s);
        QCOMPARE(m[u"subject"_s].toString(), u"Gázkészülék karbantartása"_s);
        QCOMPARE(m[u"body"_s].toString().replace(u"\r\n"_s, u"\n"_s),
                 u"Tisztelt Arany Béla!\n\n7622 Pécs Fő u. 1.\nŐszi karbantartás következik.\n"
                 u"Üdvözlettel: az iroda\n"_s);
        const QJsonArray attachments = m[u"attachments"_s].toArray();
        QCOMPARE(attachments.size(), 1);
        QCOMPARE(attachments[0][u"filename"_s].toString(), u"tájékoztató.pdf"_s);
        QCOMPARE(QByteArray::fromBase64(attachments[0][u"data"_s].toString().toLatin1()),
                 QByteArray("%PDF-1.4 proba"));
        QCOMPARE(box.server.message(2)[u"to"_s].toString(), u"Erdős Gábor <erdos@posta.test>"_s);
    }

    void mailSettings_data()
    {
        QTest::addColumn<QString>("send");
        QTest::addColumn<bool>("direct");
        QTest::newRow("default") << QString() << true;
        QTest::newRow("I") << u"I"_s << true;
        QTest::newRow("N") << u"N"_s << false;
    }
    void mailSettings()
    {
        QFETCH(QString, send);
        QFETCH(bool, direct);
        QTemporaryDir dir;
        const QString text = dir.filePath(u"szoveg.txt"_s);
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(u"Első sor\n\nHarmadik sor"_s.toUtf8());
        f.close();
        if (!send.isEmpty())
            Ini::instance().set(u"SENDEMAIL"_s, send);
        Ini::instance().set(u"EMAILTEXT"_s, text);
        Ini::instance().set(u"EMAILATTACH"_s, dir.filePath(u"nincs.pdf"_s));
        const LetterMailSettings settings = LetterMailSettings::fromIni();
        QCOMPARE(settings.sendDirectly, direct);
        QCOMPARE(settings.bodyText, u"Első sor\n\nHarmadik sor\n"_s);
        QVERIFY(settings.attachments.isEmpty());
    }

    // The screen's own storing is mailed, not a later one of another workstation.
    void mailsOwnStoring()
    {
        auto db = database();
        QVERIFY(db);
        Mailbox box;
        QVERIFY(box.started);
        ScriptedMessagesGuard messages;
        ScriptedMasterList masterList;
        masterList.answers << ScriptedMasterList::Answer{true, u"UGYFEL.KOD = 1"_s, {}};
        LetterScreen s;
        s.check(u"cb_karb"_s, false);
        s.check(u"cb_beuzdat"_s, false);
        s.press(u"b_kivalogat"_s);
        messages->queueAnswers({1});
        saveAs(m_dir.filePath(u"sajat.xlsx"_s));
        s.press(u"b_tarol"_s);
        QVERIFY(db->exec(u"INSERT INTO LEVELKE (UGYFEL, MIKOR, IDO, NEV, EMAIL) VALUES (5, "
                         u"'2025.03.10', '11:00:00', 'Erdős Gábor', 'erdos@posta.test')"_s));
        messages->texts.clear();
        s.press(u"b_email"_s);
        QCOMPARE(messages->texts, QStringList{u"1 db e-mailt elküldtünk."_s});
        QCOMPARE(box.server.messageCount(), 1);
        QCOMPARE(box.server.message(1)[u"to"_s].toString(), u"Arany Béla <arany@posta.test>"_s);
    }

    // The server gone mid-run: every later e-mail fails at once and none counts.
    void serverStopsMidRun()
    {
        auto db = database();
        QVERIFY(db);
        Mailbox box;
        QVERIFY(box.started);
        QVERIFY(storedRows(*db, u"09:30:00"_s));
        ScriptedMessagesGuard restore; // puts the program's sink back at the end
        auto hooked = std::make_unique<HookedMessages>();
        HookedMessages* sink = hooked.get();
        sink->onShow = [&box](const QString& text) {
            if (text.contains(u"ismeretlen címzett"_s))
                box.server.stop();
        };
        messages::install(std::move(hooked));
        LetterScreen s;
        s.press(u"b_email"_s);
        const QStringList texts = sink->texts;
        QCOMPARE(texts.size(), 3);
        QVERIFY2(texts[1].startsWith(u"Hiba e-mail küldés közben:  egyéb hiba"_s),
                 qPrintable(texts[1]));
        QCOMPARE(texts[2], u"1 db e-mailt elküldtünk."_s);
        QCOMPARE(box.server.messageCount(), 1);
    }

    void nobodyToMail()
    {
        auto db = database();
        QVERIFY(db);
        QVERIFY(db->exec(u"INSERT INTO LEVELKE (UGYFEL, MIKOR, IDO, NEV, EMAIL) VALUES (1, "
                         u"'2025.03.10', '08:00:00', 'Arany Béla', NULL)"_s));
        ScriptedMessagesGuard messages;
        LetterScreen s;
        s.press(u"b_email"_s);
        QCOMPARE(messages->texts, QStringList{u"Nincs kinek küldeni"_s});
    }

    void helpText()
    {
        ScriptedMessagesGuard messages;
        LetterScreen s;
        s.form.findChild<QAction*>(u"mi_segitseg"_s)->trigger();
        QCOMPARE(messages->texts.size(), 1);
        QVERIFY(messages->texts[0].startsWith(u"   Haladjon sorban.\n   Először adja meg"_s));
        QVERIFY(messages->texts[0].endsWith(u"felhasználhatja körlevél készítéséhez."_s));
    }
};

QTEST_MAIN(TestLevelgen)
#include "tst_levelgen.moc"
