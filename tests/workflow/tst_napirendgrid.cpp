// The planning grid component and the scheduling forms, driven headless.

#include "scheduledata.h"
#include "support/testdb.h"

#include "app/mivomain.h"
#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "platform/dbquery.h"
#include "workflow/adatfelv.h"
#include "workflow/adatfelv2.h"
#include "workflow/daynavigator.h"
#include "workflow/napirend.h"
#include "workflow/napirendgrid.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace mivo;
using namespace mivo::workflow;
using namespace scheduledata;

namespace
{

const QString today = QStringLiteral("2024.03.04");

// Three own technicians, a job of each today, one of the first tomorrow.
struct Office {
    Office()
    {
        addTechnician(db, QStringLiteral("SZ01"), QStringLiteral("Arany Béla"));
        addTechnician(db, QStringLiteral("SZ02"), QStringLiteral("Bodó Ede"));
        addTechnician(db, QStringLiteral("SZ03"), QStringLiteral("Csonka Pál"));
        customer = addCustomer(db, QStringLiteral("Nagy Éva"), QStringLiteral("2600"),
                               QStringLiteral("Vác"), QStringLiteral("Fő u. 2"));
        for (const QString& t :
             {QStringLiteral("SZ01"), QStringLiteral("SZ02"), QStringLiteral("SZ03")})
            todays << addJob(planned(customer, t, today, QStringLiteral("08")));
        tomorrows = addJob(planned(customer, QStringLiteral("SZ01"), QStringLiteral("2024.03.05"),
                                   QStringLiteral("09")));
    }
    TestDb db;
    int customer = 0;
    QList<int> todays;
    int tomorrows = 0;
};

void type(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    QTest::keyClicks(edit, text);
}

// Picks the day in the date picker that the next click opens.
void pickInCalendar(const QDate& day)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, day, tries = 0]() mutable {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog || ++tries > 300) {
            if (dialog) {
                dialog->findChild<QCalendarWidget*>()->setSelectedDate(day);
                dialog->accept();
            }
            timer->deleteLater();
            timer->stop();
        }
    });
    timer->start(10);
}

QStringList columnDates(const NapirendModel& m)
{
    QStringList dates;
    for (int c = 1; c <= m.technicianCount(); ++c)
        dates << m.columnDate(c);
    return dates;
}

} // namespace

class TestNapirendGrid : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        Td::instance().ownCompany = QStringLiteral("VELKOR");
        Td::instance().userCode = QStringLiteral("kata");
        Td::instance().jobHistoryAvailable = false;
    }
    void cleanup() { clock::set({}); }

    void openingTheEntryForm();
    void columnNavigation();
    void currentDayNavigation();
    void refreshButton();
    void contextMenu();
    void removeFromTheMenu();
    void columnWidths_data();
    void columnWidths();
    void noTechnicians_data();
    void noTechnicians();
    void menuItemOpensTheEntryForm();
};

