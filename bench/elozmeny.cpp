// The job history at benchmark scale, on a copy of the scale database whose jobs were all
// stored twice more (about 1 000 000 MUNKA_LOG rows) and whose jobs have parts: the history
// list of the customer with the most jobs (opening it, moving over every appliance, the
// history report laid out to pages) and the job history window of the job with the most
// versions, each next to the bare statements of the same rows in the same run.
#include "benchdata.h"

#include "platform/dbconnection.h"
#include "reports/qrelozmeny.h"
#include "reports/reportpages.h"
#include "workflow/elozmeny.h"
#include "workflow/jobhistory.h"
#include "workflow/sztori.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTextStream>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

// Every figure takes a few milliseconds: the fastest of many runs on both sides, so that
// one pause of the machine does not decide the ratio.
constexpr int runs = 20;

QSqlDatabase main()
{
    return QSqlDatabase::database(u"d_mivo"_s);
}

void bare(const QString& statement, const std::map<QString, QVariant>& params = {})
{
    bench::readBare(u"d_mivo"_s, statement, params);
}

QVariant first(const QString& statement)
{
    QSqlQuery q(main());
    return q.exec(statement) && q.next() ? q.value(0) : QVariant();
}

bool run(const QString& statement, QTextStream& err)
{
    QSqlQuery q(main());
    if (q.exec(statement))
        return true;
    err << statement << ": " << q.lastError().text() << Qt::endl;
    return false;
}

// The scale database's copy with its jobs stored twice more and parts on a third of them,
// made once beside it.
QString historyDatabase(QTextStream& err)
{
    const QString scale = bench::scaleDatabase();
    if (scale.isEmpty())
        return {};
    const QFileInfo info(scale);
    const QString path = info.dir().filePath(u"elozmeny-"_s + info.fileName());
    if (QFileInfo::exists(path))
        return path;
    err << "creating " << path << " ..." << Qt::endl;
    const QString part = path + u".part"_s;
    QFile::remove(part);
    if (!QFile::copy(scale, part) || !bench::openMain(part)) {
        err << "cannot copy " << scale << Qt::endl;
        return {};
    }
    // The log trigger writes the previous version of every job at each store.
    if (!first(u"SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'MUNKA_LOG'"_s).isValid()) {
        err << "the scale database has no MUNKA_LOG" << Qt::endl;
        return {};
    }
    main().transaction();
    const bool ok =
        run(u"UPDATE MUNKA SET JUZER = 'BENCH1', MIKORI = '2026.12.01 08:00:00'"_s, err) &&
        run(u"UPDATE MUNKA SET JUZER = 'BENCH2', MIKORI = '2026.12.02 09:00:00'"_s, err) &&
        run(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, KESZULEK, TIPUS, MENNYISEG) "
            "SELECT M.KOD, (SELECT MIN(BELSOKOD) FROM ARU WHERE JELLEG <> 'K'), M.KESZULEK, "
            "M.TIPUS, 1 FROM MUNKA M WHERE MOD(M.KOD, 3) = 0 "
            "AND NOT EXISTS (SELECT 1 FROM MUNKA_ALK A WHERE A.KOD = M.KOD)"_s,
            err);
    if (!ok || !main().commit()) {
        main().rollback();
        return {};
    }
    db::Connection::named(u"d_mivo"_s).close();
    if (!QFile::rename(part, path))
        return {};
    return path;
}

