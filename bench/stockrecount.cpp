// The recount of reserved parts ("Ellenőrzés") at office scale, next to its two statements
// (the stock rows and the grouped sums) read bare through the driver in one transaction.
#include "benchdata.h"

#include "platform/sqltext.h"
#include "workflow/stockrecount.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

void readBare(const QString& sql)
{
    const db::PositionalSql positional = db::toPositional(sql);
    QSqlQuery q(QSqlDatabase::database(u"d_mivo"_s));
    q.setForwardOnly(true);
    q.prepare(positional.sql);
    for (int i = 0; i < positional.parameters.size(); ++i)
        q.bindValue(i, u"KI"_s);
    q.exec();
    while (q.next()) {
        for (int c = 0; c < q.record().count(); ++c)
            q.value(c);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (!bench::openScaleDatabase())
        return 1;
    const double bare = bench::fastestMs(5, [] {
        QSqlDatabase d = QSqlDatabase::database(u"d_mivo"_s);
        d.transaction();
        readBare(workflow::StockRecount::stockStatement());
        readBare(workflow::StockRecount::sumsStatement());
        d.rollback();
    });
    int rows = 0;
    const double recount = bench::fastestMs(5, [&rows] {
        rows = workflow::StockRecount()
                   .run(
                       false, false, [](int, int, const QString&) {}, [](const QString&) {})
                   .total;
    });
    QTextStream(stderr) << rows << " stock rows" << Qt::endl;
    bench::report(u"stock_recount_check"_s, recount, bare);
    return 0;
}
