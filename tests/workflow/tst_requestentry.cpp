// Request entry on the scheduling forms, driven headless: the fields, the pickers, choosing a
// cell, storing, moving a job and dropping the move, and leaving the form.

#include "scheduledata.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "workflow/adatfelv.h"
#include "workflow/adatfelv2.h"
#include "workflow/customerlists.h"
#include "workflow/daynavigator.h"
#include "workflow/napirend.h"
#include "workflow/napirendgrid.h"
#include "workflow/requestfields.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace scheduledata;
using namespace Qt::StringLiterals;

namespace
{

const QString today = u"2024.03.04"_s;

// The generic editor as a picker answers from a script: the row of the table that a
// statement finds, as the editor gives a chosen row back.
class ScriptedPicker : public TorzsOpener
{
public:
    ScriptedPicker() { setTorzsOpener(this); }
    ~ScriptedPicker() override { setTorzsOpener(nullptr); }

    void next(const QString& sql) { m_rows << sql; }
    bool OpenTorzs(TorzsCall& call) override
    {
        calls << call;
        if (m_rows.isEmpty())
            return false;
        db::Query q;
        q.setSql(m_rows.takeFirst());
        if (!q.exec() || !q.first())
            return false;
        for (int i = 0; i < q.fieldCount(); ++i) {
            call.names << q.fieldName(i);
            call.values << q.value(i).toString();
        }
        return true;
    }
    void markForRereading(const QString& name) override { marked << name; }

    QList<TorzsCall> calls;
    QStringList marked;

private:
    QStringList m_rows;
};

// Two technicians, a boiler type, a customer with a boiler, one job of the first one at 08.
struct Office {
    Office()
    {
        addTechnician(db, u"SZ01"_s, u"Arany Béla"_s);
        addTechnician(db, u"SZ02"_s, u"Bodó Ede"_s);
        db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', "
                "'Kazán 100', 'K')"_s);
        customer = addCustomer(db, u"Nagy Éva"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
        db.exec(u"INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM) VALUES ("_s +
                QString::number(customer) + u", 100, 'GY-7')"_s);
        job = addJob(planned(customer, u"SZ01"_s, today, u"08"_s));
    }
    TestDb db;
    int customer = 0;
    int job = 0;
};

QString jobRow(int kod)
{
    return db::scalar(
               u"d_mivo"_s,
               u"SELECT ALLAPOT || '/' || COALESCE(SZERELOT, '') || '/' || "
               "COALESCE(TERVD, '') || '/' || COALESCE(TERVT, '') FROM MUNKA WHERE KOD = :k"_s,
               {{u"k"_s, kod}})
        .toString();
}

int count(const QString& sql)
{
    return db::scalar(u"d_mivo"_s, sql).toInt();
}

class EntryForm
{
public:
    EntryForm()
    {
        form.open(u"Szervíz igény rögzítése"_s, u"U"_s);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    QLineEdit* edit(const QString& name) { return form.requestFields()->edit(name); }
    QComboBox* combo(const QString& name) { return form.requestFields()->comboBox(name); }
    void press(const QString& button)
    {
        auto* b = form.findChild<QPushButton*>(button);
        QVERIFY2(b, qPrintable(button));
        QVERIFY2(b->isEnabled(), qPrintable(button));
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void clickCell(int column, int hour)
    {
        QTableView* view = form.grid()->view();
        const QRect rect = view->visualRect(view->model()->index(hour - 6, column));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
    QString cell(int column, int hour)
    {
        NapirendModel& m = form.grid()->model();
        return m.data(m.index(hour - 6, column)).toString();
    }
    void menu(int column, int hour, const QString& item)
    {
        QTableView* view = form.grid()->view();
        view->setCurrentIndex(view->model()->index(hour - 6, column));
        form.findChild<QAction*>(item)->trigger();
    }
    // A customer typed, the boiler type picked, the activity and part of day chosen.
    void typeRequest(ScriptedPicker& picker)
    {
        press(u"b_ujadatlap"_s);
        QTest::keyClicks(edit(u"e_ugyfelnev"_s), u"Kiss Anna"_s);
        edit(u"e_irszam"_s)->setFocus();
        QTest::keyClicks(edit(u"e_irszam"_s), u"2600"_s);
        edit(u"e_utca"_s)->setFocus(); // leaving the postal code looks the town up
        QTest::keyClicks(edit(u"e_utca"_s), u"Kert u. 3"_s);
        picker.next(u"SELECT * FROM ARU WHERE BELSOKOD = 100"_s);
        press(u"b_keszulek"_s);
        combo(u"cb_tevekenys"_s)->setCurrentText(u"Javítás"_s);
        combo(u"cb_dedu"_s)->setCurrentText(u"Du"_s);
    }

    Tadatfelv2fm form;
};

} // namespace

class TestRequestEntry : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        Td::instance().ownCompany = u"VELKOR"_s;
        Td::instance().userCode = u"kata"_s;
        Td::instance().lettersAvailable = false;
    }
    void cleanup() { clock::set({}); }

