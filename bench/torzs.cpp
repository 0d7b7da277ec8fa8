// The generic editor on "Ügyfelek" at benchmark scale (100 000 customers): opening it,
// sorting by name, typing a name into "Keresni:" and locating a record after a store, each
// next to the editor's own statement run bare through the driver.
#include "benchdata.h"

#include "framework/alapdat.h"
#include "framework/rights.h"
#include "framework/torzs.h"

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
using namespace Qt::StringLiterals;

namespace
{

void bare(const QString& statement, const std::map<QString, QVariant>& params)
{
    bench::readBare(u"d_alap"_s, statement, params);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (!bench::openScaleDatabase() || !Tdm::instance().connect())
        return 1;
    const torzs::Spec tableSpec = torzs::parseSpec(u"UGYFEL"_s);
    TTorzsfm editor(tableSpec);
    TorzsCall call;
    call.tableSpec = u"UGYFEL"_s;
    const TableRights rights = ReadTableRights(u"UGYFEL"_s);
    TorzsModel& model = editor.data().model();
    const std::map<QString, QVariant> firstChunk{{u":mivo_from"_s, 1},
                                                 {u":mivo_to"_s, model.chunkSize()}};

    // Open to the first screen drawn.
    const auto open = [&] {
        editor.hide();
        editor.prepare(call, rights, torzs::WindowState::Keep);
        editor.show();
        editor.grid()->repaint();
    };
    QElapsedTimer first;
    first.start();
    open();
    const double firstOpen = first.nsecsElapsed() / 1e6;
    // "N tétel" follows the drawn rows: the count runs from the event loop.
    QCoreApplication::processEvents();
    const double firstCounted = first.nsecsElapsed() / 1e6;
    const double bareFirst = bench::fastestMs(3, [&] { bare(model.chunkStatement(), firstChunk); });
    bench::report(u"torzs_first_screen_100k"_s, firstOpen, bareFirst);
    bench::report(u"torzs_first_screen_counted_100k"_s, firstCounted, bareFirst);
    bench::report(u"torzs_reopen_100k"_s,
                  bench::fastestMs(3,
                                   [&] {
                                       open();
                                       QCoreApplication::processEvents();
                                   }),
                  bareFirst);
    const double bareCount = bench::fastestMs(3, [&] { bare(model.countStatement(), {}); });
    QTextStream(stdout) << "torzs_count_100k: " << QString::number(bareCount, 'f', 2) << " ms\n";

    // Searching a name needs the name order first.
    const int byName = editor.sortBox()->findText(u"Név"_s);
    if (byName < 0) {
        err << "no name order in the customer editor\n";
        return 1;
    }
    const double sort = bench::fastestMs(1, [&] {
        editor.sortBy(byName);
        editor.grid()->repaint();
    });
    const double bareSort = bench::fastestMs(3, [&] { bare(model.chunkStatement(), firstChunk); });
    bench::report(u"torzs_sort_by_name_100k"_s, sort, bareSort);

    // One keystroke at a time, as typed, for a name in the middle of the order.
    QString name;
    QVariant key;
    {
        QSqlQuery middle(QSqlDatabase::database(u"d_alap"_s));
        middle.prepare(model.chunkStatement());
        middle.bindValue(u":mivo_from"_s, 50001);
        middle.bindValue(u":mivo_to"_s, 50001);
        if (!middle.exec() || !middle.next()) {
            err << "no middle record\n";
            return 1;
        }
        name = middle.value(u"NEV"_s).toString().left(8);
        key = middle.value(u"KOD"_s);
    }
    // Each keystroke against the bare prefix query of what is typed by then (the slowest one
    // is the first letter, whose prefix query is also the slowest), and the slowest one
    // against the prefix query of the whole name as well. The fastest of three typings,
    // each from the first record of the name order.
    QLineEdit* box = editor.searchBox();
    std::vector<double> keystroke(size_t(name.size()), 1e9);
    for (int run = 0; run < 3; ++run) {
        editor.first();
        box->clear();
        for (qsizetype i = 0; i < name.size(); ++i) {
            QElapsedTimer t;
            t.start();
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(name[i]),
                                Qt::NoModifier);
            editor.grid()->repaint();
            keystroke[size_t(i)] = std::min(keystroke[size_t(i)], t.nsecsElapsed() / 1e6);
        }
    }
    const auto barePrefix = [&](const QString& typed) {
        return bench::fastestMs(3, [&] {
            bare(model.prefixStatement(u"NEV"_s), {{u":mivo_p"_s, typed.toUpper()}});
        });
    };
    size_t slowest = 0;
    size_t worst = 0;
    double worstRatio = 0;
    double total = 0;
    double totalBare = 0;
    std::vector<double> own(keystroke.size());
    for (size_t i = 0; i < keystroke.size(); ++i) {
        own[i] = barePrefix(name.left(qsizetype(i) + 1));
        if (keystroke[i] > keystroke[slowest])
            slowest = i;
        if (keystroke[i] / own[i] > worstRatio) {
            worstRatio = keystroke[i] / own[i];
            worst = i;
        }
        total += keystroke[i];
        totalBare += own[i];
    }
    bench::report(u"torzs_search_slowest_keystroke"_s, keystroke[slowest], own[slowest]);
    bench::report(u"torzs_search_slowest_keystroke_vs_whole_name"_s, keystroke[slowest],
                  barePrefix(name));
    bench::report(u"torzs_search_worst_keystroke_own_prefix"_s, keystroke[worst], own[worst]);
    bench::report(u"torzs_search_mean_keystroke"_s, total / double(keystroke.size()),
                  totalBare / double(keystroke.size()));

    // After a store the records are read again and the stored record located by its key.
    const QStringList keyField{u"KOD"_s};
    double locateMs = 1e9;
    for (int i = 0; i < 3; ++i) {
        editor.data().reopen();
        QElapsedTimer t;
        t.start();
        if (editor.data().locate({key}) < 0) {
            err << "the stored record was not found\n";
            return 1;
        }
        locateMs = std::min(locateMs, t.nsecsElapsed() / 1e6);
    }
    const double bareLocate = bench::fastestMs(3, [&] {
        bare(model.locateStatement(keyField, {key}), {{u":mivo_k0"_s, key}});
    });
    bench::report(u"torzs_locate_after_store"_s, locateMs, bareLocate);
    return 0;
}
