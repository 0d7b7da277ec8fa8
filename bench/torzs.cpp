// The generic editor on "Ügyfelek" at benchmark scale (100 000 customers): opening it and
// typing a name into "Keresni:", each next to the bare SQL that reads the same records.
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
#include <QTest>
#include <QTextStream>

using namespace mivo;

namespace
{

// The records statement of the editor, read through every row by the driver alone.
void bareSelect()
{
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("d_alap")));
    q.setForwardOnly(true);
    q.exec(QStringLiteral("Select KOD,NEV,IRSZAM,VAROS,UTCA,TELEFON,FAX,EMAIL,KOMMENT,KOMMENT2 "
                          "From UGYFEL ORDER BY KOD"));
    while (q.next())
        for (int c = 0; c < 10; ++c)
            q.value(c);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QString path = bench::scaleDatabase();
    if (path.isEmpty() || !bench::openMain(path) || !Tdm::instance().connect()) {
        err << "no benchmark database\n";
        return 1;
    }
    const torzs::Spec tableSpec = torzs::parseSpec(QStringLiteral("UGYFEL"));
    TTorzsfm editor(tableSpec);
    TorzsCall call;
    call.tableSpec = QStringLiteral("UGYFEL");
    const TableRights rights = ReadTableRights(QStringLiteral("UGYFEL"));

    QElapsedTimer first;
    first.start();
    editor.prepare(call, rights, torzs::WindowState::Keep);
    editor.show();
    const double firstOpen = first.nsecsElapsed() / 1e6;
    const double bare = bench::fastestMs(3, bareSelect);
    bench::report(QStringLiteral("torzs_first_open_100k"), firstOpen, bare);
    const double reopen = bench::fastestMs(3, [&] {
        editor.hide();
        editor.prepare(call, rights, torzs::WindowState::Keep);
        editor.show();
    });
    bench::report(QStringLiteral("torzs_reopen_100k"), reopen, bare);

    // Searching a name needs the name order first.
    const int byName = editor.sortBox()->findText(QStringLiteral("Név"));
    if (byName < 0) {
        err << "no name order in the customer editor\n";
        return 1;
    }
    const double sort = bench::fastestMs(1, [&] { editor.sortBy(byName); });
    bench::report(QStringLiteral("torzs_sort_by_name_100k"), sort, bare);

    // One keystroke at a time, as typed: the first builds the search column, the rest reuse it.
    const QString name =
        editor.data().model().value(50000, QStringLiteral("NEV")).toString().left(8);
    QLineEdit* box = editor.searchBox();
    double slowest = 0;
    double total = 0;
    box->clear();
    for (QChar c : name) {
        QElapsedTimer t;
        t.start();
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        const double ms = t.nsecsElapsed() / 1e6;
        slowest = std::max(slowest, ms);
        total += ms;
    }
    const double bareSearch = bench::fastestMs(3, [&] {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("d_alap")));
        q.prepare(QStringLiteral(
            "SELECT FIRST 1 KOD FROM UGYFEL WHERE UPPER(NEV) STARTING WITH UPPER(?)"));
        q.addBindValue(name);
        q.exec();
        q.next();
    });
    bench::report(QStringLiteral("torzs_search_slowest_keystroke"), slowest, bareSearch);
    bench::report(QStringLiteral("torzs_search_mean_keystroke"),
                  total / std::max<qsizetype>(1, name.size()), bareSearch);
    return 0;
}