    void storeIntoAChosenCell()
    {
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        ScriptedPicker picker;
        ScriptedMessagesGuard messages;
        EntryForm f;
        QVERIFY(!f.edit(u"e_ugyfelnev"_s)->isEnabled());
        f.typeRequest(picker);
        QCOMPARE(f.edit(u"e_varos"_s)->text(), u"Vác"_s);
        QCOMPARE(f.edit(u"e_keszuleknev"_s)->text(), u"Kazán 100"_s);
        QCOMPARE(picker.calls.last().condition, u"WHERE JELLEG='K'"_s);

        // The second technician's 10 o'clock: the request's address shows there.
        f.clickCell(2, 10);
        QCOMPARE(f.edit(u"e_szerelo"_s)->text(), u"SZ02 Bodó Ede"_s);
        QCOMPARE(f.edit(u"e_ora"_s)->text(), u"10"_s);
        QCOMPARE(f.cell(2, 10), u"Vác,Kert u. 3"_s);
        // The first technician's 08 holds a job: refused without a word.
        f.clickCell(1, 8);
        QCOMPARE(f.edit(u"e_szerelo"_s)->text(), u"SZ02 Bodó Ede"_s);
        f.form.grid()->refreshAll();
        QCOMPARE(f.cell(2, 10), u"Vác,Kert u. 3"_s); // refreshes keep the choice

        messages->queueAnswers({0}); // "Tárolható?"
        f.press(u"b_tarol"_s);
        QCOMPARE(messages->texts, QStringList{u"Tárolható?"_s});
        const int kod = db::scalar(u"d_mivo"_s, u"SELECT MAX(KOD) FROM MUNKA"_s).toInt();
        QCOMPARE(jobRow(kod), u"KI/SZ02/2024.03.04/10"_s);
        QCOMPARE(f.cell(2, 10), u"J   Vác,Kert u. 3"_s);
        QCOMPARE(f.form.grid()->model().jobCode(2, 4), kod);
        QCOMPARE(picker.marked, QStringList{u"UGYFEL_UGYFEL_Torzsfm"_s});
        QVERIFY(!f.edit(u"e_ugyfelnev"_s)->isEnabled());
        QCOMPARE(f.edit(u"e_ugyfelnev"_s)->text(), QString());
    }

    void checksFocusTheirField_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("customer") << "Adjon meg ügyfelet!"
                                  << "b_ugyfel";
        QTest::newRow("part of day") << "Adja meg a napszakot!"
                                     << "cb_dedu";
    }
    void checksFocusTheirField()
    {
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        ScriptedPicker picker;
        ScriptedMessagesGuard messages;
        EntryForm f;
        if (focus == u"b_ugyfel"_s) {
            f.press(u"b_ujadatlap"_s);
        } else {
            f.typeRequest(picker);
            f.combo(u"cb_dedu"_s)->setCurrentIndex(-1);
        }
        f.press(u"b_tarol"_s);
        QCOMPARE(messages->texts, QStringList{message});
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA"_s), 1);
    }

