// Recording an absence over about 2 000 "KI" jobs of one technician with parts reserved, on
// a copy of the scale database, re-planned untimed before each run; next to its statements
// run bare through the driver in one transaction: the set-based release of the
// reservations, the give-back with the "KI" clause and the stamps, and the marks.
#include "benchdata.h"

#include "platform/dbconnection.h"
#include "platform/sqltext.h"
#include "workflow/absence.h"
#include "workflow/partshook.h"
#include "workflow/partsstock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVariant>

#include <map>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

constexpr int jobCount = 2000;
const AbsencePeriod period{u"2040.01.02"_s, u"2040.01.31"_s};

// The stock feature as the stock screen registers it.
class StockHook : public PartsHook
{
public:
    Result prepare(int, const QString&) override { return {}; }
    std::optional<QString> choose(const PartsRequest&) override { return std::nullopt; }
    Result release(const QString& connection, int jobCode, const QString& technician) override
    {
        return PartsStock(connection).release(jobCode, technician);
    }
    Result reserveAndRecord(const QString&, int, int, int, const QString&) override { return {}; }
    void empty() override {}
};

QSqlQuery run(const QString& sql, const QVariantList& values = {})
{
    QSqlQuery q(QSqlDatabase::database(u"d_mivo"_s));
    q.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        qFatal("%s\n%s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q;
}

// The jobs with parts that the absence gives back.
QVariantList chooseJobs()
{
    QSqlQuery q = run(u"SELECT FIRST "_s + QString::number(jobCount) +
                      u" M.KOD FROM MUNKA M WHERE M.ALLAPOT IN ('OK', 'ZA') AND EXISTS "
                      "(SELECT 1 FROM MUNKA_ALK MA WHERE MA.KOD = M.KOD) ORDER BY M.KOD"_s);
    QVariantList codes;
    while (q.next())
        codes << q.value(0);
    return codes;
}

// Plans the jobs for the technician over the period's working days and makes his
// reservations agree with his "KI" jobs; no marks in the period.
void replan(const QString& technician, const QVariantList& codes)
{
    QSqlDatabase db = QSqlDatabase::database(u"d_mivo"_s);
    db.transaction();
    const std::vector<QDate> days = period.workingDays();
    QSqlQuery plan(db);
    plan.prepare(u"UPDATE MUNKA SET ALLAPOT = 'KI', SZERELOT = ?, TERVD = ?, TERVT = ? "
                 "WHERE KOD = ?"_s);
    for (int i = 0; i < codes.size(); ++i) {
        plan.bindValue(0, technician);
        plan.bindValue(1, days[size_t(i) % days.size()].toString(u"yyyy.MM.dd"_s));
        plan.bindValue(2, QString::number(8 + i % 10).rightJustified(2, u'0'));
        plan.bindValue(3, codes[i]);
        if (!plan.exec())
            qFatal("%s", qPrintable(plan.lastError().text()));
    }
    plan.finish();
    run(u"UPDATE ALK_KESZLET SET FOGLALT = 0 WHERE HOL = ?"_s, {technician});
    run(u"MERGE INTO ALK_KESZLET K USING (SELECT A.KOD MI, SUM(MA.MENNYISEG) F FROM MUNKA_ALK MA "
        "JOIN MUNKA M ON M.KOD = MA.KOD JOIN ARU A ON A.BELSOKOD = MA.ALKATRESZ "
        "WHERE M.SZERELOT = ? AND M.ALLAPOT = 'KI' GROUP BY A.KOD) S "
        "ON K.HOL = ? AND K.MI = S.MI WHEN MATCHED THEN UPDATE SET FOGLALT = S.F "
        "WHEN NOT MATCHED THEN INSERT (HOL, MI, MENNYI, FOGLALT) VALUES (?, S.MI, 0, S.F)"_s,
        {technician, technician, technician});
    run(u"DELETE FROM NAPIREND WHERE SZERELOKOD = ? AND DATUM >= ? AND DATUM <= ?"_s,
        {technician, period.from, period.to});
    db.commit();
}

// A statement with named parameters straight through the driver.
void runNamed(const QString& sql, const std::map<QString, QVariant>& values)
{
    const db::PositionalSql positional = db::toPositional(sql);
    QVariantList list;
    for (const QString& name : positional.parameters)
        list << values.at(name);
    run(positional.sql, list);
}

void bare(const QString& technician)
{
    QSqlDatabase db = QSqlDatabase::database(u"d_mivo"_s);
    db.transaction();
    runNamed(PartsStock::releasePlannedStatement(),
             {{u"hol"_s, technician}, {u"datumtol"_s, period.from}, {u"datumig"_s, period.to}});
    runNamed(AbsenceStore::giveBackStatement(),
             {{u"szerelo"_s, technician},
              {u"datumtol"_s, period.from},
              {u"datumig"_s, period.to},
              {u"juzer"_s, u"BENCH"_s},
              {u"mikori"_s, QDateTime::currentDateTime().toString(u"yyyy.MM.dd hh:mm:ss"_s)}});
    QSqlQuery mark(db);
    // Its parameters come in the order :szerelo, :datum, :tavollet.
    mark.prepare(db::toPositional(AbsenceStore::markStatement()).sql);
    for (const QDate& day : period.workingDays()) {
        mark.bindValue(0, technician);
        mark.bindValue(1, day.toString(u"yyyy.MM.dd"_s));
        mark.bindValue(2, u"BET"_s);
        if (!mark.exec())
            qFatal("%s", qPrintable(mark.lastError().text()));
    }
    mark.finish();
    db.commit();
}

// Whether the technician's reservations equal the sum over his "KI" jobs and none of the
// period is left "KI".
bool consistent(const QString& technician)
{
    QSqlQuery q =
        run(u"SELECT COUNT(*) FROM ALK_KESZLET K WHERE K.HOL = ? AND ABS(COALESCE(K.FOGLALT, 0) - "
            "COALESCE((SELECT SUM(MA.MENNYISEG) FROM MUNKA_ALK MA JOIN MUNKA M ON M.KOD = MA.KOD "
            "JOIN ARU A ON A.BELSOKOD = MA.ALKATRESZ WHERE M.SZERELOT = K.HOL AND M.ALLAPOT = 'KI' "
            "AND A.KOD = K.MI), 0)) > 0.0001"_s,
            {technician});
    q.next();
    QSqlQuery left = run(u"SELECT COUNT(*) FROM MUNKA WHERE SZERELOT = ? AND TERVD >= ? AND "
                         "TERVD <= ? AND ALLAPOT = 'KI'"_s,
                         {technician, period.from, period.to});
    left.next();
    return q.value(0).toInt() == 0 && left.value(0).toInt() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!bench::openScaleCopy(dir.path()))
        return 1;
    QSqlQuery busiest = run(u"SELECT FIRST 1 SZERELOT FROM MUNKA WHERE ALLAPOT = 'KI' "
                            "AND SZERELOT > '' GROUP BY SZERELOT ORDER BY COUNT(*) DESC"_s);
    if (!busiest.next())
        return 1;
    const QString technician = busiest.value(0).toString().trimmed();
    busiest.finish();
    const QVariantList codes = chooseJobs();

    StockHook hook;
    int givenBack = 0;
    bool agrees = true;
    double oursMs = 1e300, bareMs = 1e300;
    for (int i = 0; i < 3; ++i) {
        replan(technician, codes);
        oursMs =
            std::min(oursMs, bench::fastestMs(1, [&] {
                         const AbsenceResult r =
                             AbsenceStore(u"d_mivo"_s, &hook).record(technician, period, u"BET"_s);
                         if (!r.ok)
                             qFatal("%s", qPrintable(r.message));
                         givenBack = r.givenBack;
                     }));
        agrees = agrees && consistent(technician);
        replan(technician, codes);
        bareMs = std::min(bareMs, bench::fastestMs(1, [&] { bare(technician); }));
        agrees = agrees && consistent(technician);
    }
    QTextStream(stderr) << givenBack << " jobs of " << technician << " given back"
                        << (agrees ? "" : "; reservations DISAGREE") << Qt::endl;
    bench::report(u"kieso_2000_jobs"_s, oursMs, bareMs);
    db::Connection::closeAll();
    return agrees ? 0 : 1;
}