void TestNapirendGrid::openingTheEntryForm()
{
    Office office;
    QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
    Tadatfelv2fm form;
    QAbstractItemModelTester tester(&form.grid()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    form.open(QStringLiteral("Szervíz igény rögzítése"), QStringLiteral("U"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Szervíz igény rögzítése"));
    QCOMPARE(form.baseMode(), QStringLiteral("U"));
    NapirendModel& m = form.grid()->model();
    QCOMPARE(m.rowCount(), 18);
    QCOMPARE(m.technicianCount(), 3);
    QCOMPARE(form.grid()->view()->model()->data(m.index(2, 3)).toString(),
             QStringLiteral("KAR Vác,Fő u. 2"));
    QCOMPARE(form.grid()->currentDay()->date(), today);
    for (int c = 1; c <= 3; ++c)
        QCOMPARE(form.grid()->columnNavigator(c)->date(), today);
    QVERIFY(form.findChild<QWidget*>(QStringLiteral("b_ujadatlap"))->isVisibleTo(&form));
    QVERIFY(!form.findChild<QWidget*>(QStringLiteral("b_modosit"))->isVisibleTo(&form));
    QVERIFY(!form.findChild<QWidget*>(QStringLiteral("e_ugyfelnev"))->isEnabled());
    QVERIFY(!form.findChild<QWidget*>(QStringLiteral("b_tarol"))->isEnabled());
    QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("e_nap"))->text(), today);

    // Opening again starts afresh: every column back on today, new technicians in.
    QTest::mouseClick(form.grid()->columnNavigator(1)->nextButton(), Qt::LeftButton);
    QCOMPARE(m.columnDate(1), QStringLiteral("2024.03.05"));
    addTechnician(office.db, QStringLiteral("SZ00"), QStringLiteral("Adorján Ákos"));
    form.open(QStringLiteral("Szervíz igény rögzítése"), QStringLiteral("U"));
    QCOMPARE(m.technicianCount(), 4);
    QCOMPARE(m.technician(1).kod, QStringLiteral("SZ00"));
    QCOMPARE(columnDates(m), QStringList(4, today));
    QCOMPARE(form.grid()->columnNavigator(2)->date(), today);
}

void TestNapirendGrid::columnNavigation()
{
    Office office;
    QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
    Tadatfelv2fm form;
    form.open(QStringLiteral("Szervíz igény rögzítése"), QStringLiteral("U"));
    NapirendModel& m = form.grid()->model();
    DayNavigator* first = form.grid()->columnNavigator(1);
    ScriptedMessagesGuard messages;

    first->edit()->clear();
    type(first->edit(), QStringLiteral("2024.03.0")); // incomplete: nothing happens
    QCOMPARE(m.columnDate(1), today);
    QCOMPARE(m.jobCode(1, 2), office.todays[0]);
    type(first->edit(), QStringLiteral("5"));
    QCOMPARE(m.columnDate(1), QStringLiteral("2024.03.05"));
    QCOMPARE(m.jobCode(1, 3), office.tomorrows);
    QCOMPARE(m.jobCode(1, 2), 0);
    QCOMPARE(m.columnDate(2), today); // the other columns stay
    QVERIFY(messages->texts.isEmpty());

    // A complete but impossible date is refused with the date message; the grid stays.
    first->edit()->clear();
    type(first->edit(), QStringLiteral("2024.02.30"));
    QCOMPARE(messages->texts, QStringList{QStringLiteral("Hibás dátum.\n2024.02.30")});
    QCOMPARE(m.columnDate(1), QStringLiteral("2024.03.05"));
    QCOMPARE(m.jobCode(1, 3), office.tomorrows);

    first->setDate(QStringLiteral("2024.03.05"));
    QTest::mouseClick(first->previousButton(), Qt::LeftButton);
    QCOMPARE(m.columnDate(1), today);
    QCOMPARE(first->date(), today);
    QCOMPARE(m.jobCode(1, 2), office.todays[0]);
    QTest::mouseClick(first->nextButton(), Qt::LeftButton);
    QCOMPARE(first->date(), QStringLiteral("2024.03.05"));
    QCOMPARE(m.data(m.index(1, 1)).toString(), QStringLiteral("2024.03.05 kedd"));

    // "Nap": the date picker on the column's day.
    pickInCalendar(QDate(2024, 3, 4));
    QTest::mouseClick(first->pickButton(), Qt::LeftButton);
    QCOMPARE(m.columnDate(1), today);
    QCOMPARE(m.jobCode(1, 2), office.todays[0]);
    QCOMPARE(m.columnDate(2), today);
}

void TestNapirendGrid::currentDayNavigation()
{
    Office office;
    QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
    Tadatfelvfm form;
    form.open(QStringLiteral("Ki nem osztott munka kiosztása"), QStringLiteral("M"));
    NapirendModel& m = form.grid()->model();
    QCOMPARE(m.rowCount(), 18);
    DayNavigator* day = form.grid()->currentDay();
    QTest::mouseClick(day->nextButton(), Qt::LeftButton);
    QCOMPARE(day->date(), QStringLiteral("2024.03.05"));
    QCOMPARE(columnDates(m), QStringList(3, QStringLiteral("2024.03.05")));
    QCOMPARE(form.grid()->columnNavigator(3)->date(), QStringLiteral("2024.03.05"));
    QCOMPARE(m.jobCode(1, 3), office.tomorrows);

    // Typed: month and year ends and the leap day.
    for (const auto& [typed, dates] :
         {std::pair{QStringLiteral("2024.02.29"), QStringLiteral("2024.02.29")},
          {QStringLiteral("2023.12.31"), QStringLiteral("2023.12.31")}}) {
        day->edit()->clear();
        type(day->edit(), typed);
        QCOMPARE(columnDates(m), QStringList(3, dates));
    }
    QTest::mouseClick(day->nextButton(), Qt::LeftButton);
    QCOMPARE(columnDates(m), QStringList(3, QStringLiteral("2024.01.01")));
    QCOMPARE(m.data(m.index(1, 2)).toString(), QStringLiteral("2024.01.01 hétfő"));
}

void TestNapirendGrid::refreshButton()
{
    Office office;
    QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
    QVERIFY2(office.db.openConnection(QStringLiteral("d_masik")), qPrintable(office.db.error()));
    Tadatfelv2fm form;
    form.open(QStringLiteral("Szervíz igény rögzítése"), QStringLiteral("U"));
    NapirendModel& m = form.grid()->model();
    QTest::mouseClick(form.grid()->columnNavigator(1)->nextButton(), Qt::LeftButton);
    // Another workstation plans a job into each of two columns on their own days.
    const int other = addJob(planned(office.customer, QStringLiteral("SZ01"),
                                     QStringLiteral("2024.03.05"), QStringLiteral("15")),
                             QStringLiteral("d_masik"));
    const int second =
        addJob(planned(office.customer, QStringLiteral("SZ02"), today, QStringLiteral("16")),
               QStringLiteral("d_masik"));
    QCOMPARE(m.jobCode(1, 9), 0);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("b_frissit")), Qt::LeftButton);
    QCOMPARE(m.jobCode(1, 9), other);
    QCOMPARE(m.jobCode(2, 10), second);
    QCOMPARE(m.columnDate(1), QStringLiteral("2024.03.05"));
}