    void storeWithoutSlotOnlyWhenConfirmed()
    {
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        ScriptedPicker picker;
        ScriptedMessagesGuard messages;
        EntryForm f;
        f.typeRequest(picker);
        messages->queueAnswers({1}); // later? No
        f.press(u"b_tarol"_s);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA"_s), 1);
        QVERIFY(f.edit(u"e_ugyfelnev"_s)->isEnabled());
        messages->queueAnswers({0, 0});
        f.press(u"b_tarol"_s);
        QCOMPARE(messages->texts.mid(1),
                 (QStringList{u"Nem osztotta ki szerelőhöz! Később adja ki a munkát?"_s,
                              u"Tárolható?"_s}));
        const int kod = db::scalar(u"d_mivo"_s, u"SELECT MAX(KOD) FROM MUNKA"_s).toInt();
        QCOMPARE(jobRow(kod), u"BE//2024.03.04/"_s);
    }

    void choosingACell()
    {
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        office.db.exec(u"INSERT INTO NAPIREND (SZERELOKOD, DATUM, MUNKAKEPES) VALUES "
                       "('SZ02', '2024.03.05', 'SZ')"_s);
        ScriptedPicker picker;
        ScriptedMessagesGuard messages;
        EntryForm f;
        f.typeRequest(picker);
        NapirendGrid* grid = f.form.grid();

        // The same technician, another free hour: asked; No keeps the first choice.
        f.clickCell(1, 10);
        messages->queueAnswers({1});
        f.clickCell(1, 11);
        QCOMPARE(messages->texts.last(),
                 u"A munka már ki van osztva 10 időpontra\nInkább 11 legyen?"_s);
        QCOMPARE(f.edit(u"e_ora"_s)->text(), u"10"_s);
        // His occupied hour: told which hour the request holds.
        f.clickCell(1, 8);
        QCOMPARE(messages->texts.last(),
                 u"Erre az időpontra már van munka kiosztva 10 időpontra"_s);
        // Another technician: asked who gets it; Yes moves the choice there.
        messages->queueAnswers({0});
        f.clickCell(2, 12);
        QCOMPARE(
            messages->texts.last(),
            u"A munka már ki van osztva SZ01 Arany Béla számára\nInkább SZ02 Bodó Ede kapja?"_s);
        QCOMPARE(f.cell(1, 10), QString());
        QCOMPARE(f.cell(2, 12), u"Vác,Kert u. 3"_s);

        // An absent day, and a past day.
        QTest::mouseClick(grid->columnNavigator(2)->nextButton(), Qt::LeftButton);
        f.clickCell(2, 9);
        QCOMPARE(messages->texts.last(), u"A szerelő aznap Szabadság"_s);
        QTest::mouseClick(grid->columnNavigator(1)->previousButton(), Qt::LeftButton);
        f.clickCell(1, 9);
        QCOMPARE(messages->texts.last(), u"A dátum régi!"_s); // LEHETREGI defaults to "N"
        QCOMPARE(f.edit(u"e_szerelo"_s)->text(), u"SZ02 Bodó Ede"_s);

        // "&Kiosztás törlése" forgets the cell.
        f.press(u"b_kiosztorol"_s);
        QCOMPARE(f.edit(u"e_szerelo"_s)->text(), QString());
        QCOMPARE(f.edit(u"e_ora"_s)->text(), QString());
    }

    // A later request date than the chosen cell's: the day's rules run again at the store.
    void changedDateRunsTheDayRules()
    {
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        office.db.exec(u"INSERT INTO NAPIREND (SZERELOKOD, DATUM, MUNKAKEPES) VALUES "
                       "('SZ02', '2024.03.06', 'BET')"_s);
        ScriptedPicker picker;
        ScriptedMessagesGuard messages;
        EntryForm f;
        f.typeRequest(picker);
        f.clickCell(2, 10);
        f.edit(u"e_nap"_s)->selectAll();
        QTest::keyClicks(f.edit(u"e_nap"_s), u"2024.03.06"_s);
        f.press(u"b_tarol"_s);
        QCOMPARE(messages->texts, QStringList{u"A szerelő aznap Betegség"_s});
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA"_s), 1);
    }