// The history report's statements, as it runs them for all the customer's appliances.
void bareReport(int ugyfel)
{
    const std::map<QString, QVariant> p{{u"ugyfel"_s, ugyfel}};
    bare(u"SELECT * FROM TEVEKENYS ORDER BY KOD"_s);
    bare(u"Select KOD, NEV From SZERELO Order By KOD"_s);
    bare(u"SELECT NEV, IRSZAM, VAROS, UTCA, TELEFON FROM UGYFEL WHERE KOD = :ugyfel"_s, p);
    for (const QString& statement : reports::elozmenyStatements())
        bare(statement, p);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QString path = historyDatabase(err);
    if (path.isEmpty() || !bench::openMain(path)) {
        err << "no benchmark database\n";
        return 1;
    }
    const int ugyfel =
        first(u"SELECT FIRST 1 UGYFEL FROM MUNKA GROUP BY UGYFEL ORDER BY COUNT(*) DESC"_s).toInt();
    const int job =
        first(u"SELECT FIRST 1 KOD FROM MUNKA_LOG GROUP BY KOD ORDER BY COUNT(*) DESC"_s).toInt();
    const int logRows = first(u"SELECT COUNT(*) FROM MUNKA_LOG"_s).toInt();
    const int jobs =
        first(u"SELECT COUNT(*) FROM MUNKA WHERE UGYFEL = "_s + QString::number(ugyfel)).toInt();
    QTextStream(stdout) << "elozmeny: customer " << ugyfel << " with " << jobs << " jobs, job "
                        << job << ", " << logRows << " MUNKA_LOG rows" << Qt::endl;

    // The history list: the customer's fields, his appliances and the first one's jobs.
    Telozmenyfm list;
    list.show();
    const auto open = [&] {
        list.prepare({});
        list.setCustomer(ugyfel);
        list.repaint();
    };
    const std::map<QString, QVariant> customer{{u"ugyfel"_s, ugyfel}};
    int firstAppliance = 0;
    {
        QSqlQuery q(main());
        q.prepare(historyApplianceSql().replace(u":ugyfel"_s, QString::number(ugyfel)));
        if (q.exec() && q.next())
            firstAppliance = q.value(u"KOD"_s).toInt();
    }
    bench::reportFastestByTurns(u"elozmeny_open"_s, runs, open, [&] {
        bare(u"Select NEV, IRSZAM, VAROS, UTCA, TELEFON From UGYFEL Where KOD = :kod"_s,
             {{u"kod"_s, ugyfel}});
        bare(historyApplianceSql(), customer);
        bare(historyJobSql(), {{u"ugyfel"_s, ugyfel}, {u"keszulek"_s, firstAppliance}});
    });

    // Every appliance in turn, each re-reading the job list.
    const int appliances = list.appliances().rowCount();
    std::vector<int> codes;
    for (int r = 0; r < appliances; ++r)
        codes.push_back(list.appliances().value(r, u"KOD"_s).toInt());
    double slowestChange = 0;
    // Each run starts where the last one ended (the first appliance), so that every step is a
    // change.
    open();
    const auto everyAppliance = [&] {
        for (int r = appliances - 1; r >= 0; --r) {
            QElapsedTimer t;
            t.start();
            list.applianceView()->setCurrentIndex(list.appliances().index(r, 0));
            list.repaint();
            slowestChange = std::max(slowestChange, t.nsecsElapsed() / 1e6);
        }
    };
    bench::reportFastestByTurns(
        u"elozmeny_every_appliance_"_s + QString::number(appliances), runs, everyAppliance, [&] {
            for (const int kod : codes)
                bare(historyJobSql(), {{u"ugyfel"_s, ugyfel}, {u"keszulek"_s, kod}});
        });

    // The history report of all his appliances, laid out to pages.
    int pages = 0;
    const auto report = [&] {
        QString error;
        const auto r = reports::buildElozmeny(ugyfel, 0, &error);
        if (!r) {
            err << error << Qt::endl;
            return;
        }
        report::PageModel model;
        pages = report::run(*r, model);
    };
    bench::reportFastestByTurns(u"elozmeny_report_pages"_s, runs, report,
                                [&] { bareReport(ugyfel); });

    // The job history window of the job with the most versions.
    Tsztorifm window;
    int versions = 0;
    const auto history = [&] {
        QString error;
        if (!window.showJob(job, &error))
            err << error << Qt::endl;
        versions = window.rows().rowCount();
        window.repaint();
    };
    bench::reportFastestByTurns(u"sztori_job_history"_s, runs, history, [&] {
        bare(jobHistorySql(), {{u"kod"_s, job}});
    });
    QTextStream(stdout) << "elozmeny: " << appliances << " appliances, " << pages
                        << " report pages, " << versions << " versions, slowest appliance change "
                        << QString::number(slowestChange, 'f', 2) << " ms" << Qt::endl;
    return 0;
}