void TestNapirendGrid::contextMenu()
{
    Office office;
    QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
    Td::instance().jobHistoryAvailable = true;
    Tadatfelv2fm form;
    form.open(QStringLiteral("Szervíz igény rögzítése"), QStringLiteral("U"));
    QStringList items;
    for (QAction* a : form.grid()->contextMenu()->actions()) {
        if (!a->isSeparator())
            items << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (-)"));
    }
    QCOMPARE(items, (QStringList{"Info", "Történeti áttekintés (-)", "Munka áthelyezése",
                                 "Munka kiosztás törlése", "Módosítás", "Munka törlése",
                                 "Szerelő napi lista", "Szerelő napi lista e-mailben",
                                 "Szerelő napi lista e-mail melléklet"}));
    QVERIFY(form.findChild<QAction*>(QStringLiteral("mi_tortenet"))->isVisible());
    Td::instance().jobHistoryAvailable = false;
    form.open(QStringLiteral("Szervíz igény rögzítése"), QStringLiteral("U"));
    QVERIFY(!form.findChild<QAction*>(QStringLiteral("mi_tortenet"))->isVisible());

    ScriptedMessagesGuard messages;
    QTableView* view = form.grid()->view();
    view->setCurrentIndex(view->model()->index(2, 2));
    form.findChild<QAction*>(QStringLiteral("mi_info"))->trigger();
    QCOMPARE(messages->texts.size(), 1);
    QVERIFY(messages->texts[0].startsWith(
        QStringLiteral("#%1 sz. munka, státusza: KI").arg(office.todays[1])));
    // A header cell is no cell of a job.
    view->setCurrentIndex(view->model()->index(0, 2));
    form.findChild<QAction*>(QStringLiteral("mi_info"))->trigger();
    form.findChild<QAction*>(QStringLiteral("mi_torol"))->trigger();
    QCOMPARE(messages->texts.size(), 1);
}

