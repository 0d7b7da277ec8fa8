// The recount of reserved parts ("Ellenőrzés") at office scale, next to its two statements
// (the stock rows and the grouped sums) read bare through the driver in one transaction.
#include "benchdata.h"

#include "workflow/stockrecount.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTextStream>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

void bareStatement(const QString& sql)
{
    bench::readBare(u"d_mivo"_s, sql, {{u"allapot"_s, u"KI"_s}});
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
        bareStatement(workflow::StockRecount::stockStatement());
        bareStatement(workflow::StockRecount::sumsStatement());
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
