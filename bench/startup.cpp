// Start-up to the main window shown, with WPWD=NONE, next to the bare connection work:
// opening the two connections and the three feature checks.
#include "benchdata.h"

#include "app/mivomain.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/paths.h"
#include "platform/catalogue.h"
#include "platform/dbconnection.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace mivo;

namespace
{

double startup(const QString& database, const QString& programDir)
{
    QFile ini(QDir(programDir).filePath(QStringLiteral("MIVO.INI")));
    ini.open(QIODevice::WriteOnly);
    ini.write("DBSERVER=" + database.toUtf8() + "\r\nWPWD=NONE\r\nCEGKOD=VELKOR\r\n");
    ini.close();
    paths::setProgramDir(programDir);
    return bench::fastestMs(5, [] {
        Ini::instance().clear();
        Tmivomainfm w;
        w.show();
        w.runStartup();
        QApplication::processEvents();
        db::Connection::closeAll();
    });
}

double bare(const QString& database)
{
    return bench::fastestMs(5, [&] {
        for (const char* name : {"b1", "b2"}) {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QLatin1String(name));
            db.setDatabaseName(database);
            db.setUserName(Td::builtinUser);
            db.setPassword(Td::builtinPassword);
            db.open();
        }
        {
            // The product's own statement, prepared and bound as the product runs it.
            QSqlQuery q(QSqlDatabase::database(QStringLiteral("b1")));
            for (const char* table : {"LEVELKE", "ALK_KESZLET", "MUNKA_LOG"}) {
                q.prepare(QString(db::tableExistsSql)
                              .replace(QStringLiteral(":name"), QStringLiteral("?")));
                q.addBindValue(QLatin1String(table));
                q.exec();
                q.next();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("b1"));
        QSqlDatabase::removeDatabase(QStringLiteral("b2"));
    });
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir programDir;
    for (const auto& [name, path] :
         {std::pair{QStringLiteral("startup_demo"), bench::demoDatabase()},
          std::pair{QStringLiteral("startup_scale"), bench::scaleDatabase()}}) {
        if (path.isEmpty())
            return 1;
        const double baseline = bare(path);
        bench::report(name, startup(path, programDir.path()), baseline);
    }
    return 0;
}
