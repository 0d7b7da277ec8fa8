// The master list with conditions at benchmark scale (100 000 customers): UGYFEL with NEV,
// VAROS and UTCA marked, VAROS = 'Budapest', sorted by NEV; "Indul" until the result grid
// holds every row and is drawn, against the same SELECT read through bare QSqlQuery; "?" of
// the condition panel on NEV until its list is filled, against the bare "Select Distinct".
// The screen runs modally as the application shows it; the list and its baseline take turns
// so that a drift of the machine's load falls on both alike.
#include "benchdata.h"

#include "core/dat.h"
#include "core/messages.h"
#include "framework/alapdat.h"
#include "framework/kvarcelresult.h"
#include "framework/torzskvarcelfm.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTableWidget>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

// Runs the statement bare on the framework's connection and reads every value. The rows read,
// -1 when it failed.
int bare(const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(Tdm::connectionName));
    q.setForwardOnly(true);
    if (!q.exec(sql)) {
        QTextStream(stderr) << "bare: " << q.lastError().text() << '\n';
        return -1;
    }
    const int columns = q.record().count();
    int rows = 0;
    while (q.next()) {
        for (int c = 0; c < columns; ++c)
            q.value(c).toString();
        ++rows;
    }
    return rows;
}

int rowOf(const torzskvarcel::MasterList& list, const QString& column)
{
    const auto& rows = list.rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].column == column)
            return int(i);
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (!bench::openScaleDatabase() || !Tdm::instance().connect())
        return 1;
    Td::instance().userName = u"Kovács Béla"_s;
    Td::instance().userRights = u"9"_s;
    ScriptedMessagesGuard messages;

    Ttorzskvarcelfm screen;
    screen.resize(1600, 900);
    int failures = 0;
    double indulMs = 1e12, indulBaseline = 1e12, valuesMs = 1e12, valuesBaseline = 1e12;
    int rows = 0, values = 0;
    QTimer::singleShot(0, &screen, [&] {
        const auto fail = [&](const QString& why) {
            err << why << '\n';
            ++failures;
            screen.done(0);
        };
        torzskvarcel::MasterList& list = screen.list();
        const int nev = rowOf(list, u"NEV"_s), varos = rowOf(list, u"VAROS"_s),
                  utca = rowOf(list, u"UTCA"_s);
        if (nev < 0 || varos < 0 || utca < 0)
            return fail(u"UGYFEL lacks NEV, VAROS or UTCA"_s);
        list.toggleMark(nev);
        list.toggleMark(varos);
        list.toggleMark(utca);
        list.toggleSort(nev);
        list.acceptCondition(varos, u"="_s, u"Budapest"_s, {});

        auto* indul = screen.findChild<QPushButton*>(u"b_indul"_s);
        auto* resultGrid = screen.findChild<QTableView*>(u"g_eredmeny"_s);
        auto* statement = screen.findChild<QPlainTextEdit*>(u"m_sql"_s);
        auto* fields = screen.findChild<QTableWidget*>(u"g_mezok"_s);
        auto* distinct = screen.findChild<QPushButton*>(u"b_ertekek"_s);
        auto* valueList = screen.findChild<QComboBox*>(u"cb_ertekek"_s);
        auto* conditionButton = screen.findChild<QPushButton*>(u"b_feltetel"_s);
        if (!indul || !resultGrid || !statement || !fields || !distinct || !valueList ||
            !conditionButton)
            return fail(u"a widget of the screen is missing"_s);

        for (int turn = 0; turn < 3; ++turn) {
            indulMs = std::min(indulMs, bench::fastestMs(1, [&] {
                                   indul->click();
                                   resultGrid->repaint();
                                   rows = screen.result().rowCount();
                               }));
            if (!messages->texts.isEmpty() || rows == 0)
                return fail(u"Indul failed: "_s + messages->texts.join(u" / "_s));
            const QString sql = statement->toPlainText();
            int bareRows = 0;
            indulBaseline =
                std::min(indulBaseline, bench::fastestMs(1, [&] { bareRows = bare(sql); }));
            if (bareRows != rows)
                return fail(
                    u"the bare SELECT read %1 rows, the grid holds %2"_s.arg(bareRows).arg(rows));
        }

        fields->setCurrentCell(nev, 5);
        conditionButton->click();
        for (int turn = 0; turn < 3; ++turn) {
            valuesMs = std::min(valuesMs, bench::fastestMs(1, [&] {
                                    distinct->click();
                                    values = valueList->count();
                                }));
            valueList->hidePopup();
            if (!messages->texts.isEmpty() || values == 0)
                return fail(u"? failed: "_s + messages->texts.join(u" / "_s));
            int bareValues = 0;
            valuesBaseline =
                std::min(valuesBaseline, bench::fastestMs(1, [&] {
                             bareValues = bare(u"Select Distinct NEV From UGYFEL Order By NEV"_s);
                         }));
            if (bareValues != values)
                return fail(
                    u"the bare Select Distinct read %1 values, the list holds %2"_s.arg(bareValues)
                        .arg(values));
        }
        screen.done(0);
    });
    QString condition, fieldList, order;
    screen.openList(nullptr, u"UGYFEL"_s, &condition, &fieldList, &order);
    if (failures)
        return 1;
    QTextStream(stdout) << "torzskvarcel_indul_100k_rows: " << rows << Qt::endl;
    bench::report(u"torzskvarcel_indul_100k"_s, indulMs, indulBaseline);
    QTextStream(stdout) << "torzskvarcel_ertekek_100k_values: " << values << Qt::endl;
    bench::report(u"torzskvarcel_ertekek_100k"_s, valuesMs, valuesBaseline);
    return 0;
}
