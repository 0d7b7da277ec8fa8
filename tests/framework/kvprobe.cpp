#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "core/dat.h"
#include "support/fbserver.h"
#include "support/testdb.h"
#include <QCoreApplication>
#include <QDebug>
using namespace mivo;
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    FirebirdServer server; QString error;
    if (!server.start(&error)) { qDebug() << error; return 1; }
    TestDb db(QStringList{}, "d_mivo", &server);
    qDebug() << db.ok() << db.error();
    const QStringList st = {"create view TMPV as select * from ALLAPOT A where A.KOD<>'X'",
                            "create table TMPT (A varchar(3))",
                            "insert into TMPT select KOD from TMPV",
                            "select count(*) from TMPT"};
    for (const QString& s : st) {
        db::Query q("d_mivo"); q.setParamCheck(false); q.setSql(s);
        bool ok = q.exec();
        qDebug() << s << ok << q.lastError() << q.rowsAffected();
    }
    return 0;
}