void TestNapirendGrid::removeFromTheMenu()
{
    Office office;
    QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
    Tadatfelvfm form;
    form.open(QStringLiteral("Ki nem osztott munka kiosztása"), QStringLiteral("M"));
    QTableView* view = form.grid()->view();
    ScriptedMessagesGuard messages;
    view->setCurrentIndex(view->model()->index(2, 3));
    form.findChild<QAction*>(QStringLiteral("mi_kiosztastorol"))->trigger();
    view->setCurrentIndex(view->model()->index(2, 1));
    form.findChild<QAction*>(QStringLiteral("mi_torol"))->trigger();
    QCOMPARE(messages->texts.size(), 2);
    const auto state = [](int kod) {
        return db::scalar(QStringLiteral("d_mivo"),
                          QStringLiteral("SELECT ALLAPOT || '/' || COALESCE(SZERELOT, '') || '/' "
                                         "|| JUZER FROM MUNKA WHERE KOD = :k"),
                          {{QStringLiteral("k"), kod}})
            .toString();
    };
    QCOMPARE(state(office.todays[2]), QStringLiteral("BE//kata"));
    QCOMPARE(state(office.todays[0]), QStringLiteral("TOR//kata"));
    QCOMPARE(view->model()->data(view->model()->index(2, 3)).toString(), QString());
    QCOMPARE(view->model()->data(view->model()->index(2, 1)).toString(), QString());
    QCOMPARE(form.grid()->model().jobCode(2, 2), office.todays[1]);
}

void TestNapirendGrid::columnWidths_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<int>("technicians");
    QTest::addColumn<int>("panel");
    QTest::addColumn<bool>("longDay");
    QTest::addColumn<int>("width");
    const int jobs = int(ScheduleForm::Jobs);
    const int entry = int(ScheduleForm::Entry);
    QTest::newRow("list, 8") << jobs << 8 << 0 << false << 122; // 992/8 - 2
    QTest::newRow("list, 8, long day") << jobs << 8 << 0 << true << 119;
    QTest::newRow("list, 3, rounded up") << jobs << 3 << 0 << false << 329; // 330.67 → 331
    QTest::newRow("list, 60") << jobs << 60 << 0 << false << 48;
    QTest::newRow("entry, 8") << entry << 8 << 1230 << false << 134; // 1200/8 - 16
    QTest::newRow("entry, 5, rounded down")
        << entry << 5 << 1032 << false << 190; // 200.4 → 200, - 10
    QTest::newRow("entry, 4, half away")
        << entry << 4 << 1040 << true << 242; // 252.5 → 253, - 8, - 3
    QTest::newRow("entry, 60") << entry << 60 << 1900 << true
                               << 48; // the formula is far below zero
    QTest::newRow("none") << entry << 0 << 1900 << false << 140;
}

void TestNapirendGrid::columnWidths()
{
    QFETCH(int, form);
    QFETCH(int, technicians);
    QFETCH(int, panel);
    QFETCH(bool, longDay);
    QFETCH(int, width);
    QCOMPARE(technicianColumnWidth(ScheduleForm(form), technicians, panel, longDay), width);
}

void TestNapirendGrid::noTechnicians_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("hourColumn");
    QTest::newRow("entry") << int(ScheduleForm::Entry) << QStringList{"Nincs aktív szerelő."}
                           << false;
    QTest::newRow("job list") << int(ScheduleForm::Jobs) << QStringList() << true;
}

void TestNapirendGrid::noTechnicians()
{
    QFETCH(int, form);
    QFETCH(QStringList, texts);
    QFETCH(bool, hourColumn);
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addTechnician(db, QStringLiteral("K01"), QStringLiteral("Külsős Kornél"),
                  QStringLiteral("MASCEG"));
    NapirendGrid grid{ScheduleForm(form)};
    ScriptedMessagesGuard messages;
    QVERIFY(grid.build(QStringLiteral("VELKOR"), today));
    QCOMPARE(messages->texts, texts);
    QCOMPARE(grid.model().technicianCount(), 0);
    QCOMPARE(!grid.view()->isColumnHidden(0), hourColumn);
}

void TestNapirendGrid::menuItemOpensTheEntryForm()
{
    Office office;
    QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
    Tmivomainfm main;
    QAction* item = main.action(QStringLiteral("hibafelvetel"));
    QVERIFY(item->isEnabled());
    item->trigger();
    auto* form = main.findChild<Tadatfelv2fm*>();
    QVERIFY(form);
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), QStringLiteral("Szervíz igény rögzítése"));
    QCOMPARE(form->baseMode(), QStringLiteral("U"));
    QCOMPARE(form->grid()->model().technicianCount(), 3);
    item->trigger(); // the same form again
    QCOMPARE(main.findChildren<Tadatfelv2fm*>().size(), 1);
}

QTEST_MAIN(TestNapirendGrid)
#include "tst_napirendgrid.moc"
