#include "stockrecount.h"

#include "jobstate.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/unitofwork.h"

#include <cmath>
#include <map>
#include <vector>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

struct StockRow {
    QString hol, mi, nev;
    int belsokod = 0;
    double foglalt = 0;
};

// Both quantities are compared as whole numbers.
qint64 whole(double value)
{
    return qint64(std::trunc(value));
}

} // namespace

StockRecount::StockRecount(const QString& connectionName) : m_connection(connectionName) {}

QString StockRecount::stockStatement()
{
    return u"SELECT K.HOL, K.MI, COALESCE(K.FOGLALT, 0) FOGLALT, A.NEV, A.BELSOKOD "
           "FROM ALK_KESZLET K JOIN ARU A ON A.KOD = K.MI AND A.JELLEG = 'A' "
           "ORDER BY A.NEV, K.HOL"_s;
}

QString StockRecount::sumsStatement()
{
    return u"SELECT M.SZERELOT, MA.ALKATRESZ, SUM(MA.MENNYISEG) MENNYISEG "
           "FROM MUNKA_ALK MA JOIN MUNKA M ON M.KOD = MA.KOD "
           "WHERE M.ALLAPOT = :allapot GROUP BY M.SZERELOT, MA.ALKATRESZ"_s;
}

RecountResult StockRecount::run(bool correct, bool onlyDifferences, const Progress& progress,
                                const Log& log) const
{
    RecountResult result;
    std::vector<StockRow> rows;
    std::map<std::pair<QString, int>, double> sums;
    {
        // One snapshot for the rows and the sums: a job stored in between counts in both or
        // in neither.
        db::Transaction snapshot(m_connection);
        db::Query stock(m_connection);
        stock.setSql(stockStatement());
        db::Query reserved(m_connection);
        reserved.setSql(sumsStatement());
        reserved.bind(u"allapot"_s, stateCode(JobState::Assigned));
        if (!stock.exec() || !reserved.exec()) {
            result.error = stock.lastError().isEmpty() ? reserved.lastError() : stock.lastError();
            return result;
        }
        while (stock.next())
            rows.push_back({stock.text(u"HOL"_s), stock.text(u"MI"_s), stock.text(u"NEV"_s),
                            stock.integer(u"BELSOKOD"_s), stock.value(u"FOGLALT"_s).toDouble()});
        while (reserved.next())
            sums[{reserved.text(u"SZERELOT"_s), reserved.integer(u"ALKATRESZ"_s)}] =
                reserved.value(u"MENNYISEG"_s).toDouble();
        snapshot.rollback();
    }

    log(u"Foglalt készlet újraszámolása, indult: "_s +
        clock::now().toString(u"yyyy.MM.dd hh:mm:ss"_s));
    log(QString());
    result.total = int(rows.size());
    int done = 0;
    for (const StockRow& row : rows) {
        const QString label = row.hol + u' ' + row.mi + u' ' + row.nev + u' ';
        progress(done++, result.total, label);
        const auto it = sums.find({row.hol, row.belsokod});
        const double expected = it == sums.end() ? 0 : it->second;
        if (whole(expected) == whole(row.foglalt)) {
            ++result.good;
            if (!onlyDifferences)
                log(label + u"foglalt="_s + alt::formatDecimal(row.foglalt) + u", OK"_s);
            continue;
        }
        ++result.faulty;
        log(label + u"régi="_s + alt::formatDecimal(row.foglalt) + u", új="_s +
            alt::formatDecimal(expected));
        if (!correct)
            continue;
        const db::UnitResult written =
            db::runUnitOfWork(m_connection, [&](const QString& connection) {
                db::Query q(connection);
                q.setSql(u"update ALK_KESZLET SET FOGLALT = COALESCE(FOGLALT, 0) + :diff "
                         "Where HOL = :hol And MI = :mi"_s);
                q.bind(u"diff"_s, expected - row.foglalt);
                q.bind(u"hol"_s, row.hol);
                q.bind(u"mi"_s, row.mi);
                return q.exec() ? db::Outcome() : db::Outcome::failure(q);
            });
        if (!written.ok()) {
            result.error = written.message;
            return result;
        }
    }
    progress(done, result.total, QString());
    log(u"Összes tétel:"_s + QString::number(result.total));
    log(u"    ebből jó:"_s + QString::number(result.good));
    log(u"       hibás:"_s + QString::number(result.faulty));
    return result;
}

} // namespace mivo::workflow