    void moveThenDropTheMove()
    {
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        ScriptedPicker picker;
        ScriptedMessagesGuard messages;
        EntryForm f;
        messages->queueAnswers({0});
        f.menu(1, 8, u"mi_athelyez"_s);
        QCOMPARE(messages->texts,
                 QStringList{u"Elveszi a munkát ettől a szerelőtől és másnak osztja ki?"_s});
        QCOMPARE(f.form.currentMode(), u"Á"_s);
        QCOMPARE(f.edit(u"e_ugyfelnev"_s)->text(), u"Nagy Éva"_s);
        QCOMPARE(f.cell(1, 8), QString());
        QCOMPARE(f.edit(u"e_szerelo"_s)->text(), QString());

        f.clickCell(2, 9);
        QCOMPARE(f.cell(2, 9), u"Vác,Fő u. 2"_s);
        messages->queueAnswers({0});
        f.press(u"b_megsem"_s);
        QCOMPARE(messages->texts.last(), u"Nem tárolta le! Eldobja az adatbevitelt?"_s);
        QCOMPARE(f.cell(2, 9), QString());
        QCOMPARE(f.cell(1, 8), u"KAR Vác,Fő u. 2"_s);
        QCOMPARE(f.form.grid()->model().jobCode(1, 2), office.job);
        QCOMPARE(jobRow(office.job), u"KI/SZ01/2024.03.04/08"_s);

        // Moved for real: the job leaves its cell for the chosen one.
        messages->queueAnswers({0});
        f.menu(1, 8, u"mi_athelyez"_s);
        f.clickCell(2, 9);
        f.combo(u"cb_dedu"_s)->setCurrentText(u"De"_s); // request entry asks for it
        messages->queueAnswers({0});
        f.press(u"b_tarol"_s);
        QCOMPARE(messages->texts.last(), u"Tárolható?"_s);
        QCOMPARE(jobRow(office.job), u"KI/SZ02/2024.03.04/09"_s);
        QCOMPARE(f.cell(1, 8), QString());
        QCOMPARE(f.cell(2, 9), u"KAR Vác,Fő u. 2"_s);
    }

    // "Módosítás" keeps the cell and the job's parts; Enter moves on through the fields.
    void modifyKeepsCellAndParts()
    {
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        office.db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (201, 'A-1', "
                       "'Tömítés', 'A')"_s);
        office.db.exec(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, MENNYISEG) VALUES ("_s +
                       QString::number(office.job) + u", 201, 1)"_s);
        ScriptedMessagesGuard messages;
        EntryForm f;
        f.menu(1, 8, u"mi_modosit"_s);
        QCOMPARE(f.form.currentMode(), u"Ó"_s);
        QCOMPARE(f.edit(u"e_alk"_s)->text(), u"A-1,"_s);
        QCOMPARE(f.edit(u"e_szerelo"_s)->text(), u"SZ01 Arany Béla"_s);
        QCOMPARE(f.edit(u"e_ora"_s)->text(), u"08"_s);
        f.edit(u"e_problema"_s)->setFocus();
        QTest::keyClick(f.edit(u"e_problema"_s), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), u"b_nap"_s);
        f.edit(u"e_problema"_s)->selectAll();
        QTest::keyClicks(f.edit(u"e_problema"_s), u"Csepeg"_s);
        f.combo(u"cb_dedu"_s)->setCurrentText(u"De"_s);
        messages->queueAnswers({0});
        f.press(u"b_tarol"_s);
        QCOMPARE(jobRow(office.job), u"KI/SZ01/2024.03.04/08"_s);
        QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT LEIRAST FROM MUNKA"_s).toString(), u"Csepeg"_s);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA_ALK WHERE ALKATRESZ = 201"_s), 1);
    }

    void jobLists();
    void leavingAsksWhileARequestIsTyped()
    {
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        ScriptedPicker picker;
        ScriptedMessagesGuard messages;
        EntryForm f;
        f.typeRequest(picker);
        messages->queueAnswers({1});
        QTest::keyClick(&f.form, Qt::Key_Escape);
        QCOMPARE(messages->texts, QStringList{u"Nem tárolta le! Biztosan kilép?"_s});
        QVERIFY(f.form.isVisible());
        messages->queueAnswers({0});
        QTest::keyClick(&f.form, Qt::Key_Escape);
        QVERIFY(!f.form.isVisible());
    }
};

