// "Készülékek" at benchmark scale (about 115 000 appliances): opening the screen to its first
// drawn rows and the slowest keystroke of a name and of a serial number typed into
// "Keresni:", each next to the list's own statement run bare through the driver.
#include "benchdata.h"

#include "framework/torzsmodel.h"
#include "workflow/ownerchange.h"
#include "workflow/tulajvalt.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTextStream>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

void bare(const QString& statement, const std::map<QString, QVariant>& params)
{
    bench::readBare(u"d_mivo"_s, statement, params);
}

// The text of the field in the middle of the order, as far as it goes up to `length`.
QString middleValue(TorzsModel& model, const QString& field, int length)
{
    QSqlQuery q(QSqlDatabase::database(u"d_mivo"_s));
    q.prepare(u"SELECT COUNT(*) FROM VW_KESZULEK"_s);
    if (!q.exec() || !q.next())
        return {};
    const int middle = q.value(0).toInt() / 2;
    q.prepare(model.chunkStatement());
    q.bindValue(u":mivo_from"_s, middle);
    q.bindValue(u":mivo_to"_s, middle);
    if (!q.exec() || !q.next())
        return {};
    return q.value(field).toString().trimmed().left(length);
}

// Types the text one character at a time from the first row, three times; the slowest
// keystroke of the fastest typing of each position, against the bare prefix query of what
// was typed by then.
void typing(Ttulajvaltfm& screen, const QString& field, const QString& text, const QString& name)
{
    TorzsModel& model = screen.rows();
    QLineEdit* box = screen.searchBox();
    std::vector<double> keystroke(size_t(text.size()), 1e9);
    for (int run = 0; run < 3; ++run) {
        box->clear();
        for (qsizetype i = 0; i < text.size(); ++i) {
            QElapsedTimer t;
            t.start();
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(text[i]),
                                Qt::NoModifier);
            screen.view()->repaint();
            keystroke[size_t(i)] = std::min(keystroke[size_t(i)], t.nsecsElapsed() / 1e6);
        }
    }
    size_t slowest = 0;
    for (size_t i = 0; i < keystroke.size(); ++i)
        if (keystroke[i] > keystroke[slowest])
            slowest = i;
    const QString typed = text.left(qsizetype(slowest) + 1).toUpper();
    const double own = bench::fastestMs(3, [&] {
        bare(model.prefixStatement(field), {{u":mivo_p"_s, typed}});
    });
    bench::report(name, keystroke[slowest], own);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (!bench::openScaleDatabase())
        return 1;
    Ttulajvaltfm screen;
    TorzsModel& model = screen.rows();
    const auto open = [&] {
        screen.hide();
        screen.prepare({});
        screen.show();
        screen.view()->repaint();
    };
    QElapsedTimer first;
    first.start();
    open();
    const double firstOpen = first.nsecsElapsed() / 1e6;
    if (model.rowCount() == 0) {
        err << "no appliances\n";
        return 1;
    }
    const std::map<QString, QVariant> firstChunk{{u":mivo_from"_s, 1},
                                                 {u":mivo_to"_s, model.chunkSize()}};
    const double bareFirst = bench::fastestMs(3, [&] { bare(model.chunkStatement(), firstChunk); });
    bench::report(u"tulajvalt_open_first"_s, firstOpen, bareFirst);
    bench::report(u"tulajvalt_open"_s, bench::fastestMs(3, open), bareFirst);

    // A customer's name from the middle of the owner order, then a serial number from the
    // middle of the serial order.
    const QString name = middleValue(model, u"UGYFELNEV"_s, 10);
    typing(screen, u"UGYFELNEV"_s, name, u"tulajvalt_search_name_slowest_keystroke"_s);
    screen.sortBy(3);
    const QString serial = middleValue(model, u"GYARISZAM"_s, 8);
    typing(screen, u"GYARISZAM"_s, serial, u"tulajvalt_search_serial_slowest_keystroke"_s);
    // A serial number no appliance has beyond its first characters: the search shortens it.
    typing(screen, u"GYARISZAM"_s, serial.left(3) + u"QQQ"_s,
           u"tulajvalt_search_shortened_slowest_keystroke"_s);
    return 0;
}
