// The job lists of the scheduling forms at benchmark scale ("BE", "ZA", "FO" jobs among
// 500 000): opening each list to its first screen drawn and reordering it by customer name
// with a job of the first screen current, and finding a job of the "Z" list by its code as
// a click on the planning grid does. The baseline of each is the very statements the list
// ran, recorded through its model's observer and run again bare through the driver.
#include "benchdata.h"

#include "platform/dbquery.h"
#include "workflow/joblist.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTextStream>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

struct Statement {
    QString sql;
    std::map<QString, QVariant> values;
};
using Statements = std::vector<Statement>;

// The statements, each run and read to its last row bare through the driver.
void bare(const Statements& statements)
{
    for (const Statement& s : statements)
        bench::readBare(u"d_mivo"_s, s.sql, s.values);
}

// The fastest of the runs of the work on a new list, with the statements that run made the
// list run (the view may read further rows in one run and not in another).
struct Timed {
    double ms = 1e9;
    Statements statements;
};
Timed fastest(int runs, const std::function<void(JobList&)>& work,
              const std::function<void()>& after = {})
{
    Timed best;
    for (int run = 0; run < runs; ++run) {
        Statements statements;
        JobList list;
        list.model().setStatementObserver(
            [&](const QString& sql, const std::map<QString, QVariant>& values) {
                statements.push_back({sql, values});
            });
        QElapsedTimer t;
        t.start();
        work(list);
        const double ms = t.nsecsElapsed() / 1e6;
        if (after)
            after();
        if (ms < best.ms)
            best = {ms, std::move(statements)};
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!bench::openScaleDatabase())
        return 1;
    QTableView view;
    view.resize(1200, 500);
    view.show();
    const int byName = 1;

    for (const QString& mode : {u"M"_s, u"Z"_s, u"F"_s}) {
        const JobState state = *listedState(mode);
        const QVariant jobs =
            db::scalar(u"d_mivo"_s, u"SELECT COUNT(*) FROM MUNKA WHERE ALLAPOT = :a"_s,
                       {{u"a"_s, stateCode(state)}});
        out << "job_list_" << mode << "_jobs: " << jobs.toInt() << " jobs" << Qt::endl;

        // Opened to the first screen drawn; then ordered by customer name with the 50th job
        // current, which has its own place in that order, and drawn around it. Once more
        // without the grid, to tell the model's share from the drawing's.
        bool draw = true;
        const auto open = [&](JobList& list) {
            QString error;
            if (!list.open(state, &error))
                err << error << '\n';
            if (draw) {
                view.setModel(&list.model());
                view.repaint();
            }
        };
        const auto openAndReorder = [&](JobList& list) {
            open(list);
            list.setCurrentJob(list.jobOfRow(std::min(49, list.model().rowCount() - 1)));
            QString error;
            if (!list.reorder(byName, &error))
                err << error << '\n';
            const int row = list.currentRow();
            if (draw) {
                view.scrollTo(list.model().index(std::max(row, 0), 0));
                view.repaint();
            }
            if (row < 0 || list.jobOfRow(row) != list.currentJob())
                err << "the current job was lost\n";
        };
        const auto detach = [&] { view.setModel(nullptr); };
        const Timed opened = fastest(3, open, detach);
        const Timed reordered = fastest(3, openAndReorder, detach);
        draw = false;
        const Timed undrawn = fastest(3, openAndReorder);
        bench::report(u"job_list_%1"_s.arg(mode), reordered.ms,
                      bench::fastestMs(3, [&] { bare(reordered.statements); }));
        bench::report(u"job_list_%1_undrawn"_s.arg(mode), undrawn.ms,
                      bench::fastestMs(3, [&] { bare(undrawn.statements); }));
        bench::report(u"job_list_%1_first_screen"_s.arg(mode), opened.ms,
                      bench::fastestMs(3, [&] { bare(opened.statements); }));
        // What reading both statements whole costs, as a list without chunks would.
        const double whole = bench::fastestMs(1, [&] {
            bare({{jobListStatement(0), {{u"allapot"_s, stateCode(state)}}},
                  {jobListStatement(byName), {{u"allapot"_s, stateCode(state)}}}});
        });
        out << "job_list_" << mode << "_whole_statements_bare: " << QString::number(whole, 'f', 2)
            << " ms" << Qt::endl;
    }

    // A click on the grid finds its job in the "Z" list, opened in its first order: jobs
    // from all over the list, each from the first screen (the fastest of five tries); the
    // slowest job.
    QSqlQuery codes(QSqlDatabase::database(u"d_mivo"_s));
    codes.setForwardOnly(true);
    codes.prepare(jobListStatement(0));
    codes.bindValue(u":allapot"_s, stateCode(JobState::ClosedDoor));
    std::vector<int> all;
    if (codes.exec())
        while (codes.next())
            all.push_back(codes.value(u"KOD"_s).toInt());
    if (all.empty()) {
        err << "no closed-door jobs\n";
        return 1;
    }
    double slowest = 0;
    double slowestBare = 0;
    for (int i = 0; i <= 10; ++i) {
        const int kod = all[std::min(all.size() - 1, all.size() * size_t(i) / 10)];
        Timed best;
        for (int run = 0; run < 5; ++run) {
            JobList list;
            QString error;
            list.open(JobState::ClosedDoor, &error);
            Statements located;
            list.model().setStatementObserver(
                [&](const QString& sql, const std::map<QString, QVariant>& values) {
                    located.push_back({sql, values});
                });
            QElapsedTimer t;
            t.start();
            const int row = list.rowOfJob(kod);
            const double ms = t.nsecsElapsed() / 1e6;
            if (row < 0 || list.jobOfRow(row) != kod) {
                err << "job " << kod << " not found\n";
                return 1;
            }
            if (ms < best.ms)
                best = {ms, std::move(located)};
        }
        if (best.ms > slowest) {
            slowest = best.ms;
            slowestBare = bench::fastestMs(5, [&] { bare(best.statements); });
        }
    }
    bench::report(u"job_list_cell_locate"_s, slowest, slowestBare);
    return 0;
}