void TestRequestEntry::jobLists()
{
    Office office;
    QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
    scheduledata::Job waiting = planned(office.customer, {}, u"2024.03.06"_s, {});
    waiting.allapot = u"BE"_s;
    const int unplaced = addJob(waiting);
    scheduledata::Job closed = planned(office.customer, u"SZ02"_s, u"2024.03.01"_s, u"09"_s);
    closed.allapot = u"ZA"_s;
    const int closedDoor = addJob(closed);
    ScriptedMessagesGuard messages;
    Tadatfelvfm form;
    form.open(u"Ki nem osztott munka kiosztása"_s, u"M"_s);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.jobs().model().rowCount(), 1);
    QCOMPARE(form.jobs().jobOfRow(0), unplaced);
    QVERIFY(!form.findChild<QWidget*>(u"b_ujadatlap"_s)->isVisibleTo(&form));

    // Given out: loaded by "&Módosítás", the request date the job's; a slot is needed.
    QTest::mouseClick(form.findChild<QPushButton*>(u"b_modosit"_s), Qt::LeftButton);
    QCOMPARE(form.currentMode(), u"M"_s);
    QCOMPARE(form.requestFields()->edit(u"e_nap"_s)->text(), u"2024.03.06"_s);
    QCOMPARE(form.grid()->model().columnDate(1), u"2024.03.06"_s);
    QTest::mouseClick(form.findChild<QPushButton*>(u"b_tarol"_s), Qt::LeftButton);
    QCOMPARE(messages->texts.last(), u"Nem osztotta ki szerelőhöz!"_s);
    QTableView* view = form.grid()->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(4, 1)).center());
    messages->queueAnswers({0});
    QTest::mouseClick(form.findChild<QPushButton*>(u"b_tarol"_s), Qt::LeftButton);
    QCOMPARE(jobRow(unplaced), u"KI/SZ01/2024.03.06/10"_s);
    QCOMPARE(form.jobs().model().rowCount(), 0);

    // Closed doors: the new visit supersedes the listed job.
    form.open(u"Zárt ajtós munkák"_s, u"Z"_s);
    QCOMPARE(form.jobs().jobOfRow(0), closedDoor);
    QVERIFY(form.requestFields()->edit(u"e_leirasm"_s)->isVisibleTo(&form));
    // A cell of the listed job makes it current; the list's double click loads it.
    QTest::mouseClick(form.grid()->currentDay()->previousButton(), Qt::LeftButton);
    QTest::mouseClick(form.grid()->currentDay()->previousButton(), Qt::LeftButton);
    QTest::mouseClick(form.grid()->currentDay()->previousButton(), Qt::LeftButton);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(3, 2)).center());
    QCOMPARE(form.jobList()->currentIndex().row(), 0);
    const QPoint firstRow = form.jobList()->visualRect(form.jobs().model().index(0, 0)).center();
    QTest::mouseClick(form.jobList()->viewport(), Qt::LeftButton, {}, firstRow);
    QTest::mouseDClick(form.jobList()->viewport(), Qt::LeftButton, {}, firstRow);
    QCOMPARE(form.requestFields()->edit(u"e_ugyfelnev"_s)->text(), u"Nagy Éva"_s);
    QCOMPARE(form.currentMode(), u"Z"_s);
    QCOMPARE(form.requestFields()->edit(u"e_nap"_s)->text(), today); // not a past day
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(5, 2)).center());
    messages->queueAnswers({0});
    QTest::mouseClick(form.findChild<QPushButton*>(u"b_tarol"_s), Qt::LeftButton);
    QCOMPARE(messages->texts.last(), u"Tárolható?"_s);
    QCOMPARE(jobRow(closedDoor).left(3), u"TAR"_s);
    QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA WHERE ALLAPOT = 'KI' AND SZERELOT = 'SZ02' "
                   "AND TERVT = '11' AND TERVD = '2024.03.04'"_s),
             1);
    QCOMPARE(form.jobs().model().rowCount(), 0);
}

QTEST_MAIN(TestRequestEntry)
#include "tst_requestentry.moc"
