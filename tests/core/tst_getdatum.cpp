#include "core/clock.h"
#include "core/getdatum.h"
#include "support/modal.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace mivo;

namespace
{

// Runs the action on the date picker as soon as it is on screen (it is modal).
void whenShown(std::function<void(Tgetdatumfm*)> action)
{
    whenModal<Tgetdatumfm>(std::move(action));
}

void click(Tgetdatumfm* dialog, const char* name)
{
    auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    QVERIFY2(b, name);
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

class TstGetdatum : public QObject
{
    Q_OBJECT
private slots:
    void init() { clock::set(QDateTime(QDate(2031, 7, 4), QTime(9, 0))); }
    void cleanup() { clock::set({}); }

    void pick_data();
    void pick();
    void doubleClickActsAsOk();
    void hungarianCalendar();
};

void TstGetdatum::pick_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("buttons"); // clicked in order, the last one ends the dialog
    QTest::addColumn<QDate>("shownAt");
    QTest::addColumn<QString>("result");
    QTest::newRow("compact round trip") << "20240305"
                                        << "b_ok" << QDate(2024, 3, 5) << "20240305";
    QTest::newRow("compact year back") << "20240305"
                                       << "b_elozo b_ok" << QDate(2024, 3, 5) << "20230305";
    QTest::newRow("dotted year forward") << "2024.03.05"
                                         << "b_kovetkezo b_ok" << QDate(2024, 3, 5) << "2025.03.05";
    QTest::newRow("leap day a year back") << "2024.02.29"
                                          << "b_elozo b_ok" << QDate(2024, 2, 29) << "2023.02.28";
    QTest::newRow("back keeps the text")
        << "2024.03.05"
        << "b_kovetkezo b_vissza" << QDate(2024, 3, 5) << "2024.03.05";
    QTest::newRow("back keeps a compact text") << "20240305"
                                               << "b_vissza" << QDate(2024, 3, 5) << "20240305";
    QTest::newRow("invalid replaced by today") << "2024.02.30"
                                               << "b_vissza" << QDate(2031, 7, 4) << "2031.07.04";
    QTest::newRow("invalid compact stays compact") << "20240230"
                                                   << "b_vissza" << QDate(2031, 7, 4) << "20310704";
    QTest::newRow("invalid compact chosen") << "20241301"
                                            << "b_ok" << QDate(2031, 7, 4) << "20310704";
    QTest::newRow("blank mask starts today") << "    .  .  "
                                             << "b_ok" << QDate(2031, 7, 4) << "2031.07.04";
    QTest::newRow("blank mask back stays blank") << "    .  .  "
                                                 << "b_vissza" << QDate(2031, 7, 4) << "    .  .  ";
    QTest::newRow("empty") << ""
                           << "b_ok" << QDate(2031, 7, 4) << "2031.07.04";
}

void TstGetdatum::pick()
{
    QFETCH(QString, text);
    QFETCH(QString, buttons);
    QFETCH(QDate, shownAt);
    QFETCH(QString, result);
    Tgetdatumfm dialog;
    QDate shown;
    whenShown([&](Tgetdatumfm* d) {
        shown = d->calendar()->selectedDate();
        for (const QString& name : buttons.split(QLatin1Char(' ')))
            click(d, qPrintable(name));
    });
    QCOMPARE(dialog.pick(text), result);
    QCOMPARE(shown, shownAt);
    QVERIFY(dialog.isHidden());
}

void TstGetdatum::doubleClickActsAsOk()
{
    Tgetdatumfm dialog;
    whenShown([](Tgetdatumfm* d) {
        d->calendar()->setSelectedDate(QDate(2024, 3, 12));
        auto* view = d->calendar()->findChild<QTableView*>();
        QVERIFY(view);
        const QRect cell = view->visualRect(view->currentIndex());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    });
    QCOMPARE(dialog.pick(QStringLiteral("20240305")), QStringLiteral("20240312"));
}

void TstGetdatum::hungarianCalendar()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Tgetdatumfm dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Dátum kiválasztása"));
    QCalendarWidget* calendar = dialog.calendar();
    QCOMPARE(calendar->firstDayOfWeek(), Qt::Monday);
    QCOMPARE(calendar->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    calendar->setSelectedDate(QDate(2024, 3, 5));
    auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    QVERIFY(month);
    QCOMPARE(month->text(), QStringLiteral("március"));

    const struct {
        const char* name;
        const char* caption;
        const char* hint;
    } buttons[] = {{"b_elozo", "<<", "Előző év"},
                   {"b_kovetkezo", ">>", "Következő év"},
                   {"b_ok", "&OK (kiválaszt)", "Kiválasztjuk a dátumot"},
                   {"b_vissza", "&Vissza (nem választ ki)", "Marad a régi dátum"}};
    for (const auto& b : buttons) {
        auto* w = dialog.findChild<QPushButton*>(QString::fromLatin1(b.name));
        QVERIFY2(w, b.name);
        QCOMPARE(w->text(), QString::fromUtf8(b.caption));
        QCOMPARE(w->toolTip(), QString::fromUtf8(b.hint));
    }
    QLocale::setDefault(QLocale::system());
}

QTEST_MAIN(TstGetdatum)
#include "tst_getdatum.moc"
